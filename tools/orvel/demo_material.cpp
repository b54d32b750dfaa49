#include "tools/orvel/demo_material.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace orvel {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTempo = 120.0;              // [beats per minute]
constexpr double kBeat = 60.0 / kTempo;       // [s]
constexpr double kBar = 4.0 * kBeat;          // [s]
constexpr double kPeak = 0.89125093813374556; // -1 dBFS

// A small, fixed random generator, so that the noise of the drums is the same everywhere.
struct Noise {
    std::uint32_t state = 0x9E3779B9u;
    double next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return double(state) / 2147483648.0 - 1.0;
    }
};

// Band-limited sawtooth (polyBLEP): no audible aliasing from the pad's and the bass's edges.
struct Saw {
    double phase = 0.0;
    double next(double increment) {
        double value = 2.0 * phase - 1.0;
        if (phase < increment) {
            const double x = phase / increment;
            value -= x + x - x * x - 1.0;
        } else if (phase > 1.0 - increment) {
            const double x = (phase - 1.0) / increment;
            value -= x * x + x + x + 1.0;
        }
        phase += increment;
        if (phase >= 1.0) phase -= 1.0;
        return value;
    }
};

struct OnePole {
    double y = 0.0;
    double lowpass(double x, double c) { return y += (x - y) * c; }
};

double coefficient(double cutoff, int rate) {
    return 1.0 - std::exp(-2.0 * kPi * cutoff / double(rate));
}

double midiToHz(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// Am, F, C, G: bass roots and pad voicings.
constexpr int kRoots[4] = {33, 29, 36, 31};
constexpr int kChords[4][3] = {{57, 60, 64}, {57, 60, 65}, {55, 60, 64}, {55, 59, 62}};

} // namespace

std::vector<double> makeDemoMaterial(int rate, double seconds) {
    const auto frames = std::int64_t(seconds * rate);
    std::vector<double> out(std::size_t(frames) * 2, 0.0);
    const int bars = int(std::ceil(seconds / kBar));

    Noise noise;
    Saw padSaws[3][2], bassSaw;
    OnePole padFilter[2], bassFilter, bassFilter2, snareHigh, snareLow, hatHigh;
    double kickPhase = 0.0;

    for (std::int64_t n = 0; n < frames; ++n) {
        const double t = double(n) / rate;
        const int bar = std::min(int(t / kBar), bars - 1);
        const int chord = bar % 4;
        const double inBar = t - bar * kBar;
        const double inBeat = std::fmod(inBar, kBeat);
        const int beat = int(inBar / kBeat);
        const double inEighth = std::fmod(inBar, kBeat / 2.0);
        const int eighth = int(inBar / (kBeat / 2.0));

        const bool drums = bar >= 4 && !(bar >= 11 && bar <= 12);
        const bool bassOn = bar >= 2;
        const bool hatsOn = bar >= 2;

        // Pad: three chord tones, two saws each detuned by 4 cents apart, one per side; fades in on
        // the first bar and swells with each chord.
        double pad[2] = {0.0, 0.0};
        for (int v = 0; v < 3; ++v) {
            const double f = midiToHz(kChords[chord][v]);
            for (int side = 0; side < 2; ++side) {
                const double detune = std::pow(2.0, (side ? 4.0 : -4.0) / 1200.0);
                pad[side] += padSaws[v][side].next(f * detune / rate);
            }
        }
        const double swell = 0.6 + 0.4 * (1.0 - std::exp(-inBar / 0.4));
        const double padLevel = 0.1 * swell * std::min(1.0, t / kBar);
        for (int side = 0; side < 2; ++side) {
            pad[side] = padFilter[side].lowpass(pad[side], coefficient(1800.0, rate)) * padLevel;
        }

        // Bass: the root on every eighth, a short pluck through a closing low-pass.
        double bass = 0.0;
        if (bassOn) {
            const int note = kRoots[chord] + ((eighth % 4 == 3) ? 12 : 0);
            const double raw = bassSaw.next(midiToHz(note) / rate);
            const double cutoff = 180.0 + 1400.0 * std::exp(-inEighth / 0.05);
            const double env = std::exp(-inEighth / 0.22) * std::min(1.0, inEighth / 0.003);
            bass = bassFilter2.lowpass(bassFilter.lowpass(raw, coefficient(cutoff, rate)),
                                       coefficient(cutoff, rate)) *
                   env * 0.55;
        }

        // Kick on 1 and 3 (and the "and" of 3 every other bar): a falling sine with a click.
        double kick = 0.0;
        if (drums) {
            double since = -1.0;
            if (beat == 0 || beat == 2) since = inBeat;
            if (bar % 2 == 1 && beat == 2 && inBeat >= kBeat / 2.0) since = inBeat - kBeat / 2.0;
            if (since >= 0.0) {
                if (since < 1.0 / rate) kickPhase = 0.0;
                const double f = 48.0 + 110.0 * std::exp(-since / 0.035);
                kickPhase += f / rate;
                kick = std::sin(2.0 * kPi * kickPhase) * std::exp(-since / 0.28) * 0.95 +
                       noise.next() * std::exp(-since / 0.002) * 0.25;
            }
        }

        // Snare on 2 and 4: filtered noise and a short body tone.
        double snare = 0.0;
        const double white = noise.next();
        if (drums && (beat == 1 || beat == 3)) {
            const double band = snareLow.lowpass(white - snareHigh.lowpass(white, coefficient(900.0, rate)),
                                                 coefficient(7000.0, rate));
            snare = band * std::exp(-inBeat / 0.11) * 0.9 +
                    std::sin(2.0 * kPi * 185.0 * inBeat) * std::exp(-inBeat / 0.06) * 0.35;
        }

        // Hi-hats on the eighths, accented on the off-beats.
        double hat = 0.0;
        if (hatsOn) {
            const double high = white - hatHigh.lowpass(white, coefficient(6000.0, rate));
            hat = high * std::exp(-inEighth / 0.025) * ((eighth % 2) ? 0.3 : 0.18);
        }

        const double fadeOut = std::clamp((seconds - t) / 1.0, 0.0, 1.0);
        const double centre = kick + snare + bass;
        out[std::size_t(2 * n)] = (centre + pad[0] + hat * 0.7) * fadeOut;
        out[std::size_t(2 * n + 1)] = (centre + pad[1] + hat * 1.0) * fadeOut;
    }

    double peak = 0.0;
    for (double v : out)
        peak = std::max(peak, std::fabs(v));
    if (peak > 0.0)
        for (double& v : out)
            v *= kPeak / peak;
    return out;
}

} // namespace orvel
