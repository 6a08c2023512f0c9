#include "aafwriter/sound_summary.h"

#include <cmath>

namespace tessel::aafwriter {
namespace {

void PutLE(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

void PutBE(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) {
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    }
}

void PutTag(std::vector<std::uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>(tag[i]));
    }
}

}  // namespace

std::vector<std::uint8_t> WaveSummary(std::uint16_t channels, std::uint32_t sampleRate,
                                      std::uint16_t bitsPerSample) {
    const std::uint32_t blockAlign = channels * ((bitsPerSample + 7u) / 8u);
    std::vector<std::uint8_t> out;
    PutTag(out, "RIFF");
    PutLE(out, 36, 4);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLE(out, 16, 4);
    PutLE(out, 1, 2);  // PCM
    PutLE(out, channels, 2);
    PutLE(out, sampleRate, 4);
    PutLE(out, sampleRate * blockAlign, 4);
    PutLE(out, blockAlign, 2);
    PutLE(out, bitsPerSample, 2);
    PutTag(out, "data");
    PutLE(out, 0, 4);
    return out;
}

std::vector<std::uint8_t> AifcSummary(std::uint16_t channels, std::uint32_t sampleRate,
                                      std::uint16_t bitsPerSample, std::uint32_t frames) {
    std::vector<std::uint8_t> out;
    PutTag(out, "FORM");
    PutBE(out, 4 + 12 + 8 + 24, 4);
    PutTag(out, "AIFC");
    PutTag(out, "FVER");
    PutBE(out, 4, 4);
    PutBE(out, 0xA2805140, 4);  // AIFC version 1
    PutTag(out, "COMM");
    PutBE(out, 24, 4);
    PutBE(out, channels, 2);
    PutBE(out, frames, 4);
    PutBE(out, bitsPerSample, 2);
    // Sample rate as an 80-bit IEEE extended number.
    int exponent = 0;
    const double mantissa = std::frexp(static_cast<double>(sampleRate), &exponent);
    const auto bits = static_cast<std::uint64_t>(std::ldexp(mantissa, 64));
    PutBE(out, sampleRate == 0 ? 0 : static_cast<std::uint32_t>(16382 + exponent), 2);
    PutBE(out, static_cast<std::uint32_t>(bits >> 32), 4);
    PutBE(out, static_cast<std::uint32_t>(bits), 4);
    PutTag(out, "NONE");
    return out;
}

}  // namespace tessel::aafwriter
