// The three hit sounds, synthesised from fixed formulas and a fixed-seed
// noise source: 22050 Hz, 16-bit, mono, each between 100 and 400 ms, peaking
// at -3 dBFS, faded in and out so they start and end on silence.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assets {

constexpr int kWaveRate = 22050;

std::vector<int16_t> PaperSlap();  // hit1: a sharp crack of paper
std::vector<int16_t> Thump();      // hit2: a low, dull knock
std::vector<int16_t> Pop();        // hit3: a bright rising pop

// Writes the samples as a PCM wave file through the sound library's WaveFile.
bool SaveWave(const std::vector<int16_t>& samples, const std::string& path);

}  // namespace assets
