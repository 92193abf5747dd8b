#pragma once
// The program's sound player: 128 slots of short sounds (key clicks, lesson
// signals, answer sounds) that play by slot number and overlap freely, one
// music and one extra sound with a volume of its own.
//
// Nothing is ever reported to the user: every failure is a result. A player
// whose init failed stays silent: every operation is a quiet success, except
// load (-1) and the questions (false), so a caller waiting for silence never
// hangs.
//
// Slot numbers are taken unsigned: -1, the id of a failed load, is "slot 128
// or more" and answers false.
//
// The application reaches it through kgiSoundOutput (init, load, play,
// isPlaying); the rest has no caller in the program yet.
//
// Volumes are 0 to 100. The master volume's 50 is full level (the output does
// not amplify, so more plays the same); the other volumes' 100 is full level.
#include "kgiSoundOutput.h"
#include "platform/sound.h"

#include <cstddef>
#include <functional>
#include <string>

namespace FX {
class FXWindow;
} // namespace FX

class kgiSoundPlayer : public kgiSoundOutput {
public:
    static constexpr int SLOTS = 128;
    // The longest a start may take before play gives up, in milliseconds.
    static constexpr int START_WAIT_MS = 1000;

    // The owner window is kept for the caller; the output needs none.
    explicit kgiSoundPlayer(FX::FXWindow* owner = nullptr);
    // Stops everything, releases every sound and the music, closes the output.
    ~kgiSoundPlayer() override;
    kgiSoundPlayer(const kgiSoundPlayer&) = delete;
    kgiSoundPlayer& operator=(const kgiSoundPlayer&) = delete;

    // A player of the whole program, built on first use and destroyed at exit.
    static kgiSoundPlayer& instance();
    FX::FXWindow* getOwnerWindow() const { return ownerWindow; }

    // Opens the output. False (and not initialised) when there is none. A
    // second init starts afresh: every slot, the music and the extra sound
    // are released and the volumes return to their start values.
    bool init() override;
    bool isInitialised() const { return initialised; }

    // --- slots ---
    // Loads a sound file (the path used as given) into the lowest free slot;
    // its number, or -1 when not initialised, all slots are filled or the
    // file is no sound. The same file twice fills two slots.
    int load(const std::string& path) override;
    // The same from a file's bytes in memory.
    int loadFromMemory(const void* data, std::size_t length);
    // Releases a slot; a negative slot releases every filled one. False for a
    // slot of 128 or more; a free slot is left as it is (true).
    bool unload(int slot);
    // Unloads the music and every slot.
    bool unloadAll();
    int getSoundCount() const { return soundCount; }

    // Starts the slot's sound, once or endlessly, and waits (at most
    // START_WAIT_MS) until it sounds; false when it did not start in time.
    // True and silent when not initialised or for a free slot; false for a
    // slot of 128 or more.
    bool play(int slot, bool loop) override;
    // play without the wait.
    bool playNoWait(int slot, bool loop);
    // Whether any play of the slot still sounds.
    bool isPlaying(int slot) override;
    // How many plays of the slot sound now (a slot played twice overlaps).
    int playingCount(int slot) const;
    // Whether the slot's last play asked for endless repetition.
    bool isLooping(int slot) const;
    // Stops every play of the slot; a negative slot stops every slot. False
    // for a slot of 128 or more; a free slot stops nothing (true).
    bool stop(int slot);

    // --- volumes, clamped to 0..100 ---
    bool setMasterVolume(int volume);
    bool setSoundVolume(int volume);
    bool setMusicVolume(int volume);
    bool setExtraVolume(int volume);
    int getMasterVolume() const { return masterVolume; }
    int getSoundVolume() const { return soundVolume; }
    int getMusicVolume() const { return musicVolume; }
    int getExtraVolume() const { return extraVolume; }

    // Volume levels in hundredths of a decibel. Master: 50 is 0, each step
    // above +40 (100 gives +2000), each step below -120 (0 gives -6000).
    static int masterVolumeLevel(int volume);
    // Sound, music and extra: 100 is 0, each step below -60 (0 gives -6000).
    static int pathVolumeLevel(int volume);

    // --- music: times in milliseconds. Without a music every call does
    // nothing (true; the questions false, the position 0). ---
    bool loadMusic(const std::string& path);
    bool loadMusicFromMemory(const void* data, std::size_t length);
    bool unloadMusic();
    bool hasMusic() const { return music != nullptr; }
    // Starts the music, from where it was paused or seeked to, else from the
    // start, and waits for it as play does.
    bool playMusic(bool loop);
    bool stopMusic();
    // Stops the music and keeps its position for the next playMusic.
    bool pauseMusic();
    bool isMusicPlaying() const;
    int getMusicPosition() const;
    int getMusicLength() const { return musicLength; }
    // Moves to position (kept within the music); music that plays goes on
    // from there, once.
    bool seekMusic(int position);

    // --- the extra sound, on a voice of its own; it takes no slot. ---
    // -1 when it does not load, else 0; the extra volume returns to 100.
    int loadExtraFromMemory(const void* data, std::size_t length);
    bool unloadExtra();
    bool playExtra(bool loop);
    bool stopExtra();
    bool isExtraPlaying() const;

private:
    bool isTaken(int slot) const;
    int firstFreeSlot() const;
    int fillSlot(platform::SoundClip* clip, int slot);
    void releaseSlot(int slot);
    bool startSlot(int slot, bool loop, bool wait);
    // Asks started() every millisecond or so until it answers yes (true) or
    // START_WAIT_MS have passed (false).
    static bool waitForStart(const std::function<bool()>& started);
    bool acceptMusic(platform::SoundMusic* loaded);
    void releaseAll();
    void resetVolumes();

    FX::FXWindow* ownerWindow;
    platform::SoundMixer mixer;
    int masterVolume = 50;
    bool initialised = false;
    platform::SoundMusic* music = nullptr;
    int musicLength = 0;
    bool musicPaused = false;
    int musicPausedPosition = 0;
    int musicVolume = 100;
    platform::SoundClip* slots[SLOTS] = {};
    bool slotLooping[SLOTS] = {};
    int soundCount = 0;
    int soundVolume = 100;
    platform::SoundClip* extra = nullptr;
    int extraVolume = 100;
    bool musicEnabled = true;
    bool soundsEnabled = true;
};
