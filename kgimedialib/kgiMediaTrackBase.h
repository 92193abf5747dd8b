#pragma once
// What the movie and the sound track share: the file's names, the paused
// state, the stored volume and the pipeline they play through.
#include "kgiMediaPipeline.h"
#include "kgiMediaTrack.h"

namespace kgi {

class kgiMediaTrackBase : public kgiMediaTrack
{
public:
    explicit kgiMediaTrackBase(const kgiMediaPipeline::Sinks& sinks) : pipeline(sinks) {}

    const std::string& getFileName() const override { return fileName; }
    const std::string& getDirectory() const override { return folder; }
    float pause() override;
    float getDuration() override;
    bool isPlaying() override;
    bool setVolume(int volume) override;

    // True between pause() or seek() and the next play(), stop() or load().
    bool isPaused() const { return paused; }

protected:
    // Closes the previous file and takes the names of the new one.
    void reset(const std::string& path);
    // The resume-or-seek-then-run rule of play(); prefix starts a log line.
    bool playFrom(float ms, const char* prefix);
    // Hook run after a seek of play(), before the pipeline runs.
    virtual void afterSeek() {}

    kgiMediaPipeline pipeline;
    std::string fileName;
    std::string folder;
    float pausedMs = 0.0f;
    bool paused = false;
    int volume = 0;  // hundredths of a decibel
};

} // namespace kgi
