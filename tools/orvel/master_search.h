// The search behind `orvel master`: which "Drive" and "Output" bring a programme to a loudness target
// with its true peak at or below a ceiling. It knows nothing of files or plug-ins; each pass is a
// call that renders the programme at the given gains and measures what was written.
//
// Model: the output gain moves loudness and true peak alike, dB for dB, so the search needs only
// the limited programme's loudness f(drive) and true peak g(drive) at unity output. Loudness rises
// monotonically with drive, ever more slowly as the limiter works harder; the true peak of a
// limited programme changes little. Each pass adds a point to both curves: the output is chosen to
// put the true peak just under the ceiling, the drive by safeguarded secant steps on f.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace orvel {

struct DecibelRange {
    double low, high;
    double clamp(double db) const { return db < low ? low : (db > high ? high : db); }
};

struct MasterGoal {
    double targetLufs;
    double ceilingDbtp;
    DecibelRange drive, output;
    double startDriveDb; // the preset's drive: the first pass starts from what the user chose
    bool bestEffort;     // when the target is out of reach, settle on the loudest master allowed
};

struct PassResult {
    double driveDb = 0.0, outputDb = 0.0;
    double lufs = 0.0, truePeakDbtp = 0.0;
};

enum class MasterOutcome {
    Reached,      // the last pass is at the target and under the ceiling
    DriveLimit,   // the plug-in's highest drive, at full output, stays below the target
    CeilingLimit, // the ceiling holds the loudness below the target even at the highest drive
    QuietLimit,   // the lowest drive and output are still louder than the target
    NoConvergence,
};

struct MasterSearch {
    MasterOutcome outcome = MasterOutcome::NoConvergence;
    std::vector<PassResult> passes;
    // The loudest pass under the ceiling at the limit that stopped the search (unreached outcomes).
    PassResult loudestAllowed;
    // Whether the last pass is the master to write: reached, or the loudest allowed with bestEffort.
    bool lastPassIsMaster = false;
};

inline constexpr int kMaxMasterPasses = 12;
// Accepted distance from the target: well inside the ±0.1 LU a delivery is checked against, so that
// another meter's rounding cannot push the master out.
inline constexpr double kLoudnessToleranceLu = 0.05;
// How far under the ceiling the output aims, so that the true peak's small drift with the drive
// does not cost a pass.
inline constexpr double kCeilingAimDb = 0.05;

using RenderPass = std::function<PassResult(double driveDb, double outputDb, int pass)>;

MasterSearch searchMaster(const MasterGoal& goal, const RenderPass& render);

// One line on why the target is out of reach and what the ceiling allows.
std::string describeLimit(const MasterGoal& goal, const MasterSearch& search);

} // namespace orvel
