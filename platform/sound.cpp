#include "platform/sound.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <vector>

namespace platform {

struct SoundClip {
    Mix_Chunk* chunk = nullptr;
};

struct SoundMusic {
    Mix_Music* music = nullptr;
    // A music from memory is streamed from these bytes while it lives.
    std::vector<std::uint8_t> bytes;
};

namespace {

// Mixing channel 0 is the reserved voice; the short sounds' voices follow it,
// so a start on "any free channel" never takes the reserved one.
const int RESERVED_CHANNEL = 0;
const int FIRST_VOICE = 1;

const int FULL_LEVEL = MIX_MAX_VOLUME;

SDL_RWops* memoryReader(const void* data, std::size_t length) {
    if (!data || length == 0 || length > static_cast<std::size_t>(INT_MAX)) return nullptr;
    return SDL_RWFromConstMem(data, static_cast<int>(length));
}

} // namespace

int mixerLevel(int hundredthsOfDb) {
    const double level = std::round(FULL_LEVEL * std::pow(10.0, hundredthsOfDb / 2000.0));
    if (level >= FULL_LEVEL) return FULL_LEVEL;
    return level <= 0.0 ? 0 : static_cast<int>(level);
}

SoundMixer::~SoundMixer() {
    close();
}

bool SoundMixer::fail(const char* what) {
    error = std::string(what) + ": " + SDL_GetError();
    return false;
}

bool SoundMixer::open() {
    close();
    // The program handles its own signals; SDL's would turn Ctrl+C into an
    // event nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return fail("audio");
    // No changes allowed: SDL converts to the device, so the mix is always in
    // the named format.
    if (Mix_OpenAudioDevice(RATE, AUDIO_S16SYS, CHANNELS, BUFFER_SAMPLES, nullptr, 0) != 0) {
        fail("mixer");
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(FIRST_VOICE + VOICES);
    Mix_ReserveChannels(FIRST_VOICE);
    opened = true;
    return true;
}

void SoundMixer::close() {
    if (!opened) return;
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    opened = false;
}

// --- short sounds ---

SoundClip* SoundMixer::loadClip(const std::string& path) {
    if (!opened) return nullptr;
    Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
    if (!chunk) {
        fail(path.c_str());
        return nullptr;
    }
    return new SoundClip{chunk};
}

SoundClip* SoundMixer::loadClip(const void* data, std::size_t length) {
    if (!opened) return nullptr;
    SDL_RWops* reader = memoryReader(data, length);
    if (!reader) {
        error = "no sound data";
        return nullptr;
    }
    Mix_Chunk* chunk = Mix_LoadWAV_RW(reader, 1);
    if (!chunk) {
        fail("sound in memory");
        return nullptr;
    }
    return new SoundClip{chunk};
}

void SoundMixer::freeClip(SoundClip* clip) {
    if (!clip) return;
    Mix_FreeChunk(clip->chunk);  // halts every channel that plays it
    delete clip;
}

bool SoundMixer::play(SoundClip* clip, bool loop) {
    if (!opened || !clip) return false;
    if (Mix_PlayChannel(-1, clip->chunk, loop ? -1 : 0) < 0) return fail("play");
    return true;
}

int SoundMixer::voicesPlaying(const SoundClip* clip) const {
    if (!opened || !clip) return 0;
    int count = 0;
    for (int ch = FIRST_VOICE; ch < FIRST_VOICE + VOICES; ++ch)
        if (Mix_Playing(ch) && Mix_GetChunk(ch) == clip->chunk) ++count;
    return count;
}

void SoundMixer::stop(const SoundClip* clip) {
    if (!opened || !clip) return;
    for (int ch = FIRST_VOICE; ch < FIRST_VOICE + VOICES; ++ch)
        if (Mix_Playing(ch) && Mix_GetChunk(ch) == clip->chunk) Mix_HaltChannel(ch);
}

bool SoundMixer::playReserved(SoundClip* clip, bool loop) {
    if (!opened || !clip) return false;
    if (Mix_PlayChannel(RESERVED_CHANNEL, clip->chunk, loop ? -1 : 0) < 0) return fail("play");
    return true;
}

bool SoundMixer::isReservedPlaying(const SoundClip* clip) const {
    return opened && clip && Mix_Playing(RESERVED_CHANNEL) &&
           Mix_GetChunk(RESERVED_CHANNEL) == clip->chunk;
}

void SoundMixer::stopReserved() {
    if (opened) Mix_HaltChannel(RESERVED_CHANNEL);
}

// --- music ---

SoundMusic* SoundMixer::loadMusic(const std::string& path) {
    if (!opened) return nullptr;
    Mix_Music* music = Mix_LoadMUS(path.c_str());
    if (!music) {
        fail(path.c_str());
        return nullptr;
    }
    SoundMusic* out = new SoundMusic;
    out->music = music;
    return out;
}

SoundMusic* SoundMixer::loadMusic(const void* data, std::size_t length) {
    if (!opened) return nullptr;
    if (!data || length == 0 || length > static_cast<std::size_t>(INT_MAX)) {
        error = "no music data";
        return nullptr;
    }
    SoundMusic* out = new SoundMusic;
    const std::uint8_t* bytes = static_cast<const std::uint8_t*>(data);
    out->bytes.assign(bytes, bytes + length);
    out->music = Mix_LoadMUS_RW(memoryReader(out->bytes.data(), out->bytes.size()), 1);
    if (!out->music) {
        fail("music in memory");
        delete out;
        return nullptr;
    }
    return out;
}

void SoundMixer::freeMusic(SoundMusic* music) {
    if (!music) return;
    Mix_FreeMusic(music->music);  // halts it when it plays; before its bytes go
    delete music;
}

int SoundMixer::musicLength(const SoundMusic* music) const {
    if (!music) return 0;
    const double seconds = Mix_MusicDuration(music->music);
    return seconds > 0.0 ? static_cast<int>(std::lround(seconds * 1000.0)) : 0;
}

bool SoundMixer::playMusic(SoundMusic* music, bool loop, int startMs) {
    if (!opened || !music) return false;
    const int loops = loop ? -1 : 0;
    const int result = startMs > 0 ? Mix_FadeInMusicPos(music->music, loops, 0, startMs / 1000.0)
                                   : Mix_PlayMusic(music->music, loops);
    if (result != 0) return fail("music");
    return true;
}

void SoundMixer::stopMusic() {
    if (opened) Mix_HaltMusic();
}

bool SoundMixer::isMusicPlaying() const {
    return opened && Mix_PlayingMusic();
}

int SoundMixer::musicPosition(const SoundMusic* music) const {
    if (!opened || !music || !Mix_PlayingMusic()) return 0;
    const double seconds = Mix_GetMusicPosition(music->music);
    return seconds > 0.0 ? static_cast<int>(std::lround(seconds * 1000.0)) : 0;
}

// --- volumes ---

void SoundMixer::setMasterLevel(int hundredthsOfDb) {
    if (opened) Mix_MasterVolume(mixerLevel(hundredthsOfDb));
}

void SoundMixer::setVoiceLevel(int hundredthsOfDb) {
    if (!opened) return;
    const int level = mixerLevel(hundredthsOfDb);
    for (int ch = FIRST_VOICE; ch < FIRST_VOICE + VOICES; ++ch) Mix_Volume(ch, level);
}

void SoundMixer::setReservedLevel(int hundredthsOfDb) {
    if (opened) Mix_Volume(RESERVED_CHANNEL, mixerLevel(hundredthsOfDb));
}

void SoundMixer::setMusicLevel(int hundredthsOfDb) {
    if (opened) Mix_VolumeMusic(mixerLevel(hundredthsOfDb));
}

} // namespace platform
