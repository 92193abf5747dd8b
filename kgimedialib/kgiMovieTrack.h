#pragma once
// A file with a video stream; its pictures go to the library's video
// window, its sound (if any) to the audio output.
//
// The window must exist when the movie is loaded for its pictures to be
// seen: a movie loaded without one plays in time but shows nothing.
#include "kgiMediaTrackBase.h"

namespace kgi {

class kgiMovieTrack : public kgiMediaTrackBase
{
public:
    explicit kgiMovieTrack(const kgiMediaPipeline::Sinks& sinks = kgiMediaPipeline::defaultSinks())
        : kgiMediaTrackBase(sinks)
    {
    }
    // Takes the track's pictures out of the video window first.
    ~kgiMovieTrack() override;

    bool play(float ms) override;
    bool seek(float ms) override;
    bool stop() override;
    // Refuses sound file names at once, and files without video.
    bool load(const std::string& path) override;

    int videoWidth() const { return pipeline.videoWidth(); }
    int videoHeight() const { return pipeline.videoHeight(); }

protected:
    void afterSeek() override { refreshWindow(); }

private:
    // Shows this track in the video window, titled with its file name.
    void refreshWindow();
    void leaveWindow();
};

} // namespace kgi
