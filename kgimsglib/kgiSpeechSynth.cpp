#include "kgiSpeechSynth.h"

#include "platform/codepage.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <atomic>

namespace kgi {

namespace {

// The voice for language 1, the only language that selects the
// synthesiser; the library's default voice stays when it has none.
const char* const VOICE = "ja";

// What the library hands back, from whichever thread it runs in: the
// samples of a text synthesised in the caller's thread, and whether played
// speech reached the library's event thread. That thread starts only once
// a sound device has opened, and passes each event on as the sound gets
// there; without a device no event ever comes.
std::atomic<long> samplesMade{0};
std::atomic<bool> eventsSeen{false};

int onSynthesis(short* wav, int count, espeak_EVENT* events)
{
    if (wav && count > 0)
        samplesMade += count;
    if (events && events->type != espeakEVENT_LIST_TERMINATED)
        eventsSeen = true;
    return 0;
}

// What comes of played speech in this process.
enum class Sound {
    UNSEEN, // nothing played yet: the first text's playback tells
    HEARD,  // a sound device plays it
    NONE    // no device plays it: speech is synthesised and measured
};

// The library, set up once for playback. This version cannot be set up
// again once it has been ended (its queue thread then waits for ever), so
// it stays until the process ends; each synthesiser picks its output.
struct Library {
    int sampleRate = 0;
    bool toDevice = true; // the output: a sound device, or the caller's thread
    Sound sound = Sound::UNSEEN;

    static Library& get()
    {
        static Library library;
        return library;
    }

    // Speech synthesised in the caller's thread from now on. What a text
    // that found no sound device left behind comes out with the next text
    // made, so an empty one takes it first.
    bool makeHere()
    {
        if (toDevice) {
            if (espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, 0, nullptr) != ENS_OK)
                return false;
            toDevice = false;
            espeak_Synth("", 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
        }
        return true;
    }
    // Speech played on the sound device from now on. A device the library
    // has played on once cannot be opened a second time, so speech made
    // here since then stays here.
    bool canPlayOnDevice() const { return sound != Sound::NONE && (toDevice || sound == Sound::UNSEEN); }
    bool playOnDevice()
    {
        if (!toDevice) {
            if (espeak_ng_InitializeOutput(ENOUTPUT_MODE_SPEAK_AUDIO, 0, nullptr) != ENS_OK)
                return false;
            toDevice = true;
        }
        return true;
    }

private:
    Library()
    {
        // The sample rate on success, a negative error code otherwise.
        // Without DONT_EXIT the library ends the whole process when its
        // voice data is missing; the window stays silent instead.
        sampleRate = espeak_Initialize(AUDIO_OUTPUT_PLAYBACK, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
        if (sampleRate > 0) {
            espeak_SetSynthCallback(onSynthesis);
            espeak_SetVoiceByName(VOICE);
        }
    }
};

bool hasWords(const std::string& text)
{
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return c != ' ' && c != '\n' && c != '\t' && c != '\r'; });
}

} // namespace

kgiSpeechSynth::kgiSpeechSynth(Output output)
{
    Library& library = Library::get();
    sampleRate = library.sampleRate;
    if (sampleRate <= 0)
        return;
    // Whatever an earlier synthesiser left queued is dropped.
    espeak_Cancel();
    here = output == SILENT || !library.canPlayOnDevice();
    initialised = here ? library.makeHere() : library.playOnDevice();
}

kgiSpeechSynth::~kgiSpeechSynth()
{
    if (initialised)
        espeak_Cancel();
}

bool kgiSpeechSynth::isSilent() const
{
    return here || Library::get().sound == Sound::NONE;
}

double kgiSpeechSynth::measure(const std::string& utf8)
{
    samplesMade = 0;
    if (espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr) !=
        EE_OK)
        return -1.0;
    return static_cast<double>(samplesMade.load()) / sampleRate;
}

bool kgiSpeechSynth::speak(const std::string& text)
{
    lastSeconds = -1.0;
    lastAccepted = false;
    awaitingPlayback = false;
    if (!initialised)
        return false;
    std::string utf8 = platform::cp932ToUtf8(text);
    if (isSilent()) {
        lastSeconds = measure(utf8);
        lastAccepted = lastSeconds >= 0.0;
        return lastAccepted;
    }
    eventsSeen = false;
    lastAccepted = espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
                                nullptr) == EE_OK;
    // A blank text may play nothing even on a device that works: only
    // words tell.
    awaitingPlayback = Library::get().sound == Sound::UNSEEN && lastAccepted && hasWords(utf8);
    if (awaitingPlayback)
        lastText = std::move(utf8);
    return lastAccepted;
}

void kgiSpeechSynth::stop()
{
    if (initialised)
        espeak_Cancel();
    // Stopped speech has told nothing about the sound device.
    awaitingPlayback = false;
}

bool kgiSpeechSynth::isSpeaking()
{
    if (!initialised)
        return false;
    if (espeak_IsPlaying() != 0)
        return true;
    if (awaitingPlayback) {
        awaitingPlayback = false;
        Library& library = Library::get();
        if (eventsSeen) {
            library.sound = Sound::HEARD;
        } else if (library.makeHere()) {
            // The playback ended without a sound device: from now on every
            // text is synthesised here, where its length can be counted,
            // beginning with this one. The library's own thread is idle, so
            // changing its output is safe.
            library.sound = Sound::NONE;
            lastSeconds = measure(lastText);
        }
        lastText.clear();
    }
    return false;
}

bool kgiSpeechSynth::playsAloud()
{
    return !isSilent() && Library::get().sound == Sound::HEARD && lastAccepted;
}

} // namespace kgi
