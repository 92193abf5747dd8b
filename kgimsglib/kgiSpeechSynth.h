#pragma once
// Speech through the built-in synthesiser library, with a Japanese voice.
// The library keeps one state for the whole process, set up with the first
// synthesiser and kept until the process ends: hold one synthesiser at a
// time.
#include "kgiSpeechEngine.h"

#include <string>

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
    // While played speech is heard. The first text played shows whether
    // sound comes out: when the library had no sound device to play it on
    // (none there, or busy), this synthesiser goes silent for good and
    // measures every text instead (heardSeconds).
    bool isSpeaking() override;
    // Silent: the length of the last text's synthesised samples; negative
    // while that is not known (played speech, or a text that failed).
    double heardSeconds() override { return lastSeconds; }
    // The last text was played on a sound device that was seen to play.
    bool playsAloud() override;

    // False when the library could not be set up (no voice data); every
    // text is then refused.
    bool ready() const { return initialised; }
    // True once speech goes nowhere: SILENT output, or PLAYBACK without a
    // sound device that plays (or, in a process that made silent speech
    // after playing some, without the device it played on once).
    bool isSilent() const;

private:
    // Synthesises a UTF-8 text in this thread: its length in seconds, or
    // negative when the library refused it.
    double measure(const std::string& utf8);

    bool initialised = false;
    int sampleRate = 0;
    // Speech is made in this thread from the start.
    bool here = false;
    // The last text in UTF-8, kept until its playback has shown whether
    // sound comes out.
    std::string lastText;
    bool awaitingPlayback = false;
    bool lastAccepted = false;
    double lastSeconds = -1.0;
};

} // namespace kgi
