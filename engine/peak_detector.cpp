#include "engine/peak_detector.h"

PeakDetector::PeakDetector()
    : history(kHistory, 4096), between(2 * (FrameHistory::kMaxBlock + FrameHistory::kScratch)) {
    setLengths(128, 8);
}

void PeakDetector::setLengths(int longWindow, int shortWindow) {
    const auto clamp = [](int n) {
        return n < 1 ? 1 : (n > WindowMax::kMaxLength ? WindowMax::kMaxLength : n);
    };
    longLength = clamp(longWindow);
    shortLength = clamp(shortWindow);
    windows.setLength(longLength > shortLength ? longLength : shortLength);
    clear();
}

void PeakDetector::clear() {
    history.clear();
    windows.clear();
    bank.clear();
}

DetectorResult PeakDetector::process(double yL, double yR, const DetectorControls& controls) {
    double* y = input(1);
    y[0] = yL;
    y[1] = yR;
    double linked[2], shortMax[2];
    run<simd::Sse2>(1, controls.oversample, controls.link, linked, shortMax);
    DetectorResult r;
    r.alignedL = y[-2 * kAlignment];
    r.alignedR = y[-2 * kAlignment + 1];
    r.magnitudeL = windows.block()[0];
    r.magnitudeR = windows.block()[1];
    r.linkedL = linked[0];
    r.linkedR = linked[1];
    r.shortL = shortMax[0];
    r.shortR = shortMax[1];
    bank.setCoefficients(controls.attack, controls.release);
    bank.update(linked[0], linked[1], controls.secondOrder, r.followL, r.followR);
    commit(1);
    return r;
}
