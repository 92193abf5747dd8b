#include "kgiSound.h"

#include "platform/files.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

const double TWO_PI = 6.28318530717958647692;

void put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xff));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

void putTag(std::vector<std::uint8_t>& out, const char* tag) {
    out.insert(out.end(), tag, tag + 4);
}

} // namespace

kgiSound::kgiSound(int r, double seconds)
    : rate(std::max(r, 1)),
      samples(static_cast<std::size_t>(std::max(0.0, std::round(seconds * rate))), 0.0) {}

void kgiSound::span(double start, double duration, std::size_t& first, std::size_t& last) const {
    const double a = std::max(0.0, std::round(start * rate));
    const double b = std::max(a, std::round((start + duration) * rate));
    first = std::min(static_cast<std::size_t>(a), samples.size());
    last = std::min(static_cast<std::size_t>(b), samples.size());
}

double kgiSound::envelopeAt(const Envelope& env, double t, double duration) const {
    if (t < 0.0 || t > duration) return 0.0;
    if (env.attack > 0.0 && t < env.attack) return t / env.attack;
    if (env.decay > 0.0) return std::exp(-(t - env.attack) / env.decay);
    return 1.0;
}

void kgiSound::tone(double start, double duration, double freq, double amplitude, Envelope env,
                    double glide) {
    std::size_t first = 0, last = 0;
    span(start, duration, first, last);
    for (std::size_t i = first; i < last; ++i) {
        const double t = static_cast<double>(i - first) / rate;
        // Phase of a linear sweep: the integral of freq + glide * t.
        const double phase = TWO_PI * (freq * t + 0.5 * glide * t * t);
        samples[i] += amplitude * envelopeAt(env, t, duration) * std::sin(phase);
    }
}

void kgiSound::noise(double start, double duration, double amplitude, Envelope env,
                     std::uint32_t seed) {
    std::size_t first = 0, last = 0;
    span(start, duration, first, last);
    std::uint32_t state = seed ? seed : 1;
    for (std::size_t i = first; i < last; ++i) {
        // xorshift32: the same sequence on every platform.
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const double white = static_cast<double>(state) / 2147483647.5 - 1.0;
        const double t = static_cast<double>(i - first) / rate;
        samples[i] += amplitude * envelopeAt(env, t, duration) * white;
    }
}

void kgiSound::fadeOut(double seconds) {
    const std::size_t n =
        std::min(samples.size(), static_cast<std::size_t>(std::max(0.0, std::round(seconds * rate))));
    for (std::size_t k = 0; k < n; ++k)
        samples[samples.size() - 1 - k] *= static_cast<double>(k) / static_cast<double>(n);
}

std::vector<std::uint8_t> kgiSound::wavBytes() const {
    const std::uint32_t dataSize = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> out;
    out.reserve(44 + dataSize);
    putTag(out, "RIFF");
    put32(out, 36 + dataSize);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    put32(out, 16);
    put16(out, 1);  // PCM
    put16(out, 1);  // mono
    put32(out, static_cast<std::uint32_t>(rate));
    put32(out, static_cast<std::uint32_t>(rate) * 2);  // bytes per second
    put16(out, 2);   // bytes per frame
    put16(out, 16);  // bits per sample
    putTag(out, "data");
    put32(out, dataSize);
    for (std::int16_t v : pcm16()) put16(out, static_cast<unsigned>(static_cast<std::uint16_t>(v)));
    return out;
}

std::vector<std::int16_t> kgiSound::pcm16() const {
    std::vector<std::int16_t> out;
    out.reserve(samples.size());
    for (double s : samples) {
        const double clipped = std::max(-1.0, std::min(1.0, s));
        out.push_back(static_cast<std::int16_t>(std::lround(clipped * 32767.0)));
    }
    return out;
}

std::string kgiSound::writeWav(const std::string& path) const {
    const std::vector<std::uint8_t> bytes = wavBytes();
    platform::ReplaceFile file;
    if (!file.open(path)) return path + ": " + std::strerror(file.lastError());
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.stream()) != bytes.size()) {
        file.abandon();
        return path + ": write failed";
    }
    if (!file.commit()) return path + ": " + std::strerror(file.lastError());
    return std::string();
}
