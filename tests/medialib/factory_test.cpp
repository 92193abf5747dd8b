// CreateMediaTrack's choice of track kind and its refusal of bad files.
#include "kgiMediaLib.h"
#include "medialib/mediaFixtures.h"

#include <gtest/gtest.h>

#include <memory>

using namespace kgi;

namespace {

struct TrackDeleter {
    void operator()(kgiMediaTrack* t) const { DestroyMediaTrack(t); }
};
using TrackPtr = std::unique_ptr<kgiMediaTrack, TrackDeleter>;

class MediaFactoryTest : public ::testing::Test
{
protected:
    void SetUp() override { mediatest::useFakeSinksForFactory(); }
};

} // namespace

TEST_F(MediaFactoryTest, SoundNamesGoStraightToTheSoundTrack)
{
    std::string movie = mediatest::makeMovie("both.ogv", true);
    if (movie.empty())
        GTEST_SKIP() << "no encoder to make a movie";
    std::string bytes = mediatest::readBytes(movie);
    // The same movie file under other names; only a sound track refuses
    // to seek, which tells the two kinds apart.
    struct Case {
        const char* name;
        bool movie;
    } cases[] = {
        {"m1.ogv", true}, {"m2.OGG", false}, {"m3.ogg", false}, {"m4.Wav", false},
        {"m5.mp3", false}, {"m6.aiff", false}, {"m7.AIFF", false}, {"m8.oggv", true},
    };
    for (const Case& c : cases) {
        TrackPtr t(CreateMediaTrack(mediatest::writeBytes(c.name, bytes).c_str()));
        ASSERT_TRUE(t) << c.name;
        EXPECT_EQ(t->seek(0), c.movie) << c.name;
        EXPECT_EQ(t->getFileName(), c.name);
    }
}

TEST_F(MediaFactoryTest, FallsBackToSoundForAFileWithoutVideo)
{
    TrackPtr t(CreateMediaTrack(mediatest::writeWav("tone.bin", 300).c_str()));
    ASSERT_TRUE(t);
    EXPECT_FALSE(t->seek(0));
    EXPECT_NEAR(t->getDuration(), 300.0f, 1.0f);
    EXPECT_TRUE(t->play(0));
}

TEST_F(MediaFactoryTest, BackslashPathsOpenTheFile)
{
    std::string path = mediatest::writeWav("slash.wav", 200);
    std::string windows = path;
    for (char& c : windows)
        if (c == '/')
            c = '\\';
    TrackPtr t(CreateMediaTrack(windows.c_str()));
    ASSERT_TRUE(t);
    EXPECT_EQ(t->getFileName(), "slash.wav");
    EXPECT_EQ(t->getDirectory() + t->getFileName(), windows);
}

TEST_F(MediaFactoryTest, MissingAndCorruptFilesGiveNull)
{
    std::string wav = mediatest::readBytes(mediatest::writeWav("good.wav", 500));
    std::string header = wav.substr(0, 44);
    std::string random;
    for (int i = 0; i < 4096; ++i)
        random += char((i * 7919 + 13) % 251);
    struct Case {
        const char* name;
        std::string bytes;  // written as the file unless the name is missing
        bool write;
    } cases[] = {
        {"missing.wav", "", false},
        {"empty.wav", "", true},
        {"riff_only.wav", "RIFF\x10\0\0\0", true},
        {"text.avi", "not a movie at all\n", true},
        {"random.mp3", random, true},
        {"random.ogv", random, true},
        {"header_no_fmt.wav", "RIFF\x24\0\0\0WAVEdata\0\0\0\0", true},
    };
    for (const Case& c : cases) {
        std::string path = c.write ? mediatest::writeBytes(c.name, c.bytes)
                                   : mediatest::scratchDir() + c.name;
        TrackPtr t(CreateMediaTrack(path.c_str()));
        EXPECT_FALSE(t) << c.name;
    }
    EXPECT_FALSE(TrackPtr(CreateMediaTrack(nullptr)));
    EXPECT_FALSE(TrackPtr(CreateMediaTrack("")));
    EXPECT_FALSE(TrackPtr(CreateMediaTrack(mediatest::scratchDir().c_str())));  // a folder
}

TEST_F(MediaFactoryTest, DamagedButReadableFilesNeverHang)
{
    // Whether these open depends on how forgiving the decoders are; what
    // matters is that every call returns and a track that opened works.
    std::string wav = mediatest::readBytes(mediatest::writeWav("whole.wav", 500));
    std::string movie = mediatest::readBytes(mediatest::makeMovie("whole.ogv", true));
    std::string bigSize = wav;
    bigSize[40] = bigSize[41] = bigSize[42] = bigSize[43] = '\xff';  // data size past the end
    const std::pair<const char*, std::string> cases[] = {
        {"cut_header.wav", wav.substr(0, 44)},
        {"cut_half.wav", wav.substr(0, wav.size() / 2)},
        {"big_size.wav", bigSize},
        {"cut_movie.ogv", movie.substr(0, movie.size() / 3)},
        {"cut_start.ogv", movie.empty() ? std::string() : movie.substr(200)},
    };
    for (const auto& c : cases) {
        TrackPtr t(CreateMediaTrack(mediatest::writeBytes(c.first, c.second).c_str()));
        if (t) {
            t->play(0);
            t->isPlaying();
            t->pause();
            t->stop();
        }
    }
}

TEST_F(MediaFactoryTest, DestroyIgnoresNullAndNoWindowWithoutAnApplication)
{
    DestroyMediaTrack(nullptr);
    EXPECT_EQ(CreateMediaWindow(nullptr, -1, -1, -1, -1), nullptr);
    DestroyMediaWindow();
}
