// The master search on modelled programmes: a limiter whose loudness rises dB for dB with the drive
// until it limits and ever more slowly after, and whose true peak settles just above full scale.
// Each case states what a mastering engineer expects of it: the target, or the limit that stops it.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/orvel/master_search.h"

using namespace orvel;

namespace {

struct ModelledProgramme {
    double loudnessAtUnity; // LUFS with drive and output at 0 dB, before any limiting
    double crest;           // true peak above loudness while nothing is limited, dB
    double overshoot;       // how far the limited true peak goes above full scale, dB

    PassResult render(double drive, double output) const {
        const double free = loudnessAtUnity + crest + drive; // the peak without the limiter
        const double excess = std::max(0.0, free - overshoot);
        // Past the knee each dB of drive adds less loudness: 0.8 LU at first, falling off over 10 dB.
        const double loudness = loudnessAtUnity + drive - excess + 8.0 * (1.0 - std::exp(-excess / 10.0));
        const double peak = std::min(free, overshoot + 0.02 * excess);
        return {drive, output, loudness + output, peak + output};
    }
};

MasterGoal goalFor(double target, double ceiling, double start, bool bestEffort = false) {
    return {target, ceiling, {-24.0, 24.0}, {-12.0, 0.0}, start, bestEffort};
}

MasterSearch run(const ModelledProgramme& p, const MasterGoal& goal) {
    return searchMaster(goal, [&](double drive, double output, int) { return p.render(drive, output); });
}

} // namespace

TEST(MasterSearch, ReachesReachableTargetsInFewPasses) {
    struct Case {
        ModelledProgramme programme;
        double target, ceiling, start;
    } cases[] = {
        {{-20.0, 14.0, 0.3}, -14.0, -1.0, 0.0},  {{-20.0, 14.0, 0.3}, -9.0, -1.0, 4.0},
        {{-30.0, 18.0, 0.5}, -23.0, -1.0, 0.0},  {{-12.0, 10.0, 0.2}, -16.0, -1.0, 6.0},
        {{-18.0, 12.0, 0.4}, -11.0, -0.1, -3.0}, {{-25.0, 16.0, 0.3}, -40.0, -2.0, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "target " << c.target << " from " << c.programme.loudnessAtUnity);
        const MasterGoal goal = goalFor(c.target, c.ceiling, c.start);
        const MasterSearch s = run(c.programme, goal);
        ASSERT_EQ(s.outcome, MasterOutcome::Reached);
        EXPECT_TRUE(s.lastPassIsMaster);
        EXPECT_LE(s.passes.size(), 6u);
        EXPECT_NEAR(s.passes.back().lufs, c.target, kLoudnessToleranceLu);
        EXPECT_LE(s.passes.back().truePeakDbtp, c.ceiling);
    }
}

TEST(MasterSearch, NamesTheLimitThatStopsItAndOffersTheLoudestAllowed) {
    const ModelledProgramme song{-20.0, 14.0, 0.3};
    struct Case {
        ModelledProgramme programme;
        double target, ceiling;
        MasterOutcome outcome;
        const char* words;
    } cases[] = {
        {song, -3.0, -1.0, MasterOutcome::CeilingLimit, "the ceiling holds the loudness down"},
        // So quiet that even the highest drive leaves the output at full gain below the ceiling.
        {{-70.0, 14.0, 0.3}, -14.0, -1.0, MasterOutcome::DriveLimit, "highest drive at full output"},
        {{-5.0, 10.0, 0.3}, -50.0, -1.0, MasterOutcome::QuietLimit, "lowest drive and output"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.words);
        for (bool bestEffort : {false, true}) {
            const MasterGoal goal = goalFor(c.target, c.ceiling, 0.0, bestEffort);
            const MasterSearch s = run(c.programme, goal);
            EXPECT_EQ(s.outcome, c.outcome);
            EXPECT_LE(s.passes.size(), 8u);
            EXPECT_NE(describeLimit(goal, s).find(c.words), std::string::npos) << describeLimit(goal, s);
            EXPECT_LE(s.loudestAllowed.truePeakDbtp, c.ceiling);
            EXPECT_EQ(s.lastPassIsMaster, bestEffort);
            if (bestEffort) {
                EXPECT_DOUBLE_EQ(s.passes.back().lufs, s.loudestAllowed.lufs);
            }
        }
    }
}
