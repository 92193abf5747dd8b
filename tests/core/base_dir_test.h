#pragma once
// A base directory of the program's own for an application test: a fresh
// folder below the temporary directory with "settings/settings.txt" holding
// the given text, and the reading back of a file the program wrote there.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

// name tells the tests' folders apart ("<tmp>/<name>_<pid>"); the caller
// removes it.
inline std::filesystem::path kgiMakeBaseDir(const std::string& name, const std::string& settings)
{
    const auto dir = std::filesystem::temp_directory_path() / (name + "_" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir / "settings");
    std::ofstream(dir / "settings" / "settings.txt") << settings;
    return dir;
}

// The whole file; empty when it cannot be read.
inline std::string kgiReadWholeFile(const std::filesystem::path& p)
{
    std::ifstream in(p);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
