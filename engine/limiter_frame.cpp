#include "engine/limiter_frame.h"

#include <algorithm>
#include <cmath>

#include "engine/gain_law.h"
#include "engine/input_guard.h"

LimiterFrame::LimiterFrame()
    : dry(kMaxLookahead + FrameRates::kAlignment), lookahead(kMaxLookahead), requantizer(noise),
      calibrator(noise) {
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
    dry.setLength(rate.latency());
    lookahead.setLength(rate.lookahead);
    leveller.setCoefficient(rate.level);
    detector.setLengths(rate.lookahead, rate.kernel);
    smoother.setLengths(rate.kernel, rate.gainDelay);
    requantizer.setFadeCoefficient(rate.fade);
    reset();
}

void LimiterFrame::reset() {
    noise.reset();
    dry.clear();
    lookahead.clear();
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

namespace {

// Hard clip to [−1, 1] without a branch. Beyond full scale the two sums round apart and may land an
// ulp outside; the bounds hold that (inside the range they change nothing).
inline double clip(double x) {
    return std::min(std::max((std::fabs(x + 1.0) - std::fabs(x - 1.0)) * 0.5, -1.0), 1.0);
}

inline double toSingle(double x) {
    return static_cast<double>(static_cast<float>(x));
}

} // namespace

// Legend: x input; dry input of W + 31 samples ago; t leveller gain; y = t · x · drive; a y of 31
// samples ago; z a of W samples ago (leaves with dry); P envelope; R follower maximum; S "Transient";
// gr displayed gain; o output before requantizing and clipping. Suffixes L and R are the channels.
template <class T> void LimiterFrame::limit(const T* inL, const T* inR, T* outL, T* outR, int frames) {
    FrameSettings& p = settings;
    const int mask = p.attShow;
    const double meterGain = p.postMeter ? 1.0 : drive;
    const double scale = Requantizer::scaleFor(p.bits);
    const bool autoOut = p.autoOut;
    double attack[FollowerBank::kStages], release[FollowerBank::kStages];

    for (int n = 0; n < frames; ++n) {
        const double xL = engine::guardInput(inL[n]), xR = engine::guardInput(inR[n]);

        const double driveTarget = p.drive;
        drive = drive + (driveTarget - drive) * rate.ramp;
        drive += 1e-30;
        drive -= 1e-30;
        const double outTarget = autoOut ? 1.0 / driveTarget : p.output.load();
        output = output + (outTarget - output) * rate.ramp;
        output += 1e-30;
        output -= 1e-30;

        double dryL, dryR;
        dry.process(xL, xR, dryL, dryR);

        const double t = leveller.gain(xL, xR, drive, p.leveller, p.levellerBypassed);
        const double yL = t * xL * drive, yR = t * xR * drive;

        for (int k = 0; k < FollowerBank::kStages; ++k) {
            attack[k] = p.attack[k];
            release[k] = p.release[k];
        }
        const DetectorControls controls{p.oversample, p.secondOrder, p.link, attack, release};
        const DetectorResult d = detector.process(yL, yR, controls);

        double zL, zR;
        lookahead.process(d.alignedL, d.alignedR, zL, zR);

        double envelopeL, envelopeR;
        smoother.push(d.shortL, d.shortR, envelopeL, envelopeR);

        double oL, oR, grL, grR;
        if (p.power) {
            const double s = p.transient;
            const double gainL = GainLaw::gain(envelopeL, d.followL, s);
            const double gainR = GainLaw::gain(envelopeR, d.followR, s);
            oL = gainL * zL * output;
            oR = gainR * zR * output;
            grL = GainLaw::displayed(gainL, d.followL, s, t, mask);
            grR = GainLaw::displayed(gainR, d.followR, s, t, mask);
        } else {
            oL = dryL;
            oR = dryR;
            grL = grR = 1.0;
        }

        MeterFeed& m = meters;
        m.serveResetRequest();
        const double inL2 = dryL * meterGain, inR2 = dryR * meterGain;
        m.inPeak[0] = std::max(m.inPeak[0].load(), toSingle(std::fabs(inL2)));
        m.inPeak[1] = std::max(m.inPeak[1].load(), toSingle(std::fabs(inR2)));
        m.inMeanSquare[0] = m.inMeanSquare[0] + (inL2 * inL2 - m.inMeanSquare[0]) * rate.rms;
        m.inMeanSquare[1] = m.inMeanSquare[1] + (inR2 * inR2 - m.inMeanSquare[1]) * rate.rms;
        m.displayedGain[0] = std::min(m.displayedGain[0].load(), grL);
        m.displayedGain[1] = std::min(m.displayedGain[1].load(), grR);

        double meteredL = oL, meteredR = oR;
        if (p.meterOversample) {
            outputHistory.push(oL, oR);
            const double betweenL = outputHistory.midpoint(0), betweenR = outputHistory.midpoint(1);
            meteredL = outputHistory.back(0, FrameRates::kAlignment);
            meteredR = outputHistory.back(1, FrameRates::kAlignment);
            m.outPeak[0] = std::max(std::max(m.outPeak[0].load(), std::fabs(betweenL)), std::fabs(meteredL));
            m.outPeak[1] = std::max(std::max(m.outPeak[1].load(), std::fabs(betweenR)), std::fabs(meteredR));
        } else {
            m.outPeak[0] = std::max(m.outPeak[0].load(), toSingle(std::fabs(oL)));
            m.outPeak[1] = std::max(m.outPeak[1].load(), toSingle(std::fabs(oR)));
        }
        const float magnitudeL = static_cast<float>(std::fabs(meteredL));
        const float magnitudeR = static_cast<float>(std::fabs(meteredR));
        const float squareL = magnitudeL * magnitudeL, squareR = magnitudeR * magnitudeR;
        m.outMeanSquare[0] = m.outMeanSquare[0] + (squareL - m.outMeanSquare[0]) * rate.rms;
        m.outMeanSquare[1] = m.outMeanSquare[1] + (squareR - m.outMeanSquare[1]) * rate.rms;

        if (p.quantize) requantizer.process(oL, oR, scale, p.autoblack);

        outR[n] = static_cast<T>(clip(oR));
        outL[n] = static_cast<T>(clip(oL));
    }
}

template <class T> void LimiterFrame::calibrate(T* outL, T* outR, int frames) {
    const int mode = settings.calibrate;
    const double scale = CalibrationGenerator::outputScale(CalibrationGenerator::levelFor(settings.scale));
    const bool carriesL = mode != CalibrationGenerator::kRight;
    const bool carriesR = mode != CalibrationGenerator::kLeft;
    MeterFeed& m = meters;

    for (int n = 0; n < frames; ++n) {
        double yL, yR;
        calibrator.next(mode, scale, yL, yR);
        if (outR) outR[n] = static_cast<T>(yR);
        outL[n] = static_cast<T>(yL);

        m.serveResetRequest();
        const double y[2] = {yL, yR};
        const bool carries[2] = {carriesL, carriesR};
        for (int c = 0; c < 2; ++c) {
            if (carries[c]) {
                const double peak = std::max(m.outPeak[c].load(), std::fabs(y[c]));
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
}

template void LimiterFrame::limit<float>(const float*, const float*, float*, float*, int);
template void LimiterFrame::limit<double>(const double*, const double*, double*, double*, int);
template void LimiterFrame::calibrate<float>(float*, float*, int);
template void LimiterFrame::calibrate<double>(double*, double*, int);
