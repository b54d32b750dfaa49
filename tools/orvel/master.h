// `orvel master`: one file, or the files of an album with one setting for all, brought to a
// loudness target under a true-peak ceiling by searching the plug-in's "Drive" and "Output".
#pragma once

#include <string>

#include "tools/orvel/options.h"

namespace orvel {

// Runs the command as the options say (operands IN OUT, or --album OUTDIR with the operands as its
// files) and prints the report; returns the exit code. Throws Error when the target cannot be
// reached (without --best-effort) or a file fails; no output is left behind then. `defaultPreset`
// is the factory slot used when no preset is chosen.
int masterCommand(const Options& options, const std::string& pluginPath, int defaultPreset = 0);

} // namespace orvel
