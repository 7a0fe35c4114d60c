#pragma once

#include <string>
#include <vector>

namespace kestro::sound {

// Writes `samples` (full scale is -1 to 1; beyond is clipped) as a RIFF/WAVE
// file of 16-bit PCM, one channel, at `sampleRate`. The file appears whole or
// not at all: it is written beside its name and renamed. Returns false when it
// cannot be written.
bool writeWaveFile(const std::string& path, const std::vector<float>& samples, int sampleRate);

} // namespace kestro::sound
