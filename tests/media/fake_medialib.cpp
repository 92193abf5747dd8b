// A stand-in for the media plug-in: its entry points, tracks and window
// record every call in one log that the tests read through
// kgiFakeMediaLog(). A track's kind and length come from its file name:
// "clip-2500.avi" lasts 2500 ms; a name holding "bad", or an empty path,
// cannot be opened. Built twice, once without DestroyMediaWindow.
#include "kgiMediaLib.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#define KGI_FAKE_EXPORT __attribute__((visibility("default")))

namespace {

struct FakeState {
    std::vector<std::string> log;
    bool refuseWindow = false;  // CreateMediaWindow answers null
};

FakeState state;

void record(const std::string& call) { state.log.push_back(call); }

std::string number(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(v));
    return text;
}

class FakeTrack : public kgi::kgiMediaTrack {
public:
    explicit FakeTrack(const std::string& path) {
        const std::string::size_type slash = path.rfind('/');
        folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
        name = slash == std::string::npos ? path : path.substr(slash + 1);
        const std::string::size_type dash = name.rfind('-');
        if (dash != std::string::npos) length = std::strtof(name.c_str() + dash + 1, nullptr);
    }
    ~FakeTrack() override { record("destroy " + name); }
    const std::string& getFileName() const override { return name; }
    const std::string& getDirectory() const override { return folder; }
    bool play(float ms) override { return note("play", ms); }
    bool seek(float ms) override { return note("seek", ms); }
    bool stop() override {
        record("stop " + name);
        return true;
    }
    float pause() override { return -1.0f; }
    bool load(const std::string&) override { return false; }
    float getDuration() override { return length; }
    bool isPlaying() override { return false; }
    bool setVolume(int volume) override { return note("volume", static_cast<float>(volume)); }

private:
    bool note(const char* what, float v) {
        record(std::string(what) + " " + name + " " + number(v));
        return true;
    }
    std::string folder;
    std::string name;
    float length = 0.0f;
};

class FakeWindow : public kgi::kgiMediaWindow {
public:
    bool show() override { return note("show"); }
    bool hide() override { return note("hide"); }
    bool move(int, int) override { return note("move"); }
    bool resize(int, int) override { return note("resize"); }
    bool getPosition(int*, int*) override { return note("getPosition"); }
    bool getSize(int*, int*) override { return note("getSize"); }

private:
    static bool note(const char* what) {
        record(what);
        return true;
    }
};

FakeWindow* single = nullptr;

} // namespace

extern "C" KGI_FAKE_EXPORT std::vector<std::string>* kgiFakeMediaLog() { return &state.log; }

extern "C" KGI_FAKE_EXPORT void kgiFakeMediaRefuseWindow(bool refuse) { state.refuseWindow = refuse; }

extern "C" KGI_FAKE_EXPORT kgi::kgiMediaTrack* CreateMediaTrack(const char* path) {
    const std::string p = path ? path : "";
    record("create " + p);
    if (p.empty() || p.find("bad") != std::string::npos) return nullptr;
    return new FakeTrack(p);
}

extern "C" KGI_FAKE_EXPORT void DestroyMediaTrack(kgi::kgiMediaTrack* track) { delete track; }

extern "C" KGI_FAKE_EXPORT kgi::kgiMediaWindow* CreateMediaWindow(FX::FXWindow* parent, int x, int y,
                                                                 int width, int height) {
    record(std::string("window ") + (parent ? "parent" : "null") + " " + std::to_string(x) + " " +
           std::to_string(y) + " " + std::to_string(width) + " " + std::to_string(height));
    if (state.refuseWindow) return nullptr;
    if (!single) single = new FakeWindow;
    return single;
}

#ifndef KGI_FAKE_WITHOUT_DESTROY_WINDOW
extern "C" KGI_FAKE_EXPORT void DestroyMediaWindow() {
    record("destroy window");
    delete single;
    single = nullptr;
}
#endif
