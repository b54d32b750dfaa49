// Writes the programme-like material of `orvel demo` (pad, bass, drums; stereo, peaking at -1 dBFS)
// as a 32-bit float WAV of any length and rate, for side-by-side speed runs of several plug-ins.
//
// usage: bench_material OUT.wav [SECONDS [RATE]]
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "tools/orvel/audio_file.h"
#include "tools/orvel/demo_material.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 4) {
        std::fprintf(stderr, "usage: bench_material OUT.wav [SECONDS [RATE]]\n");
        return 2;
    }
    const double seconds = argc > 2 ? std::atof(argv[2]) : 120.0;
    const int rate = argc > 3 ? std::atoi(argv[3]) : 44100;
    if (!(seconds > 0.0) || rate < 8000) {
        std::fprintf(stderr, "bench_material: SECONDS must be positive and RATE at least 8000\n");
        return 2;
    }
    try {
        const std::string path = argv[1];
        auto material = orvel::makeDemoMaterial(rate, seconds); // the writer may convert in place
        orvel::AudioWriter writer(path, rate, 2,
                                  orvel::chooseOutputFormat(path, 0, orvel::SampleFormat::Float, 2, rate));
        writer.write(material.data(), static_cast<std::int64_t>(material.size() / 2));
        writer.commit();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_material: %s\n", e.what());
        return 1;
    }
    return 0;
}
