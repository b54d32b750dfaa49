#include "engine/peak_detector.h"

PeakDetector::PeakDetector()
    : history(kHistory, 1024), between(2 * (FrameHistory::kMaxBlock + FrameHistory::kScratch)),
      magnitude(2 * (FrameHistory::kMaxBlock + FrameHistory::kScratch)) {}

void PeakDetector::setLengths(int longLength, int shortLength) {
    longWindow.setLength(longLength);
    shortWindow.setLength(shortLength);
    clear();
}

void PeakDetector::clear() {
    history.clear();
    longWindow.clear();
    shortWindow.clear();
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
    r.magnitudeL = magnitude[0];
    r.magnitudeR = magnitude[1];
    r.linkedL = linked[0];
    r.linkedR = linked[1];
    r.shortL = shortMax[0];
    r.shortR = shortMax[1];
    bank.setCoefficients(controls.attack, controls.release);
    bank.update(linked[0], linked[1], controls.secondOrder, r.followL, r.followR);
    commit(1);
    return r;
}
