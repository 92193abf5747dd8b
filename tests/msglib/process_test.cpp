#include "msglib/msglib_support.h"
#include "platform/process.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace msglibtest;

namespace {

TEST(Process, PassesArgumentsUnparsedInTheWorkingFolder)
{
    ScratchDir dir;
    std::string script = dir.file("record.sh");
    std::string log = dir.file("args.txt");
    writeScript(script, "pwd > \"" + log + "\"\nprintf '%s\\n' \"$@\" >> \"" + log + "\"\n");
    ScratchDir work;

    // Text a shell would expand, split or redirect must arrive as it is.
    platform::Process p;
    ASSERT_TRUE(p.start({script, "two words", "$(touch gotcha)", "a;b > c", "'\"\\"}, work.path().string()));
    ASSERT_TRUE(waitFor([&] { return !p.running(); }));
    EXPECT_FALSE(p.held());
    EXPECT_TRUE(WIFEXITED(p.lastStatus()) && WEXITSTATUS(p.lastStatus()) == 0);
    std::vector<std::string> expected = {work.path().string(), "two words", "$(touch gotcha)",
                                         "a;b > c", "'\"\\"};
    EXPECT_EQ(readLines(log), expected);
    EXPECT_FALSE(std::filesystem::exists(work.path() / "gotcha"));
}

TEST(Process, ChildGetsOnlyTheStandardDescriptors)
{
    ScratchDir dir;
    std::string log = dir.file("fds.txt");
    // No close-on-exec on purpose. Moved above the low numbers, which the
    // child's ls takes for the folder it lists: a leak at 3 would be
    // indistinguishable from that.
    int opened = open("/dev/null", O_RDONLY);
    ASSERT_GE(opened, 3);
    int leaked = fcntl(opened, F_DUPFD, 64);
    close(opened);
    ASSERT_GE(leaked, 64);
    platform::Process p;
    ASSERT_TRUE(p.start({"sh", "-c", "ls /proc/self/fd > \"" + log + "\""}));
    ASSERT_TRUE(waitFor([&] { return !p.running(); }));
    close(leaked);
    // 0-2, and the descriptor ls opened on the folder it lists.
    std::vector<std::string> fds = readLines(log);
    EXPECT_LE(fds.size(), 4u);
    EXPECT_EQ(std::count(fds.begin(), fds.end(), std::to_string(leaked)), 0);
}

TEST(Process, TerminateEndsTheChildAndWhatItStarted)
{
    ScratchDir dir;
    std::string log = dir.file("pids.txt");
    std::string script = dir.file("spawner.sh");
    // The script starts a helper of its own, then waits for it.
    writeScript(script, "sleep 60 &\necho $$ $! > \"" + log + "\"\nwait\n");
    platform::Process p;
    ASSERT_TRUE(p.start({script}));
    ASSERT_TRUE(waitFor([&] { return readLines(log).size() == 1; }));
    int parent = 0, helper = 0;
    ASSERT_EQ(sscanf(readLines(log)[0].c_str(), "%d %d", &parent, &helper), 2);
    EXPECT_TRUE(p.running());

    p.terminate();
    EXPECT_FALSE(p.held());
    EXPECT_FALSE(p.running());
    EXPECT_FALSE(processAlive(parent));
    // The helper is not our child: it goes away once init reaps it.
    EXPECT_TRUE(waitFor([&] { return !processAlive(helper); }));
    // Reaped: no zombie is left for the id.
    EXPECT_EQ(waitpid(parent, nullptr, WNOHANG), -1);
    p.terminate(); // nothing held: a no-op
}

TEST(Process, RefusesWhatCannotStart)
{
    ScratchDir dir;
    struct Case {
        const char* what;
        std::vector<std::string> argv;
        int error;
    };
    const Case cases[] = {
        {"no arguments", {}, EINVAL},
        {"empty program name", {""}, EINVAL},
        {"program not on the path", {"kgi-no-such-program-here"}, ENOENT},
        {"missing file", {dir.file("missing")}, ENOENT},
    };
    for (const Case& c : cases) {
        platform::Process p;
        EXPECT_FALSE(p.start(c.argv)) << c.what;
        EXPECT_EQ(p.lastError(), c.error) << c.what;
        EXPECT_FALSE(p.held()) << c.what;
        EXPECT_FALSE(p.running()) << c.what;
    }
}

TEST(Process, DestructorLeavesNoChildBehind)
{
    ScratchDir dir;
    std::string log = dir.file("pid.txt");
    std::string script = dir.file("wait.sh");
    writeScript(script, "echo $$ > \"" + log + "\"\nexec sleep 60\n");
    int pid = 0;
    {
        platform::Process p;
        ASSERT_TRUE(p.start({script}));
        ASSERT_TRUE(waitFor([&] { return readLines(log).size() == 1; }));
        pid = std::stoi(readLines(log)[0]);
    }
    EXPECT_FALSE(processAlive(pid));
}

} // namespace
