#include "platform/module.h"

#include <cstdio>
#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

namespace platform {

Module::~Module()
{
    close();
}

std::string Module::programFolder()
{
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (n <= 0 || n >= ssize_t(sizeof buffer))
        return std::string();
    std::string path(buffer, size_t(n));
    std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool Module::open(const std::string& fileName)
{
    close();
    if (fileName.empty() || fileName.find('/') != std::string::npos) {
        fail("module name \"" + fileName + "\" is not a plain file name");
        return false;
    }
    std::string folder = dir.empty() ? programFolder() : dir;
    if (folder.empty()) {
        fail("cannot find the program's folder to open " + fileName);
        return false;
    }
    // A path with a '/' keeps dlopen from searching anywhere else.
    std::string path = folder + (folder.back() == '/' ? "" : "/") + fileName;
    dlerror();
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle) {
        const char* why = dlerror();
        fail(why ? why : ("cannot open " + path));
        return false;
    }
    error.clear();
    return true;
}

void* Module::symbol(const char* name)
{
    if (!handle || !name) {
        fail(std::string("no module open to look up ") + (name ? name : "a null name"));
        return nullptr;
    }
    dlerror();
    void* address = dlsym(handle, name);
    const char* why = dlerror();
    if (why || !address) {
        fail(why ? why : (std::string(name) + " is null in the module"));
        return nullptr;
    }
    return address;
}

void Module::close()
{
    if (handle)
        dlclose(handle);
    handle = nullptr;
}

void Module::fail(const std::string& reason)
{
    error = reason;
    std::fprintf(stderr, "module: %s\n", reason.c_str());
}

} // namespace platform
