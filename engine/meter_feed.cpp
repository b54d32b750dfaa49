#include "engine/meter_feed.h"

namespace {

double larger(double a, double b) {
    return a < b ? b : a;
}
double smaller(double a, double b) {
    return b < a ? b : a;
}
double negligibleAsZero(double meanSquare) {
    return meanSquare < MeterFeed::kNegligible ? 0.0 : meanSquare;
}

} // namespace

void MeterFeed::reset() {
    audio = Levels{};
    block = Levels{};
    for (int c = 0; c < 2; ++c) {
        inPeak[c] = 0.0;
        outPeak[c] = 0.0;
        inMeanSquare[c] = 0.0;
        outMeanSquare[c] = 0.0;
        displayedGain[c] = 1.0;
    }
    resetRequest = false;
    gainRequest = false;
}

void MeterFeed::poll(float* values) {
    for (int c = 0; c < 2; ++c) {
        values[kInPeakL + c] = static_cast<float>(inPeak[c].load());
        values[kOutPeakL + c] = static_cast<float>(outPeak[c].load());
        values[kInRmsL + c] = static_cast<float>(std::sqrt(2.0 * inMeanSquare[c].load()));
        values[kOutRmsL + c] = static_cast<float>(std::sqrt(2.0 * outMeanSquare[c].load()));
        values[kGainL + c] = static_cast<float>(displayedGain[c].load());
    }
    resetRequest = true;
}

void MeterFeed::clearDisplayedGain() {
    gainRequest = true;
    displayedGain[0] = 1.0;
    displayedGain[1] = 1.0;
}

void MeterFeed::beginBlock() {
    if (resetRequest) {
        resetRequest = false;
        audio.clearPeaks();
    }
    if (gainRequest) {
        gainRequest = false;
        audio.displayedGain[0] = audio.displayedGain[1] = 1.0;
    }
    block = audio;
    block.clearPeaks();
}

void MeterFeed::endBlock() {
    // A poll during the block saw the values up to its start: they are replaced, not added to.
    const bool polled = resetRequest;
    if (polled) resetRequest = false;
    for (int c = 0; c < 2; ++c) {
        if (polled) {
            audio.inPeak[c] = block.inPeak[c];
            audio.outPeak[c] = block.outPeak[c];
            audio.displayedGain[c] = block.displayedGain[c];
        } else {
            audio.inPeak[c] = larger(audio.inPeak[c], block.inPeak[c]);
            audio.outPeak[c] = larger(audio.outPeak[c], block.outPeak[c]);
            audio.displayedGain[c] = smaller(audio.displayedGain[c], block.displayedGain[c]);
        }
        audio.inMeanSquare[c] = negligibleAsZero(block.inMeanSquare[c]);
        audio.outMeanSquare[c] = negligibleAsZero(block.outMeanSquare[c]);
    }
    publish();
}

void MeterFeed::publish() {
    for (int c = 0; c < 2; ++c) {
        inPeak[c] = audio.inPeak[c];
        outPeak[c] = audio.outPeak[c];
        inMeanSquare[c] = audio.inMeanSquare[c];
        outMeanSquare[c] = audio.outMeanSquare[c];
        displayedGain[c] = audio.displayedGain[c];
    }
}
