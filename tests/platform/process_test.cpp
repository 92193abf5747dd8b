// Programs started detached from the editor (the help viewer) and the
// editor replaced by another program (the companion), with a stand-in that
// writes its folder and arguments to a file.
#include "platform/process.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

class ProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("kgi_process_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "work dir");
        out = dir / "probe.txt";
        ::setenv("KGI_PROBE_OUT", out.c_str(), 1);
        ::unsetenv("KGI_PROBE_DELAY_MS");
        ::unsetenv("KGI_PROBE_EXIT");
    }
    void TearDown() override
    {
        ::unsetenv("KGI_PROBE_OUT");
        ::unsetenv("KGI_PROBE_DELAY_MS");
        ::unsetenv("KGI_PROBE_EXIT");
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    // The probe's lines once its file is there (empty after a few seconds
    // without it).
    std::vector<std::string> probeLines(int waitMs = 5000) const
    {
        for (int waited = 0; !fs::exists(out) && waited < waitMs; waited += 10)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::vector<std::string> lines;
        std::ifstream in(out);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    fs::path dir;
    fs::path out;
};

const std::string PROBE = KGI_ARGV_PROBE;

TEST_F(ProcessTest, DetachedStartHandsEveryArgumentOverAsItIs)
{
    // What a shell would split, expand or run stays one argument each.
    const std::vector<std::string> argv{PROBE, "/base/help/my page;rm -rf x.html", "$(id) *", "", "'q\"uote'"};
    const pid_t pid = platform::startDetached(argv, (dir / "work dir").string());
    ASSERT_GT(pid, 0);
    std::vector<std::string> expected{(dir / "work dir").string()};
    expected.insert(expected.end(), argv.begin(), argv.end());
    EXPECT_EQ(probeLines(), expected);
}

TEST_F(ProcessTest, DetachedStartSearchesThePathForABareName)
{
    fs::create_directories(dir / "bin");
    fs::copy_file(PROBE, dir / "bin" / "xdg-open");
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", ((dir / "bin").string() + ":" + oldPath).c_str(), 1);
    const pid_t pid = platform::startDetached({"xdg-open", "/base/help/help_en.html"});
    ::setenv("PATH", oldPath.c_str(), 1);
    ASSERT_GT(pid, 0);
    const std::vector<std::string> lines = probeLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1], "xdg-open");
    EXPECT_EQ(lines[2], "/base/help/help_en.html");
}

TEST_F(ProcessTest, DetachedProgramIsNoChildAndLeavesNoZombie)
{
    const pid_t pid = platform::startDetached({PROBE});
    ASSERT_GT(pid, 0);
    ASSERT_FALSE(probeLines().empty());
    // Neither the program nor the helper that started it is a child left to
    // reap: once the short-lived program has ended, nothing of it stays.
    errno = 0;
    EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
    EXPECT_EQ(errno, ECHILD);
}

TEST_F(ProcessTest, DetachedProgramOutlivesTheEditorAndItsGroupsSignal)
{
    ::setenv("KGI_PROBE_DELAY_MS", "300", 1);
    const pid_t editor = ::fork();
    ASSERT_GE(editor, 0);
    if (editor == 0) {
        // The editor in a group of its own, as a terminal would have it: it
        // starts the viewer, then it and its group are ended (Ctrl+C).
        ::setpgid(0, 0);
        if (platform::startDetached({PROBE}) <= 0)
            std::_Exit(2);
        ::kill(0, SIGTERM);
        ::pause();
        std::_Exit(3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(editor, &status, 0), editor);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the editor ended by the signal";
    EXPECT_FALSE(fs::exists(out)) << "the viewer still waits";
    EXPECT_FALSE(probeLines().empty()) << "the viewer was not ended with the editor";
}

TEST_F(ProcessTest, FailedStartsAnswerWhy)
{
    const fs::path plain = dir / "not-a-program";
    std::ofstream(plain) << "text\n";
    struct Case {
        std::vector<std::string> argv;
        std::string workDir;
        int error;
    } cases[] = {
        {{}, "", EINVAL},
        {{""}, "", EINVAL},
        {{"kgi-no-such-program"}, "", ENOENT},
        {{PROBE}, (dir / "missing").string(), ENOENT},
        {{plain.string()}, "", EACCES},
    };
    for (const Case& c : cases) {
        int error = 0;
        EXPECT_EQ(platform::startDetached(c.argv, c.workDir, &error), -1) << c.argv.size() << " " << c.workDir;
        EXPECT_EQ(error, c.error) << (c.argv.empty() ? "" : c.argv[0]) << " " << c.workDir;
    }
    EXPECT_FALSE(fs::exists(out));
    errno = 0;
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "no helper left behind";
}

TEST_F(ProcessTest, ReplacementRunsTheProgramInItsFolderWithItsArguments)
{
    ::setenv("KGI_PROBE_EXIT", "7", 1);
    const std::string workDir = (dir / "work dir").string();
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int error = platform::replaceProcess(PROBE, {"Vevur"}, workDir);
        std::_Exit(100 + error);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 7) << "the stand-in's own exit status";
    EXPECT_EQ(probeLines(), (std::vector<std::string>{workDir, "Vevur"}));
}

TEST_F(ProcessTest, AProgramReplacingItselfByItsOwnFileKeepsItsName)
{
    // The probe replaces itself through ownProgramPath, as a lesson restart
    // does; through "/proc/self/exe" the kernel would name it "exe".
    ::setenv("KGI_PROBE_REPLACE_SELF", "1", 1);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const int error = platform::replaceProcess(PROBE, {"first"}, dir.string());
        std::_Exit(100 + error);
    }
    ::unsetenv("KGI_PROBE_REPLACE_SELF");
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(probeLines(), (std::vector<std::string>{dir.string(), "Zodarovu0", "again",
                                                      fs::path(PROBE).filename().string().substr(0, 15)}));
    EXPECT_EQ(platform::ownProgramPath(), fs::canonical("/proc/self/exe").string());
}

TEST_F(ProcessTest, FailedReplacementKeepsTheProcessAndItsFolder)
{
    const fs::path plain = dir / "not-a-program";
    std::ofstream(plain) << "text\n";
    const fs::path before = fs::current_path();
    struct Case {
        std::string path;
        std::string workDir;
        int error;
    } cases[] = {
        {(dir / "Vevur").string(), dir.string(), ENOENT},
        {PROBE, (dir / "missing").string(), ENOENT},
        {plain.string(), dir.string(), EACCES},
        {"", dir.string(), EINVAL},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::replaceProcess(c.path, {"Vevur"}, c.workDir), c.error) << c.path;
        EXPECT_EQ(fs::current_path(), before) << c.path;
    }
    EXPECT_FALSE(fs::exists(out));
}

} // namespace
