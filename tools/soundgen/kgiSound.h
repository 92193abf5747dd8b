#pragma once
// A mono sound being made, with the few synthesis steps the program's
// sounds are made of, and its file form: a 16-bit PCM mono WAV file, the
// kind the sound player loads.
//
// Samples are doubles, nominally -1 to 1; steps add into the buffer, so a
// sound is built by layering. Writing clips to the 16-bit range.
#include <cstdint>
#include <string>
#include <vector>

class kgiSound {
public:
    // Silence of `seconds` at `rate` samples per second.
    kgiSound(int rate, double seconds);

    int getRate() const { return rate; }
    std::size_t size() const { return samples.size(); }
    double at(std::size_t i) const { return i < samples.size() ? samples[i] : 0.0; }

    // The envelope of one layer: a linear rise over `attack` seconds, then
    // an exponential fall with time constant `decay` seconds (0: none),
    // ending at the end of the layer. Both zero: a flat layer.
    struct Envelope {
        double attack = 0.0;
        double decay = 0.0;
    };

    // Adds a sine of `freq` Hz and peak `amplitude` from `start` for
    // `duration` seconds; `glide` Hz per second bends the pitch.
    void tone(double start, double duration, double freq, double amplitude, Envelope env,
              double glide = 0.0);
    // Adds white noise of peak `amplitude` from a fixed-seed generator, so
    // the same call gives the same samples on every run.
    void noise(double start, double duration, double amplitude, Envelope env,
               std::uint32_t seed = 1);
    // Ramps the last `seconds` down to zero, so the sound ends without a click.
    void fadeOut(double seconds);

    // The samples clipped to -1..1 as 16-bit values, as the WAV file holds
    // them (and a movie's PCM sound).
    std::vector<std::int16_t> pcm16() const;
    // The WAV file's bytes.
    std::vector<std::uint8_t> wavBytes() const;
    // Writes the WAV through a temporary file renamed over `path` (the
    // folder must exist). An empty string on success, else what failed.
    std::string writeWav(const std::string& path) const;

private:
    double envelopeAt(const Envelope& env, double t, double duration) const;
    // The sample range [first, last) of a layer, clipped to the buffer.
    void span(double start, double duration, std::size_t& first, std::size_t& last) const;

    int rate;
    std::vector<double> samples;
};
