#pragma once
// Test sounds of known lengths, made with the sound tool's synthesis, and the
// waits the sound tests share. Every wait has a generous bound.
#include "kgiSound.h"
#include "platform/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

// Writes a steady 440 Hz tone at half scale of the given length as a WAV
// file; its bytes into *bytes when asked.
inline std::string writeTone(const std::string& dir, const char* name, double seconds,
                             std::vector<std::uint8_t>* bytes = nullptr) {
    kgiSound sound(22050, seconds);
    sound.tone(0.0, seconds, 440.0, 0.5, {});
    const std::string path = dir + "/" + name;
    EXPECT_EQ(sound.writeWav(path), "");
    if (bytes) *bytes = sound.wavBytes();
    return path;
}

// The test sounds of one process, in a folder of its own that goes at exit.
struct SoundFiles {
    std::string dir;
    std::string tone300;   // 300 ms
    std::string tone1s;    // 1 s
    std::string tone2s;    // 2 s
    std::string notSound;  // a text file named .wav
    std::vector<std::uint8_t> tone300Bytes;

    SoundFiles() {
        char tmpl[] = "/tmp/kgi_sound_XXXXXX";
        dir = mkdtemp(tmpl) ? tmpl : "/tmp";
        tone300 = writeTone(dir, "tone300.wav", 0.3, &tone300Bytes);
        tone1s = writeTone(dir, "tone1s.wav", 1.0);
        tone2s = writeTone(dir, "tone2s.wav", 2.0);
        notSound = dir + "/readme.wav";
        std::ofstream(notSound) << "This is no sound, only words.\n";
    }
    ~SoundFiles() {
        std::error_code ignored;
        if (dir != "/tmp") std::filesystem::remove_all(dir, ignored);
    }
};

inline const SoundFiles& files() {
    static const SoundFiles f;
    return f;
}

inline void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Polls until done() or seconds have passed; whether done() answered yes.
inline bool waitUntil(const std::function<bool()>& done, double seconds = 10.0) {
    const double end = platform::monotonicSeconds() + seconds;
    while (!done()) {
        if (platform::monotonicSeconds() > end) return false;
        sleepMs(2);
    }
    return true;
}
