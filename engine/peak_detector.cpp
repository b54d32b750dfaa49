#include "engine/peak_detector.h"

PeakDetector::PeakDetector() : align(kAlignment) {
    align.setLength(kAlignment);
}

void PeakDetector::setLengths(int longLength, int shortLength) {
    longL.setLength(longLength);
    longR.setLength(longLength);
    shortL.setLength(shortLength);
    shortR.setLength(shortLength);
    clear();
}

void PeakDetector::clear() {
    align.clear();
    history.clear();
    longL.clear();
    longR.clear();
    shortL.clear();
    shortR.clear();
    longPosition = 0;
    shortPosition = 0;
    followersL.clear();
    followersR.clear();
}
