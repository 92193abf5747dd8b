#pragma once
// A movie or sound file played by the media plug-in.
//
// Tracks come from CreateMediaTrack (kgiMediaLib.h) and go back to
// DestroyMediaTrack; the host never sees the plug-in's own classes. Times
// are milliseconds of the media as floats; failures are results, never
// messages to the user. Call every operation from the GUI thread.
#include <string>

namespace kgi {

class kgiMediaTrack
{
public:
    kgiMediaTrack() = default;
    kgiMediaTrack(const kgiMediaTrack&) = default;
    kgiMediaTrack& operator=(const kgiMediaTrack&) = default;
    // Destroying a track ends its playback and releases its pipeline.
    virtual ~kgiMediaTrack() = default;

    // Name and extension of the loaded file, no folder; empty before load.
    virtual const std::string& getFileName() const = 0;
    // Folder of the loaded file with its trailing separator ('/' or '\' as
    // given); empty for a bare file name. getDirectory() + getFileName() is
    // the path given to load.
    virtual const std::string& getDirectory() const = 0;

    // Plays from ms. Right after pause() returned exactly ms (or seek(ms))
    // it only resumes; any other value seeks first.
    virtual bool play(float ms) = 0;
    // Shows the frame at ms and leaves the track paused there (movies only;
    // a sound track returns false).
    virtual bool seek(float ms) = 0;
    // Stops playback; the next play() gives the position again.
    virtual bool stop() = 0;
    // Pauses and returns the position in ms; -1.0 when there is nothing
    // loaded or the track is already paused, 0.0 when the position is
    // unknown.
    virtual float pause() = 0;
    // Opens a file; false when it cannot be played. A failed load leaves
    // the track empty (every other operation then fails).
    virtual bool load(const std::string& path) = 0;
    // Length in ms, 0.0 when unknown.
    virtual float getDuration() = 0;
    // True while playing. Polling it is what stops a track that reached
    // its end, so call it regularly while the time line plays.
    virtual bool isPlaying() = 0;
    // Volume in hundredths of a decibel: 0 full, -10000 silent.
    virtual bool setVolume(int volume) = 0;
};

} // namespace kgi
