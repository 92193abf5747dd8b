#pragma once
// Helpers of the data-kit tests: staging a base directory, running tools
// and the program as child processes, and a private X server whose window
// list only the program under test fills.
#include <chrono>
#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace kit {

namespace fs = std::filesystem;

std::string readFile(const fs::path& p);
void writeFile(const fs::path& p, const std::string& text);

// A fresh, empty folder below the build's test folder.
fs::path freshDir(const std::string& name);

// Starts argv[0] (a path) with its arguments in `workDir`, with the
// variables of `env` ("NAME=value") set on top of this process's. -1 when
// the start failed.
pid_t spawn(const std::vector<std::string>& argv, const fs::path& workDir,
            const std::vector<std::string>& env = {});
// Waits for the child's end up to `limit`; its wait status, or -1 when it
// still runs then.
int waitFor(pid_t pid, std::chrono::milliseconds limit);
// Runs a command to its end; its exit code, or -1 when it did not exit
// normally within a minute.
int run(const std::vector<std::string>& argv, const fs::path& workDir = fs::path());

// The build's staging step into `dest`; true when it succeeded.
bool stage(const fs::path& dest);

// Every regular file below `root`, as paths relative to it, sorted.
std::vector<std::string> filesBelow(const fs::path& root);

// An X server of our own (Xvfb), so that the windows seen are only those
// of the program started on it. Ends with the object.
class PrivateDisplay {
public:
    PrivateDisplay();
    ~PrivateDisplay();
    PrivateDisplay(const PrivateDisplay&) = delete;
    PrivateDisplay& operator=(const PrivateDisplay&) = delete;

    // ":N", or empty when the server did not start.
    const std::string& name() const { return display; }
    // Titles of every window on the server that has one.
    std::vector<std::string> windowTitles() const;

private:
    pid_t server = -1;
    std::string display;
};

} // namespace kit
