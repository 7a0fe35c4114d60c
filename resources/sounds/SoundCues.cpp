#include "SoundCues.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace kestro::sound {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A tone sounding for a while inside a cue.
struct Tone {
    double frequency; // of the fundamental, Hz
    double start;     // seconds from the start of the cue
    double end;       // seconds; the tone has faded out here
};

// How one cue is made: its tones and the shape they share.
struct CueDesign {
    const char* fileName;
    double seconds;
    double attack;                 // seconds each tone takes to rise from silence
    double release;                // seconds each tone takes to fall back to silence
    double decay;                  // seconds for a fundamental to fall to 1/e
    std::vector<double> overtones; // levels of harmonics 2, 3, ... to the fundamental
    double peak;                   // loudest sample, as a part of full scale
    std::vector<Tone> tones;
};

// The equal-tempered pitch of a MIDI note number (69 is A at 440 Hz).
double note(int midiNumber) {
    return 440.0 * std::pow(2.0, (midiNumber - 69) / 12.0);
}

// Half a cosine wave from 0 to 1 over `length` seconds: a fade with no step
// and no corner, which the ear would hear as a click.
double smoothRise(double t, double length) {
    if (t <= 0)
        return 0;
    if (t >= length)
        return 1;
    return 0.5 - 0.5 * std::cos(kPi * t / length);
}

void addTone(std::vector<float>& samples, const CueDesign& cue, const Tone& tone) {
    const auto first = std::size_t(std::lround(tone.start * kSampleRate));
    const auto end = std::min(samples.size(), std::size_t(std::lround(tone.end * kSampleRate)));
    const double length = tone.end - tone.start;
    for (std::size_t i = first; i < end; ++i) {
        const double t = double(i - first) / kSampleRate;
        double value = std::sin(2 * kPi * tone.frequency * t) * std::exp(-t / cue.decay);
        for (std::size_t k = 0; k < cue.overtones.size(); ++k) {
            const double harmonic = double(k + 2);
            // Harmonics near half the sample rate would fold back as off-key tones.
            if (tone.frequency * harmonic > 0.4 * kSampleRate)
                break;
            // Higher harmonics die away sooner, as those of a struck bar do.
            value += cue.overtones[k] * std::sin(2 * kPi * tone.frequency * harmonic * t) *
                     std::exp(-t * harmonic / cue.decay);
        }
        const double envelope = smoothRise(t, cue.attack) * smoothRise(length - t, cue.release);
        samples[i] += float(envelope * value);
    }
}

SoundCue render(const CueDesign& design) {
    SoundCue cue{design.fileName,
                 std::vector<float>(std::size_t(std::lround(design.seconds * kSampleRate)))};
    for (const Tone& tone : design.tones)
        addTone(cue.samples, design, tone);
    float loudest = 0;
    for (float sample : cue.samples)
        loudest = std::max(loudest, std::abs(sample));
    if (loudest > 0)
        for (float& sample : cue.samples)
            sample *= float(design.peak / loudest);
    return cue;
}

} // namespace

std::vector<SoundCue> makeSoundCues() {
    // C major around C5: C5 72, E5 76, G5 79, A5 81, C6 84, E6 88, G6 91.
    const std::vector<CueDesign> designs = {
        {.fileName = "startup.wav",
         .seconds = 0.6,
         .attack = 0.012,
         .release = 0.12,
         .decay = 0.40,
         .overtones = {0.30, 0.10},
         .peak = 0.50,
         .tones = {{note(72), 0.00, 0.6},
                   {note(76), 0.08, 0.6},
                   {note(79), 0.16, 0.6},
                   {note(84), 0.24, 0.6}}},
        {.fileName = "shutdown.wav",
         .seconds = 0.5,
         .attack = 0.012,
         .release = 0.12,
         .decay = 0.30,
         .overtones = {0.30, 0.10},
         .peak = 0.45,
         .tones = {{note(84), 0.00, 0.5},
                   {note(79), 0.07, 0.5},
                   {note(76), 0.14, 0.5},
                   {note(72), 0.21, 0.5}}},
        // Ticks: a high tone that dies within a few milliseconds.
        {.fileName = "clickdown.wav",
         .seconds = 0.030,
         .attack = 0.0015,
         .release = 0.010,
         .decay = 0.006,
         .overtones = {0.40},
         .peak = 0.35,
         .tones = {{1500, 0.0, 0.030}}},
        {.fileName = "clickup.wav",
         .seconds = 0.025,
         .attack = 0.0015,
         .release = 0.008,
         .decay = 0.005,
         .overtones = {0.30},
         .peak = 0.35,
         .tones = {{2300, 0.0, 0.025}}},
        {.fileName = "openwindow.wav",
         .seconds = 0.15,
         .attack = 0.008,
         .release = 0.030,
         .decay = 0.12,
         .overtones = {0.15},
         .peak = 0.40,
         .tones = {{note(81), 0.00, 0.09}, {note(88), 0.06, 0.15}}},
        // A chime: brighter overtones, a quicker strike.
        {.fileName = "catdone.wav",
         .seconds = 0.5,
         .attack = 0.005,
         .release = 0.10,
         .decay = 0.25,
         .overtones = {0.40, 0.15, 0.08},
         .peak = 0.50,
         .tones = {{note(84), 0.00, 0.5}, {note(88), 0.10, 0.5}, {note(91), 0.20, 0.5}}},
    };
    std::vector<SoundCue> cues;
    for (const CueDesign& design : designs)
        cues.push_back(render(design));
    return cues;
}

} // namespace kestro::sound
