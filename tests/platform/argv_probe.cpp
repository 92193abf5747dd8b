// A stand-in for a program that another one starts (a viewer, a companion):
// it writes its working folder and then each argument, one per line, to the
// file KGI_PROBE_OUT names (after KGI_PROBE_DELAY_MS milliseconds, when
// set), and ends with the exit code KGI_PROBE_EXIT (0 when unset). The file
// appears whole: it is written under another name and renamed.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <unistd.h>

int main(int argc, char** argv)
{
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
            std::fclose(f);
            std::rename(partial.c_str(), out);
        }
    }
    const char* code = std::getenv("KGI_PROBE_EXIT");
    return code ? std::atoi(code) : 0;
}
