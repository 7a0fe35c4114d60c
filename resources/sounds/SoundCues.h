#pragma once

#include <string>
#include <vector>

namespace kestro::sound {

// Samples per second of every cue.
constexpr int kSampleRate = 22050;

// One sound cue: the file name the program plays it by, and its samples at
// kSampleRate, full scale being -1 to 1.
struct SoundCue {
    std::string fileName;
    std::vector<float> samples;
};

// The program's six cues, made of decaying harmonic tones: a rising chord at
// start-up, a falling one at exit, two ticks of different pitch for a button
// going down and up, a soft two-tone for a window opening and a three-note
// chime when a volume has been catalogued. Every cue starts and ends in
// silence along smooth fades, so none of them clicks, and peaks well below
// full scale.
std::vector<SoundCue> makeSoundCues();

} // namespace kestro::sound
