#pragma once
// The main window as the command and key tests meet it: the real window,
// created, with the factory robot loaded and current. The robot joint table
// and the media host are recording stand-ins behind the core's seams, the
// file dialogs a script, the boxes a test kgiAppServices answering from a
// script, and the lesson, sound, session and options dialog the
// application's stand-ins; a lesson that waits for each action is running,
// so every report is recorded. Derive a fixture of its own per test file:
//
//   using namespace kgiMainWindowTesting;
//   class PoseCommands : public kgiMainWindowTest {};
//   TEST_F(PoseCommands, ...) { keyAt({0, 10}); send(W::ID_KEYS_UNDO); ... }
#include "kgiTimesheetCanvas.h"
#include "kgiTimesheetWindow.h"

#include "kgiApp.h"
#include "kgiAppServices.h"
#include "kgiCharacter.h"
#include "kgiCollisionCheckParts.h"
#include "kgiTables.h"
#include "kgiWorld.h"

#include "ksgNode.h"

#include "core/joint_list_table_test.h"
#include "support/app/kgiAppStandIns.h"
#include "support/app/kgiScriptedDialogs.h"
#include "support/window/kgiWindowTest.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace kgiMainWindowTesting {

inline std::string fileName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

// The joint table: its joints are those of the current character's model
// (looked up on each call, so a new project's model is the one used), and
// every seam operation is recorded with the file name it was given.
class RecordingJoints : public kgiTestJoints::JointListTable {
public:
    kgiCallRecord record;
    bool fileResult = true;
    // Runs inside importMotionMdm and importPellScript on success, with the
    // start frame (0 for a script): the keys a real reader would add.
    std::function<void(int start)> onImport;

    int getNodeCount() override {
        refresh();
        return JointListTable::getNodeCount();
    }
    ksgNode* getNode(int i) override {
        refresh();
        return JointListTable::getNode(i);
    }
    bool loadModelIni(const std::string& path, kgiCharacter*) override {
        record.add("loadModelIni(" + fileName(path) + ")");
        return true;
    }
    void setupJointLimits(ksgNode* n) override { record.add("setupJointLimits(" + (n ? n->getName() : "") + ")"); }
    bool applyInitialPose(kgiCharacter*) override {
        record.add("applyInitialPose");
        return true;
    }
    bool alignBasePart(ksgNode* n, bool appended) override {
        record.add("alignBasePart(" + (n ? n->getName() : "") + "," + (appended ? "1" : "0") + ")");
        return true;
    }
    bool importMotionMdm(const std::string& path, int start) override {
        record.add("importMotionMdm(" + path + "," + std::to_string(start) + ")");
        if (fileResult && onImport) onImport(start);
        return fileResult;
    }
    bool exportMotionMdm(const std::string& path) override { return file("exportMotionMdm", path); }
    bool importPoseMdp(const std::string& path, bool applyRoot) override {
        return file("importPoseMdp", path + (applyRoot ? ",1" : ",0"));
    }
    bool exportPoseMdp(const std::string& path) override { return file("exportPoseMdp", path); }
    bool importPellScript(const std::string& path) override {
        if (fileResult && onImport) onImport(0);
        return file("importPellScript", path);
    }

private:
    bool file(const char* name, const std::string& arg) {
        record.add(std::string(name) + "(" + arg + ")");
        return fileResult;
    }
    void refresh() {
        joints.clear();
        if (kgiCharacter* c = kgiWorld::instance()->getCurrentCharacter())
            kgiTestJoints::collectJoints(c->getRoot(), joints);
    }
};

class RecordingMedia : public kgiMediaTracks {
public:
    kgiCallRecord record;
    int tracks = 0;
    int importResult = -1;

    int getTrackCount() override { return tracks; }
    kgiMediaTrackInfo* getTrackInfo(int) override { return nullptr; }
    void playTrack(int, int) override {}
    void stopTrack(int) override {}
    int importMediaFile() override {
        record.add("importMediaFile");
        return importResult;
    }
    void removeAllTracks() override {
        record.add("removeAllTracks");
        tracks = 0;
    }
    int loadMediaList(const std::string& path, bool append) override {
        record.add("loadMediaList(" + path + (append ? ",1)" : ",0)"));
        return 1;
    }
    int saveMediaList(const std::string& path) override {
        record.add("saveMediaList(" + path + ")");
        return 1;
    }
    void showMediaWindow() override { record.add("showMediaWindow"); }
    void hideMediaWindow() override { record.add("hideMediaWindow"); }
};

// The program's services with the boxes answered from a script and
// recorded as "caption|text".
class AnsweringServices : public kgiAppServices {
public:
    explicit AnsweringServices(const kgiApp& app) : kgiAppServices(app) {}
    std::vector<std::string> boxes;
    std::deque<bool> answers;

    void showMessage(const std::string& caption, const std::string& text) override {
        boxes.push_back(caption + "|" + text);
    }
    bool askYesNo(const std::string& caption, const std::string& text) override {
        boxes.push_back(caption + "|" + text);
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
};

// The application's stand-ins live as long as the application they are
// installed on: one set for the whole test program, since the application
// keeps the sound player the first set's makers made.
inline kgiAppStandIns& fakes() {
    static auto* f = new kgiAppStandIns;
    return *f;
}

using Times = std::vector<float>;

class kgiMainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        KGI_REQUIRE_TEST_APP();
        app = kgiTestApp();
        world = kgiWorld::instance();
        dir = std::filesystem::temp_directory_path() / ("kgi_commands_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);

        kgiAppStandIns& f = fakes();
        f.lesson.record.clear();
        f.sound.played.clear();
        f.session.openAnswer = true;
        f.options.record.clear();
        app->setMakers(f.makers());
        previousJoints = kgiPartTable::installed();
        kgiPartTable::install(&joints);
        world->setMediaTracks(&media);
        kgiFileDialogs::install(&dialogs);
        services = std::make_unique<AnsweringServices>(*app);
        kgiCharacterServices::install(services.get());

        window.reset(new kgiTimesheetWindow(app));
        window->create();
        app->setMainWindow(window.get());
        ASSERT_TRUE(kgiTestLoadFactoryRobot());
        kgiTestRunUntil([&] { return window->shown() && window->getCanvas()->getPaintCount() > 0; });
        // A lesson that waits for each action, so every report is recorded.
        app->setLessonManager(&f.lesson);
        f.lesson.mode = 1;
        f.lesson.waitingForAction = true;
        f.lesson.record.clear();
        joints.record.clear();
        media.record.clear();
        robot = world->getCurrentCharacter();
        ASSERT_NE(robot, nullptr);
    }

    void TearDown() override {
        if (!app) return;
        app->setRobotCommunication(false);
        app->deleteRobotSession();
        app->deleteOptionsDialog();
        fakes().lesson.mode = 0;
        app->setLessonManager(nullptr);
        window.reset();
        app->flush(true);
        kgiTestRemoveCharacters();
        app->setCurrentFile(std::string());
        app->setMakers(kgiAppMakers{});
        kgiCharacterServices::install(nullptr);
        kgiFileDialogs::install(nullptr);
        world->setMediaTracks(nullptr);
        kgiPartTable::install(previousJoints);
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    long send(int command) { return window->handle(nullptr, FXSEL(FX::SEL_COMMAND, command), nullptr); }

    // Keys on the current character at those frames (from the pose shown).
    void keyAt(const Times& frames) {
        kgiCharacter* c = world->getCurrentCharacter();
        ASSERT_NE(c, nullptr);
        for (float f : frames) ASSERT_TRUE(c->addKey(static_cast<int>(f)));
    }
    Times keys() const {
        kgiCharacter* c = world->getCurrentCharacter();
        return c ? c->getKeyTimes() : Times{};
    }
    Times range() const { return {world->getStartFrame(), world->getEndFrame()}; }

    // A timesheet in a copy of the factory folder whose motion holds keys at
    // the frames given: what the timesheet commands read.
    std::string makeClip(const Times& frames) {
        std::filesystem::copy(kgiTestBaseDir() + "/DORUZAVO_1base", dir / "clips", std::filesystem::copy_options::recursive);
        kgiCharacter source;
        EXPECT_TRUE(source.load((dir / "clips" / "DORUZAVO_1.ts").string()));
        for (float f : frames) EXPECT_TRUE(source.addKey(static_cast<int>(f)));
        EXPECT_TRUE(source.saveMotion("clip.ts"));
        return (dir / "clips" / "clip.ts").string();
    }

    std::string text(const char* key) const { return services->text(key); }
    std::string folder(const FX::FXString& s) const { return s.text(); }
    const kgiCallRecord& lesson() const { return fakes().lesson.record; }

    kgiApp* app = nullptr;
    kgiWorld* world = nullptr;
    kgiCharacter* robot = nullptr;
    std::filesystem::path dir;
    RecordingJoints joints;
    RecordingMedia media;
    kgiScriptedDialogs dialogs;
    std::unique_ptr<AnsweringServices> services;
    std::unique_ptr<kgiTimesheetWindow> window;
    kgiPartTable* previousJoints = nullptr;
};

} // namespace kgiMainWindowTesting
