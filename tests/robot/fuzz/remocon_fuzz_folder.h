#pragma once
// For the remote-control fuzz targets: one robot session for the whole run
// whose remote-control folder (list "list.txt") is a scratch folder of this
// process, and each input written to a file there for the session to read.
#include "kgiRobotSession.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

class kgiRemoconFuzzFolder {
public:
    // name tells the targets' folders apart ("/tmp/kgi_<name>_<pid>").
    explicit kgiRemoconFuzzFolder(const char* name)
        : dir("/tmp/kgi_" + std::string(name) + "_" + std::to_string(::getpid()))
    {
        std::error_code ignored;
        std::filesystem::create_directories(dir, ignored);
        session = new kgiRobotSession;  // kept to the end of the run, as the program keeps its own
        session->setRemoconFolder(dir, dir + "/list.txt");
    }

    // The input as the file "fileName" of the folder; false when it cannot
    // be written.
    bool write(const std::string& fileName, const uint8_t* data, size_t size) const
    {
        FILE* f = std::fopen((dir + "/" + fileName).c_str(), "wb");
        if (!f) return false;
        std::fwrite(data, 1, size, f);
        std::fclose(f);
        return true;
    }

    const std::string dir;
    kgiRobotSession* session = nullptr;
};
