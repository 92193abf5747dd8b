#include "kgiSoundSet.h"

#include <filesystem>
#include <system_error>

std::vector<kgiSoundDef> kgiSoundSet::all() {
    std::vector<kgiSoundDef> out;
    for (auto group : {kgiSounds::editor, kgiSounds::lesson, kgiSounds::course}) {
        const std::vector<kgiSoundDef> sounds = group();
        out.insert(out.end(), sounds.begin(), sounds.end());
    }
    return out;
}

kgiSound kgiSoundSet::render(const kgiSoundDef& def) {
    kgiSound sound(RATE, def.seconds);
    def.make(sound);
    return sound;
}

std::string kgiSoundSet::writeAll(const std::string& dataDir) {
    for (const kgiSoundDef& def : all()) {
        const std::filesystem::path path = std::filesystem::path(dataDir) / def.path;
        std::error_code error;
        std::filesystem::create_directories(path.parent_path(), error);
        if (error) return path.parent_path().string() + ": " + error.message();
        const std::string failed = render(def).writeWav(path.string());
        if (!failed.empty()) return failed;
    }
    return std::string();
}
