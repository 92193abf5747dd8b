#include "kgiMediaTrackBase.h"

#include "kgiMediaLog.h"
#include "kgiMediaPath.h"

namespace kgi {

void kgiMediaTrackBase::reset(const std::string& path)
{
    pipeline.close();
    kgiSplitMediaPath(path, &folder, &fileName);
    paused = false;
    pausedMs = 0.0f;
}

bool kgiMediaTrackBase::playFrom(float ms, const char* prefix)
{
    if (!pipeline.isOpen())
        return false;
    // Resuming where pause() or seek() left: exact float equality is what
    // the host relies on, it passes back the value it was given.
    if (paused && ms == pausedMs) {
        paused = false;
        if (pipeline.run())
            return true;
    }
    if (!pipeline.seekTo(ms)) {
        kgiMediaLog(std::string(prefix) + "Could not seek to " + std::to_string(ms) + " ms");
        return false;
    }
    afterSeek();
    paused = false;
    return pipeline.run();
}

float kgiMediaTrackBase::pause()
{
    if (!pipeline.isOpen() || paused)
        return -1.0f;
    if (!pipeline.pause())
        return -1.0f;
    paused = true;
    double ms = 0.0;
    if (!pipeline.position(&ms))
        return 0.0f;
    pausedMs = float(ms);
    return pausedMs;
}

float kgiMediaTrackBase::getDuration()
{
    double ms = 0.0;
    return pipeline.duration(&ms) ? float(ms) : 0.0f;
}

bool kgiMediaTrackBase::isPlaying()
{
    if (!pipeline.isOpen())
        return false;
    // The end of the file leaves the pipeline "playing" nothing: stop it
    // here, the host's polling is what notices a finished track.
    if (pipeline.pollEnd())
        pipeline.pause();
    return pipeline.isRunning();
}

bool kgiMediaTrackBase::setVolume(int v)
{
    volume = v;
    if (!pipeline.isOpen())
        return false;
    pipeline.setVolume(v);  // a value out of range leaves the volume as it was
    return true;
}

} // namespace kgi
