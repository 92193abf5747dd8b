// The file dialogs' own rules over a scripted chooser: a save dialog's
// default extension and its question before replacing a file, cancel, and
// the folder kept from a chosen path.
#include "kgiCharacterServices.h"
#include "kgiFileDialog.h"

#include "support/app/kgiScriptedDialogs.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

class AnsweringServices : public kgiCharacterServices {
public:
    std::deque<bool> answers;
    std::vector<std::string> questions;

    bool askYesNo(const std::string& caption, const std::string& text) override
    {
        questions.push_back(caption + "|" + text);
        if (answers.empty())
            return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
};

class FileDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("kgi_file_dialog_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        kgiFileDialogs::install(&dialogs);
        kgiCharacterServices::install(&services);
    }
    void TearDown() override
    {
        kgiFileDialogs::install(nullptr);
        kgiCharacterServices::install(nullptr);
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    static kgiFileDialogRequest request(bool save)
    {
        kgiFileDialogRequest s;
        s.save = save;
        s.title = save ? "Save Zodarovu motion..." : "Load Zodarovu motion...";
        s.filter = "Zodarovu Motion (*.mdm)";
        s.extension = "mdm";
        s.folder = "/start";
        return s;
    }

    fs::path dir;
    kgiScriptedDialogs dialogs;
    AnsweringServices services;
};

TEST_F(FileDialog, CancelLeavesThePathAlone)
{
    for (bool save : {false, true}) {
        std::string path = "kept";
        EXPECT_FALSE(kgiFileDialogs::run(request(save), path));
        EXPECT_EQ(path, "kept");
    }
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].folder, "/start");
    EXPECT_EQ(dialogs.shown[1].title, "Save Zodarovu motion...");
    EXPECT_TRUE(services.questions.empty());
}

TEST_F(FileDialog, SaveAddsTheExtensionOnlyToANameWithout)
{
    // Any length, any bytes: paths are used as the file system gives them.
    const std::string longName = (dir / std::string(300, 'w')).string();
    const std::string utf8 = (dir / "歩く").string();
    struct Case {
        std::string chosen;
        std::string expected;
    } cases[] = {
        {(dir / "walk").string(), (dir / "walk.mdm").string()},
        {(dir / "walk.mdm").string(), (dir / "walk.mdm").string()},
        {(dir / "walk.txt").string(), (dir / "walk.txt").string()},
        {"/a.b/walk", "/a.b/walk.mdm"},
        {longName, longName + ".mdm"},
        {utf8, utf8 + ".mdm"},
    };
    for (const Case& c : cases) {
        dialogs.answers = {c.chosen};
        std::string path;
        ASSERT_TRUE(kgiFileDialogs::run(request(true), path)) << c.chosen;
        EXPECT_EQ(path, c.expected);
    }
    EXPECT_TRUE(services.questions.empty()) << "no file existed";

    // An open dialog hands over what was chosen.
    dialogs.answers = {(dir / "walk").string()};
    std::string path;
    ASSERT_TRUE(kgiFileDialogs::run(request(false), path));
    EXPECT_EQ(path, (dir / "walk").string());
}

TEST_F(FileDialog, OpenGivesTheExtensionOnlyToANameThatNamesNoFile)
{
    const std::string bare = (dir / "clip").string();
    const auto chosen = [&](const std::string& answer) {
        dialogs.answers = {answer};
        std::string path;
        EXPECT_TRUE(kgiFileDialogs::run(request(false), path));
        return path;
    };
    EXPECT_EQ(chosen(bare), bare) << "neither file exists";
    std::ofstream(dir / "clip.mdm") << "motion\n";
    EXPECT_EQ(chosen(bare), bare + ".mdm");
    EXPECT_EQ(chosen((dir / "clip.txt").string()), (dir / "clip.txt").string()) << "a name with an extension";
    std::ofstream(dir / "clip") << "plain\n";
    EXPECT_EQ(chosen(bare), bare) << "the file itself exists";
}

TEST_F(FileDialog, ReplacingAFileIsAskedAndNoShowsTheDialogAgain)
{
    std::ofstream(dir / "walk.mdm") << "old\n";
    // No: the dialog comes back in the chosen folder; then yes.
    dialogs.answers = {(dir / "walk").string(), (dir / "walk.mdm").string()};
    services.answers = {false, true};
    std::string path;
    ASSERT_TRUE(kgiFileDialogs::run(request(true), path));
    EXPECT_EQ(path, (dir / "walk.mdm").string());
    ASSERT_EQ(services.questions.size(), 2u);
    EXPECT_EQ(services.questions[0], "Save Zodarovu motion...|walk.mdm already exists.\nDo you want to replace it?");
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[1].folder, dir.string());

    // No, then cancel: nothing chosen.
    dialogs.answers = {(dir / "walk.mdm").string()};
    services.answers = {false};
    path = "kept";
    EXPECT_FALSE(kgiFileDialogs::run(request(true), path));
    EXPECT_EQ(path, "kept");

    // An open dialog never asks.
    services.questions.clear();
    dialogs.answers = {(dir / "walk.mdm").string()};
    ASSERT_TRUE(kgiFileDialogs::run(request(false), path));
    EXPECT_TRUE(services.questions.empty());
}

TEST_F(FileDialog, KeptFolderIsThePathUpToItsLastSeparator)
{
    struct Case {
        const char* path;
        const char* folder;
    } cases[] = {
        {"/home/u/motion/walk.mdm", "/home/u/motion"},
        {"/walk.mdm", "/"},
        {"walk.mdm", ""},
        {"/home/u/a b\\c/walk.mdm", "/home/u/a b\\c"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kgiFileDialogs::folderOf(c.path), c.folder) << c.path;
}

} // namespace
