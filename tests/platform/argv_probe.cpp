// A stand-in for a program that another one starts (a viewer, a companion):
// it writes its working folder and then each argument, one per line, to the
// file KGI_PROBE_OUT names (after KGI_PROBE_DELAY_MS milliseconds, when
// set), and ends with the exit code KGI_PROBE_EXIT (0 when unset). The file
// appears whole: it is written under another name and renamed.
// With KGI_PROBE_REPLACE_SELF set it first replaces itself by its own file
// (platform::ownProgramPath) as "Zodarovu0 again", and that run also writes
// the name the kernel gives the process (/proc/self/comm) as its last line.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>

#include "platform/process.h"

int main(int argc, char** argv)
{
    const bool replaced = std::getenv("KGI_PROBE_REPLACED") != nullptr;
    if (std::getenv("KGI_PROBE_REPLACE_SELF")) {
        ::unsetenv("KGI_PROBE_REPLACE_SELF");
        ::setenv("KGI_PROBE_REPLACED", "1", 1);
        platform::replaceProcess(platform::ownProgramPath(), {"Zodarovu0", "again"});
        return 99;
    }
    const char* out = std::getenv("KGI_PROBE_OUT");
    if (const char* delay = std::getenv("KGI_PROBE_DELAY_MS"))
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(delay)));
    if (out) {
        const std::string partial = std::string(out) + ".part";
        if (FILE* f = std::fopen(partial.c_str(), "w")) {
            char cwd[4096];
            std::fprintf(f, "%s\n", getcwd(cwd, sizeof cwd) ? cwd : "?");
            for (int i = 0; i < argc; ++i)
                std::fprintf(f, "%s\n", argv[i]);
            if (replaced) {
                char comm[64] = "";
                if (FILE* c = std::fopen("/proc/self/comm", "r")) {
                    if (!std::fgets(comm, sizeof comm, c)) comm[0] = '\0';
                    std::fclose(c);
                }
                std::fputs(comm, f);
            }
            std::fclose(f);
            std::rename(partial.c_str(), out);
        }
    }
    const char* code = std::getenv("KGI_PROBE_EXIT");
    return code ? std::atoi(code) : 0;
}
