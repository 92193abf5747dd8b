#pragma once
// Sound output over SDL2_mixer: short sounds decoded into memory and mixed on
// a bank of voices, one reserved voice for a sound of its own, and one
// streamed music. Only SDL's audio subsystem is started; the GUI toolkit owns
// the display and SDL installs no signal handlers.
//
// Volumes are given in hundredths of a decibel (0 is full level). The mixer
// cannot amplify, so every level above 0 plays at full level.
//
// Every call reports failure as a result; nothing prints. One SoundMixer at a
// time should hold the output: the mixer underneath is the process's one.
#include <cstddef>
#include <string>

namespace platform {

// A sound decoded into the mixer's format, owned by the mixer that loaded it.
struct SoundClip;
// A streamed music, owned by the mixer that loaded it.
struct SoundMusic;

// The mixer's level (0 to 128) for a volume in hundredths of a decibel:
// 128 x 10^(level / 2000), rounded, capped at 128.
int mixerLevel(int hundredthsOfDb);

class SoundMixer {
public:
    // The output's one set of parameters: samples per second, channels,
    // samples per mixing buffer (its length is the latency of a start), and
    // the voices short sounds play on. Samples are signed 16-bit, native order.
    static constexpr int RATE = 44100;
    static constexpr int CHANNELS = 2;
    static constexpr int BUFFER_SAMPLES = 1024;
    static constexpr int VOICES = 64;

    SoundMixer() = default;
    // Closes the output (see close).
    ~SoundMixer();
    SoundMixer(const SoundMixer&) = delete;
    SoundMixer& operator=(const SoundMixer&) = delete;

    // Starts SDL's audio and opens the mixer (SDL_AUDIODRIVER picks the
    // driver). False, with lastError set, when there is no output; then
    // nothing stays open. Opening an open mixer closes it first.
    bool open();
    // Halts every voice and the music and closes the output. Free every clip
    // and music first: they are in the format of the output they were loaded
    // for.
    void close();
    bool isOpen() const { return opened; }
    // What the last failing call said.
    const std::string& lastError() const { return error; }

    // --- short sounds ---
    // Decodes a sound file (the path is used as given) or a file's bytes in
    // memory (copied; the caller's buffer may go at once). Null when the mixer
    // is closed or the data is no sound.
    SoundClip* loadClip(const std::string& path);
    SoundClip* loadClip(const void* data, std::size_t length);
    // Halts the clip wherever it plays and frees it. Null is ignored.
    void freeClip(SoundClip* clip);

    // Starts the clip on a free voice, once or endlessly. False when no voice
    // is free. A clip started twice plays twice, overlapping.
    bool play(SoundClip* clip, bool loop);
    // Whether any voice plays the clip, and on how many voices.
    bool isPlaying(const SoundClip* clip) const { return voicesPlaying(clip) > 0; }
    int voicesPlaying(const SoundClip* clip) const;
    // Halts every voice that plays the clip.
    void stop(const SoundClip* clip);

    // The reserved voice: a start there replaces what it played.
    bool playReserved(SoundClip* clip, bool loop);
    bool isReservedPlaying(const SoundClip* clip) const;
    void stopReserved();

    // --- music ---
    // Opens a music file or a file's bytes in memory (copied and kept while
    // the music lives). Null when the mixer is closed or the data is no music.
    SoundMusic* loadMusic(const std::string& path);
    SoundMusic* loadMusic(const void* data, std::size_t length);
    // Halts the music when it plays and frees it. Null is ignored.
    void freeMusic(SoundMusic* music);
    // Length in milliseconds; 0 when the format does not tell.
    int musicLength(const SoundMusic* music) const;
    // Starts the music at startMs, once or endlessly, replacing any music
    // that plays. False when it could not start.
    bool playMusic(SoundMusic* music, bool loop, int startMs);
    void stopMusic();
    bool isMusicPlaying() const;
    // Where the playing music is, in milliseconds; 0 when none plays.
    int musicPosition(const SoundMusic* music) const;

    // --- volumes, in hundredths of a decibel ---
    void setMasterLevel(int hundredthsOfDb);
    // Every voice of the short sounds.
    void setVoiceLevel(int hundredthsOfDb);
    void setReservedLevel(int hundredthsOfDb);
    void setMusicLevel(int hundredthsOfDb);

private:
    bool fail(const char* what);

    bool opened = false;
    std::string error;
};

} // namespace platform
