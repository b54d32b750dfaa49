#include "tools/orvel/master_search.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "tools/orvel/report.h"

namespace orvel {

namespace {

// Where a programme's loudness and true peak lie at unity output, as measured so far.
struct CurvePoint {
    double drive, loudness, peak;
};

// The slope of loudness over drive along the line through the two points nearest to the wanted
// loudness. With one point: an unlimited programme gets louder dB for dB, a limited one less; the
// first step assumes the former and the second pass learns the slope.
double secantSlope(const std::vector<const CurvePoint*>& nearest) {
    if (nearest.size() < 2) return 1.0;
    const CurvePoint& a = *nearest[0];
    const CurvePoint& b = *nearest[1];
    // A flat or falling stretch (a hard-working limiter, measurement noise) must not send the next
    // pass to the end of the range.
    return std::clamp((a.loudness - b.loudness) / (a.drive - b.drive), 0.05, 1.5);
}

// Drive as a quadratic in loudness through three points (Lagrange form), evaluated at `wanted`.
double inverseQuadraticDrive(const CurvePoint& a, const CurvePoint& b, const CurvePoint& c, double wanted) {
    const double fa = a.loudness, fb = b.loudness, fc = c.loudness;
    if (std::fabs(fa - fb) < 1e-6 || std::fabs(fa - fc) < 1e-6 || std::fabs(fb - fc) < 1e-6)
        return std::numeric_limits<double>::quiet_NaN();
    return a.drive * (wanted - fb) * (wanted - fc) / ((fa - fb) * (fa - fc)) +
           b.drive * (wanted - fa) * (wanted - fc) / ((fb - fa) * (fb - fc)) +
           c.drive * (wanted - fa) * (wanted - fb) / ((fc - fa) * (fc - fb));
}

constexpr double kOvershoot = 1.5;

class DriveCurves {
public:
    void add(const PassResult& pass) {
        const CurvePoint p{pass.driveDb, pass.lufs - pass.outputDb, pass.truePeakDbtp - pass.outputDb};
        const auto at = std::find_if(points.begin(), points.end(), [&](const CurvePoint& q) {
            return std::fabs(q.drive - p.drive) < 1e-9;
        });
        if (at != points.end())
            *at = p;
        else
            points.insert(
                std::upper_bound(points.begin(), points.end(), p,
                                 [](const CurvePoint& a, const CurvePoint& b) { return a.drive < b.drive; }),
                p);
    }

    // The true peak at a drive: between points along the line joining them, beyond them flat.
    double peakAt(double drive) const {
        if (drive <= points.front().drive) return points.front().peak;
        if (drive >= points.back().drive) return points.back().peak;
        const auto hi = std::upper_bound(points.begin(), points.end(), drive,
                                         [](double d, const CurvePoint& q) { return d < q.drive; });
        const auto lo = hi - 1;
        const double t = (drive - lo->drive) / (hi->drive - lo->drive);
        return lo->peak + t * (hi->peak - lo->peak);
    }

    // The drive whose loudness is `wanted`: from the three points nearest to it, the inverse
    // quadratic through them, which follows the limiter's ever flatter curve; from two, the secant.
    // The step is kept inside the bracket the points give (else the bracket's middle is taken) and,
    // beyond all points, to a sane length.
    double driveFor(double wanted) const {
        const CurvePoint* below = nullptr;
        const CurvePoint* above = nullptr;
        for (const CurvePoint& p : points) {
            if (p.loudness < wanted && (!below || p.drive > below->drive)) below = &p;
            if (p.loudness >= wanted && (!above || p.drive < above->drive)) above = &p;
        }
        std::vector<const CurvePoint*> nearest;
        for (const CurvePoint& p : points)
            nearest.push_back(&p);
        std::sort(nearest.begin(), nearest.end(), [&](const CurvePoint* a, const CurvePoint* b) {
            return std::fabs(a->loudness - wanted) < std::fabs(b->loudness - wanted);
        });
        const double slope = secantSlope(nearest);
        const double secant = nearest[0]->drive + (wanted - nearest[0]->loudness) / slope;
        double drive = secant;
        if (nearest.size() >= 3) {
            const double quadratic = inverseQuadraticDrive(*nearest[0], *nearest[1], *nearest[2], wanted);
            const double step = secant - nearest[0]->drive;
            const bool sameWay = (quadratic - nearest[0]->drive) * step > 0.0;
            if (std::isfinite(quadratic) && sameWay &&
                std::fabs(quadratic - nearest[0]->drive) <= 3.0 * std::fabs(step) + 0.5)
                drive = quadratic;
        }
        if (below && above) {
            if (!(drive > below->drive && drive < above->drive)) drive = 0.5 * (below->drive + above->drive);
        } else if (drive > nearest[0]->drive) {
            // Upwards beyond all points the curve only flattens, so an extrapolation falls short:
            // reach further, so that the next pass brackets the target and the steps inside
            // converge fast.
            drive = nearest[0]->drive + kOvershoot * (drive - nearest[0]->drive);
        } else {
            // Downwards it steepens towards dB for dB as the limiter lets go: a step along the
            // line would go too far. Halfway between its slope and unity is a fair guess.
            drive = nearest[0]->drive + (wanted - nearest[0]->loudness) / std::min(1.0, 0.5 * (slope + 1.0));
        }
        return drive;
    }

    // Loudness that does not move with the drive (a bypass, an automatic output gain) leaves the
    // search nothing to follow.
    bool ignoresDrive() const {
        for (const CurvePoint& a : points)
            for (const CurvePoint& b : points)
                if (b.drive - a.drive >= 2.0 && std::fabs(b.loudness - a.loudness) < 0.02) return true;
        return false;
    }

    double loudnessNear(double drive) const {
        const auto it =
            std::min_element(points.begin(), points.end(), [&](const CurvePoint& a, const CurvePoint& b) {
                return std::fabs(a.drive - drive) < std::fabs(b.drive - drive);
            });
        return it->loudness;
    }

private:
    std::vector<CurvePoint> points; // by drive
};

struct Plan {
    double drive, output;
};

// The next pass: the output that puts the true peak just under the ceiling, and the drive that
// then gives the target. Each depends on the other through the true peak's drift, so a few rounds.
Plan nextPlan(const MasterGoal& goal, const DriveCurves& curves, double drive) {
    double output = goal.output.high;
    for (int round = 0; round < 4; ++round) {
        output = goal.output.clamp(goal.ceilingDbtp - kCeilingAimDb - curves.peakAt(drive));
        drive = goal.drive.clamp(curves.driveFor(goal.targetLufs - output));
    }
    // At the lowest drive a too loud programme is turned down at the output instead.
    if (drive <= goal.drive.low)
        output = goal.output.clamp(std::min(output, goal.targetLufs - curves.loudnessNear(drive)));
    return {drive, output};
}

bool samePlan(const Plan& a, const Plan& b) {
    return std::fabs(a.drive - b.drive) < 0.005 && std::fabs(a.output - b.output) < 0.005;
}

MasterOutcome limitAt(const MasterGoal& goal, const Plan& plan) {
    if (plan.drive >= goal.drive.high - 1e-9)
        return plan.output < goal.output.high - 0.005 ? MasterOutcome::CeilingLimit
                                                      : MasterOutcome::DriveLimit;
    if (plan.drive <= goal.drive.low + 1e-9) return MasterOutcome::QuietLimit;
    return MasterOutcome::NoConvergence;
}

// The same figures from clearly different settings: the plug-in is bypassed, or something else sets
// its gain.
bool ignoresSettings(const std::vector<PassResult>& passes) {
    for (const PassResult& a : passes)
        for (const PassResult& b : passes) {
            const bool different =
                std::fabs(a.driveDb - b.driveDb) >= 1.0 || std::fabs(a.outputDb - b.outputDb) >= 0.1;
            if (different && std::fabs(a.lufs - b.lufs) < 0.005 &&
                std::fabs(a.truePeakDbtp - b.truePeakDbtp) < 0.005)
                return true;
        }
    return false;
}

bool isAccepted(const MasterGoal& goal, const PassResult& r) {
    return std::fabs(r.lufs - goal.targetLufs) <= kLoudnessToleranceLu && r.truePeakDbtp <= goal.ceilingDbtp;
}

} // namespace

MasterSearch searchMaster(const MasterGoal& goal, const RenderPass& render) {
    MasterSearch search;
    DriveCurves curves;
    std::vector<Plan> rendered;
    Plan plan{goal.drive.clamp(goal.startDriveDb), goal.output.clamp(goal.ceilingDbtp - kCeilingAimDb)};
    while (int(search.passes.size()) < kMaxMasterPasses) {
        const PassResult r = render(plan.drive, plan.output, int(search.passes.size()) + 1);
        search.passes.push_back(r);
        rendered.push_back(plan);
        curves.add(r);
        if (isAccepted(goal, r)) {
            search.outcome = MasterOutcome::Reached;
            search.lastPassIsMaster = true;
            return search;
        }
        if (curves.ignoresDrive() || ignoresSettings(search.passes)) return search;
        const Plan next = nextPlan(goal, curves, plan.drive);
        const auto seen =
            std::find_if(rendered.begin(), rendered.end(), [&](const Plan& p) { return samePlan(p, next); });
        if (seen != rendered.end()) {
            // Nothing new to try: a limit of the plug-in or of the ceiling stops the search here.
            const PassResult& repeated = search.passes[std::size_t(seen - rendered.begin())];
            search.outcome = limitAt(goal, next);
            search.loudestAllowed = repeated;
            const bool isLast = seen + 1 == rendered.end();
            const bool allowed = repeated.truePeakDbtp <= goal.ceilingDbtp;
            if (!goal.bestEffort || search.outcome == MasterOutcome::NoConvergence || !allowed) return search;
            if (!isLast) {
                search.passes.push_back(render(next.drive, next.output, int(search.passes.size()) + 1));
                search.loudestAllowed = search.passes.back();
            }
            search.lastPassIsMaster = search.loudestAllowed.truePeakDbtp <= goal.ceilingDbtp;
            return search;
        }
        plan = next;
    }
    return search;
}

std::string describeLimit(const MasterGoal& goal, const MasterSearch& search) {
    const PassResult& best = search.loudestAllowed;
    const std::string target = fixedText(goal.targetLufs, 1) + " LUFS";
    const std::string ceiling = fixedText(goal.ceilingDbtp, 1) + " dBTP";
    const std::string gains =
        " (Drive " + signedText(best.driveDb, 2) + " dB, Output " + signedText(best.outputDb, 2) + " dB)";
    switch (search.outcome) {
    case MasterOutcome::CeilingLimit:
        return "cannot reach " + target + " under a ceiling of " + ceiling +
               ": the ceiling holds the loudness down even at the plug-in's highest drive; the loudest "
               "master it "
               "allows is " +
               fixedText(best.lufs, 2) + " LUFS at " + fixedText(best.truePeakDbtp, 2) + " dBTP" + gains;
    case MasterOutcome::DriveLimit:
        return "cannot reach " + target + ": the plug-in's highest drive at full output gives only " +
               fixedText(best.lufs, 2) + " LUFS at " + fixedText(best.truePeakDbtp, 2) + " dBTP" + gains +
               ", the loudest master the ceiling of " + ceiling + " allows here";
    case MasterOutcome::QuietLimit:
        return "cannot reach " + target + ": the plug-in's lowest drive and output still give " +
               fixedText(best.lufs, 2) + " LUFS" + gains;
    case MasterOutcome::NoConvergence:
        return "the search for " + target + " under " + ceiling + " stopped after " +
               std::to_string(search.passes.size()) +
               " passes: the loudness does not follow \"Drive\" and \"Output\" (is the plug-in bypassed, or "
               "\"AutoOut\" on?)";
    case MasterOutcome::Reached:
        break;
    }
    return "";
}

} // namespace orvel
