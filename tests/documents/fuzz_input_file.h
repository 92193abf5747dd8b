#pragma once
// The readers take paths, so each fuzz input goes through a file of this
// process's own in the temporary folder, removed again at exit.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

class kgiFuzzInputFile {
public:
    explicit kgiFuzzInputFile(const char* extension)
        : path((std::filesystem::temp_directory_path()
                / ("kgifuzz" + std::to_string(getpid()) + extension))
                   .string())
    {
    }
    ~kgiFuzzInputFile() { std::remove(path.c_str()); }

    // Writes the input and returns the file's path.
    const std::string& hold(const uint8_t* data, size_t size)
    {
        if (FILE* f = std::fopen(path.c_str(), "wb")) {
            std::fwrite(data, 1, size, f);
            std::fclose(f);
        }
        return path;
    }

private:
    std::string path;
};
