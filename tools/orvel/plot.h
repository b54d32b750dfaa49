// The picture of a job (`--plot FILE.png`), drawn with cairo: over time the input and output
// waveform envelopes, the gain change of the output against the input, the short-term loudness of
// both, the target and ceiling lines and marks where the output's true peak goes over the ceiling;
// above them a header with the files, the preset and the figures.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "tools/orvel/job.h"

namespace orvel {

inline constexpr int kPlotWidth = 1600;
inline constexpr int kPlotHeight = 1000;
// The colour of the gain-change curve, 0xRRGGBB: a test finds the curve by it.
inline constexpr unsigned kGainCurveColour = 0xd9480f;

struct PlotRect {
    double x, y, width, height;
};

// Where the panels lie; their time axis runs from the left edge (0 s) to the right (the end).
struct PlotLayout {
    PlotRect waveform, gain, loudness;
};
PlotLayout plotLayout();

struct PlotRequest {
    std::string path;
    const Report* report = nullptr; // with its tracks, recorded with short-term loudness
    std::optional<double> targetLufs;
    double ceilingDbtp = -1.0;
    std::vector<std::string> notes; // extra header lines, e.g. the master search's outcome
};

// Written under a temporary name and renamed when complete; throws Error on failure.
void writePlot(const PlotRequest& request);

} // namespace orvel
