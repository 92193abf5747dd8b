#pragma once
// Small helpers of the document tests: a private temporary folder that
// removes itself, and whole-file reads and writes.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class kgiTestDir {
public:
    kgiTestDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kgidocXXXXXX").string();
        if (mkdtemp(&pattern[0]))
            root = pattern;
    }
    ~kgiTestDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
    kgiTestDir(const kgiTestDir&) = delete;
    kgiTestDir& operator=(const kgiTestDir&) = delete;

    const std::string& path() const { return root; }
    std::string file(const std::string& name) const { return root + "/" + name; }

private:
    std::string root;
};

inline void writeText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

inline std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Names in a folder, to check that no temporary file was left behind.
inline int entryCount(const std::string& dir)
{
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        (void)e;
        ++n;
    }
    return n;
}
