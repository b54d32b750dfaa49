#include "engine/limiter_frame.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kPiece =
    FrameHistory::kMaxBlock + FrameHistory::kScratch; // frames of a piece, and room for vector scratch
constexpr int kHistorySpan = 4096;                    // frames between two moves of a history

// One ramp over n frames: y ← y + (target − y) · c, then + 1e-30 − 1e-30 (flushes denormals). When one
// step leaves y where it is, every further step does too: returns true and writes nothing. Otherwise
// the n values go to `out`.
bool ramp(double& y, double target, double c, double* out, int n) {
    double next = y + (target - y) * c;
    next = next + 1e-30;
    next = next - 1e-30;
    if (next == y) return true;
    // Each step lands between y and the target. Where both are of one sign and at least 1e-10 in
    // magnitude, adding and subtracting 1e-30 is below half a unit in the last place and changes
    // nothing, so the two additions can be left out.
    const bool flush = !(std::fabs(y) >= 1e-10 && std::fabs(target) >= 1e-10 && (y > 0.0) == (target > 0.0));
    for (int i = 0; i < n; ++i) {
        y = y + (target - y) * c;
        if (flush) {
            y = y + 1e-30;
            y = y - 1e-30;
        }
        out[i] = y;
    }
    return false;
}

} // namespace

LimiterFrame::LimiterFrame()
    : path(&frame_path::fastest()), dry(kMaxLookahead + FrameRates::kAlignment, kHistorySpan),
      outputHistory(HalfSampleInterpolator::kTaps, kHistorySpan), requantizer(noise), calibrator(noise),
      driveRamp(kPiece), outputRamp(kPiece), levellerGain(kPiece), levellerInput(2 * kPiece),
      linked(2 * kPiece), envelope(2 * kPiece), followMax(2 * kPiece), limited(2 * kPiece),
      quantized(2 * kPiece), meterSquares(2 * kPiece), outputMidpoints(2 * kPiece) {
    // Follower coefficients for the default "Release" time (100 ms) until the parameter side sets them.
    double coefficients[FollowerBank::kStages];
    FollowerBank::attackCoefficients(44100.0, coefficients);
    for (int k = 0; k < FollowerBank::kStages; ++k)
        settings.attack[k] = coefficients[k];
    FollowerBank::releaseCoefficients(44100.0, 100.0, coefficients);
    for (int k = 0; k < FollowerBank::kStages; ++k)
        settings.release[k] = coefficients[k];
    configure(FrameRates::make(44100, 2));
}

void LimiterFrame::configure(const FrameRates& rates) {
    rate = rates;
    shaperRate = rates.sampleRate;
    leveller.setCoefficient(rate.level);
    detector.setLengths(rate.lookahead, rate.kernel);
    smoother.setLengths(rate.kernel, rate.gainDelay);
    requantizer.setFadeCoefficient(rate.fade);
    reset();
}

void LimiterFrame::reset() {
    noise.reset();
    dry.clear();
    detector.clear();
    smoother.clear();
    outputHistory.clear();
    meters.reset();
    calibrator.reset();
    drive = settings.drive;
    output = settings.output;
    requantizer.reset();
    leveller.reset();
}

void LimiterFrame::selectNoiseShaper(int choice) {
    requantizer.selectSet(noise_shaper::select(choice, shaperRate, requantizer.selectedSet()));
}

LimiterFrame::Block LimiterFrame::beginBlock() {
    const FrameSettings& p = settings;
    Block b;
    b.driveTarget = p.drive;
    b.outputTarget = p.autoOut ? 1.0 / b.driveTarget : p.output.load();
    b.transient = p.transient;
    b.link = p.link;
    b.leveller = p.leveller;
    b.levellerBypassed = p.levellerBypassed;
    b.oversample = p.oversample;
    b.secondOrder = p.secondOrder;
    b.power = p.power;
    b.meterOversample = p.meterOversample;
    b.quantize = p.quantize;
    b.autoblack = p.autoblack;
    b.attShow = p.attShow;
    b.meterGain = p.postMeter ? 1.0 : drive;
    b.scale = Requantizer::scaleFor(p.bits);
    for (int k = 0; k < FollowerBank::kStages; ++k) {
        b.attack[k] = p.attack[k];
        b.release[k] = p.release[k];
    }
    meters.beginBlock();
    detector.followers().setCoefficients(b.attack, b.release);
    requantizer.beginBlock();
    return b;
}

void LimiterFrame::endBlock(const Block& b) {
    if (!b.secondOrder) detector.followers().copyFirstToSecond();
    meters.endBlock();
}

LimiterFrame::Gains LimiterFrame::rampGains(const Block& b, int n) {
    Gains g;
    g.driveSteady = ramp(drive, b.driveTarget, rate.ramp, driveRamp.data(), n);
    g.outputSteady = ramp(output, b.outputTarget, rate.ramp, outputRamp.data(), n);
    // The per-frame loop reads the output gain of every frame.
    if (g.outputSteady) std::fill_n(outputRamp.data(), n, output);
    g.drive = drive;
    g.output = output;
    return g;
}

template <class T> void LimiterFrame::calibrate(T* outL, T* outR, int frames) {
    if (frames <= 0) return;
    const int mode = settings.calibrate;
    const double scale = CalibrationGenerator::outputScale(CalibrationGenerator::levelFor(settings.scale));
    const bool carriesL = mode != CalibrationGenerator::kRight;
    const bool carriesR = mode != CalibrationGenerator::kLeft;
    meters.beginBlock();
    MeterFeed::Levels& m = meters.audio;

    for (int n = 0; n < frames; ++n) {
        double yL, yR;
        calibrator.next(mode, scale, yL, yR);
        if (outR) outR[n] = static_cast<T>(yR);
        outL[n] = static_cast<T>(yL);

        const double y[2] = {yL, yR};
        const bool carries[2] = {carriesL, carriesR};
        for (int c = 0; c < 2; ++c) {
            if (carries[c]) {
                const double peak = std::max(m.outPeak[c], std::fabs(y[c]));
                m.outPeak[c] = peak;
                m.inPeak[c] = peak;
                const double square = m.outMeanSquare[c] + (y[c] * y[c] - m.outMeanSquare[c]) * rate.rms;
                m.outMeanSquare[c] = square;
                m.inMeanSquare[c] = square;
            } else {
                m.outPeak[c] = 0.0;
                m.inPeak[c] = 0.0;
                m.outMeanSquare[c] = 0.0;
                m.inMeanSquare[c] = 0.0;
            }
        }
    }
    meters.publish();
}

template void LimiterFrame::calibrate<float>(float*, float*, int);
template void LimiterFrame::calibrate<double>(double*, double*, int);
