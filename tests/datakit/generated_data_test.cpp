#include "kit_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

std::uint32_t le32(const std::string& b, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

unsigned le16(const std::string& b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}

TEST(GeneratedData, EachGeneratorWritesTheSameBytesOnTwoRuns) {
    for (const char* tool : {KGI_IMAGEGEN, KGI_SOUNDGEN}) {
        SCOPED_TRACE(tool);
        const kit::fs::path dir = kit::freshDir("generator_runs");
        ASSERT_EQ(kit::run({tool, (dir / "a").string()}), 0);
        ASSERT_EQ(kit::run({tool, (dir / "b").string()}), 0);
        const std::vector<std::string> files = kit::filesBelow(dir / "a");
        ASSERT_FALSE(files.empty());
        EXPECT_EQ(kit::filesBelow(dir / "b"), files);
        for (const std::string& f : files)
            EXPECT_EQ(kit::readFile(dir / "a" / f), kit::readFile(dir / "b" / f)) << f;
        kit::fs::remove_all(dir);
    }
}

// A sound file of the build: its samples after checking that it is a 16-bit
// mono PCM WAVE whose RIFF and chunk sizes agree.
struct Pcm {
    std::uint32_t rate = 0;
    std::vector<int> samples;
    double seconds() const { return rate ? static_cast<double>(samples.size()) / rate : 0.0; }
    int peak() const {
        int p = 0;
        for (int v : samples) p = std::max(p, std::abs(v));
        return p;
    }
};

void readPcm(const std::string& name, Pcm& out) {
    const std::string wav = kit::readFile(kit::fs::path(KGI_DATA_DIR) / name);
    ASSERT_GE(wav.size(), 12u);
    ASSERT_EQ(wav.substr(0, 4), "RIFF");
    ASSERT_EQ(wav.substr(8, 4), "WAVE");
    EXPECT_EQ(le32(wav, 4), wav.size() - 8);

    // Walk the chunks: "fmt " must come before "data".
    unsigned format = 0, channels = 0, bits = 0;
    std::uint32_t rate = 0;
    std::string data;
    for (std::size_t at = 12; at + 8 <= wav.size();) {
        const std::string id = wav.substr(at, 4);
        const std::uint32_t size = le32(wav, at + 4);
        ASSERT_LE(size, wav.size() - at - 8) << id;
        if (id == "fmt ") {
            ASSERT_GE(size, 16u);
            format = le16(wav, at + 8);
            channels = le16(wav, at + 10);
            rate = le32(wav, at + 12);
            EXPECT_EQ(le32(wav, at + 16), rate * 2);  // bytes per second
            EXPECT_EQ(le16(wav, at + 20), 2u);        // bytes per frame
            bits = le16(wav, at + 22);
        } else if (id == "data") {
            data = wav.substr(at + 8, size);
        }
        at += 8 + size + (size & 1);
    }
    EXPECT_EQ(format, 1u);
    EXPECT_EQ(channels, 1u);
    EXPECT_EQ(bits, 16u);
    ASSERT_GT(rate, 0u);
    ASSERT_FALSE(data.empty());
    ASSERT_EQ(data.size() % 2, 0u);
    out.rate = rate;
    for (std::size_t i = 0; i < data.size() / 2; ++i)
        out.samples.push_back(static_cast<std::int16_t>(le16(data, 2 * i)));
}

TEST(GeneratedData, KeyClickIsAShortAudible16BitMonoPcmWave) {
    Pcm click;
    ASSERT_NO_FATAL_FAILURE(readPcm("se/keyset.wav", click));
    EXPECT_GT(click.seconds(), 0.03);
    EXPECT_LT(click.seconds(), 0.08);
    EXPECT_GT(click.peak(), 32767 / 8) << "too quiet to hear";
    // It fades out instead of ending on a click.
    EXPECT_LT(std::abs(click.samples.back()), 200);
}

TEST(GeneratedData, AnswerSoundsAreAudibleWavesOfTheirLengthsAndDiffer) {
    struct Case {
        const char* name;
        double seconds;
    };
    const Case cases[] = {{"se/qNG.wav", 0.42}, {"se/qOK.wav", 0.50}};
    std::vector<Pcm> sounds;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Pcm pcm;
        ASSERT_NO_FATAL_FAILURE(readPcm(c.name, pcm));
        EXPECT_NEAR(pcm.seconds(), c.seconds, 1.0 / pcm.rate);
        EXPECT_GT(pcm.peak(), 32767 / 8) << "too quiet to hear";
        // Faded in and out: no click at either end.
        EXPECT_LT(std::abs(pcm.samples.front()), 200);
        EXPECT_LT(std::abs(pcm.samples.back()), 200);
        sounds.push_back(pcm);
    }
    EXPECT_NE(sounds[0].samples, sounds[1].samples);
}


// The part of a sound from `from` to `to` seconds.
std::vector<int> span(const Pcm& pcm, double from, double to) {
    const auto at = [&](double t) {
        return pcm.samples.begin() + static_cast<long>(std::min(t * pcm.rate, double(pcm.samples.size())));
    };
    return std::vector<int>(at(from), at(to));
}

int peakOf(const std::vector<int>& v) {
    int p = 0;
    for (int x : v) p = std::max(p, std::abs(x));
    return p;
}

// Sign changes: twice the pitch of a tone, over a noise burst many more.
int crossings(const std::vector<int>& v) {
    int n = 0;
    for (std::size_t i = 1; i < v.size(); ++i) n += (v[i - 1] < 0) != (v[i] < 0);
    return n;
}

TEST(GeneratedData, CourseSoundsKeepTheStartSignalsBeat) {
    struct Case {
        const char* name;
        double seconds;
        double soundsFor;  // seconds after which it is silent (0: to its end)
    };
    const Case cases[] = {
        {"se/ready.wav", 1.0, 0.3},  {"se/set.wav", 1.0, 0.3},  {"se/go.wav", 1.0, 0.0},
        {"se/goal.wav", 1.3, 0.0},   {"se/readyJ.wav", 1.0, 0.3}, {"se/setJ.wav", 1.0, 0.3},
        {"se/pistol.wav", 0.4, 0.0}, {"se/goalJ.wav", 1.3, 0.0},
    };
    std::vector<Pcm> sounds;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Pcm pcm;
        ASSERT_NO_FATAL_FAILURE(readPcm(c.name, pcm));
        EXPECT_NEAR(pcm.seconds(), c.seconds, 1.0 / pcm.rate);
        EXPECT_GT(pcm.peak(), 32767 / 8) << "too quiet to hear";
        EXPECT_LT(std::abs(pcm.samples.front()), 200);
        EXPECT_LT(std::abs(pcm.samples.back()), 200);
        // Ready and set: a beep, then silence up to their second.
        if (c.soundsFor > 0.0) {
            EXPECT_LT(peakOf(span(pcm, c.soundsFor, c.seconds)), 100);
        }
        sounds.push_back(pcm);
    }
    const Pcm& ready = sounds[0];
    const Pcm& go = sounds[2];
    // Go is higher and still sounds where ready's beep has ended.
    EXPECT_GT(crossings(span(go, 0.0, 0.2)), crossings(span(ready, 0.0, 0.2)) * 3 / 2);
    EXPECT_GT(peakOf(span(go, 0.5, 0.6)), 32767 / 20);
    // The other language's set differs in timbre, not in its beat.
    EXPECT_NE(sounds[4].samples, ready.samples);
    // The pistol is a noise burst that has died away within 0.1 s.
    const Pcm& pistol = sounds[6];
    EXPECT_GT(crossings(span(pistol, 0.0, 0.02)), crossings(span(go, 0.0, 0.02)) * 2);
    EXPECT_LT(peakOf(span(pistol, 0.1, 0.4)), pistol.peak() / 8);
}

} // namespace
