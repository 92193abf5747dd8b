// Movie and sound tracks on files the tests make, played on fakesinks.
#include "kgiMediaLog.h"
#include "kgiMovieTrack.h"
#include "kgiSoundTrack.h"
#include "medialib/mediaFixtures.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

using namespace kgi;
using mediatest::fakeSinks;

namespace {

// Polls isPlaying until it turns false, for at most 5 s.
bool playsToEnd(kgiMediaTrack& t)
{
    for (int i = 0; i < 500; ++i) {
        if (!t.isPlaying())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

struct LogCapture {
    std::vector<std::string> lines;
    LogCapture()
    {
        kgiMediaSetLogSink([](const std::string& l, void* u) {
            static_cast<LogCapture*>(u)->lines.push_back(l);
        }, this);
    }
    ~LogCapture() { kgiMediaSetLogSink(nullptr, nullptr); }
    bool has(const std::string& part) const
    {
        for (const std::string& l : lines)
            if (l.find(part) != std::string::npos)
                return true;
        return false;
    }
};

} // namespace

TEST(SoundTrack, EveryOperationFailsBeforeLoad)
{
    kgiSoundTrack t(fakeSinks());
    EXPECT_FALSE(t.play(0));
    EXPECT_FALSE(t.stop());
    EXPECT_EQ(t.pause(), -1.0f);
    EXPECT_EQ(t.getDuration(), 0.0f);
    EXPECT_FALSE(t.isPlaying());
    EXPECT_FALSE(t.setVolume(-100));
    EXPECT_EQ(t.getFileName(), "");
    EXPECT_EQ(t.getDirectory(), "");
}

TEST(SoundTrack, PlaysPausesResumesAndStopsAWav)
{
    std::string path = mediatest::writeWav("tone.wav", 1000);
    kgiSoundTrack t(fakeSinks());
    ASSERT_TRUE(t.load(path));
    EXPECT_EQ(t.getDirectory() + t.getFileName(), path);
    EXPECT_EQ(t.getFileName(), "tone.wav");
    EXPECT_NEAR(t.getDuration(), 1000.0f, 1.0f);
    EXPECT_FALSE(t.isPlaying());  // loaded means ready, not running
    EXPECT_FALSE(t.seek(100));    // sound is never positioned

    ASSERT_TRUE(t.play(200));
    EXPECT_TRUE(t.isPlaying());
    float at = t.pause();
    EXPECT_GE(at, 200.0f);
    EXPECT_LT(at, 1000.0f);
    EXPECT_FALSE(t.isPlaying());
    EXPECT_EQ(t.pause(), -1.0f);  // already paused
    EXPECT_TRUE(t.isPaused());

    ASSERT_TRUE(t.play(at));  // the paused time: resume
    EXPECT_FALSE(t.isPaused());
    EXPECT_TRUE(t.isPlaying());
    EXPECT_TRUE(t.setVolume(-10000));
    EXPECT_TRUE(t.stop());
    EXPECT_FALSE(t.isPlaying());
}

TEST(SoundTrack, ReachingTheEndStopsThePolledTrack)
{
    kgiSoundTrack t(fakeSinks());
    ASSERT_TRUE(t.load(mediatest::writeWav("short.wav", 150)));
    ASSERT_TRUE(t.play(0));
    EXPECT_TRUE(playsToEnd(t));
    EXPECT_FALSE(t.isPlaying());
    // And it plays again from a given time.
    ASSERT_TRUE(t.play(0));
    EXPECT_TRUE(t.isPlaying());
}

TEST(SoundTrack, UnplayableTimesFailWithoutHarm)
{
    kgiSoundTrack t(fakeSinks());
    ASSERT_TRUE(t.load(mediatest::writeWav("tone2.wav", 300)));
    EXPECT_FALSE(t.play(std::nanf("")));
    EXPECT_FALSE(t.play(1e30f));
    EXPECT_TRUE(t.play(-500.0f));  // before the start: from the start
    EXPECT_TRUE(t.isPlaying());
}

class MovieTrackTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        movie = mediatest::makeMovie("clip.ogv", true);
        if (movie.empty())
            GTEST_SKIP() << "no Theora/Vorbis/Ogg encoder to make a movie";
    }
    std::string movie;
};

TEST_F(MovieTrackTest, SeekLeavesItPausedAndPlayResumesOrSeeks)
{
    kgiMovieTrack t(fakeSinks());
    ASSERT_TRUE(t.load(movie));
    EXPECT_EQ(t.videoWidth(), 64);
    EXPECT_EQ(t.videoHeight(), 48);
    EXPECT_NEAR(t.getDuration(), 1000.0f, 40.0f);

    ASSERT_TRUE(t.seek(500));
    EXPECT_TRUE(t.isPaused());
    EXPECT_FALSE(t.isPlaying());
    EXPECT_EQ(t.pause(), -1.0f);  // seek already paused it

    ASSERT_TRUE(t.play(500));  // same time: resume
    EXPECT_TRUE(t.isPlaying());
    float at = t.pause();
    EXPECT_GE(at, 490.0f);

    ASSERT_TRUE(t.play(100));  // another time: seek there first
    at = t.pause();
    EXPECT_GE(at, 90.0f);
    EXPECT_LT(at, 490.0f);

    EXPECT_TRUE(t.stop());
    EXPECT_FALSE(t.isPaused());
    EXPECT_FALSE(t.isPlaying());
}

TEST_F(MovieTrackTest, PlaysToItsEnd)
{
    kgiMovieTrack t(fakeSinks());
    ASSERT_TRUE(t.load(movie));
    ASSERT_TRUE(t.play(800));
    EXPECT_TRUE(playsToEnd(t));
}

TEST_F(MovieTrackTest, MovieWithoutSoundLoadsAndSaysSo)
{
    std::string silent = mediatest::makeMovie("silent.ogv", false);
    ASSERT_FALSE(silent.empty());
    LogCapture log;
    kgiMovieTrack t(fakeSinks());
    ASSERT_TRUE(t.load(silent));
    EXPECT_TRUE(log.has("サウンド出力が見つかりません。"));
    EXPECT_TRUE(t.seek(0));
}

TEST_F(MovieTrackTest, RefusesSoundNamesAndFilesWithoutVideo)
{
    kgiMovieTrack t(fakeSinks());
    LogCapture log;
    // A real movie under a sound name is never opened as a movie.
    std::string renamed = mediatest::writeBytes("clip.OGG", mediatest::readBytes(movie));
    EXPECT_FALSE(t.load(renamed));
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(t.getFileName(), "");

    EXPECT_FALSE(t.load(mediatest::writeWav("tone.dat", 200)));
    EXPECT_FALSE(t.play(0));
    EXPECT_EQ(t.getDuration(), 0.0f);
}

TEST_F(MovieTrackTest, ReloadReplacesTheFile)
{
    kgiMovieTrack t(fakeSinks());
    ASSERT_TRUE(t.load(movie));
    ASSERT_TRUE(t.seek(300));
    ASSERT_TRUE(t.load(movie));
    EXPECT_FALSE(t.isPaused());
    EXPECT_GE(t.pause(), 0.0f);
}

namespace {

// A movie track whose bus the test can look at.
struct InspectedMovie : kgiMovieTrack {
    InspectedMovie() : kgiMovieTrack(fakeSinks()) {}
    // Takes every message waiting on the bus; how many there were.
    int takeQueued()
    {
        int n = 0;
        while (GstMessage* m = gst_bus_pop(pipeline.messageBus())) {
            gst_message_unref(m);
            ++n;
        }
        return n;
    }
};

} // namespace

TEST_F(MovieTrackTest, ScrubbingLeavesNothingOnTheBus)
{
    // The host seeks a paused movie on every change of time and never asks
    // whether it plays.
    InspectedMovie t;
    ASSERT_TRUE(t.load(movie));
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(t.seek(float((i * 37) % 900)));
    EXPECT_LE(t.takeQueued(), 5);
    // The end of the file still reaches isPlaying.
    ASSERT_TRUE(t.play(900));
    EXPECT_TRUE(playsToEnd(t));
}

TEST(MovieFormats, EveryImportedKindOpensWithPicturesAndItsLength)
{
    struct Case {
        const char* file;
        const char* encode;
        double toleranceMs;
    };
    // An MPEG program stream's length is the demuxer's estimate from the
    // data read before the first picture: close on an idle machine (40 ms
    // short), up to about half a second short on a busy one. The other
    // containers record their length.
    const Case cases[] = {
        {"clip.avi", "jpegenc ! avimux", 100.0},
        {"clip.mov", "jpegenc ! qtmux", 100.0},
        {"clip.mpg", "mpeg2enc format=0 ! avmux_mpeg", 600.0},
        {"clip.wmv", "avenc_wmv2 ! asfmux", 100.0},
    };
    for (const Case& c : cases) {
        std::string path = mediatest::makeClip(c.file, c.encode, 160, 90, 2);
        ASSERT_FALSE(path.empty()) << c.file << ": cannot encode " << c.encode;
        double length = mediatest::decodedSeconds(path);
        EXPECT_NEAR(length, 2.0, 0.05) << c.file;
        kgiMovieTrack t(fakeSinks());
        ASSERT_TRUE(t.load(path)) << c.file;
        EXPECT_EQ(t.videoWidth(), 160) << c.file;
        EXPECT_EQ(t.videoHeight(), 90) << c.file;
        EXPECT_NEAR(t.getDuration(), length * 1000.0, c.toleranceMs) << c.file;
        EXPECT_TRUE(t.seek(1500)) << c.file;
    }
}
