#include "msglib/msglib_support.h"

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

namespace msglibtest {

namespace fs = std::filesystem;

ScratchDir::ScratchDir()
{
    std::random_device random;
    for (;;) {
        dir = fs::temp_directory_path() / ("msglib-" + std::to_string(random()));
        if (fs::create_directory(dir))
            break;
    }
}

ScratchDir::~ScratchDir()
{
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

void writeScript(const std::string& path, const std::string& body)
{
    {
        std::ofstream out(path, std::ios::binary);
        out << "#!/bin/sh\n" << body;
    }
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> readLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

bool waitFor(const std::function<bool()>& done)
{
    for (int i = 0; i < 1000; ++i) {
        if (done())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
}

bool processAlive(int pid)
{
    // The third field of /proc/<pid>/stat is the state; Z is a zombie.
    std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    if (stat.empty())
        return false;
    size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
}

} // namespace msglibtest
