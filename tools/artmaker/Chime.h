// The end-of-batch sound: a short two-note chime, synthesised as 16-bit PCM.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace artmaker {

constexpr int ChimeSampleRate = 44100;

// Mono samples of the chime.
std::vector<std::int16_t> SynthesiseChime();
// A RIFF WAVE file of 16-bit mono PCM samples.
std::string WaveFile(const std::vector<std::int16_t>& Samples, int SampleRate);

} // namespace artmaker
