// orvel's command line: the command, its operands and the options it takes.
#pragma once

#include <string>
#include <vector>

#include "tools/orvel/audio_file.h"

namespace orvel {

enum class PresetSource { None, Factory, File, Bank };

struct Options {
    std::string command; // info, process, master, demo, batch, help
    std::vector<std::string> operands;

    std::string plugin; // empty: OrvelZelmar.so beside orvel
    PresetSource presetSource = PresetSource::None;
    std::string preset;            // --preset NAME|N
    std::string presetFile;        // --preset-file F.ozp
    std::string bankFile;          // --bank F.ozb
    int slot = -1;                 // --slot N
    std::vector<std::string> sets; // --set NAME=VALUE, in order
    int block = 1024;
    bool useDouble = false;
    SampleFormat format = SampleFormat::Same;
    bool formatGiven = false;
    bool compensate = true;
    bool json = false;
    bool quiet = false;
    int jobs = 0;     // 0: one per core
    std::string plot; // --plot FILE.png

    // master
    double targetLufs = 0.0;
    bool targetGiven = false;
    double ceilingDbtp = -1.0;
    bool bestEffort = false;
    std::string albumDir; // --album OUTDIR: the operands are the files of one album
};

// Throws UsageError with a message that names the offending argument.
Options parseCommandLine(const std::vector<std::string>& args);

extern const char* const kUsage;

} // namespace orvel
