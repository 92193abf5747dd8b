// The media host against the fake plug-in (fake_medialib.cpp): binding,
// tracks, positioning, world playback, media lists, records and the import
// command.
#include "kgiMediaHost.h"

#include "kgiApp.h"
#include "kgiCharacterServices.h"
#include "kgiFileDialog.h"
#include "kgiWorld.h"

#include "platform/module.h"

#include "core/child_process_test.h"
#include "support/app/kgiAppRig.h"
#include "support/app/kgiScriptedDialogs.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Log = std::vector<std::string>;

// Boxes recorded as "caption|text"; questions answered from a script (yes
// when it is empty).
struct RecordingServices : kgiCharacterServices {
    Log boxes;
    std::deque<bool> answers;
    void showMessage(const std::string& caption, const std::string& text) override {
        boxes.push_back(caption + "|" + text);
    }
    bool askYesNo(const std::string& caption, const std::string& text) override {
        boxes.push_back(caption + "|" + text);
        if (answers.empty()) return true;
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
};

std::string fakeFolder(const std::string& variant) { return KGI_FAKE_MEDIALIB_DIR + variant; }

// The fake plug-in's log, reached through a handle of the same module the
// host loads.
class FakePlugin {
public:
    explicit FakePlugin(const std::string& variant) {
        module.setFolder(fakeFolder(variant));
        if (module.open(kgiMediaHost::MODULE_FILE)) {
            log = reinterpret_cast<Log* (*)()>(module.symbol("kgiFakeMediaLog"))();
            refuseWindow = reinterpret_cast<void (*)(bool)>(module.symbol("kgiFakeMediaRefuseWindow"));
            log->clear();
            refuseWindow(false);
        }
    }
    // The calls logged since the last take.
    Log take() {
        Log calls = *log;
        log->clear();
        return calls;
    }

    platform::Module module;
    Log* log = nullptr;
    void (*refuseWindow)(bool) = nullptr;
};

// A folder of its own below the temporary directory.
struct TempFolder {
    fs::path path;
    explicit TempFolder(const std::string& name) {
        path = fs::temp_directory_path() / (name + "_" + std::to_string(::getpid()));
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempFolder() {
        std::error_code ignored;
        fs::remove_all(path, ignored);
    }
};

std::string readFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const fs::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary);
    out << text;
}

kgiMediaTrackInfo placedAt(int start, int offset) {
    kgiMediaTrackInfo info;
    info.startFrame = start;
    info.offsetMs = offset;
    info.active = true;
    return info;
}

// A bound host on the whole fake, in a stopped world at 30 frames per
// second and time 0, with the services recording.
class MediaHost : public ::testing::Test {
protected:
    RecordingServices services;
    FakePlugin fake{"whole"};
    std::unique_ptr<kgiMediaHost> host;
    kgiWorld* world = kgiWorld::instance();

    void SetUp() override {
        ASSERT_NE(fake.log, nullptr);
        kgiCharacterServices::install(&services);
        world->setPlaying(false);
        world->setFps(30.0f);
        world->setEndFrame(100000.0f);
        world->setStartFrame(0.0f);
        world->setCurrentTime(0.0f);
        host = std::make_unique<kgiMediaHost>(fakeFolder("whole"));
        fake.take();
    }
    void TearDown() override {
        host.reset();
        kgiCharacterServices::install(nullptr);
    }
    int add(const std::string& path, int start = 0, int offset = 0) {
        kgiMediaTrackInfo info = placedAt(start, offset);
        return host->addTrack(path, &info);
    }
    std::vector<std::string> names() {
        std::vector<std::string> n;
        for (int i = 0; i < host->getTrackCount(); ++i) n.push_back(host->getTrack(i)->getFileName());
        return n;
    }
};

// --- binding ---

TEST(MediaHostBinding, WithoutThePluginTheHostIsUnboundAndSaysSoOnce) {
    RecordingServices services;
    kgiCharacterServices::install(&services);
    {
        kgiMediaHost host(fakeFolder("none"));
        EXPECT_EQ(services.boxes, Log{"Error - 050|Er_Media_Load"});
        EXPECT_FALSE(host.isLoaded());
        EXPECT_FALSE(host.isBound());
        EXPECT_EQ(kgiWorld::instance()->getRegisteredMediaTracks(), &host) << "still the world's tracks";
        kgiMediaTrackInfo info;
        EXPECT_EQ(host.addTrack("/a/clip-100.avi", &info), -1);
        EXPECT_EQ(host.importMediaFile(), -1);
        host.showMediaWindow();
        EXPECT_TRUE(host.isWindowShown());
        host.hideMediaWindow();
        EXPECT_FALSE(host.isWindowShown());
        host.removeAllTracks();
        EXPECT_EQ(host.getTrackCount(), 0);
    }
    EXPECT_EQ(kgiWorld::instance()->getRegisteredMediaTracks(), nullptr) << "a host leaves the world";

    services.boxes.clear();
    {
        FakePlugin partial("partial");
        kgiMediaHost host(fakeFolder("partial"));
        EXPECT_EQ(services.boxes, Log{"Error - 051|Er_Media_Func"});
        EXPECT_TRUE(host.isLoaded()) << "the module stays loaded";
        EXPECT_FALSE(host.isBound());
        kgiMediaTrackInfo info;
        EXPECT_EQ(host.addTrack("/a/clip-100.avi", &info), -1);
        EXPECT_EQ(partial.take(), Log{}) << "no entry point of it is used";
    }
    kgiCharacterServices::install(nullptr);
}

TEST(MediaHostBinding, TheProgramsHostIsBuiltOnceAndReportsOnce) {
    EXPECT_IN_CHILD([] {
        RecordingServices services;
        kgiCharacterServices::install(&services);
        kgiMediaHost::setInstanceFolder(fakeFolder("none"));
        kgiWorld* world = kgiWorld::instance();
        world->setMediaTracksMaker([]() -> kgiMediaTracks* { return kgiMediaHost::instance(); });
        CHILD_CHECK(world->getRegisteredMediaTracks() == nullptr);
        kgiMediaTracks* first = world->getMediaTracks();
        CHILD_CHECK(first == kgiMediaHost::instance());
        CHILD_CHECK(world->getRegisteredMediaTracks() == first);
        CHILD_CHECK(services.boxes.size() == 1u);
        CHILD_CHECK(services.boxes[0] == "Error - 050|Er_Media_Load");
        kgiMediaHost::instance()->shutDown();
        CHILD_CHECK(world->getMediaTracks() == nullptr);  // the maker runs once
        CHILD_CHECK(services.boxes.size() == 1u);
        kgiCharacterServices::install(nullptr);
    });
}

TEST(MediaHostBinding, BoundHostMakesItsWindowHiddenAndDestroysItAtShutDown) {
    RecordingServices services;
    kgiCharacterServices::install(&services);
    FakePlugin fake("whole");
    {
        kgiMediaHost host(fakeFolder("whole"));
        EXPECT_TRUE(services.boxes.empty());
        EXPECT_TRUE(host.isBound());
        EXPECT_NE(host.getWindow(), nullptr);
        EXPECT_EQ(fake.take(), (Log{"window null -1 -1 -1 -1", "hide"})) << "no main window: a free window";
        EXPECT_FALSE(host.isWindowShown());
        EXPECT_EQ(host.getLastSyncTime(), -1.0f);
        EXPECT_EQ(host.getMovieCount(), 0);
        EXPECT_FALSE(host.getMoviesRunning());
        EXPECT_EQ(host.stopMovies(), -1) << "nothing sets moviesRunning";

        kgiMediaTrackInfo info;
        host.addTrack("/m/a-10.avi", &info);
        host.addTrack("/m/b-10.wav", &info);
        fake.take();
        host.shutDown();
        EXPECT_EQ(fake.take(), (Log{"destroy a-10.avi", "destroy b-10.wav", "destroy window"}))
            << "tracks in list order, not stopped, then the window";
        EXPECT_EQ(kgiWorld::instance()->getRegisteredMediaTracks(), nullptr);
    }
    EXPECT_EQ(fake.take(), Log{}) << "the destructor has nothing left to destroy";

    fake.refuseWindow(true);
    {
        kgiMediaHost host(fakeFolder("whole"));
        EXPECT_TRUE(host.isBound()) << "a host without a window still takes tracks";
        EXPECT_EQ(host.getWindow(), nullptr);
        kgiMediaTrackInfo info;
        EXPECT_EQ(host.addTrack("/m/a-10.avi", &info), 1);
        fake.take();
        host.showMediaWindow();
        EXPECT_TRUE(host.isWindowShown());
        host.syncToCurrentTime();
        host.hideMediaWindow();
        EXPECT_FALSE(host.isWindowShown());
        EXPECT_EQ(fake.take(), Log{"seek a-10.avi 0"}) << "shown, the movie is positioned; no window calls";
    }
    fake.refuseWindow(false);
    kgiCharacterServices::install(nullptr);
}

TEST(MediaHostBinding, TheApplicationShutsTheHostDownAndBuildsNoneForIt) {
    EXPECT_IN_CHILD([] {
        static int made = 0;
        kgiWorld* world = kgiWorld::instance();
        {
            kgiAppRig rig;
            world->setMediaTracksMaker([]() -> kgiMediaTracks* { return ++made, nullptr; });
        }
        CHILD_CHECK(made == 0);
        CHILD_CHECK(world->getMediaTracks() == nullptr);
        CHILD_CHECK(made == 0);  // and none afterwards: the maker went with the application

        FakePlugin fake("whole");
        kgiMediaHost host(fakeFolder("whole"));
        kgiMediaTrackInfo info;
        CHILD_CHECK(host.addTrack("/m/a-10.avi", &info) == 1);
        fake.take();
        {
            kgiAppRig rig;
        }
        const Log calls = fake.take();
        CHILD_CHECK(calls == (Log{"destroy a-10.avi", "destroy window"}));
        CHILD_CHECK(world->getRegisteredMediaTracks() == nullptr);
        CHILD_CHECK(host.getTrackCount() == 0);
    });
}

// --- adding and removing ---

TEST_F(MediaHost, AddingSetsLengthKindAndFifteenSecondsOfFrames) {
    struct Case {
        float fps;
        int endFrame;
    };
    for (const Case& c : {Case{30.0f, 450}, Case{33.333f, 499}, Case{10.0f, 150}}) {
        world->setFps(c.fps);
        kgiMediaTrackInfo info = placedAt(200, 0);
        info.endFrame = 9000000;
        const int count = host->addTrack("/m/s-2500.wav", &info);
        ASSERT_EQ(count, host->getTrackCount());
        EXPECT_EQ(info.endFrame, c.endFrame) << c.fps << " fps, whatever the start";
        EXPECT_EQ(info.durationMs, 2500.0f);
        EXPECT_EQ(info.mediaType, MEDIA_SOUND);
        const kgiMediaTrackInfo* own = host->getTrackInfo(host->getTrackCount() - 1);
        EXPECT_NE(own, &info) << "the entry keeps a record of its own";
        EXPECT_EQ(own->endFrame, c.endFrame);
        EXPECT_EQ(own->startFrame, 200);
    }
    EXPECT_EQ(host->addTrack("/m/bad.avi", nullptr), -1) << "the plug-in refuses it";
    EXPECT_EQ(host->getTrackCount(), 3);
    EXPECT_TRUE(services.boxes.empty()) << "sounds never ask";
}

TEST_F(MediaHost, ASecondMovieOrImageAsksAndReplacesTheFirstOnYes) {
    struct Case {
        const char* what;
        std::vector<std::string> before;  // added first, in order
        std::string added;
        bool yes;
        std::vector<std::string> after;
        int movies;
    };
    const Case cases[] = {
        {"yes replaces the movie", {"s-1.wav", "a-1.avi", "t-1.mp3"}, "b-1.mpg", true,
         {"s-1.wav", "t-1.mp3", "b-1.mpg"}, 1},
        {"no keeps the list", {"a-1.avi", "s-1.wav"}, "b-1.mov", false, {"a-1.avi", "s-1.wav"}, 1},
        {"an image counts as a movie", {"p-1.jpg", "s-1.wav"}, "b-1.avi", true, {"s-1.wav", "b-1.avi"}, 1},
        {"a movie replaces an image too", {"a-1.avi"}, "p-1.bmp", true, {"p-1.bmp"}, 1},
        {"a second sound is only added", {"a-1.avi", "s-1.wav"}, "t-1.ogg", true,
         {"a-1.avi", "s-1.wav", "t-1.ogg"}, 1},
        {"a file of no kind is only added", {"a-1.avi"}, "x-1.MPEG", true, {"a-1.avi", "x-1.MPEG"}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host->removeAllTracks();
        for (const std::string& name : c.before) ASSERT_GT(add("/m/" + name), 0);
        services.boxes.clear();
        services.answers = {c.yes};
        fake.take();
        const int result = add("/m/" + c.added);
        EXPECT_EQ(result, c.yes ? static_cast<int>(c.after.size()) : -1);
        EXPECT_EQ(names(), c.after);
        EXPECT_EQ(host->getMovieCount(), c.movies);
        const bool asks = c.after.size() <= c.before.size() || !c.yes;
        EXPECT_EQ(services.boxes, asks ? Log{"Warning|Media_AlreadyAdd"} : Log{});
        if (!c.yes) {
            const Log calls = fake.take();
            EXPECT_EQ(calls.back(), "destroy " + c.added) << "the refused track is destroyed";
        }
    }
}

TEST_F(MediaHost, MovieCountFollowsRemovals) {
    add("/m/a-1.avi");
    add("/m/s-1.wav");
    EXPECT_EQ(host->getMovieCount(), 1);
    fake.take();
    host->removeTrack(0);
    EXPECT_EQ(fake.take(), (Log{"stop a-1.avi", "destroy a-1.avi"})) << "stopped, then destroyed";
    EXPECT_EQ(host->getMovieCount(), 0);
    add("/m/b-1.avi");
    EXPECT_TRUE(services.boxes.empty()) << "after the only movie went, no question";
    EXPECT_EQ(host->getMovieCount(), 1);

    for (int bad : {-1, 2, 99}) host->removeTrack(bad);
    EXPECT_EQ(host->getTrackCount(), 2) << "out of range removes nothing";
    EXPECT_EQ(host->getTrack(-1), nullptr);
    EXPECT_EQ(host->getTrack(2), nullptr);
    EXPECT_EQ(host->getMediaTrack(1), host->getTrack(1));
    EXPECT_EQ(host->getTrackInfo(2), nullptr);

    host->removeTrackByName("b-1.avi");
    EXPECT_EQ(names(), std::vector<std::string>{"s-1.wav"});
    EXPECT_EQ(host->getMovieCount(), 0);

    add("/m/c-1.avi");
    fake.take();
    host->removeAllTracks();
    EXPECT_EQ(fake.take(), (Log{"destroy s-1.wav", "destroy c-1.avi"})) << "destroyed without stopping";
    EXPECT_EQ(host->getMovieCount(), 0);
    EXPECT_EQ(host->getTrackCount(), 0);
}

TEST_F(MediaHost, MediaTypeByExactExtension) {
    struct Case {
        const char* path;
        kgiMediaType type;
    };
    const Case cases[] = {
        {"/m/a.mpeg", MEDIA_MOVIE}, {"/m/a.MPEG", MEDIA_NONE}, {"/m/a.Avi", MEDIA_NONE},
        {"/m/a.AVI", MEDIA_MOVIE},  {"/m/a.OGG", MEDIA_NONE},  {"/m/a.ogg", MEDIA_SOUND},
        {"/m/a.aiff", MEDIA_SOUND}, {"/m/a.AIFF", MEDIA_NONE}, {"/m/a.JPEG", MEDIA_IMAGE},
        {"/m/a.BMP", MEDIA_NONE},   {"/m/a.mpegx", MEDIA_NONE}, {"/m/a", MEDIA_NONE},
        {"/m.avi/a", MEDIA_NONE},
    };
    for (const Case& c : cases) EXPECT_EQ(kgiMediaHost::getMediaType(c.path), c.type) << c.path;
}

// --- positioning ---

TEST_F(MediaHost, MoviesArePutAtTheWorldsTimeOncePerTime) {
    host->showMediaWindow();
    add("/m/p-1.jpg", 100, 2000);
    add("/m/s-1.wav", 100, 2000);
    world->setCurrentTime(130.0f);
    host->syncToCurrentTime();
    EXPECT_EQ(fake.take(), (Log{"show", "create /m/p-1.jpg", "create /m/s-1.wav"}))
        << "images and sounds are never sought";
    services.answers = {true};
    add("/m/a-1.avi", 100, 2000);  // takes the image's place
    EXPECT_EQ(fake.take().back(), "seek a-1.avi 3000") << "a new movie is put in place at once";

    struct Step {
        float time;
        Log seeks;
    };
    const Step steps[] = {
        {70.0f, {"seek a-1.avi 1000"}},
        {10.0f, {"seek a-1.avi -1000"}},
        {10.0f, {}},  // the same time again
    };
    for (const Step& s : steps) {
        world->setCurrentTime(s.time);
        host->syncToCurrentTime();
        EXPECT_EQ(fake.take(), s.seeks) << "at " << s.time;
    }
    EXPECT_EQ(host->getLastSyncTime(), 10.0f);

    world->setPlaying(true);
    fake.take();
    host->syncToCurrentTime();
    EXPECT_EQ(host->getLastSyncTime(), -1.0f) << "while the world plays";
    world->setPlaying(false);
    fake.take();
    host->syncToCurrentTime();
    EXPECT_EQ(fake.take(), Log{"seek a-1.avi -1000"}) << "after playing, the same time seeks again";

    host->hideMediaWindow();
    fake.take();
    world->setCurrentTime(40.0f);
    host->syncToCurrentTime();
    EXPECT_EQ(fake.take(), Log{}) << "hidden";
    EXPECT_EQ(host->getLastSyncTime(), -1.0f);
    host->showMediaWindow();
    EXPECT_EQ(fake.take(), Log{"show"}) << "showing syncs while still hidden, then shows";
    host->syncToCurrentTime();
    EXPECT_EQ(fake.take(), Log{"seek a-1.avi 0"});

    add("/m/s2-1.mp3", 100, 0);
    EXPECT_EQ(fake.take(), Log{"create /m/s2-1.mp3"}) << "a sound leaves the movie where it is";
    services.answers = {true};
    add("/m/b-1.avi", 100, 0);
    const Log calls = fake.take();
    EXPECT_EQ(calls.back(), "seek b-1.avi -2000") << "a new movie is put in place at once";

    host->removeAllTracks();
    EXPECT_EQ(host->getLastSyncTime(), -1.0f);
    add("/m/c-1.avi", 40, 0);
    EXPECT_EQ(fake.take().back(), "seek c-1.avi 0") << "after removing all, the same time seeks again";
}

TEST_F(MediaHost, RemovingAllOfAShownWindowHidesAndShowsIt) {
    host->showMediaWindow();
    add("/m/a-1.avi");
    fake.take();
    host->removeAllTracks();
    EXPECT_EQ(fake.take(), (Log{"destroy a-1.avi", "hide", "show"}));
    EXPECT_TRUE(host->isWindowShown());
    host->hideMediaWindow();
    fake.take();
    host->removeAllTracks();
    EXPECT_EQ(fake.take(), Log{}) << "a hidden window stays hidden";
}

// --- world playback ---

TEST_F(MediaHost, WorldPlaybackStartsAndStopsTheTracks) {
    ASSERT_EQ(world->getRegisteredMediaTracks(), host.get());
    add("/m/a-5000.avi", 10, 500);
    add("/m/s-5000.wav", 20, 0);
    fake.take();
    world->setCurrentTime(9.0f);
    world->setPlaying(true);
    world->advancePlaybackBy(0.1f, false);  // 3 frames: time 12
    EXPECT_EQ(fake.take(), Log{"play a-5000.avi 566"}) << "500 + 2 frames at 30 fps";
    EXPECT_TRUE(host->getTrackInfo(0)->playing) << "the world writes the entry's own record";
    EXPECT_EQ(host->getTrackInfo(0)->lastFrame, 12);
    world->advancePlaybackBy(0.3f, false);  // time 21
    EXPECT_EQ(fake.take(), Log{"play s-5000.wav 33"});
    world->setPlaying(false);
    EXPECT_EQ(fake.take(), (Log{"stop a-5000.avi", "stop s-5000.wav"}));
    EXPECT_FALSE(host->getTrackInfo(0)->playing);
    EXPECT_FALSE(host->getTrackInfo(1)->playing);
}

// --- records ---

TEST_F(MediaHost, RecordsBelongToTheirEntries) {
    {
        auto given = std::make_unique<kgiMediaTrackInfo>(placedAt(5, 7));
        host->addTrack("/m/a-1.avi", given.get());
    }  // the caller's record is gone
    kgiMediaTrackInfo* own = host->getTrackInfo(0);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->startFrame, 5);
    {
        auto replacement = std::make_unique<kgiMediaTrackInfo>(placedAt(40, 9));
        replacement->endFrame = 80;
        host->setTrackInfo(0, replacement.get());
    }
    EXPECT_EQ(host->getTrackInfo(0), own) << "copied in, the entry's record stays";
    EXPECT_EQ(own->startFrame, 40);
    EXPECT_EQ(own->endFrame, 80);
    host->setTrackInfo(0, own);
    host->setTrackInfo(0, nullptr);
    host->setTrackInfo(3, own);
    EXPECT_EQ(own->startFrame, 40);

    // Adding more tracks leaves the first one's record where it was.
    for (int i = 0; i < 20; ++i) add("/m/s" + std::to_string(i) + "-1.wav");
    EXPECT_EQ(host->getTrackInfo(0), own);
}

// --- media list ---

TEST(MediaListPaths, ListBesideTheTimesheet) {
    struct Case {
        const char* timesheet;
        const char* save;
        const char* load;
    };
    const Case cases[] = {
        {"/a/b.ts", "/a/media/b.tl", "/a/media/b.tl"},
        {"/a/b.tl", "/a/b.tl", "/a/b.tl"},
        {"/a/b.TL", "/a/media/b.tl", "/a/media/b.tl"},
        {"/a/b", "/a/media/b.tl", "/a/media/b.tl"},
        {"/a.d/b", "/a.d/media/b.tl", "/a.d/media/b.tl"},
        {"b.ts", "media/b.tl", "media/b.tl"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kgiMediaHost::saveListPath(c.timesheet), c.save) << c.timesheet;
        EXPECT_EQ(kgiMediaHost::loadListPath(c.timesheet), c.load) << c.timesheet;
    }
}

TEST(MediaListParse, LinesAndPaths) {
    const std::string longPath = "/" + std::string(299, 'x');
    struct Case {
        const char* what;
        std::string text;
        std::vector<std::string> paths;
        std::vector<int> numbers;  // start, end, offset of each item
    };
    const Case cases[] = {
        {"two lines", "[ /m/a.avi ], [ 10, 450 ], [ 200 ]\n[ /m/s.wav ], [ 0, 30 ], [ -5 ]\n",
         {"/m/a.avi", "/m/s.wav"}, {10, 450, 200, 0, 30, -5}},
        {"CR LF", "[ /m/a.avi ], [ 10, 450 ], [ 200 ]\r\n[ /m/s.wav ], [ 0, 30 ], [ -5 ]\r\n",
         {"/m/a.avi", "/m/s.wav"}, {10, 450, 200, 0, 30, -5}},
        {"no last line end", "[ /m/a.avi ], [ 1, 2 ], [ 3 ]", {"/m/a.avi"}, {1, 2, 3}},
        {"a blank and brackets in the path", "[ /m/my clip [2], [ x ].avi ], [ 1, 2 ], [ 3 ]\n",
         {"/m/my clip [2], [ x ].avi"}, {1, 2, 3}},
        {"a 300-character path", "[ " + longPath + " ], [ 4, 5 ], [ 6 ]\n", {longPath}, {4, 5, 6}},
        {"short lines and lines without [", "[ a\n[\n\nplain text line\n[ /m/a.avi ], [ 1, 2 ], [ 3 ]\n",
         {"/m/a.avi"}, {1, 2, 3}},
        {"a five-character line with its end", "[ abc\n", {"abc"}, {0, 0, 0}},
        {"without the groups: up to the first blank", "[ /m/my clip.avi ] 7\n", {"/m/my"}, {0, 0, 0}},
        {"numbers that cannot be read keep 0", "[ /m/a.avi ], [ 9, x ], [ 3 ]\n", {"/m/a.avi"}, {9, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<kgiMediaListItem> items = kgiMediaHost::parseMediaList(c.text);
        ASSERT_EQ(items.size(), c.paths.size());
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_EQ(items[i].path, c.paths[i]);
            EXPECT_EQ(items[i].startFrame, c.numbers[3 * i]);
            EXPECT_EQ(items[i].endFrame, c.numbers[3 * i + 1]);
            EXPECT_EQ(items[i].offsetMs, c.numbers[3 * i + 2]);
        }
    }
}

TEST_F(MediaHost, ListWrittenAndReadBack) {
    TempFolder dir("kgi_media_list");
    const std::string ts = (dir.path / "walk.ts").string();
    const std::string spaced = (dir.path / "my clips" / "a b-1000.avi").string();
    const std::string longName = (dir.path / (std::string(280, 'n') + "-10.wav")).string();
    add(spaced, 12, 300);
    add(longName, 4, -20);
    EXPECT_EQ(host->saveMediaList(ts), 2) << "the media folder is made";
    const fs::path list = dir.path / "media" / "walk.tl";
    EXPECT_EQ(readFile(list), "[ " + spaced + " ], [ 12, 450 ], [ 300 ]\n[ " + longName +
                                  " ], [ 4, 450 ], [ -20 ]\n");

    host->getTrackInfo(0)->endFrame = 77;
    host->saveMediaList(ts);
    add("/m/extra-1.wav");
    fake.take();
    world->setFps(10.0f);
    EXPECT_EQ(host->loadMediaList(ts, false), 2);
    const Log calls = fake.take();
    EXPECT_EQ(calls[0], "destroy a b-1000.avi") << "the old tracks go first";
    EXPECT_EQ(names(), (std::vector<std::string>{"a b-1000.avi", fs::path(longName).filename().string()}));
    EXPECT_EQ(host->getTrackInfo(0)->startFrame, 12);
    EXPECT_EQ(host->getTrackInfo(0)->offsetMs, 300);
    EXPECT_EQ(host->getTrackInfo(0)->endFrame, 150) << "15 seconds again, not the stored end";
    EXPECT_TRUE(host->getTrackInfo(0)->active);
    EXPECT_EQ(host->getTrackInfo(1)->offsetMs, -20);

    EXPECT_EQ(host->loadMediaList(ts, true), 3) << "appending keeps the tracks; the movie replaces the movie";
    EXPECT_EQ(names(), (std::vector<std::string>{fs::path(longName).filename().string(), "a b-1000.avi",
                                                 fs::path(longName).filename().string()}));
    EXPECT_EQ(host->loadMediaList((dir.path / "none.ts").string(), true), 0);
    EXPECT_EQ(host->getTrackCount(), 3);
    EXPECT_EQ(host->loadMediaList(list.string(), false), 2) << "the list itself";
}

TEST_F(MediaHost, AListThatCannotBeWrittenKeepsTheOldOne) {
    TempFolder dir("kgi_media_list_fail");
    add("/m/a-1.avi");
    // A file where the media folder should be.
    writeFile(dir.path / "media", "not a folder");
    EXPECT_EQ(host->saveMediaList((dir.path / "walk.ts").string()), 0);

    // The list itself a folder: the old content of a file stays elsewhere.
    const fs::path old = dir.path / "old.tl";
    writeFile(old, "[ /m/old.avi ], [ 1, 2 ], [ 3 ]\n");
    fs::create_directories(dir.path / "blocked.tl");
    EXPECT_EQ(host->saveMediaList((dir.path / "blocked.tl").string()), 0);
    EXPECT_TRUE(fs::is_directory(dir.path / "blocked.tl"));
    EXPECT_EQ(host->saveMediaList(old.string()), 1);
    EXPECT_EQ(readFile(old), "[ /m/a-1.avi ], [ 0, 450 ], [ 0 ]\n");
}

// --- import ---

class MediaImport : public MediaHost {
protected:
    kgiScriptedDialogs dialogs;
    void SetUp() override {
        MediaHost::SetUp();
        kgiFileDialogs::install(&dialogs);
    }
    void TearDown() override {
        kgiFileDialogs::install(nullptr);
        MediaHost::TearDown();
    }
};

TEST_F(MediaImport, TheDialogAsksForAMovieOrSoundAndAddsIt) {
    dialogs.answers = {"/m/clip-3000.avi"};
    EXPECT_EQ(host->importMediaFile(), 1);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    const kgiFileDialogRequest& r = dialogs.shown[0];
    EXPECT_FALSE(r.save);
    EXPECT_EQ(r.title, "Import AV file...");
    EXPECT_EQ(r.filter, "Video files (*.wmv,*.mpg,*.mpeg,*.avi,*.mov)") << "the first, selected";
    EXPECT_EQ(r.otherFilters,
              (std::vector<std::string>{"Audio files (*.wav,*.mp3,*.ogg,*.aiff)", "All files (*.*)"}));
    EXPECT_EQ(r.extension, "mpg");
    const kgiMediaTrackInfo* info = host->getTrackInfo(0);
    EXPECT_EQ(info->startFrame, 0);
    EXPECT_EQ(info->endFrame, 450);
    EXPECT_TRUE(info->active);
    EXPECT_FALSE(info->playing);
    EXPECT_EQ(info->offsetMs, 0);
    EXPECT_EQ(info->durationMs, 3000.0f);

    fake.take();
    EXPECT_EQ(host->importMediaFile(), -1) << "cancelled";
    EXPECT_EQ(fake.take(), Log{"create "}) << "the empty path is refused by the plug-in";
    EXPECT_TRUE(services.boxes.empty()) << "no question on cancel";
}

TEST(MediaImportApp, TheChosenFileIsRememberedAndTheDialogStartsThere) {
    EXPECT_IN_CHILD([] {
        kgiAppRig rig;
        rig.app->setMediaDir("/start/media");
        RecordingServices services;
        kgiCharacterServices::install(&services);
        kgiScriptedDialogs dialogs;
        kgiFileDialogs::install(&dialogs);
        {
            kgiMediaHost host(fakeFolder("whole"));
            dialogs.answers = {"/m/clip-3000.avi"};
            CHILD_CHECK(host.importMediaFile() == 1);
            CHILD_CHECK(dialogs.shown.back().folder == "/start/media");
            CHILD_CHECK(rig.app->getMediaDir() == "/m/clip-3000.avi");
            CHILD_CHECK(host.importMediaFile() == -1);
            CHILD_CHECK(dialogs.shown.back().folder == "/m/clip-3000.avi");
            CHILD_CHECK(rig.app->getMediaDir() == "/m/clip-3000.avi");  // cancel keeps it
        }
        {
            kgiMediaHost unbound(fakeFolder("none"));
            dialogs.answers = {"/m/other-10.avi"};
            CHILD_CHECK(unbound.importMediaFile() == -1);
            CHILD_CHECK(dialogs.shown.size() == 3u);  // the dialog still comes
        }
        kgiFileDialogs::install(nullptr);
        kgiCharacterServices::install(nullptr);
    });
}

} // namespace
