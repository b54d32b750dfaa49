// The processing of one block, as a template on the instruction set. Included only by the path
// translation units (engine/frame_path_*.cpp), each of which compiles it for its own set.
//
// A block runs in pieces of up to FrameHistory::kMaxBlock frames. Each piece goes through the stages in
// turn, each stage over all of the piece's frames:
//
//   1. input into the dry history; drive and output ramps (one value when steady);
//   2. leveller and drive: y = t · x · drive, into the detector's history;
//   3. detector: aligned audio, detector values, long windows with the link, short windows;
//   4. gain smoother: the envelope P from the short-window maxima;
//   5. one loop frame by frame for what depends on the previous frame: followers, gain law, output
//      gain, meter accumulators ("Power" off: the dry signal instead);
//   6. the output meter's oversampled peak ("MeterOvs"), the requantizer ("Quantize"), clip and write.
//
// Every frame goes through the same operations in the same order as frame-by-frame processing would,
// so the results do not depend on how the host cuts its blocks or how the pieces fall.
//
// Legend: x input; dry input of W + 31 frames ago; t leveller gain; y = t · x · drive; a y of 31
// frames ago; z a of W frames ago (leaves with dry); P envelope; R follower maximum; S "Transient";
// gr displayed gain; o output before requantizing and clipping. Frames are (left, right) pairs.
#pragma once

#include "engine/gain_law.h"
#include "engine/half_sample_interpolator.h"
#include "engine/limiter_frame.h"
#include "engine/simd.h"

template <class Isa, class T>
void LimiterFrame::process(const T* inL, const T* inR, T* outL, T* outR, int frames) {
    if (frames <= 0) return;
    const Block b = beginBlock();
    for (int done = 0; done < frames;) {
        const int remaining = frames - done;
        const int n = remaining < FrameHistory::kMaxBlock ? remaining : FrameHistory::kMaxBlock;
        processPiece<Isa>(b, inL + done, inR + done, outL + done, outR + done, n);
        done += n;
    }
    endBlock(b);
}

template <class Isa, class T>
void LimiterFrame::processPiece(const Block& b, const T* inL, const T* inR, T* outL, T* outR, int n) {
    using simd::F2;
    using simd::Pair;

    double* x = dry.reserve(n);
    for (int i = 0; i < n; ++i) {
        x[2 * i] = static_cast<double>(inL[i]);
        x[2 * i + 1] = static_cast<double>(inR[i]);
    }
    const double* dryOut = x - 2 * rate.latency();
    const Gains g = rampGains(b, n);

    double* y = detector.input(n);
    double* t = levellerGain.data();
    for (int i = 0; i < n; ++i) {
        const double d = g.driveSteady ? g.drive : driveRamp[i];
        const double gain = leveller.gain(x[2 * i], x[2 * i + 1], d, b.leveller, b.levellerBypassed);
        t[i] = gain;
        Pair::store(y + 2 * i, Pair::splat(gain) * Pair::load(x + 2 * i) * Pair::splat(d));
    }

    detector.run<Isa>(n, b.oversample, b.link, linked.data(), shortMax.data());
    smoother.run<Isa>(shortMax.data(), envelope.data(), n);
    const double* audio = y - 2 * (PeakDetector::kAlignment + rate.lookahead);

    double* out = b.meterOversample ? outputHistory.reserve(n) : limited.data();
    const auto follow = [&]<bool Power, bool SecondOrder>() {
        if (b.meterOversample)
            followAndApply<Isa, Power, SecondOrder, true>(b, g, dryOut, audio, out, n);
        else
            followAndApply<Isa, Power, SecondOrder, false>(b, g, dryOut, audio, out, n);
    };
    if (b.power) {
        if (b.secondOrder)
            follow.template operator()<true, true>();
        else
            follow.template operator()<true, false>();
    } else {
        if (b.secondOrder)
            follow.template operator()<false, true>();
        else
            follow.template operator()<false, false>();
    }

    if (b.meterOversample) {
        double* between = quantized.data();
        HalfSampleInterpolator::midpoints<Isa>(out, between, n);
        F2 peak = Pair::load(meters.block.outPeak);
        for (int i = 0; i < n; ++i)
            peak = Pair::max(peak, Pair::abs(Pair::load(between + 2 * i)));
        Pair::store(meters.block.outPeak, peak);
        outputHistory.commit(n);
    }

    const double* result = out;
    if (b.quantize) {
        requantizer.run<Isa>(out, quantized.data(), n, b.scale, b.autoblack);
        result = quantized.data();
    }

    const F2 one = Pair::splat(1.0), half = Pair::splat(0.5);
    for (int i = 0; i < n; ++i) {
        const F2 o = Pair::load(result + 2 * i);
        const F2 clipped = (Pair::abs(o + one) - Pair::abs(o - one)) * half;
        outR[i] = static_cast<T>(clipped[1]);
        outL[i] = static_cast<T>(clipped[0]);
    }

    dry.commit(n);
    detector.commit(n);
}

template <class Isa, bool Power, bool SecondOrder, bool MeterOversample>
void LimiterFrame::followAndApply(const Block& b, const Gains& g, const double* dryOut, const double* audio,
                                  double* out, int n) {
    using simd::F2;
    using simd::Pair;

    FollowerBank::Registers<Isa> lanes(detector.followers());
    MeterFeed::Levels& m = meters.block;
    F2 inPeak = Pair::load(m.inPeak), outPeak = Pair::load(m.outPeak);
    F2 inSquare = Pair::load(m.inMeanSquare), outSquare = Pair::load(m.outMeanSquare);
    F2 shown = Pair::load(m.displayedGain);
    const F2 meterGain = Pair::splat(b.meterGain), rms = Pair::splat(rate.rms);
    const double* linkedPeaks = linked.data();
    const double* envelopes = envelope.data();
    const double* t = levellerGain.data();

    for (int i = 0; i < n; ++i) {
        const F2 follow = lanes.template step<SecondOrder>(Pair::load(linkedPeaks + 2 * i));
        const F2 d = Pair::load(dryOut + 2 * i);
        F2 o, gr;
        if constexpr (Power) {
            const F2 gain = GainLaw::gain<Isa>(Pair::load(envelopes + 2 * i), follow, b.transient);
            const double level = g.outputSteady ? g.output : outputRamp[i];
            o = gain * Pair::load(audio + 2 * i) * Pair::splat(level);
            gr = GainLaw::displayed<Isa>(gain, follow, b.transient, t[i], b.attShow);
        } else {
            o = d;
            gr = Pair::splat(1.0);
        }
        Pair::store(out + 2 * i, o);
        shown = Pair::min(shown, gr);

        const F2 v = d * meterGain;
        inPeak = Pair::max(inPeak, Pair::toSingle(Pair::abs(v)));
        inSquare = inSquare + (v * v - inSquare) * rms;
        F2 metered = o;
        if constexpr (MeterOversample) {
            metered = Pair::load(out + 2 * (i - PeakDetector::kAlignment));
            outPeak = Pair::max(outPeak, Pair::abs(metered));
        } else {
            outPeak = Pair::max(outPeak, Pair::toSingle(Pair::abs(o)));
        }
        outSquare = outSquare + (Pair::singleSquare(Pair::abs(metered)) - outSquare) * rms;
    }

    lanes.storeTo(detector.followers());
    const F2 negligible = Pair::splat(MeterFeed::kNegligible), zero = Pair::splat(0.0);
    inSquare = inSquare < negligible ? zero : inSquare;
    outSquare = outSquare < negligible ? zero : outSquare;
    Pair::store(m.inPeak, inPeak);
    Pair::store(m.outPeak, outPeak);
    Pair::store(m.inMeanSquare, inSquare);
    Pair::store(m.outMeanSquare, outSquare);
    Pair::store(m.displayedGain, shown);
}
