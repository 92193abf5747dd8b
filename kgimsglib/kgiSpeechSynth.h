#pragma once
// Speech through the built-in synthesiser library, with a Japanese voice.
// The library keeps one state for the whole process: hold one synthesiser
// at a time.
#include "kgiSpeechEngine.h"

namespace kgi {

class kgiSpeechSynth : public kgiSpeechEngine {
public:
    enum Output {
        PLAYBACK, // to the sound device, in the library's own thread
        SILENT    // synthesised in the caller's thread and dropped (tests)
    };

    explicit kgiSpeechSynth(Output output);
    ~kgiSpeechSynth() override;
    kgiSpeechSynth(const kgiSpeechSynth&) = delete;
    kgiSpeechSynth& operator=(const kgiSpeechSynth&) = delete;

    // Queues `text` (CP932) behind whatever is still being spoken. False
    // when the library could not be set up or refused the text.
    bool speak(const std::string& text) override;
    void stop() override;
    bool isSpeaking() override;

    // False when the library could not be set up (no voice data, no sound
    // device for PLAYBACK); every text is then refused.
    bool ready() const { return initialised; }

private:
    bool initialised = false;
};

} // namespace kgi
