#pragma once
// One media file opened in a GStreamer playbin, shared by the movie and
// the sound track. Every wait is bounded, so a broken or odd file can slow
// the editor down but never hang it; the bus is polled from the caller's
// thread, no main loop is needed.
#include <cstdint>
#include <string>

typedef struct _GstElement GstElement;
typedef struct _GstBus GstBus;

namespace kgi {

class kgiMediaPipeline
{
public:
    // GStreamer descriptions of the sinks, e.g. "autoaudiosink" or
    // "fakesink sync=true". An empty video sink means: render into the
    // video window when there is one, else decode and drop the pictures.
    struct Sinks {
        std::string audio;
        std::string video;
    };
    // The sinks of tracks made by CreateMediaTrack: KGI_MEDIA_AUDIO_SINK
    // and KGI_MEDIA_VIDEO_SINK when set (tests run without a sound card),
    // else the system's own audio output and the window rule above.
    static Sinks defaultSinks();

    // Opening waits at most this long for the file to be ready to play. A
    // local file is ready within a second or two on an idle machine, but
    // ten times that on a busy one; the bound only keeps a file that never
    // gets ready from hanging the editor.
    static constexpr int OPEN_TIMEOUT_MS = 30000;
    // State changes and seeks wait at most this long.
    static constexpr int STATE_TIMEOUT_MS = 1000;

    explicit kgiMediaPipeline(const Sinks& sinks) : sinks(sinks) {}
    ~kgiMediaPipeline() { close(); }
    kgiMediaPipeline(const kgiMediaPipeline&) = delete;
    kgiMediaPipeline& operator=(const kgiMediaPipeline&) = delete;

    // Opens path paused at its start. withVideo false leaves any video
    // stream out. windowHandle is the X window movies draw into (0: none).
    // False with a reason in *error; the pipeline is then closed.
    bool open(const std::string& path, bool withVideo, std::uintptr_t windowHandle,
              std::string* error);
    // Stops and releases everything; harmless when nothing is open.
    void close();
    bool isOpen() const { return pipeline != nullptr; }

    // Streams found by open().
    int videoStreams() const { return nVideo; }
    int audioStreams() const { return nAudio; }
    int videoWidth() const { return width; }
    int videoHeight() const { return height; }
    bool canSeek() const { return seekable; }

    bool run();    // to playing; false when the change failed
    bool pause();  // to paused (prerolled); false when the change failed
    // Seeks to ms (negative times go to the start) and waits for the
    // picture there; false for a time that is not a number or too large,
    // or when the stream refused the seek.
    bool seekTo(float ms);
    // Current position or length in ms; false when unknown.
    bool position(double* ms);
    bool duration(double* ms);
    // True when the pipeline is playing, after waiting for a pending change.
    bool isRunning();
    // Takes the end-of-stream and error messages waiting on the bus (and
    // drops the rest); true when the stream has ended or failed.
    bool pollEnd();
    // Volume in hundredths of a decibel, 0 full, -10000 and below silent;
    // values above 0 are refused.
    bool setVolume(int hundredthsDb);

    // The element that draws the pictures (an overlay-capable sink inside
    // the video sink when there is one), or null. Owned by the pipeline.
    GstElement* videoRenderer() const { return renderer; }
    // The pipeline's bus, for tests that look at what waits on it.
    GstBus* messageBus() const { return bus; }

private:
    bool waitReady(std::string* error);
    void readStreams();

    Sinks sinks;
    GstElement* pipeline = nullptr;
    GstBus* bus = nullptr;
    GstElement* renderer = nullptr;
    int nVideo = 0;
    int nAudio = 0;
    int width = 0;
    int height = 0;
    bool seekable = false;
};

// Linear amplitude for a volume in hundredths of a decibel (0 full,
// -10000 silent); negative for a value above 0.
double kgiMediaLinearVolume(int hundredthsDb);

// Media time in nanoseconds for ms, negative times clamped to 0; false for
// NaN, infinities and times past the 64-bit range.
bool kgiMediaNanoseconds(float ms, std::int64_t* ns);

// Starts GStreamer once per process; false when it cannot start.
bool kgiMediaInit();

} // namespace kgi
