#pragma once
// Small helpers of the message-plug-in tests: a scratch folder, a fake
// speech program, and a bounded wait for something a child process does.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace msglibtest {

// A fresh empty folder under the system's temporary folder, removed with
// the object.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return dir; }
    std::string file(const std::string& name) const { return (dir / name).string(); }

private:
    std::filesystem::path dir;
};

// Writes `body` after a "#!/bin/sh" line to `path` and makes it executable.
void writeScript(const std::string& path, const std::string& body);

// The whole file, or an empty string when it cannot be read.
std::string readFile(const std::string& path);
// The file's lines without their line breaks.
std::vector<std::string> readLines(const std::string& path);

// Polls `done` every 10 ms until it holds; false when it still does not
// after a generous bound (a child that never does its part fails the test
// instead of hanging it).
bool waitFor(const std::function<bool()>& done);

// True while a process of that id exists (a zombie counts as gone).
bool processAlive(int pid);

} // namespace msglibtest
