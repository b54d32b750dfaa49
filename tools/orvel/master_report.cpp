#include "tools/orvel/master_report.h"

#include <cstdio>

#include "tools/orvel/report.h"

namespace orvel {

namespace {

const PassResult& finalPass(const MasterSearch& search) {
    return search.lastPassIsMaster ? search.passes.back() : search.loudestAllowed;
}

} // namespace

std::string outcomeName(MasterOutcome outcome) {
    switch (outcome) {
    case MasterOutcome::Reached:
        return "reached";
    case MasterOutcome::DriveLimit:
        return "drive limit";
    case MasterOutcome::CeilingLimit:
        return "ceiling limit";
    case MasterOutcome::QuietLimit:
        return "quiet limit";
    case MasterOutcome::NoConvergence:
        return "no convergence";
    }
    return "";
}

std::string masterText(const MasterGoal& goal, const MasterSearch& search, const std::string& subject) {
    const PassResult& result = finalPass(search);
    const std::size_t n = search.passes.size();
    std::string t =
        "master     " + subject + ": " + fixedText(result.lufs, 2) + " LUFS, true peak " +
        fixedText(result.truePeakDbtp, 2) + " dBTP (target " + fixedText(goal.targetLufs, 1) +
        " LUFS, ceiling " + fixedText(goal.ceilingDbtp, 1) + " dBTP), " +
        (search.outcome == MasterOutcome::Reached ? "reached"
                                                  : "loudest allowed, " + outcomeName(search.outcome)) +
        " in " + std::to_string(n) + (n == 1 ? " pass" : " passes") + "\n";
    t += "  pass     Drive    Output  loudness  true peak\n";
    t += "            (dB)      (dB)    (LUFS)     (dBTP)\n";
    for (std::size_t i = 0; i < n; ++i) {
        const PassResult& p = search.passes[i];
        char line[160];
        std::snprintf(line, sizeof(line), "  %4zu  %8s  %8s  %8s  %9s\n", i + 1,
                      signedText(p.driveDb, 2).c_str(), signedText(p.outputDb, 2).c_str(),
                      fixedText(p.lufs, 2).c_str(), fixedText(p.truePeakDbtp, 2).c_str());
        t += line;
    }
    return t;
}

JsonValue masterJson(const MasterGoal& goal, const MasterSearch& search) {
    JsonValue passes = JsonValue::array();
    for (std::size_t i = 0; i < search.passes.size(); ++i) {
        const PassResult& p = search.passes[i];
        passes.push(JsonValue::object()
                        .set("pass", i + 1)
                        .set("drive_db", JsonValue::number(p.driveDb, 3))
                        .set("output_db", JsonValue::number(p.outputDb, 3))
                        .set("integrated_lufs", JsonValue::number(p.lufs, 3))
                        .set("true_peak_dbtp", JsonValue::number(p.truePeakDbtp, 3)));
    }
    const PassResult& result = finalPass(search);
    return JsonValue::object()
        .set("target_lufs", JsonValue::number(goal.targetLufs, 2))
        .set("ceiling_dbtp", JsonValue::number(goal.ceilingDbtp, 2))
        .set("outcome", outcomeName(search.outcome))
        .set("drive_db", JsonValue::number(result.driveDb, 3))
        .set("output_db", JsonValue::number(result.outputDb, 3))
        .set("integrated_lufs", JsonValue::number(result.lufs, 3))
        .set("true_peak_dbtp", JsonValue::number(result.truePeakDbtp, 3))
        .set("passes", std::move(passes));
}

} // namespace orvel
