#pragma once
// Desktop properties that a window manager announces on the root window
// (work areas, the current desktop), set by a test for the life of the
// object and removed again at its end.
#include <fx.h>

#include <vector>

class kgiRootProperties {
public:
    explicit kgiRootProperties(FX::FXApp* app);
    ~kgiRootProperties();
    kgiRootProperties(const kgiRootProperties&) = delete;
    kgiRootProperties& operator=(const kgiRootProperties&) = delete;

    // Sets the CARDINAL property `name` (format 32) to `values`.
    void cardinals(const char* name, const std::vector<long>& values);

private:
    void* display;
    std::vector<unsigned long> set;
};
