// The two lesson calls the program makes over and over: one pass of the
// step engine while a step waits for the user (kgiLessonManager::runStep,
// which every idle pass of the event loop runs during a lesson; here step 1
// of lesson 1, so the pass is the page tick), with the message window
// speaking and silent; and one stopwatch reading during a course run
// (every paint of a 3D view asks for the time it shows), with the factory
// robot as the runner, whose bounds each reading looks at for the goal
// line. The application has the recording stand-ins of the tests (no
// display, no plug-in, no sound device), so what is measured is the
// manager's own work and the application's forwarding.
//
// A reading during a run writes a diagnostic line ("Time= ... minZ= ...")
// to standard error, as the program does; the benchmark sends it to
// /dev/null, so the figure holds its formatting and the write but no
// terminal.
#include "kgiCharacter.h"
#include "kgiCharacterServices.h"
#include "kgiLessonManager.h"
#include "kgiRobotJointTable.h"
#include "kgiTables.h"
#include "kgiWorld.h"

#include "support/app/kgiAppRig.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

const std::string PROJECT = std::string(KGI_DATA_DIR) + "/DORUZAVO_1base/DORUZAVO_1.ts";

// A step text of the size lesson 1's are: four lines, one page.
const char STEP_FILE[] = "[1]\n"
                         ":0,0,0\n"
                         "Click the \"Option\" button on the tool bar.\n"
                         "The options window opens beside the time line.\n"
                         "It holds the sample motions and the robot's settings.\n"
                         "Everything else stays locked until you have done it.\n";

struct Quiet : kgiCharacterServices {
    void showMessage(const std::string&, const std::string&) override {}
};

// The application with its stand-ins and the manager installed, the sound
// player and the message host made, as a lesson's start-up leaves them.
struct Lesson {
    Quiet quiet;
    kgiAppRig rig;
    kgiLessonManager manager;

    Lesson()
    {
        kgiCharacterServices::install(&quiet);
        rig.app->setLessonManager(&manager);
        rig.app->createSoundPlayer();
        rig.app->createMsgWindowHost();
    }
    ~Lesson()
    {
        rig.app->setLessonManager(nullptr);
        kgiCharacterServices::install(nullptr);
    }
    kgiStandInMessageState& message() { return rig.fakes.message; }
};

// Standard error sent to /dev/null while it lives.
struct QuietStderr {
    int saved = -1;
    QuietStderr()
    {
        std::fflush(stderr);
        const int null = ::open("/dev/null", O_WRONLY);
        if (null < 0)
            return;
        saved = ::dup(STDERR_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::close(null);
    }
    ~QuietStderr()
    {
        std::fflush(stderr);
        if (saved >= 0) {
            ::dup2(saved, STDERR_FILENO);
            ::close(saved);
        }
    }
};

// Argument 1: the message window speaks (the pass holds the repeat timer
// fresh); 0: it is silent and no further page is there (the pass looks for
// one and for the repeat delay, and shows nothing).
void BM_WaitingStepIdlePass(benchmark::State& state)
{
    Lesson lesson;
    kgiLessonManager& m = lesson.manager;
    std::FILE* f = fmemopen(const_cast<char*>(STEP_FILE), sizeof STEP_FILE - 1, "r");
    m.editTexts().clear();
    m.editTexts().readStream(f, true);
    std::fclose(f);
    m.setMode(1);
    m.setStepValue(1);
    m.setWaiting(true);
    m.setPage(0);
    lesson.message().speaking = state.range(0) != 0;
    const std::size_t shownBefore = lesson.message().record.calls.size();
    m.setStepTimer(m.now());
    for (auto _ : state)
        m.runStep();
    // The silent pass must have shown nothing (no page, no repeat): a
    // figure that includes a text shown is not the idle pass.
    if (lesson.message().record.calls.size() != shownBefore || m.getStep() != 1 || !m.isWaiting())
        state.SkipWithError("the pass did more than wait");
}
BENCHMARK(BM_WaitingStepIdlePass)->Arg(1)->Arg(0)->ArgName("speaking")->Unit(benchmark::kNanosecond);

// The factory robot at rest before the goal line, playback running past
// frame 0 in lesson 6 (the normal course) after its first reading started
// the stopwatch: every reading is a reading of a run (courseState 1).
void BM_StopwatchDuringCourseRun(benchmark::State& state)
{
    Lesson lesson;
    kgiLessonManager& m = lesson.manager;
    kgiWorld* world = kgiWorld::instance();
    const int id = world->createCharacter();
    kgiCharacter* robot = world->getCharacters()->find(id);
    if (!robot || !robot->load(PROJECT)) {
        world->removeCharacter(id);
        state.SkipWithError("factory robot did not load");
        return;
    }
    kgiRobotJointTable::instance()->setupJoints(robot, PROJECT);
    world->setCurrentCharacter(id);
    robot->setTime(0.0f);
    {
        // The introduction waits 2 s of the manager's clock: a clock that
        // runs ahead at every reading passes it at once.
        float t = 0.0f;
        m.setClock([&t] { return t += 1.0f; });
        QuietStderr quiet;
        m.start("6");
        m.setClock(nullptr);
    }
    float shown = 0.0f;
    {
        QuietStderr quiet;
        // As a run goes: a paint at frame 0 before playback, then playback
        // past frame 0 and the paint that starts the stopwatch.
        world->setCurrentTime(0.0f);
        m.readStopwatch();
        world->setPlaying(true);
        world->setCurrentTime(5.0f);
        m.readStopwatch();
        if (m.getCourseState() != 1 || m.getGoalReached()) {
            state.SkipWithError("no course run");
        } else {
            for (auto _ : state)
                benchmark::DoNotOptimize(shown = lesson.rig.app->getCourseTime());
        }
    }
    if (m.getCourseState() != 1 || !(shown > 0.0f))
        state.SkipWithError("the run did not stay a run");
    world->setPlaying(false);
    world->setCurrentTime(0.0f);
    world->removeCharacter(id);
}
BENCHMARK(BM_StopwatchDuringCourseRun)->Unit(benchmark::kNanosecond);

} // namespace
