// The idle task's timers: while communication is on or its close is
// pending, the next pass comes from a toolkit timeout of
// kgiApp::SHORT_PASS_MS at most; while a lesson is on without it, of
// kgiApp::LESSON_PASS_MS; otherwise the pacing stays the quiet one.
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

// The longest wait for the next pass the pass just run asked for (ms).
FXuint nextPassWithin(kgiApp& app) {
    return app.hasTimeout(&app, kgiApp::ID_IDLE_TIMEOUT) ? app.remainingTimeout(&app, kgiApp::ID_IDLE_TIMEOUT)
                                                         : 0xffffffffu;
}

struct ShortTimerCase {
    const char* name;
    std::function<void(kgiAppRig&)> start;
    std::function<void(kgiAppRig&)> stop;
};

struct PaceCase {
    const char* name;
    std::function<void(kgiAppRig&)> start;
    std::function<void(kgiAppRig&)> stop;
    FXuint within;  // the pace while it is on
};

void paceCases() {
    const std::vector<PaceCase> cases = {
        {"lesson", [](kgiAppRig& r) { r.fakes.lesson.mode = 1; }, [](kgiAppRig& r) { r.fakes.lesson.mode = 0; },
         kgiApp::LESSON_PASS_MS},
        // Switching off leaves a close pending; the pass that deletes the
        // session is the last on the short timer.
        {"communication", [](kgiAppRig& r) { r.app->setRobotCommunication(true); },
         [](kgiAppRig& r) {
             r.app->setRobotCommunication(false);
             CHILD_CHECK(r.app->isCloseRequested());
             pass(*r.app);
             CHILD_CHECK(r.app->getRobotSession() == nullptr);
         },
         kgiApp::SHORT_PASS_MS},
        {"lesson with communication",
         [](kgiAppRig& r) {
             r.fakes.lesson.mode = 1;
             r.app->setRobotCommunication(true);
         },
         [](kgiAppRig& r) {
             r.app->setRobotCommunication(false);
             pass(*r.app);
             CHILD_CHECK(r.app->getRobotSession() == nullptr);
             CHILD_CHECK(nextPassWithin(*r.app) <= kgiApp::LESSON_PASS_MS);
             CHILD_CHECK(nextPassWithin(*r.app) > kgiApp::SHORT_PASS_MS);
             r.fakes.lesson.mode = 0;
         },
         kgiApp::SHORT_PASS_MS},
    };
    static_assert(kgiApp::SHORT_PASS_MS < kgiApp::LESSON_PASS_MS &&
                      kgiApp::LESSON_PASS_MS < kgiApp::IDLE_FALLBACK_MS,
                  "three paces");
    kgiAppRig rig;
    kgiApp& app = *rig.app;
    pass(app);
    CHILD_CHECK(nextPassWithin(app) > kgiApp::LESSON_PASS_MS);
    for (const PaceCase& c : cases) {
        c.start(rig);
        for (int i = 0; i < 3; ++i) {
            pass(app);
            // The pace of the case, not a faster one: a faster pass costs a
            // lesson waiting for the user its share of a core.
            const FXuint within = nextPassWithin(app);
            const FXuint faster = c.within == kgiApp::LESSON_PASS_MS ? kgiApp::SHORT_PASS_MS : 0;
            if (within > c.within || within <= faster) {
                std::fprintf(stderr, "%s: next pass within %u ms\n", c.name, within);
                std::_Exit(1);
            }
        }
        c.stop(rig);
        pass(app);
        if (nextPassWithin(app) <= kgiApp::LESSON_PASS_MS) {
            std::fprintf(stderr, "%s: a short pace after it ended\n", c.name);
            std::_Exit(1);
        }
    }
}

TEST(AppIdleShortTimer, CommunicationArmsTheShortTimerAndALessonAloneTheLessonPace) {
    EXPECT_IN_CHILD(paceCases);
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

// Counts the passes of the running event loop over three spans with no
// event: a lesson on (500 ms), then off (200 ms), then communication on
// (200 ms).
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
    app.addTimeout(&probe, kgiShortTimerProbe::ID_MARK, 500);
    CHILD_CHECK(app.run() == 0);
    CHILD_CHECK(probe.marks.size() == 3);
    const long lessonPasses = probe.marks[0];
    const long quietPasses = probe.marks[1] - probe.marks[0];
    const long linkPasses = probe.marks[2] - probe.marks[1];
    // 500 ms on the lesson's 50 ms pace (10 passes; a 5 ms one would run
    // about 100), then 200 ms of the quiet pacing's 100 ms fallback, then
    // 200 ms on the link's 5 ms timer: generous bounds either side, so a
    // loaded machine does not fail them.
    CHILD_CHECK(lessonPasses >= 4);
    CHILD_CHECK(lessonPasses <= 40);
    CHILD_CHECK(quietPasses <= 6);
    CHILD_CHECK(linkPasses >= 10);
    CHILD_CHECK(rig.fakes.session.polls + rig.fakes.session.updates >= 10);
}

TEST(AppIdleShortTimer, PassesKeepComingWithoutEventsWhileALessonOrTheLinkIsOn) {
    if (!hasDisplay()) GTEST_SKIP() << "no display";
    EXPECT_IN_CHILD(shortTimerInTheLoop);
}

} // namespace
