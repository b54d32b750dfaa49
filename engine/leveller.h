// The leveller: a one-second average of the driven input's peak magnitude, and the gain that keeps
// that average at or below the threshold. It only ever reduces, with no smoothing of its own beyond
// the average.
#pragma once

class Leveller {
public:
    static constexpr double kFloor = 0.00001;

    void reset() { average = kFloor; }
    // One-pole coefficient of the average (1000 ms); set on sample-rate change.
    void setCoefficient(double c) { coefficient = c; }

    // The magnitude the average follows: max(|xL · drive|, |xR · drive|, 0.00001), computed as
    // max(peak − 0.00001, 0) + 0.00001.
    __attribute__((always_inline)) static double level(double xL, double xR, double drive) {
        const double l = __builtin_fabs(xL * drive), r = __builtin_fabs(xR * drive);
        const double peak = l < r ? r : l;
        const double above = peak - kFloor;
        return (above < 0.0 ? 0.0 : above) + kFloor;
    }

    // Moves the average one frame towards `level`.
    __attribute__((always_inline)) void follow(double level) {
        average = average + (level - average) * coefficient;
    }

    // The gain for the current average. `threshold` is the "Leveller" level; `bypassed` is true when
    // the control is at its very top.
    __attribute__((always_inline)) double gainNow(double threshold, bool bypassed) const {
        if (threshold >= average || bypassed) return 1.0;
        return threshold / average;
    }

    // One frame: the leveller gain t for the raw input pair and the current drive.
    __attribute__((always_inline)) double gain(double xL, double xR, double drive, double threshold,
                                               bool bypassed) {
        follow(level(xL, xR, drive));
        return gainNow(threshold, bypassed);
    }

    double currentAverage() const { return average; }
    // For a caller that runs the average itself (with follow()'s formula) over a stretch of frames.
    void setAverage(double a) { average = a; }

private:
    double average = kFloor;
    double coefficient = 0.0;
};
