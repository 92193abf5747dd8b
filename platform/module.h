#pragma once
// Run-time modules (the program's plug-ins), opened by their plain file
// name from one folder only: the running program's own unless a caller
// sets another. Never the current directory or the library search path,
// so a stray file of the same name elsewhere is never picked up.
//
// A module is opened with every symbol bound at once and kept private to
// this handle; it is never unmapped while the process runs, because a
// plug-in registers types with libraries (GLib, GStreamer, the toolkit)
// that outlive it. Closing only gives up the handle.
#include <string>

namespace platform {

class Module {
public:
    Module() = default;
    // Gives up the handle (the code stays mapped).
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    // The folder modules are opened from; an empty string (the default)
    // means the folder of the running program.
    void setFolder(const std::string& folder) { dir = folder; }

    // Opens the module `fileName` (no path) from the folder. A module
    // already held is closed first. False on failure, with the reason in
    // lastError() and on standard error.
    bool open(const std::string& fileName);

    // The address of the exported symbol `name`, or null (reason in
    // lastError() and on standard error) when it is missing or nothing is
    // open.
    void* symbol(const char* name);

    // Gives up the handle; nothing when none is held.
    void close();

    bool isOpen() const { return handle != nullptr; }
    const std::string& lastError() const { return error; }

    // The folder of the running program (from /proc/self/exe), or an empty
    // string when it cannot be read.
    static std::string programFolder();

private:
    void fail(const std::string& reason);

    void* handle = nullptr;
    std::string dir;
    std::string error;
};

} // namespace platform
