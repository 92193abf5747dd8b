// The media lesson's movie as the build writes it, opened by the media
// plug-in, and the beat its pictures and music keep.
#include "kgiDanceMovie.h"
#include "kgiMediaPipeline.h"
#include "kgiMovieTrack.h"
#include "medialib/mediaFixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

using namespace kgi;

namespace {

const double BEAT_SECONDS = 60.0 / kgiDanceMovie::BEATS_PER_MINUTE;

// Root mean square of the samples in [from, to) seconds.
double loudness(const std::vector<std::int16_t>& pcm, int rate, double from, double to)
{
    const std::size_t a = std::size_t(std::max(0.0, from) * rate);
    const std::size_t b = std::min(pcm.size(), std::size_t(to * rate));
    double sum = 0;
    for (std::size_t i = a; i < b; ++i)
        sum += double(pcm[i]) * pcm[i];
    return b > a ? std::sqrt(sum / double(b - a)) : 0.0;
}

// Pixels that differ between two pictures of one size.
int changedPixels(const kgiPicture& a, const kgiPicture& b)
{
    int n = 0;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            n += a.at(x, y) != b.at(x, y);
    return n;
}

} // namespace

TEST(LessonMovie, ThePlugInPlaysFifteenSecondsOfPicturesAndSound)
{
    const std::string path = KGI_LESSON_MOVIE;
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    EXPECT_EQ(std::filesystem::path(path).extension(), ".avi");
    EXPECT_LT(std::filesystem::file_size(path), 3u * 1024 * 1024);

    kgiMediaPipeline pipeline(mediatest::fakeSinks());
    std::string error;
    ASSERT_TRUE(pipeline.open(path, true, 0, &error)) << error;
    EXPECT_EQ(pipeline.videoStreams(), 1);
    EXPECT_EQ(pipeline.audioStreams(), 1);
    EXPECT_EQ(pipeline.videoWidth(), kgiDanceMovie::format().width);
    EXPECT_EQ(pipeline.videoHeight(), kgiDanceMovie::format().height);
    pipeline.close();

    kgiMovieTrack track(mediatest::fakeSinks());
    ASSERT_TRUE(track.load(path));
    EXPECT_NEAR(track.getDuration(), 15000.0f, 100.0f);
    EXPECT_TRUE(track.seek(1000.0f));
    EXPECT_NEAR(mediatest::decodedSeconds(path), 15.0, 0.1);
}

TEST(LessonMovie, TheMusicStrikesEveryBeatFromTheFirstFrame)
{
    const std::vector<std::int16_t> pcm = kgiDanceMovie::music().pcm16();
    const int rate = kgiDanceMovie::format().sampleRate;
    ASSERT_EQ(pcm.size(), std::size_t(kgiDanceMovie::SECONDS * rate));
    const double window = 0.05;
    // The first beat sounds at once; every later one stands out from what
    // leads into it.
    EXPECT_GT(loudness(pcm, rate, 0.0, window), 4000.0);
    const int beats = kgiDanceMovie::SECONDS * kgiDanceMovie::BEATS_PER_MINUTE / 60;
    for (int b = 1; b < beats; ++b) {
        const double t = b * BEAT_SECONDS;
        EXPECT_GT(loudness(pcm, rate, t, t + window), 2.0 * loudness(pcm, rate, t - window, t))
            << "beat " << b;
    }
}

TEST(LessonMovie, ThePicturesChangeMostOnTheBeat)
{
    kgiPictureFont font(kgiDanceMovie::titleFont());
    ASSERT_TRUE(font.ok()) << kgiDanceMovie::titleFont();
    const kgiMovieFormat f = kgiDanceMovie::format();
    ASSERT_EQ(f.frames, kgiDanceMovie::SECONDS * f.framesPerSecond);
    auto frame = [&](int n) {
        kgiPicture p(f.width, f.height, kgiRgb());
        kgiDanceMovie::drawFrame(n, p, font);
        return p;
    };
    // A beat every 0.6 s falls on a picture of its own.
    ASSERT_EQ(kgiDanceMovie::FRAMES_PER_BEAT * kgiDanceMovie::BEATS_PER_MINUTE,
              60 * f.framesPerSecond);
    for (int start = kgiDanceMovie::FRAMES_PER_BEAT; start < f.frames;
         start += kgiDanceMovie::FRAMES_PER_BEAT) {
        const int onTheBeat = changedPixels(frame(start - 1), frame(start));
        const int between = changedPixels(frame(start + 4), frame(start + 5));
        EXPECT_GT(onTheBeat, 2 * between) << "picture " << start;
    }
}

TEST(LessonMovie, AFailedEncodingLeavesNoFile)
{
    const std::string target = mediatest::scratchDir() + "missing/folder/dance.avi";
    kgiMovieFormat f;
    f.frames = 3;
    const std::string error =
        kgiEncodeMovie(target, f, [](int, kgiPicture&) {}, std::vector<std::int16_t>(100));
    EXPECT_NE(error.find(target), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_FALSE(std::filesystem::exists(target + ".encoding"));
}
