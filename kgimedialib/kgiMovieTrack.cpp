#include "kgiMovieTrack.h"

#include "kgiMediaLog.h"
#include "kgiMediaPath.h"
#include "kgiMediaWindowImpl.h"

namespace kgi {

namespace {
const char* const MOVIE_ERROR = "Movie Error: ";
} // namespace

kgiMovieTrack::~kgiMovieTrack()
{
    leaveWindow();
}

void kgiMovieTrack::leaveWindow()
{
    if (kgiMediaWindowImpl* w = kgiMediaWindowImpl::current())
        w->detachRenderer(pipeline.videoRenderer());
}

void kgiMovieTrack::refreshWindow()
{
    kgiMediaWindowImpl* w = kgiMediaWindowImpl::current();
    if (!w || !pipeline.videoRenderer())
        return;
    w->attachRenderer(pipeline.videoRenderer(), pipeline.videoWidth(), pipeline.videoHeight());
    w->setTitleName(getFileName());
}

bool kgiMovieTrack::play(float ms)
{
    // A stream that cannot seek always starts from its beginning.
    if (pipeline.isOpen() && !pipeline.canSeek() && !(paused && ms == pausedMs))
        ms = 0.0f;
    return playFrom(ms, MOVIE_ERROR);
}

bool kgiMovieTrack::seek(float ms)
{
    if (!pipeline.isOpen())
        return false;
    refreshWindow();
    if (!paused) {
        paused = true;
        pipeline.pause();
    }
    if (!pipeline.canSeek())
        ms = 0.0f;
    if (!pipeline.seekTo(ms)) {
        kgiMediaLog(std::string(MOVIE_ERROR) + "Could not seek to " + std::to_string(ms) + " ms");
        return false;
    }
    pausedMs = ms;
    return true;
}

bool kgiMovieTrack::stop()
{
    if (!pipeline.isOpen())
        return false;
    paused = false;
    return pipeline.pause();
}

bool kgiMovieTrack::load(const std::string& path)
{
    if (kgiIsSoundFileName(path))
        return false;
    leaveWindow();
    reset(path);
    kgiMediaWindowImpl* w = kgiMediaWindowImpl::current();
    std::string error;
    bool ok = pipeline.open(path, true, w ? w->nativeHandle() : 0, &error);
    if (ok && pipeline.videoStreams() == 0) {
        error = "no video stream";
        pipeline.close();
        ok = false;
    }
    if (!ok) {
        kgiMediaLog("Movie Load Error: path = " + path + ": " + error);
        return false;
    }
    if (pipeline.audioStreams() == 0)
        kgiMediaLog(std::string(MOVIE_ERROR) + "サウンド出力が見つかりません。");
    setVolume(volume);
    return true;
}

} // namespace kgi
