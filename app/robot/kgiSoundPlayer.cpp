#include "kgiSoundPlayer.h"

#include "platform/clock.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

int clampVolume(int volume) {
    return std::max(0, std::min(100, volume));
}

// Pause between two questions of the start-up wait: short beside a sound,
// long enough not to spin a core.
const auto START_POLL = std::chrono::milliseconds(1);

} // namespace

kgiSoundPlayer::kgiSoundPlayer(FX::FXWindow* owner) : ownerWindow(owner) {}

kgiSoundPlayer::~kgiSoundPlayer() {
    releaseAll();
    mixer.close();
}

kgiSoundPlayer& kgiSoundPlayer::instance() {
    static kgiSoundPlayer player(nullptr);
    return player;
}

bool kgiSoundPlayer::init() {
    initialised = true;
    // Sounds are decoded for the output they were loaded for, so a new output
    // starts without any.
    releaseAll();
    if (!mixer.open()) {
        initialised = false;
        return false;
    }
    resetVolumes();
    return true;
}

void kgiSoundPlayer::releaseAll() {
    for (int slot = 0; slot < SLOTS; ++slot) releaseSlot(slot);
    soundCount = 0;
    mixer.freeMusic(music);
    music = nullptr;
    musicLength = 0;
    musicPaused = false;
    musicPausedPosition = 0;
    mixer.freeClip(extra);
    extra = nullptr;
}

void kgiSoundPlayer::resetVolumes() {
    masterVolume = 50;
    soundVolume = 100;
    musicVolume = 100;
    extraVolume = 100;
    musicEnabled = true;
    soundsEnabled = true;
    mixer.setMasterLevel(masterVolumeLevel(masterVolume));
    mixer.setVoiceLevel(pathVolumeLevel(soundVolume));
    mixer.setMusicLevel(pathVolumeLevel(musicVolume));
    mixer.setReservedLevel(pathVolumeLevel(extraVolume));
}

// --- slots ---

bool kgiSoundPlayer::isTaken(int slot) const {
    return static_cast<unsigned>(slot) < static_cast<unsigned>(SLOTS) && slots[slot];
}

int kgiSoundPlayer::firstFreeSlot() const {
    for (int slot = 0; slot < SLOTS; ++slot)
        if (!slots[slot]) return slot;
    return -1;
}

int kgiSoundPlayer::fillSlot(platform::SoundClip* clip, int slot) {
    if (!clip) return -1;
    slots[slot] = clip;
    slotLooping[slot] = false;
    ++soundCount;
    return slot;
}

void kgiSoundPlayer::releaseSlot(int slot) {
    if (!slots[slot]) return;
    mixer.freeClip(slots[slot]);
    slots[slot] = nullptr;
    slotLooping[slot] = false;
    --soundCount;
}

int kgiSoundPlayer::load(const std::string& path) {
    if (!initialised) return -1;
    const int slot = firstFreeSlot();
    if (slot < 0) return -1;
    return fillSlot(mixer.loadClip(path), slot);
}

int kgiSoundPlayer::loadFromMemory(const void* data, std::size_t length) {
    if (!initialised || soundCount >= SLOTS) return -1;
    const int slot = firstFreeSlot();
    if (slot < 0) return -1;
    return fillSlot(mixer.loadClip(data, length), slot);
}

bool kgiSoundPlayer::unload(int slot) {
    if (!initialised) return true;
    if (slot < 0) {
        for (int s = 0; s < SLOTS; ++s) releaseSlot(s);
        return true;
    }
    if (slot >= SLOTS) return false;
    releaseSlot(slot);
    return true;
}

bool kgiSoundPlayer::unloadAll() {
    const bool musicDone = unloadMusic();
    const bool slotsDone = unload(-1);
    return musicDone && slotsDone;
}

bool kgiSoundPlayer::waitForStart(const std::function<bool()>& started) {
    const unsigned long long start = platform::monotonicMilliseconds();
    for (;;) {
        if (started()) return true;
        if (platform::monotonicMilliseconds() - start > static_cast<unsigned long long>(START_WAIT_MS))
            return false;
        std::this_thread::sleep_for(START_POLL);
    }
}

bool kgiSoundPlayer::startSlot(int slot, bool loop, bool wait) {
    if (!initialised || !soundsEnabled) return true;
    if (static_cast<unsigned>(slot) >= static_cast<unsigned>(SLOTS)) return false;
    if (!slots[slot]) return true;
    slotLooping[slot] = loop;
    platform::SoundClip* clip = slots[slot];
    if (!mixer.play(clip, loop)) return false;
    return !wait || waitForStart([this, clip] { return mixer.isPlaying(clip); });
}

bool kgiSoundPlayer::play(int slot, bool loop) {
    return startSlot(slot, loop, true);
}

bool kgiSoundPlayer::playNoWait(int slot, bool loop) {
    return startSlot(slot, loop, false);
}

bool kgiSoundPlayer::isPlaying(int slot) {
    return initialised && isTaken(slot) && mixer.isPlaying(slots[slot]);
}

int kgiSoundPlayer::playingCount(int slot) const {
    return initialised && isTaken(slot) ? mixer.voicesPlaying(slots[slot]) : 0;
}

bool kgiSoundPlayer::isLooping(int slot) const {
    return initialised && isTaken(slot) && slotLooping[slot];
}

bool kgiSoundPlayer::stop(int slot) {
    if (!initialised) return true;
    if (slot < 0) {
        for (int s = 0; s < SLOTS; ++s) mixer.stop(slots[s]);
        return true;
    }
    if (slot >= SLOTS) return false;
    mixer.stop(slots[slot]);
    return true;
}

// --- volumes ---

int kgiSoundPlayer::masterVolumeLevel(int volume) {
    const int v = clampVolume(volume);
    return v >= 50 ? (v - 50) * 40 : (50 - v) * -120;
}

int kgiSoundPlayer::pathVolumeLevel(int volume) {
    return (100 - clampVolume(volume)) * -60;
}

bool kgiSoundPlayer::setMasterVolume(int volume) {
    if (!initialised) return true;
    masterVolume = clampVolume(volume);
    mixer.setMasterLevel(masterVolumeLevel(masterVolume));
    return true;
}

bool kgiSoundPlayer::setSoundVolume(int volume) {
    if (!initialised) return true;
    soundVolume = clampVolume(volume);
    mixer.setVoiceLevel(pathVolumeLevel(soundVolume));
    return true;
}

bool kgiSoundPlayer::setMusicVolume(int volume) {
    if (!initialised) return true;
    musicVolume = clampVolume(volume);
    mixer.setMusicLevel(pathVolumeLevel(musicVolume));
    return true;
}

bool kgiSoundPlayer::setExtraVolume(int volume) {
    if (!initialised) return true;
    extraVolume = clampVolume(volume);
    mixer.setReservedLevel(pathVolumeLevel(extraVolume));
    return true;
}

// --- music ---

bool kgiSoundPlayer::acceptMusic(platform::SoundMusic* loaded) {
    if (!loaded) return false;
    music = loaded;
    musicLength = mixer.musicLength(music);
    musicPaused = false;
    musicPausedPosition = 0;
    musicVolume = 100;
    mixer.setMusicLevel(pathVolumeLevel(musicVolume));
    return true;
}

bool kgiSoundPlayer::loadMusic(const std::string& path) {
    if (!initialised) return true;
    unloadMusic();
    return acceptMusic(mixer.loadMusic(path));
}

bool kgiSoundPlayer::loadMusicFromMemory(const void* data, std::size_t length) {
    if (!initialised) return true;
    unloadMusic();
    return acceptMusic(mixer.loadMusic(data, length));
}

bool kgiSoundPlayer::unloadMusic() {
    if (!initialised || !music) return true;
    mixer.freeMusic(music);
    music = nullptr;
    musicLength = 0;
    musicPaused = false;
    musicPausedPosition = 0;
    return true;
}

bool kgiSoundPlayer::playMusic(bool loop) {
    if (!initialised || !music || !musicEnabled) return true;
    const int start = musicPaused ? musicPausedPosition : 0;
    if (!mixer.playMusic(music, loop, start)) return false;
    musicPaused = false;
    musicPausedPosition = 0;
    return waitForStart([this] { return mixer.isMusicPlaying(); });
}

bool kgiSoundPlayer::stopMusic() {
    if (!initialised || !music) return true;
    mixer.stopMusic();
    musicPaused = false;
    musicPausedPosition = 0;
    return true;
}

bool kgiSoundPlayer::pauseMusic() {
    if (!initialised || !music) return true;
    musicPausedPosition = getMusicPosition();
    musicPaused = true;
    mixer.stopMusic();
    return true;
}

bool kgiSoundPlayer::isMusicPlaying() const {
    return initialised && music && mixer.isMusicPlaying();
}

int kgiSoundPlayer::getMusicPosition() const {
    if (!initialised || !music) return 0;
    return musicPaused ? musicPausedPosition : mixer.musicPosition(music);
}

bool kgiSoundPlayer::seekMusic(int position) {
    if (!initialised || !music) return true;
    if (musicLength > 0) position = std::min(position, musicLength - 1);
    position = std::max(position, 0);
    const bool playing = isMusicPlaying();
    musicPaused = true;
    musicPausedPosition = position;
    return playing ? playMusic(false) : true;
}

// --- the extra sound ---

int kgiSoundPlayer::loadExtraFromMemory(const void* data, std::size_t length) {
    if (!initialised) return -1;
    platform::SoundClip* loaded = mixer.loadClip(data, length);
    if (!loaded) return -1;
    mixer.freeClip(extra);
    extra = loaded;
    extraVolume = 100;
    mixer.setReservedLevel(pathVolumeLevel(extraVolume));
    return 0;
}

bool kgiSoundPlayer::unloadExtra() {
    if (!initialised || !extra) return true;
    mixer.freeClip(extra);
    extra = nullptr;
    return true;
}

bool kgiSoundPlayer::playExtra(bool loop) {
    if (!initialised || !extra || !soundsEnabled) return true;
    if (!mixer.playReserved(extra, loop)) return false;
    return waitForStart([this] { return mixer.isReservedPlaying(extra); });
}

bool kgiSoundPlayer::stopExtra() {
    if (initialised && extra) mixer.stopReserved();
    return true;
}

bool kgiSoundPlayer::isExtraPlaying() const {
    return initialised && extra && mixer.isReservedPlaying(extra);
}
