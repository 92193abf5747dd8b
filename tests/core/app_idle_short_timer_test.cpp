// The idle task's short timer: while a lesson is on, communication is on or
// its close is pending, the next pass comes from a toolkit timeout of
// kgiApp::SHORT_PASS_MS at most; otherwise the pacing stays the quiet one.
// And the pass's answer to the toolkit: a pass with nothing to do answers 0,
// so the toolkit does not walk every widget after it.
#include "kgiApp.h"
#include "kgiWorld.h"

#include "support/app/kgiAppRig.h"

#include "core/child_process_test.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace FX;

namespace {

// One pass as the event loop runs it: the pass, then the choice of the next.
void pass(kgiApp& app) {
    app.handle(&app, FXSEL(SEL_CHORE, kgiApp::ID_IDLE), nullptr);
}

// Whether the pass just run asked for the next one within the short timer.
bool shortTimerArmed(kgiApp& app) {
    return app.hasTimeout(&app, kgiApp::ID_IDLE_TIMEOUT) &&
           app.remainingTimeout(&app, kgiApp::ID_IDLE_TIMEOUT) <= kgiApp::SHORT_PASS_MS;
}

struct ShortTimerCase {
    const char* name;
    std::function<void(kgiAppRig&)> start;
    std::function<void(kgiAppRig&)> stop;
};

void shortTimerCases() {
    const std::vector<ShortTimerCase> cases = {
        {"lesson", [](kgiAppRig& r) { r.fakes.lesson.mode = 1; }, [](kgiAppRig& r) { r.fakes.lesson.mode = 0; }},
        // Switching off leaves a close pending; the pass that deletes the
        // session is the last on the short timer.
        {"communication", [](kgiAppRig& r) { r.app->setRobotCommunication(true); },
         [](kgiAppRig& r) {
             r.app->setRobotCommunication(false);
             CHILD_CHECK(r.app->isCloseRequested());
             pass(*r.app);
             CHILD_CHECK(r.app->getRobotSession() == nullptr);
         }},
    };
    kgiAppRig rig;
    kgiApp& app = *rig.app;
    pass(app);
    CHILD_CHECK(!shortTimerArmed(app));
    for (const ShortTimerCase& c : cases) {
        c.start(rig);
        for (int i = 0; i < 3; ++i) {
            pass(app);
            if (!shortTimerArmed(app)) {
                std::fprintf(stderr, "%s: no short timer\n", c.name);
                std::_Exit(1);
            }
        }
        c.stop(rig);
        pass(app);
        if (shortTimerArmed(app)) {
            std::fprintf(stderr, "%s: short timer after it ended\n", c.name);
            std::_Exit(1);
        }
    }
}

TEST(AppIdleShortTimer, LessonsAndCommunicationArmTheShortTimerUntilTheyEnd) {
    EXPECT_IN_CHILD(shortTimerCases);
}

// What a pass answers, from its handler's return value.
long passAnswer(kgiApp& app) {
    return app.handle(&app, FXSEL(SEL_CHORE, kgiApp::ID_IDLE), nullptr);
}

void quietPassesAnswerZero() {
    const std::vector<ShortTimerCase> cases = {
        {"redraw request",
         [](kgiAppRig& r) {
             r.app->createOptionsDialog();
             r.app->redrawCanvas(nullptr);  // marks the options dialog only
         },
         [](kgiAppRig&) {}},
        {"lesson", [](kgiAppRig& r) { r.fakes.lesson.mode = 1; }, [](kgiAppRig& r) { r.fakes.lesson.mode = 0; }},
        {"playback", [](kgiAppRig&) { kgiWorld::instance()->setPlaying(true); },
         [](kgiAppRig&) { kgiWorld::instance()->setPlaying(false); }},
        // The pass that deletes the session after switching off has work too.
        {"communication", [](kgiAppRig& r) { r.app->setRobotCommunication(true); },
         [](kgiAppRig& r) {
             r.app->setRobotCommunication(false);
             CHILD_CHECK(passAnswer(*r.app) == 1);
         }},
    };
    kgiAppRig rig;
    kgiApp& app = *rig.app;
    pass(app);
    CHILD_CHECK(passAnswer(app) == 0);
    for (const ShortTimerCase& c : cases) {
        c.start(rig);
        if (passAnswer(app) != 1) {
            std::fprintf(stderr, "%s: the pass answered 0\n", c.name);
            std::_Exit(1);
        }
        c.stop(rig);
        if (passAnswer(app) != 0) {
            std::fprintf(stderr, "%s: the quiet pass after it answered 1\n", c.name);
            std::_Exit(1);
        }
    }
}

TEST(AppIdleShortTimer, OnlyPassesWithWorkAskTheToolkitToUpdateItsWidgets) {
    EXPECT_IN_CHILD(quietPassesAnswerZero);
}

} // namespace

// Counts the passes of the running event loop over three spans of 200 ms,
// with no event: a lesson on, then off, then communication on.
class kgiShortTimerProbe : public FXObject {
    FXDECLARE(kgiShortTimerProbe)
public:
    enum { ID_MARK = 1 };
    long onMark(FXObject*, FXSelector, void*) {
        kgiApp* app = kgiApp::instance();
        marks.push_back(app->getIdlePasses());
        switch (marks.size()) {
        case 1:  // the lesson ends
            lesson->mode = 0;
            break;
        case 2:  // communication on
            app->setRobotCommunication(true);
            break;
        default:
            app->setRobotCommunication(false);
            app->exit(0);
            return 1;
        }
        app->addTimeout(this, ID_MARK, 200);
        return 1;
    }
    kgiStandInLesson* lesson = nullptr;
    std::vector<long> marks;
};

FXDEFMAP(kgiShortTimerProbe) kgiShortTimerProbeMap[] = {
    FXMAPFUNC(SEL_TIMEOUT, kgiShortTimerProbe::ID_MARK, kgiShortTimerProbe::onMark),
};
FXIMPLEMENT(kgiShortTimerProbe, FXObject, kgiShortTimerProbeMap, ARRAYNUMBER(kgiShortTimerProbeMap))

namespace {

void shortTimerInTheLoop() {
    kgiAppRig rig;
    kgiApp& app = *rig.app;
    int argc = 1;
    char arg0[] = "Zodarovu0";
    char* argv[] = {arg0, nullptr};
    app.init(argc, argv, true);
    app.create();
    rig.fakes.lesson.mode = 1;
    kgiShortTimerProbe probe;
    probe.lesson = &rig.fakes.lesson;
    app.addTimeout(&probe, kgiShortTimerProbe::ID_MARK, 200);
    CHILD_CHECK(app.run() == 0);
    CHILD_CHECK(probe.marks.size() == 3);
    const long lessonPasses = probe.marks[0];
    const long quietPasses = probe.marks[1] - probe.marks[0];
    const long linkPasses = probe.marks[2] - probe.marks[1];
    // 200 ms on a 5 ms timer against the quiet pacing's 100 ms fallback:
    // generous bounds either side, so a loaded machine does not fail them.
    CHILD_CHECK(lessonPasses >= 10);
    CHILD_CHECK(quietPasses <= 6);
    CHILD_CHECK(linkPasses >= 10);
    CHILD_CHECK(rig.fakes.session.polls + rig.fakes.session.updates >= 10);
}

TEST(AppIdleShortTimer, PassesKeepComingWithoutEventsWhileALessonOrTheLinkIsOn) {
    if (!hasDisplay()) GTEST_SKIP() << "no display";
    EXPECT_IN_CHILD(shortTimerInTheLoop);
}

} // namespace
