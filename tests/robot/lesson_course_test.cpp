// The courses: the start and goal lines on a fixture model whose bounds the
// test sets, the stopwatch and the start signal in the application with its
// recording stand-ins (each in a child process), the course scene loaded
// beside the robot, and the start-signal sounds by language.
#include "kgiLessonManager.h"

#include "kgiApp.h"
#include "kgiCharacter.h"
#include "kgiScene.h"
#include "kgiTables.h"
#include "kgiWorld.h"
#include "kgiWorldLinks.h"
#include "kmlVec3.h"
#include "ksgScene.h"
#include "ksgTransform.h"

#include "lesson_rig_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A model root whose bounds are whatever the test says, along z.
class BoxRoot : public ksgTransform {
public:
    void setZ(float minZ, float maxZ) {
        box.fromMinMax(kmlVec3(-1.0f, 0.0f, minZ), kmlVec3(1.0f, 10.0f, maxZ));
        bounds = box;
    }
    void updateBounds() override { bounds = box; }

private:
    kgcAxisAlignedBox box;
};

// The world's current character on a BoxRoot, removed again at the end.
struct BoxCharacter {
    std::unique_ptr<BoxRoot> root = std::make_unique<BoxRoot>();
    int id = -1;
    BoxCharacter(float minZ, float maxZ) {
        root->setZ(minZ, maxZ);
        kgiWorld* world = kgiWorld::instance();
        id = world->createCharacter();
        world->getCharacters()->find(id)->attachRoot(root.get());
        world->setCurrentCharacter(id);
    }
    ~BoxCharacter() { kgiWorld::instance()->removeCharacter(id); }
};

TEST(LessonCourse, LinesCompareTheModelBoundsInSinglePrecision) {
    kgiLessonManager manager;
    EXPECT_FALSE(manager.isStartLineClear()) << "no character";
    EXPECT_FALSE(manager.checkGoalLine()) << "no character";

    struct Case {
        float minZ, maxZ;
        bool startClear, goal;
    };
    const Case cases[] = {
        {-2.0f, 2.1f, false, false},  // touching the start line is not behind it
        {-2.0f, 2.0f, true, false},
        {24.8f, 30.0f, false, false}, // touching the goal line is not past it
        {24.81f, 30.0f, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.minZ << ".." << c.maxZ);
        BoxCharacter character(c.minZ, c.maxZ);
        EXPECT_EQ(manager.isStartLineClear(), c.startClear);
        EXPECT_EQ(manager.checkGoalLine(), c.goal);
        EXPECT_EQ(manager.getCourseState(), c.goal ? 2 : -1);
        manager.setCourseState(-1);
    }
}

// A lesson's manager: answer sounds 1 and 2, in a course the start-signal
// sounds 3 to 6, an options dialog, a robot session, and frame 0.
struct CourseRig : LessonRig {
    CourseRig(const char* lesson = "6") {
        app().createOptionsDialog();
        app().prepareRobotSession();
        app().getSettings().language = 0;
        kgiWorld::instance()->setPlaying(false);
        kgiWorld::instance()->setCurrentTime(0.0f);
        // A course's introduction registers them; lesson 8 has none.
        clockStep = 1.0f;
        manager.start(lesson);
        clockStep = 0.0f;
        // As after the lesson's final step: the course stays, its steps
        // are over.
        manager.reset();
        clearRecords();
        rig.fakes.options.record.clear();
        rig.fakes.session.record.clear();
    }
    int enables() const { return rig.fakes.options.record.count("enableJointFields(1)"); }
};

void stopwatch() {
    CourseRig r;
    kgiLessonManager& m = r.manager;
    kgiWorld* world = kgiWorld::instance();
    BoxCharacter robot(-2.0f, 2.0f);
    const int goalSound = m.getCourseSounds()[3];

    // At frame 0 the stopwatch shows 0; the first look after a start
    // re-enables the options dialog once.
    CHILD_CHECK(r.app().getCourseTime() == 0.0f && m.getCourseState() == 0 && r.enables() == 1);
    CHILD_CHECK(r.app().getCourseTime() == 0.0f && r.enables() == 1);

    // Playback starts; the run starts at the first look past frame 0.
    world->setPlaying(true);
    r.clock = 50.0f;
    CHILD_CHECK(r.app().getCourseTime() == 0.0f && !r.app().isCourseRunning());
    world->setCurrentTime(4.0f);
    r.clock = 100.0f;
    CHILD_CHECK(r.app().getCourseTime() == 0.0f && r.app().isCourseRunning());
    CHILD_CHECK(m.getCourseStartTime() == 100.0f);
    r.clock = 101.5f;
    CHILD_CHECK(r.app().getCourseTime() == 1.5f);
    r.clock = 103.0f;
    CHILD_CHECK(r.app().getCourseTime() == 3.0f);

    // The robot crosses the goal: the goal sound once, the watch stands.
    robot.root->setZ(25.0f, 30.0f);
    r.clock = 104.0f;
    CHILD_CHECK(r.app().getCourseTime() == 3.0f && m.getCourseState() == 2 && m.getGoalReached());
    r.clock = 110.0f;
    CHILD_CHECK(r.app().getCourseTime() == 3.0f);
    CHILD_CHECK(r.played() == Played({{goalSound, false}}));

    // Stopped and back at frame 0: 0 again, the dialog enabled once more.
    world->setPlaying(false);
    world->setCurrentTime(0.0f);
    const int before = r.enables();
    CHILD_CHECK(r.app().getCourseTime() == 0.0f && m.getCourseState() == 0);
    CHILD_CHECK(r.app().getCourseTime() == 0.0f && r.enables() == before + 1);

    // A run stopped before the goal counts on; the goal test waits for
    // playback.
    robot.root->setZ(-2.0f, 2.0f);
    world->setPlaying(true);
    world->setCurrentTime(4.0f);
    r.clock = 200.0f;
    CHILD_CHECK(r.app().getCourseTime() == 0.0f && !m.getGoalReached());
    r.clock = 201.0f;
    CHILD_CHECK(r.app().getCourseTime() == 1.0f);
    world->setPlaying(false);
    robot.root->setZ(25.0f, 30.0f);
    r.clock = 205.0f;
    CHILD_CHECK(r.app().getCourseTime() == 5.0f && m.getCourseState() == 1);
    CHILD_CHECK(r.played() == Played({{goalSound, false}}));

    // Without a course there is no stopwatch.
    kgiLessonManager none;
    CHILD_CHECK(none.readStopwatch() == 0.0f && none.getCourseState() == -1);
}

TEST(LessonCourse, StopwatchStartsPastFrame0FreezesAtTheGoalAndResetsAtFrame0) {
    EXPECT_IN_CHILD(stopwatch);
}

void startSignal() {
    struct Case {
        const char* name;
        const char* lesson;
        float time;
        float maxZ;
        bool sync;
        Played sounds;
        std::vector<std::string> requests;
        // Requests already made as each sound waited for silence.
        std::vector<std::size_t> requestsAtWaits;
        int state;
        float startTime;
    };
    const Case cases[] = {
        {"away from frame 0 with robot sync", "6", 5.0f, 0.0f, true, {}, {"playMotion(31)"}, {}, -1, -1.0f},
        {"away from frame 0", "6", 5.0f, 0.0f, false, {}, {}, {}, -1, -1.0f},
        {"frame 0, clear line, robot sync", "6", 0.0f, 2.0f, true, {{3, false}, {4, false}, {5, false}},
         {"playMotion(31)"}, {0, 0, 1}, 1, -1.0f},
        {"frame 0, clear line", "7", 0.0f, 2.0f, false, {{3, false}, {4, false}, {5, false}}, {}, {0, 0, 0}, 1,
         -1.0f},
        {"frame 0, blocked line", "6", 0.0f, 2.1f, true, {}, {}, {}, 0, -1.0f},
        {"start signal without a course", "8", 0.0f, 2.0f, false, {{0, false}}, {}, {0}, -1, 0.0f},
    };
    for (const Case& c : cases) {
        CourseRig r(c.lesson);
        BoxCharacter robot(-2.0f, c.maxZ);
        kgiWorld::instance()->setCurrentTime(c.time);
        r.manager.readStopwatch();
        r.app().setRobotSyncFlag(c.sync);
        std::vector<std::size_t> atWaits;
        r.rig.fakes.sound.playingScript = [&](int id) {
            if (id == 0) atWaits.push_back(r.rig.fakes.session.record.calls.size());
            return false;
        };
        r.app().lessonOnPlay();      // outside a lesson: nothing
        CASE_CHECK(r.played().empty(), c.name);
        r.manager.checkCourseProgress();
        CASE_CHECK(r.played() == c.sounds, c.name);
        CASE_CHECK(r.rig.fakes.session.record.calls == c.requests, c.name);
        CASE_CHECK(atWaits == c.requestsAtWaits, c.name);
        CASE_CHECK(r.manager.getCourseState() == c.state, c.name);
        CASE_CHECK(r.manager.getCourseStartTime() == c.startTime, c.name);
    }
}

TEST(LessonCourse, StartSignalSoundsOnlyAtFrame0BehindTheStartLine) {
    EXPECT_IN_CHILD(startSignal);
}

void soundsByLanguage() {
    struct Case {
        int language;
        std::vector<std::string> files;
    };
    const Case cases[] = {
        {0, {"ready.wav", "set.wav", "go.wav", "goal.wav"}},
        {1, {"readyJ.wav", "setJ.wav", "pistol.wav", "goalJ.wav"}},
    };
    LessonRig r;
    for (const Case& c : cases) {
        r.app().getSettings().language = c.language;
        r.rig.fakes.sound.loaded = {"click", "ng", "ok"};
        r.manager.registerCourseSounds();
        std::vector<std::string> expected = {"click", "ng", "ok"};
        for (const std::string& f : c.files) expected.push_back((r.rig.base / "se" / f).string());
        CHILD_CHECK(r.rig.fakes.sound.loaded == expected);
        CHILD_CHECK(r.manager.getCourseSounds() == (std::array<int, 4>{3, 4, 5, 6}));
    }
    // A sound that does not load leaves its slot as the player answers.
    r.rig.fakes.sound.loaded = {"click"};
    r.rig.fakes.sound.failingPaths = {(r.rig.base / "se" / "setJ.wav").string()};
    r.manager.registerCourseSounds();
    CHILD_CHECK(r.manager.getCourseSounds() == (std::array<int, 4>{1, -1, 2, 3}));
    // The end sound: the goal with a course, the set slot with only the
    // start-signal flag, nothing else.
    r.played().clear();
    r.manager.playEndSound();
    r.clockStep = 1.0f;
    r.manager.start("6");
    const int goal = r.manager.getCourseSounds()[3];
    r.manager.playEndSound();
    r.manager.start("8");
    r.manager.playEndSound();
    CHILD_CHECK(goal > 0 && r.played() == Played({{goal, false}, {-1, false}}));
}

TEST(LessonCourse, StartSignalSoundsFillTheirSlotsInOrderByLanguage) {
    EXPECT_IN_CHILD(soundsByLanguage);
}

// The shipped course folder below the rig's base, with a copy of the
// factory robot beside the courses as a course scene "fixture.ts".
void copyCourses(const fs::path& base) {
    const fs::path factory = fs::path(KGI_DATA_DIR) / "DORUZAVO_1base";
    const auto options = fs::copy_options::recursive | fs::copy_options::skip_existing;
    fs::copy(fs::path(KGI_DATA_DIR) / "course", base / "course", options);
    fs::copy(factory / "character", base / "course" / "character", options);
    fs::copy(factory / "motion", base / "course" / "motion", options);
    fs::copy_file(factory / "DORUZAVO_1.ts", base / "course" / "fixture.ts");
}

std::vector<ksgTransform*> sceneRoots() {
    kgiScene* scene = kgiWorld::instance()->getScene();
    ksgScene* base = scene ? kgiWorldLinks::sceneBase(scene) : nullptr;
    return base ? base->getRoots() : std::vector<ksgTransform*>{};
}

void loadCourses() {
    LessonRig r;
    kgiWorld* world = kgiWorld::instance();
    world->init();
    copyCourses(r.rig.base);
    BoxCharacter robot(-2.0f, 2.0f);
    const std::vector<ksgTransform*> roots = sceneRoots();
    const int characters = world->getCharacters()->size();

    // A course that does not load leaves nothing behind.
    CHILD_CHECK(r.manager.loadCourse("missing.ts", false) == nullptr);
    CHILD_CHECK(world->getCharacters()->size() == characters && sceneRoots() == roots);
    // No course kind, no course.
    CHILD_CHECK(r.manager.loadCourseTimesheet() == nullptr);

    // A course is an extra character, evaluated at the current time, with
    // its root in the scene; the robot stays current.
    world->setCurrentTime(3.0f);
    kgiCharacter* course = r.manager.loadCourse("fixture.ts", false);
    CHILD_CHECK(course != nullptr && course->getRoot() != nullptr);
    CHILD_CHECK(world->getCurrentId() == robot.id && world->getCharacters()->size() == characters + 1);
    const std::vector<ksgTransform*> after = sceneRoots();
    CHILD_CHECK(after.size() == roots.size() + 1);
    CHILD_CHECK(std::find(after.begin(), after.end(), course->getRoot()->asTransform()) != after.end());
    CHILD_CHECK(r.manager.getCourseNodeCount() == 0);

    // The shipped courses by the course kind, likewise.
    r.clockStep = 1.0f;
    for (const char* lesson : {"6", "7"}) {
        r.manager.start(lesson);
        const std::vector<ksgTransform*> before = sceneRoots();
        kgiCharacter* shipped = r.manager.loadCourseTimesheet();
        CASE_CHECK(shipped != nullptr && shipped->getRoot() != nullptr, lesson);
        CASE_CHECK(world->getCurrentCharacter() != shipped, lesson);
        const std::vector<ksgTransform*> with = sceneRoots();
        CASE_CHECK(with.size() == before.size() + 1, lesson);
        CASE_CHECK(std::find(with.begin(), with.end(), shipped->getRoot()->asTransform()) != with.end(), lesson);
    }

    // With joints: the root and one entry per joint line of the course's own
    // joint file, at most 255 in all.
    std::ofstream ini(r.rig.base / "course" / "character" / "model.ini");
    ini << "0 : RThigh = 0.0 :1,-20.0,45.0,1 :0,1.0,100.0;\n"
        << "no comma here\n";
    for (int i = 1; i < 300; ++i) ini << i << " : Joint" << i << " = 0.0 :1,-20.0,45.0,1 :" << i << ",1.0,100.0;\n";
    ini.close();
    kgiCharacter* jointed = r.manager.loadCourse("fixture.ts", true);
    CHILD_CHECK(jointed != nullptr && r.manager.getCourseNodeCount() == kgiLessonManager::MAX_COURSE_NODES);
    CHILD_CHECK(r.manager.getCourseNode(0) == jointed->getRoot());
    CHILD_CHECK(r.manager.getCourseNode(1) == jointed->findNode("RThigh") && r.manager.getCourseNode(1));
    CHILD_CHECK(r.manager.getCourseNode(2) == nullptr && r.manager.getCourseNode(255) == nullptr);
    // Its tree going takes the table with it.
    CHILD_CHECK(world->removeCharacter(world->getCharacters()->idOf(jointed)));
    CHILD_CHECK(r.manager.getCourseNodeCount() == 0);
}

TEST(LessonCourse, ACourseLoadsBesideTheRobotOrLeavesNothingBehind) {
    if (!hasDisplay()) GTEST_SKIP() << "no display";
    EXPECT_IN_CHILD(loadCourses);
}

} // namespace
