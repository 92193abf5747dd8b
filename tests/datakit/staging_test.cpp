#include "kgiApp.h"
#include "kgiWorld.h"

#include "core/child_process_test.h"
#include "kit_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>

namespace {

using kit::fs::path;

const path SHIPPED_SETTINGS = path(KGI_SOURCE_DATA_DIR) / "settings" / "settings.txt";
const path DATA = KGI_DATA_DIR;

bool isExecutable(const path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & S_IXUSR);
}

TEST(Staging, StagedFolderHoldsWhatStartUpReads) {
    const path dir = kit::freshDir("staged_files");
    ASSERT_TRUE(kit::stage(dir));
    for (const char* f : {"settings/settings.txt", "icons/app2.bmp", "se/keyset.wav",
                          "font/arial.ttf", "DORUZAVO_1base/DORUZAVO_1.ts",
                          "DORUZAVO_1base/character/DORUZAVO_1.kmd",
                          "DORUZAVO_1base/character/motNames.txt",
                          "DORUZAVO_1base/motion/DORUZAVO_1.kmm", "libkut.so", "libkml.so",
                          "libkgc.so", "libksg.so", "kgimedialib.so", "kgimsglib.so"})
        EXPECT_TRUE(kit::fs::is_regular_file(dir / f)) << f;
    EXPECT_TRUE(isExecutable(dir / "Zodarovu0"));
    // The model folder's empty sub-folders too: the file dialogs open there.
    for (const char* d : {"DORUZAVO_1/motion", "DORUZAVO_1/pose", "DORUZAVO_1/media", "DORUZAVO_1base/remocon"})
        EXPECT_TRUE(kit::fs::is_directory(dir / d)) << d;
    EXPECT_EQ(kit::readFile(dir / "settings/settings.txt"), kit::readFile(SHIPPED_SETTINGS));
    kit::fs::remove_all(dir);
}

TEST(Staging, StagingAgainKeepsTheUsersFilesAndRefreshesTheRest) {
    const path dir = kit::freshDir("staged_twice");
    ASSERT_TRUE(kit::stage(dir));

    struct Case {
        const char* file;
        bool existed;   // a file of the build, or one the user added
        bool keeps;     // the user's version survives staging again
    } const cases[] = {
        {"settings/settings.txt", true, true},
        {"DORUZAVO_1/character/model.ini", true, true},
        {"DORUZAVO_1/motion/walk.kmm", false, true},
        {"comports.txt", false, true},  // not the build's: never deleted
        {"DORUZAVO_1base/remocon/list.txt", false, true},
        {"DORUZAVO_1base/remocon/wave.obc", false, true},
        {"DORUZAVO_1base/character/motNames.txt", true, true},
        {"DORUZAVO_1base/DORUZAVO_1.ts", true, false},
        {"icons/app2.bmp", true, false},
    };
    for (const Case& c : cases) kit::writeFile(dir / c.file, "edited by the user\n");
    kit::fs::remove(dir / "libkut.so");

    ASSERT_TRUE(kit::stage(dir));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        if (c.keeps)
            EXPECT_EQ(kit::readFile(dir / c.file), "edited by the user\n");
        else
            EXPECT_EQ(kit::readFile(dir / c.file), kit::readFile(DATA / c.file));
    }
    EXPECT_TRUE(kit::fs::is_regular_file(dir / "libkut.so"));

    // A user file that is gone comes back from the build.
    kit::fs::remove(dir / "settings/settings.txt");
    ASSERT_TRUE(kit::stage(dir));
    EXPECT_EQ(kit::readFile(dir / "settings/settings.txt"), kit::readFile(SHIPPED_SETTINGS));
    kit::fs::remove_all(dir);
}

void makeAppOn(const path& dir) {
    kgiWorld::instance();
    {
        kgiApp app(dir.string());
        FX::FXIcon* icon = app.getAppIcon();
        CHILD_CHECK(icon != nullptr);
        CHILD_CHECK(icon->getWidth() == 32 && icon->getHeight() == 32);
    }
    std::_Exit(0);
}

TEST(Staging, ApplicationMadeOnTheStagedFolderHasItsIcon) {
    if (!hasDisplay()) GTEST_SKIP() << "no display";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const path dir = kit::freshDir("staged_icon");
    ASSERT_TRUE(kit::stage(dir));
    EXPECT_EXIT(makeAppOn(dir), ::testing::ExitedWithCode(0), "");
    kit::fs::remove_all(dir);
}

// Start-up's "Error" box, or the loader's "Error - <number>" before it.
bool hasErrorBox(const std::vector<std::string>& titles) {
    return std::any_of(titles.begin(), titles.end(),
                       [](const std::string& t) { return t.rfind("Error", 0) == 0; });
}

// The staged program as ./run starts it: in its folder, without arguments,
// on a display of its own. Without the factory project it must show its
// "Error" box (which also proves the window list sees its boxes); with it,
// no box, and a terminate signal ends it cleanly.
TEST(Staging, StagedProgramStartsOnTheFactoryRobotAndEndsOnTerminate) {
    using namespace std::chrono;
    const path dir = kit::freshDir("staged_program");
    ASSERT_TRUE(kit::stage(dir));
    const std::string program = (dir / "Zodarovu0").string();

    // Without the project: the box appears; how long it takes gauges start-up.
    milliseconds startUp{};
    {
        kit::fs::rename(dir / "DORUZAVO_1base", dir / "moved");
        kit::PrivateDisplay x;
        ASSERT_FALSE(x.name().empty()) << "no private X server";
        const auto begin = steady_clock::now();
        const pid_t pid = kit::spawn({program}, dir, {"DISPLAY=" + x.name()});
        ASSERT_GT(pid, 0);
        bool shown = false;
        while (!shown && steady_clock::now() - begin < minutes(1) &&
               kit::waitFor(pid, milliseconds(0)) < 0) {
            shown = hasErrorBox(x.windowTitles());
            std::this_thread::sleep_for(milliseconds(50));
        }
        startUp = duration_cast<milliseconds>(steady_clock::now() - begin);
        EXPECT_TRUE(shown) << "no \"Error\" box without the factory project";
        ::kill(pid, SIGKILL);
        kit::waitFor(pid, minutes(1));
        kit::fs::rename(dir / "moved", dir / "DORUZAVO_1base");
        kit::fs::remove(dir / "settings/settings.txt");
        ASSERT_TRUE(kit::stage(dir));
    }

    kit::PrivateDisplay x;
    ASSERT_FALSE(x.name().empty()) << "no private X server";
    // The sanitizer build's leak check at exit is left to the application
    // tests, which end through the same path in-process: here the block list
    // would hold what the font, sound and D-Bus libraries keep until exit,
    // allocated where the fast unwinder cannot name them.
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string asanOptions = std::string("ASAN_OPTIONS=") + (asan ? asan : "") +
                                    (asan && *asan ? ":" : "") + "detect_leaks=0";
    const pid_t pid = kit::spawn({program}, dir, {"DISPLAY=" + x.name(), asanOptions});
    ASSERT_GT(pid, 0);
    const auto watch = std::max(milliseconds(3000), 3 * startUp);
    const auto begin = steady_clock::now();
    bool error = false, ended = false, view = false;
    while (!error && !ended && steady_clock::now() - begin < watch) {
        const std::vector<std::string> titles = x.windowTitles();
        error = hasErrorBox(titles);
        view = view || std::find(titles.begin(), titles.end(), "3DView") != titles.end();
        ended = kit::waitFor(pid, milliseconds(100)) >= 0;
    }
    EXPECT_FALSE(error) << "the factory project did not load";
    EXPECT_TRUE(view) << "no top-level window \"3DView\"";
    EXPECT_FALSE(ended) << "the program ended by itself";
    if (!ended) {
        ::kill(pid, SIGTERM);
        const int status = kit::waitFor(pid, minutes(1));
        if (status < 0) {
            ::kill(pid, SIGKILL);
            kit::waitFor(pid, minutes(1));
        }
        EXPECT_TRUE(status >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "status " << status;
    }
    EXPECT_EQ(kit::readFile(dir / "settings/settings.txt"), kit::readFile(SHIPPED_SETTINGS));
    kit::fs::remove_all(dir);
}

} // namespace
