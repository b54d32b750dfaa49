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
//      With "Power" on and the whole reduction shown (the common case), the requantizer and the
//      oversampled peak run inside the loop of stage 5 instead, a vector of frames behind it: the
//      requantizer's error feedback is a long chain with little work on it, beside which the
//      followers' work costs little.
//
// Every frame goes through the same operations in the same order as frame-by-frame processing would,
// so the results do not depend on how the host cuts its blocks or how the pieces fall.
//
// Legend: x input; dry input of W + 31 frames ago; t leveller gain; y = t · x · drive; a y of 31
// frames ago; z a of W frames ago (leaves with dry); P envelope; R follower maximum; S "Transient";
// gr displayed gain; o output before requantizing and clipping. Frames are (left, right) pairs.
#pragma once

#include <type_traits>
#include <utility>

#include "engine/gain_law.h"
#include "engine/half_sample_interpolator.h"
#include "engine/input_guard.h"
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

namespace frame_detail {

// Calls f.template operator()<b...>() with the run-time flags as template arguments.
template <bool... Done, class F> ORVEL_INLINE void withFlags(F&& f) {
    f.template operator()<Done...>();
}
template <bool... Done, class F, class... Rest> ORVEL_INLINE void withFlags(F&& f, bool next, Rest... rest) {
    if (next)
        withFlags<Done..., true>(f, rest...);
    else
        withFlags<Done..., false>(f, rest...);
}

// engine::guardInput lane by lane, without a branch: the value held to ±kInputLimit, then cleared
// where it is not finite.
template <class Isa> ORVEL_INLINE typename Isa::V guardInputs(typename Isa::V x) {
    using V = typename Isa::V;
    const V limit = Isa::splat(engine::kInputLimit);
    const V held = Isa::min(Isa::max(x, -limit), limit);
    const auto finite = Isa::abs(x) < Isa::splat(__builtin_inf());
    return (V)((decltype(finite))held & finite);
}

} // namespace frame_detail

template <class Isa, class T>
void LimiterFrame::processPiece(const Block& b, const T* inL, const T* inR, T* outL, T* outR, int n) {
    using simd::F2;
    using simd::Pair;
    using V = typename Isa::V;
    constexpr int kIo = Isa::kIoFrames;

    double* x = dry.reserve(n);
    int i = 0;
    for (; i + kIo <= n; i += kIo)
        Isa::read(inL + i, inR + i, x + 2 * i);
    for (; i < n; ++i) {
        x[2 * i] = static_cast<double>(inL[i]);
        x[2 * i + 1] = static_cast<double>(inR[i]);
    }
    // Non-finite or absurd host samples are made safe before any stage reads them.
    i = 0;
    for (; i + Isa::kDoubles <= 2 * n; i += Isa::kDoubles)
        Isa::store(x + i, frame_detail::guardInputs<Isa>(Isa::load(x + i)));
    for (; i < 2 * n; ++i)
        x[i] = engine::guardInput(x[i]);
    const double* dryOut = x - 2 * rate.latency();
    const Gains g = rampGains(b, n);

    // Leveller and drive. At the top of its range the leveller's gain is 1 whatever its average, so
    // y = x · drive, and the average (still followed, for when the leveller comes back) runs in the
    // per-frame loop below beside the other recursions.
    double* y = detector.input(n);
    const bool deferLeveller = b.levellerBypassed && g.driveSteady;
    if (deferLeveller) {
        const V d = Isa::splat(g.drive), floor = Isa::splat(Leveller::kFloor), zero = Isa::splat(0.0);
        double* level = levellerInput.data();
        for (int j = 0; j < n; j += Isa::kFrames) {
            const V xd = Isa::load(x + 2 * j) * d;
            Isa::store(y + 2 * j, xd);
            const V magnitude = Isa::abs(xd);
            const V peak = Isa::max(Isa::swapChannels(magnitude), magnitude);
            Isa::store(level + 2 * j, Isa::max(peak - floor, zero) + floor);
        }
    } else {
        Leveller lev = leveller;
        double* t = levellerGain.data();
        for (int j = 0; j < n; ++j) {
            const double d = g.driveSteady ? g.drive : driveRamp[j];
            const double gain = lev.gain(x[2 * j], x[2 * j + 1], d, b.leveller, b.levellerBypassed);
            t[j] = gain;
            Pair::store(y + 2 * j, Pair::splat(gain) * Pair::load(x + 2 * j) * Pair::splat(d));
        }
        leveller = lev;
    }

    detector.run<Isa>(n, b.oversample, b.link, linked.data(), smoother.input(n));
    smoother.run<Isa>(envelope.data(), n);
    const double* audio = y - 2 * (PeakDetector::kAlignment + rate.lookahead);

    double* out = b.meterOversample ? outputHistory.reserve(n) : limited.data();
    // With "Power" on and the whole reduction shown, the requantizer runs inside the per-frame loop (see
    // followAndApply); otherwise in a loop of its own below.
    const bool allShown = b.attShow == GainLaw::kShowAll;
    const bool quantizeBeside = b.quantize && b.power && allShown;
    if (quantizeBeside) {
        requantizer.withTaps([&]<int Taps>() {
            frame_detail::withFlags(
                [&]<bool SecondOrder, bool MeterOversample, bool Deferred>() {
                    followAndApply<Isa, true, SecondOrder, MeterOversample, Deferred, true, Taps>(
                        b, dryOut, audio, out, n);
                },
                b.secondOrder, b.meterOversample, deferLeveller);
        });
    } else {
        frame_detail::withFlags(
            [&]<bool Power, bool SecondOrder, bool MeterOversample, bool Deferred, bool AllShown>() {
                followAndApply<Isa, Power, SecondOrder, MeterOversample, Deferred, AllShown, kQuantizeApart>(
                    b, dryOut, audio, out, n);
            },
            b.power, b.secondOrder, b.meterOversample, deferLeveller, allShown);
    }

    // Where the requantizer ran in the per-frame loop, the output meter's oversampled peak was taken
    // there too.
    if (b.meterOversample && !quantizeBeside) {
        double* between = outputMidpoints.data();
        HalfSampleInterpolator::midpoints<Isa>(out, between, n);
        V peak = Isa::frames(Pair::load(meters.block.outPeak));
        int j = 0;
        for (; j + Isa::kFrames <= n; j += Isa::kFrames)
            peak = Isa::max(peak, Isa::abs(Isa::load(between + 2 * j)));
        F2 last = Isa::foldFrames(peak);
        for (; j < n; ++j)
            last = Pair::max(last, Pair::abs(Pair::load(between + 2 * j)));
        Pair::store(meters.block.outPeak, last);
    }
    if (b.meterOversample) outputHistory.commit(n);

    const double* result = out;
    if (b.quantize) {
        if (!quantizeBeside) requantizer.run<Isa>(out, quantized.data(), n, b.scale, b.autoblack);
        result = quantized.data();
    }

    // Clip to [−1, 1] without a branch: (|o + 1| − |o − 1|) / 2. Beyond full scale the two sums round
    // apart and may land an ulp outside; the bounds hold that (inside the range they change nothing).
    const auto clip = [](V o) ORVEL_INLINE_LAMBDA {
        const V one = Isa::splat(1.0);
        const V folded = (Isa::abs(o + one) - Isa::abs(o - one)) * Isa::splat(0.5);
        return Isa::min(Isa::max(folded, Isa::splat(-1.0)), one);
    };
    i = 0;
    for (; i + kIo <= n; i += kIo)
        Isa::write(result + 2 * i, outL + i, outR + i, clip);
    for (; i < n; ++i) {
        const F2 o = Pair::load(result + 2 * i), one = Pair::splat(1.0);
        const F2 folded = (Pair::abs(o + one) - Pair::abs(o - one)) * Pair::splat(0.5);
        const F2 clipped = Pair::min(Pair::max(folded, Pair::splat(-1.0)), one);
        outR[i] = static_cast<T>(clipped[1]);
        outL[i] = static_cast<T>(clipped[0]);
    }

    dry.commit(n);
    detector.commit(n);
}

namespace frame_detail {

// Stands in for the requantizer's frame steps where it runs in a loop of its own.
struct NoSteps {
    NoSteps(Requantizer&, double, bool) {}
    void frame(const double*, double*) {}
    void finish() {}
};

} // namespace frame_detail

template <class Isa, bool Power, bool SecondOrder, bool MeterOversample, bool LevellerDeferred, bool AllShown,
          int Taps>
void LimiterFrame::followAndApply(const Block& b, const double* dryOut, const double* audio, double* out,
                                  int n) {
    using simd::F2;
    using simd::Pair;
    using V = typename Isa::V;
    constexpr int G = Isa::kFrames;

    // Peaks first, over the whole piece: maxima do not depend on their order. The squares of the input
    // meter values go along for the mean square's recursion.
    MeterFeed::Levels& m = meters.block;
    double* inSquares = meterSquares.data();
    {
        const V meterGain = Isa::splat(b.meterGain);
        V peak = Isa::frames(Pair::load(m.inPeak));
        int i = 0;
        for (; i + G <= n; i += G) {
            const V v = Isa::load(dryOut + 2 * i) * meterGain;
            peak = Isa::max(peak, Isa::toSingle(Isa::abs(v)));
            Isa::store(inSquares + 2 * i, v * v);
        }
        F2 last = Isa::foldFrames(peak);
        for (; i < n; ++i) {
            const F2 v = Pair::load(dryOut + 2 * i) * Pair::splat(b.meterGain);
            last = Pair::max(last, Pair::toSingle(Pair::abs(v)));
            Pair::store(inSquares + 2 * i, v * v);
        }
        Pair::store(m.inPeak, last);
    }

    FollowerBank::Registers<Isa> lanes(detector.followers());
    F2 inSquare = Pair::load(m.inMeanSquare), outSquare = Pair::load(m.outMeanSquare);
    const F2 rms = Pair::splat(rate.rms);
    const double transient = b.transient;
    const int mask = b.attShow;
    const double* linkedPeaks = linked.data();
    const double* envelopes = envelope.data();
    const double* t = levellerGain.data();
    const double* outputs = outputRamp.data();
    const double* levels = levellerInput.data();
    double average = leveller.currentAverage();
    const double levelCoefficient = rate.level;
    double* follows = followMax.data();

    // The followers of a frame, and the recursions that depend only on the input side.
    const auto follow = [&](int i) ORVEL_INLINE_LAMBDA {
        Pair::store(follows + 2 * i, lanes.template step<SecondOrder>(linkedPeaks + 2 * i));
        if constexpr (LevellerDeferred) average = average + (levels[2 * i] - average) * levelCoefficient;
        inSquare = inSquare + (Pair::load(inSquares + 2 * i) - inSquare) * rms;
    };

    // The gains of W::kFrames frames from i on, their outputs, and the output meter's readings: the
    // smallest displayed gain and the largest peak (of the frames 31 back with "MeterOvs", whose
    // oversampled reading comes later) in `shown` and `peak`, lane-wise over the frames; the mean
    // square frame after frame.
    const auto apply = [&]<class W>(int i, typename W::V& shown, typename W::V& peak) ORVEL_INLINE_LAMBDA {
        using U = typename W::V;
        U o, gr;
        if constexpr (Power) {
            const U followers = W::load(follows + 2 * i);
            const U gain = GainLaw::gain<W>(W::load(envelopes + 2 * i), followers, transient);
            o = gain * W::load(audio + 2 * i) * W::loadDoubled(outputs + i);
            // The leveller's gain is 1 while it is deferred.
            const U leveller = LevellerDeferred ? W::splat(1.0) : W::loadDoubled(t + i);
            if constexpr (AllShown)
                gr = LevellerDeferred ? gain : gain * leveller;
            else
                gr = GainLaw::displayed<W>(gain, followers, transient, leveller, mask);
        } else {
            o = W::load(dryOut + 2 * i);
            gr = W::splat(1.0);
        }
        W::store(out + 2 * i, o);
        shown = W::min(shown, gr);
        U metered = W::abs(o);
        if constexpr (MeterOversample) {
            metered = W::abs(W::load(out + 2 * (i - PeakDetector::kAlignment)));
            peak = W::max(peak, metered);
        } else {
            peak = W::max(peak, W::toSingle(metered));
        }
        const U squares = W::singleSquare(metered);
        [&]<int... K>(std::integer_sequence<int, K...>) {
            ((outSquare = outSquare + (W::template frame<K>(squares) - outSquare) * rms), ...);
        }
        (std::make_integer_sequence<int, W::kFrames>{});
    };

    // The requantizer, where it runs here: a vector of frames behind the output, frame after frame.
    // Its error feedback is a chain far longer than the followers', with little work on it, so the
    // followers and the gains of the frames ahead run in its shadow, and so does the output meter's
    // oversampled peak ("MeterOvs") of the frames requantized (maxima do not depend on their order).
    constexpr bool kQuantizeHere = Taps != kQuantizeApart;
    std::conditional_t<kQuantizeHere, Requantizer::Steps<Isa, Taps>, frame_detail::NoSteps> quantize(
        requantizer, b.scale, b.autoblack);
    double* const quantizedOut = quantized.data();
    int requantized = 0;

    // A frame's output waits on a long chain of its own (followers, their maximum, the division), while
    // the recursions from frame to frame are short: applying each frame kLag frames after following
    // it lets the processor overlap the chains of several frames. Frames are applied kFrames at a
    // time, the last few one by one.
    constexpr int kLag = 8;
    static_assert(kLag % G == 0);
    V shown = Isa::frames(Pair::load(m.displayedGain));
    V peak = Isa::frames(Pair::load(m.outPeak));
    int i = 0, applied = 0;
    for (; i + G <= n; i += G) {
        [&]<int... K>(std::integer_sequence<int, K...>) {
            (follow(i + K), ...);
        }
        (std::make_integer_sequence<int, G>{});
        if (i >= kLag) {
            apply.template operator()<Isa>(applied, shown, peak);
            applied += G;
            if constexpr (kQuantizeHere) {
                if (applied >= 2 * G) {
                    [&]<int... K>(std::integer_sequence<int, K...>) {
                        (quantize.frame(out + 2 * (requantized + K), quantizedOut + 2 * (requantized + K)),
                         ...);
                    }
                    (std::make_integer_sequence<int, G>{});
                    if constexpr (MeterOversample)
                        peak = Isa::max(
                            peak, Isa::abs(HalfSampleInterpolator::midpoint<Isa>(out + 2 * requantized)));
                    requantized += G;
                }
            }
        }
    }
    for (; i < n; ++i)
        follow(i);
    for (; applied + G <= n; applied += G)
        apply.template operator()<Isa>(applied, shown, peak);
    F2 shownLast = Isa::foldMin(shown), peakLast = Isa::foldFrames(peak);
    for (; applied < n; ++applied)
        apply.template operator()<simd::Sse2>(applied, shownLast, peakLast);
    if constexpr (kQuantizeHere) {
        const int metered = requantized;
        for (; requantized < n; ++requantized)
            quantize.frame(out + 2 * requantized, quantizedOut + 2 * requantized);
        quantize.finish();
        if constexpr (MeterOversample) {
            double* between = outputMidpoints.data();
            HalfSampleInterpolator::midpoints<Isa>(out + 2 * metered, between, n - metered);
            int j = 0;
            for (; j + G <= n - metered; j += G)
                peakLast = Pair::max(peakLast, Isa::foldFrames(Isa::abs(Isa::load(between + 2 * j))));
            for (; j < n - metered; ++j)
                peakLast = Pair::max(peakLast, Pair::abs(Pair::load(between + 2 * j)));
        }
    }
    const F2 outPeak = peakLast;

    lanes.storeTo(detector.followers());
    if constexpr (LevellerDeferred) leveller.setAverage(average);
    const F2 negligible = Pair::splat(MeterFeed::kNegligible), zero = Pair::splat(0.0);
    inSquare = inSquare < negligible ? zero : inSquare;
    outSquare = outSquare < negligible ? zero : outSquare;
    Pair::store(m.outPeak, outPeak);
    Pair::store(m.inMeanSquare, inSquare);
    Pair::store(m.outMeanSquare, outSquare);
    Pair::store(m.displayedGain, shownLast);
}
