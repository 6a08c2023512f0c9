#pragma once

#include <cstdint>
#include <vector>

namespace tessel::aafwriter {

/// A RIFF/WAVE header of 44 bytes for PCM sound of this shape (with an empty data chunk).
std::vector<std::uint8_t> WaveSummary(std::uint16_t channels, std::uint32_t sampleRate,
                                      std::uint16_t bitsPerSample);
/// An AIFF-C header (FORM/AIFC with FVER and COMM chunks) for sound of this shape.
std::vector<std::uint8_t> AifcSummary(std::uint16_t channels, std::uint32_t sampleRate,
                                      std::uint16_t bitsPerSample, std::uint32_t frames);

}  // namespace tessel::aafwriter
