// Build-time tool: writes the program's sound cues, as wave files, into a
// folder.
//
//   make-sound-cues FOLDER

#include "SoundCues.h"
#include "WaveFile.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    for (const auto& cue : kestro::sound::makeSoundCues()) {
        const std::string path = std::string(argv[1]) + "/" + cue.fileName;
        if (!kestro::sound::writeWaveFile(path, cue.samples, kestro::sound::kSampleRate)) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
