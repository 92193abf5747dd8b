#pragma once
// A file played for its sound only; any video stream is left out.
#include "kgiMediaTrackBase.h"

namespace kgi {

class kgiSoundTrack : public kgiMediaTrackBase
{
public:
    explicit kgiSoundTrack(const kgiMediaPipeline::Sinks& sinks = kgiMediaPipeline::defaultSinks())
        : kgiMediaTrackBase(sinks)
    {
    }

    bool play(float ms) override;
    // Sound tracks are not positioned: always false.
    bool seek(float) override { return false; }
    // Stops; a paused track stays marked paused, so play() with the paused
    // time still only resumes.
    bool stop() override;
    // Loads at full volume. A file without sound still loads (silent).
    bool load(const std::string& path) override;
};

} // namespace kgi
