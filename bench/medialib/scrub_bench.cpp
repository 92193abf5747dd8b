// While the user drags the time line, the host seeks the paused movie on
// every change of time, and the next change waits for the seek: a seek
// must land and show its picture well within a frame of the editor (about
// 30 ms) for the scrub to keep up. Importing a movie waits for its load.
//
// Arguments of each case: the clip's kind (0: motion JPEG in AVI, every
// picture a key frame; 1: MPEG-1 in a program stream, key frames every
// dozen pictures or so).
#include "kgiMediaLib.h"
#include "kgiMediaWindowImpl.h"
#include "kgiMovieTrack.h"
#include "medialib/mediaFixtures.h"
#include "support/fox/kgiFoxTestApp.h"

#include <benchmark/benchmark.h>

namespace {

// A 15 s clip of the kind, made once per process.
const std::string& clip(int kind)
{
    static std::string clips[2];
    if (clips[kind].empty())
        clips[kind] = kind == 0 ? mediatest::makeClip("scrub.avi", "jpegenc ! avimux", 320, 240, 15)
                                : mediatest::makeClip("scrub.mpg", "mpeg2enc format=0 ! avmux_mpeg", 320,
                                                      240, 15);
    return clips[kind];
}

kgi::kgiMediaPipeline::Sinks windowSinks()
{
    kgi::kgiMediaPipeline::Sinks sinks = mediatest::fakeSinks();
    sinks.video.clear(); // the sink the video window gets in the program
    return sinks;
}

void BM_ScrubSeek(benchmark::State& state)
{
    FX::FXApp* app = kgiSharedFoxApp();
    if (!app) {
        state.SkipWithError("no X display");
        return;
    }
    const std::string& path = clip(int(state.range(0)));
    kgi::kgiMediaWindow* window = CreateMediaWindow(nullptr, 100, 100, 320, 240);
    if (path.empty() || !window) {
        state.SkipWithError("no clip or no window");
        return;
    }
    window->show();
    kgi::kgiMovieTrack track(windowSinks());
    if (!track.load(path)) {
        state.SkipWithError("the clip does not load");
        return;
    }
    // A sweep of 100 positions over the clip, forwards.
    int step = 0;
    for (auto _ : state) {
        if (!track.seek(float(step % 100) * 150.0f)) {
            state.SkipWithError("seek refused");
            break;
        }
        app->runWhileEvents();
        ++step;
    }
    state.counters["seeks_per_s"] = benchmark::Counter(double(state.iterations()),
                                                       benchmark::Counter::kIsRate);
    DestroyMediaWindow();
}
BENCHMARK(BM_ScrubSeek)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(300)->UseRealTime();

void BM_MovieLoad(benchmark::State& state)
{
    const std::string& path = clip(int(state.range(0)));
    if (path.empty()) {
        state.SkipWithError("no clip");
        return;
    }
    for (auto _ : state) {
        kgi::kgiMovieTrack track(mediatest::fakeSinks());
        benchmark::DoNotOptimize(track.load(path));
    }
}
BENCHMARK(BM_MovieLoad)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
