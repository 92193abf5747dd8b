#include "kgiDanceMovie.h"

#include "kgiSoundSet.h"

#include <cmath>
#include <filesystem>
#include <system_error>

namespace {

const double BEAT = 60.0 / kgiDanceMovie::BEATS_PER_MINUTE;

// Pitches in Hz; 0 is a rest.
const double C3 = 130.81, A2 = 110.00, F2 = 87.31, G2 = 98.00;
const double C5 = 523.25, D5 = 587.33, E5 = 659.26, G5 = 783.99, A5 = 880.00, C6 = 1046.50;

// One bar: its bass note and eight eighth notes of melody.
struct Bar {
    double bass;
    double melody[8];
};

// C, A minor, F, G, C, G, then a closing chord on the last beat.
const Bar BARS[] = {
    {C3, {E5, G5, A5, G5, E5, D5, C5, D5}},
    {A2, {E5, E5, G5, A5, C6, A5, G5, E5}},
    {F2, {A5, C6, A5, G5, E5, G5, A5, 0}},
    {G2, {G5, D5, G5, A5, G5, E5, D5, 0}},
    {C3, {E5, G5, A5, G5, E5, D5, C5, D5}},
    {G2, {E5, G5, A5, C6, A5, G5, D5, E5}},
};

void kick(kgiSound& s, double t)
{
    s.tone(t, 0.16, 150.0, 0.45, {0.002, 0.05}, -500.0);
    s.noise(t, 0.01, 0.15, {0.0, 0.004}, 7);
}

void snare(kgiSound& s, double t, int beat)
{
    s.noise(t, 0.14, 0.18, {0.001, 0.04}, 11 + std::uint32_t(beat));
    s.tone(t, 0.10, 190.0, 0.12, {0.001, 0.03});
}

void hat(kgiSound& s, double t, int beat)
{
    s.noise(t, 0.04, 0.06, {0.001, 0.01}, 101 + std::uint32_t(beat));
}

void note(kgiSound& s, double t, double length, double freq, double amplitude, double decay)
{
    s.tone(t, length, freq, amplitude, {0.005, decay});
    s.tone(t, length, 2.0 * freq, amplitude * 0.3, {0.005, decay * 0.5});
}

// Colours: a dark ground per bar, and per beat of the bar a shape colour.
const kgiRgb GROUNDS[] = {{20, 28, 70}, {60, 24, 70}, {16, 64, 72}, {24, 60, 30}};
const kgiRgb SHAPES[] = {{255, 200, 40}, {80, 220, 255}, {255, 90, 140}, {140, 255, 110}};
const kgiRgb DIM(90, 90, 110);
const kgiRgb WHITE(255, 255, 255);

kgiRgb mix(kgiRgb a, kgiRgb b, double t)
{
    auto m = [t](std::uint8_t x, std::uint8_t y) {
        return std::uint8_t(std::lround(x + (y - x) * t));
    };
    return kgiRgb(m(a.r, b.r), m(a.g, b.g), m(a.b, b.b));
}

void shape(kgiPicture& p, int kind, int cx, int cy, int r, kgiRgb c)
{
    switch (kind) {
    case 0:
        p.fillCircle(cx, cy, r, c);
        break;
    case 1:
        p.fillRect(cx - r * 4 / 5, cy - r * 4 / 5, cx + r * 4 / 5, cy + r * 4 / 5, c);
        break;
    case 2:
        p.fillPolygon({{cx, cy - r}, {cx + r, cy + r * 4 / 5}, {cx - r, cy + r * 4 / 5}}, c);
        break;
    default:
        p.fillPolygon({{cx, cy - r}, {cx + r, cy}, {cx, cy + r}, {cx - r, cy}}, c);
        break;
    }
}

} // namespace

kgiMovieFormat kgiDanceMovie::format()
{
    kgiMovieFormat f;
    f.width = 320;
    f.height = 240;
    f.framesPerSecond = FRAMES_PER_SECOND;
    f.frames = SECONDS * FRAMES_PER_SECOND;
    f.sampleRate = kgiSoundSet::RATE;
    f.jpegQuality = 75;
    return f;
}

kgiSound kgiDanceMovie::music()
{
    kgiSound s(kgiSoundSet::RATE, SECONDS);
    const int beats = SECONDS * BEATS_PER_MINUTE / 60;
    const int bars = int(sizeof BARS / sizeof BARS[0]);
    for (int beat = 0; beat < beats; ++beat) {
        const double t = beat * BEAT;
        const int bar = beat / BEATS_PER_BAR;
        const int inBar = beat % BEATS_PER_BAR;
        kick(s, t);
        if (inBar % 2 == 1)
            snare(s, t, beat);
        hat(s, t + BEAT / 2, beat);
        if (bar >= bars) {
            // The closing chord rings to the end.
            for (double f : {C5, E5, G5})
                note(s, t, SECONDS - t, f, 0.10, 0.30);
            note(s, t, SECONDS - t, C3, 0.18, 0.35);
            continue;
        }
        note(s, t, BEAT * 0.9, BARS[bar].bass, 0.18, 0.25);
        for (int half = 0; half < 2; ++half) {
            const double f = BARS[bar].melody[inBar * 2 + half];
            if (f > 0)
                note(s, t + half * BEAT / 2, BEAT / 2 * 0.95, f, 0.13, 0.12);
        }
    }
    s.fadeOut(0.25);
    return s;
}

void kgiDanceMovie::drawFrame(int frame, kgiPicture& p, kgiPictureFont& font)
{
    const int beat = frame / FRAMES_PER_BEAT;
    const int inBar = beat % BEATS_PER_BAR;
    // 1 on the beat's first picture, falling off towards the next beat.
    const double pulse = std::exp(-4.0 * double(frame % FRAMES_PER_BEAT) / FRAMES_PER_BEAT);
    const int w = p.getWidth(), h = p.getHeight();
    p.fill(GROUNDS[(beat / BEATS_PER_BAR) % 4]);

    // The beat counter: one dot a beat of the bar, the current one lit.
    for (int i = 0; i < BEATS_PER_BAR; ++i) {
        const int cx = w / 2 + (i * 2 - 3) * 18;
        if (i == inBar)
            p.fillCircle(cx, h - 22, 5 + int(4 * pulse), SHAPES[i]);
        else
            p.frameCircle(cx, h - 22, 5, DIM);
    }

    if (frame < TITLE_FRAMES) {
        const int r = 10 + int(14 * pulse);
        p.fillCircle(w / 2, 46, r, mix(DIM, SHAPES[inBar], pulse));
        font.drawCentred(p, "DORUZAVO-1", 40, w / 2, 130, w - 20, WHITE);
        font.drawCentred(p, "Dance at 100 beats per minute", 18, w / 2, 165, w - 20,
                         mix(DIM, WHITE, 0.8));
        return;
    }

    // A band that flashes across the top on each beat.
    const int band = int((w - 20) * pulse);
    if (band > 0)
        p.fillRect(w / 2 - band / 2, 12, w / 2 + band / 2, 20, SHAPES[inBar]);

    // Four shapes; the one of this beat jumps and shines.
    for (int i = 0; i < BEATS_PER_BAR; ++i) {
        const int cx = w / 8 + i * w / 4;
        const bool now = i == inBar;
        const int r = 20 + int((now ? 18 : 4) * pulse);
        const int cy = h / 2 - (now ? int(26 * pulse) : 0);
        shape(p, i, cx, cy, r, now ? mix(DIM, SHAPES[i], 0.4 + 0.6 * pulse) : DIM);
    }
}

std::string kgiDanceMovie::titleFont()
{
    return KGI_TITLE_FONT;
}

std::string kgiDanceMovie::write(const std::string& dataDir)
{
    const std::filesystem::path path = std::filesystem::path(dataDir) / PATH;
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error)
        return path.parent_path().string() + ": " + error.message();
    kgiPictureFont font(titleFont());
    if (!font.ok())
        return titleFont() + ": the title font cannot be opened";
    return kgiEncodeMovie(
        path.string(), format(), [&font](int frame, kgiPicture& p) { drawFrame(frame, p, font); },
        music().pcm16());
}
