// The leveller: a one-second average of the driven input's peak magnitude, and the gain that keeps
// that average at or below the threshold. It only ever reduces, with no smoothing of its own beyond
// the average.
#pragma once

#include <algorithm>
#include <cmath>

class Leveller {
public:
    static constexpr double kFloor = 0.00001;

    void reset() { average = kFloor; }
    // One-pole coefficient of the average (1000 ms); set on sample-rate change.
    void setCoefficient(double c) { coefficient = c; }

    // The leveller gain t for the raw input pair and the current drive. `threshold` is the
    // "Leveller" level; `bypassed` is true when the control is at its very top.
    double gain(double xL, double xR, double drive, double threshold, bool bypassed) {
        const double peak = std::max(std::fabs(xL * drive), std::fabs(xR * drive));
        const double m = std::max(peak - kFloor, 0.0) + kFloor;
        average = average + (m - average) * coefficient;
        if (threshold >= average || bypassed) return 1.0;
        return threshold / average;
    }

    double currentAverage() const { return average; }

private:
    double average = kFloor;
    double coefficient = 0.0;
};
