#include "WaveFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>

namespace kestro::sound {

namespace {

// RIFF numbers are little-endian whatever the machine.
void put16(std::string& out, std::uint16_t value) {
    out += char(value & 0xFF);
    out += char(value >> 8);
}

void put32(std::string& out, std::uint32_t value) {
    put16(out, std::uint16_t(value & 0xFFFF));
    put16(out, std::uint16_t(value >> 16));
}

} // namespace

bool writeWaveFile(const std::string& path, const std::vector<float>& samples, int sampleRate) {
    constexpr std::uint16_t kChannels = 1;
    constexpr std::uint16_t kBitsPerSample = 16;
    constexpr std::uint16_t kBlockAlign = kChannels * kBitsPerSample / 8;
    const auto dataBytes = std::uint32_t(samples.size() * kBlockAlign);

    std::string bytes;
    bytes.reserve(44 + dataBytes);
    bytes += "RIFF";
    put32(bytes, 36 + dataBytes);
    bytes += "WAVE";
    bytes += "fmt ";
    put32(bytes, 16);
    put16(bytes, 1); // PCM
    put16(bytes, kChannels);
    put32(bytes, std::uint32_t(sampleRate));
    put32(bytes, std::uint32_t(sampleRate) * kBlockAlign);
    put16(bytes, kBlockAlign);
    put16(bytes, kBitsPerSample);
    bytes += "data";
    put32(bytes, dataBytes);
    for (float sample : samples) {
        const long level = std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767.0f);
        put16(bytes, std::uint16_t(std::int16_t(level)));
    }

    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        if (!out.flush()) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

} // namespace kestro::sound
