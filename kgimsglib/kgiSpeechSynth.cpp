#include "kgiSpeechSynth.h"

#include "platform/codepage.h"

#include <espeak-ng/speak_lib.h>

namespace kgi {

namespace {

// The voice for language 1, the only language that selects the
// synthesiser; the library's default voice stays when it has none.
const char* const VOICE = "ja";

} // namespace

kgiSpeechSynth::kgiSpeechSynth(Output output)
{
    espeak_AUDIO_OUTPUT mode = output == PLAYBACK ? AUDIO_OUTPUT_PLAYBACK : AUDIO_OUTPUT_SYNCHRONOUS;
    // The sample rate on success, a negative error code otherwise. Without
    // DONT_EXIT the library ends the whole process when its voice data is
    // missing; the window stays silent instead.
    initialised = espeak_Initialize(mode, 0, nullptr, espeakINITIALIZE_DONT_EXIT) > 0;
    if (initialised)
        espeak_SetVoiceByName(VOICE);
}

kgiSpeechSynth::~kgiSpeechSynth()
{
    if (initialised) {
        espeak_Cancel();
        espeak_Terminate();
    }
}

bool kgiSpeechSynth::speak(const std::string& text)
{
    if (!initialised)
        return false;
    std::string utf8 = platform::cp932ToUtf8(text);
    return espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8,
                        nullptr, nullptr) == EE_OK;
}

void kgiSpeechSynth::stop()
{
    if (initialised)
        espeak_Cancel();
}

bool kgiSpeechSynth::isSpeaking()
{
    return initialised && espeak_IsPlaying() != 0;
}

} // namespace kgi
