#include "tests/engine/support/engine_fixtures.h"

#include <algorithm>
#include <cmath>

#include "engine/follower_bank.h"

namespace fixtures {

namespace {

double uniform(std::mt19937& rng) {
    return std::uniform_real_distribution<double>(0.0, 1.0)(rng);
}
bool coin(std::mt19937& rng, double p = 0.5) {
    return uniform(rng) < p;
}
int choice(std::mt19937& rng, int n) {
    return std::uniform_int_distribution<int>(0, n - 1)(rng);
}

void continuous(reference::Settings& s, std::mt19937& rng) {
    s.drive = std::pow(2.0, 8.0 * (uniform(rng) - 0.5));
    s.output = std::pow(2.0, 2.0 * (uniform(rng) - 1.0));
    const double x = uniform(rng) * 1.4142136;
    s.transient = x * x * 0.25;
    s.releaseMs = std::pow(10.0, 3.0 * std::pow(uniform(rng), 0.82030212));
    s.link = uniform(rng);
    const double level = coin(rng, 0.2) ? 1.0 : uniform(rng);
    s.leveller = std::pow(2.0, 2.0 * (level - 1.0));
    s.levellerBypassed = level == 1.0;
}

} // namespace

reference::Settings neutralSettings() {
    reference::Settings s;
    s.output = 1.0;
    return s;
}

void prepare(LimiterFrame& frame, int sampleRate, int shape, const reference::Settings& s) {
    frame.configure(FrameRates::make(sampleRate, shape));
    apply(frame, s, nullptr);
    frame.reset();
}

reference::Settings randomSettings(std::mt19937& rng) {
    reference::Settings s;
    continuous(s, rng);
    s.oversample = coin(rng);
    s.secondOrder = coin(rng);
    s.power = coin(rng, 0.85);
    s.meterOversample = coin(rng);
    s.autoOut = coin(rng, 0.3);
    s.quantize = coin(rng);
    s.autoblack = coin(rng);
    s.postMeter = coin(rng);
    s.bits = choice(rng, 3);
    s.noiseShape = choice(rng, 4);
    s.attShow = choice(rng, 8);
    return s;
}

reference::Settings perturb(const reference::Settings& base, std::mt19937& rng) {
    reference::Settings s = base;
    continuous(s, rng);
    if (coin(rng, 0.3)) s.oversample = !s.oversample;
    if (coin(rng, 0.2)) s.power = !s.power;
    if (coin(rng, 0.2)) s.quantize = !s.quantize;
    if (coin(rng, 0.2)) s.noiseShape = choice(rng, 4);
    if (coin(rng, 0.2)) s.autoOut = !s.autoOut;
    if (coin(rng, 0.2)) s.attShow = choice(rng, 8);
    if (coin(rng, 0.2)) s.bits = choice(rng, 3);
    return s;
}

void apply(LimiterFrame& frame, const reference::Settings& s, const reference::Settings* previous) {
    FrameSettings& f = frame.settings;
    f.drive = s.drive;
    f.output = s.output;
    f.transient = s.transient;
    f.link = s.link;
    f.leveller = s.leveller;
    f.levellerBypassed = s.levellerBypassed;
    f.oversample = s.oversample;
    f.secondOrder = s.secondOrder;
    f.power = s.power;
    f.meterOversample = s.meterOversample;
    f.autoOut = s.autoOut;
    f.quantize = s.quantize;
    f.autoblack = s.autoblack;
    f.postMeter = s.postMeter;
    f.bits = s.bits;
    f.attShow = s.attShow;
    double c[FollowerBank::kStages];
    FollowerBank::attackCoefficients(frame.rates().fs, c);
    for (int k = 0; k < FollowerBank::kStages; ++k)
        f.attack[k] = c[k];
    FollowerBank::releaseCoefficients(frame.rates().fs, s.releaseMs, c);
    for (int k = 0; k < FollowerBank::kStages; ++k)
        f.release[k] = c[k];
    if (!previous || previous->noiseShape != s.noiseShape) frame.selectNoiseShaper(s.noiseShape);
}

Stereo programme(int frames, double sampleRate, std::mt19937& rng) {
    Stereo out;
    out.left.reserve(frames);
    out.right.reserve(frames);
    std::normal_distribution<double> gauss(0.0, 1.0);
    while (out.size() < frames) {
        const int length = std::min(frames - out.size(), 64 + choice(rng, 3000));
        const int kind = choice(rng, 5);
        const double level = std::pow(10.0, -3.0 * uniform(rng)) * (coin(rng, 0.3) ? 2.0 : 1.0);
        const double width = uniform(rng);
        const double freq = 20.0 + uniform(rng) * sampleRate * 0.45;
        const double phase = uniform(rng) * 6.283185307179586;
        for (int i = 0; i < length; ++i) {
            double l = 0, r = 0;
            switch (kind) {
            case 0: // silence, with a rare lone impulse
                if (coin(rng, 0.002)) l = r = (coin(rng) ? 1 : -1) * level;
                break;
            case 1:
            case 2: { // noise
                const double common = gauss(rng) * level * 0.3;
                l = common + gauss(rng) * level * 0.3 * width;
                r = common + gauss(rng) * level * 0.3 * width;
                break;
            }
            case 3: { // sine
                const double v = std::sin(phase + 6.283185307179586 * freq * i / sampleRate) * level;
                l = v;
                r = v * (1.0 - width);
                break;
            }
            default: // very quiet noise around the detector floor and the silence threshold
                l = gauss(rng) * 1e-6;
                r = gauss(rng) * 1e-9;
                break;
            }
            out.left.push_back(l);
            out.right.push_back(r);
        }
    }
    return out;
}

std::vector<int> randomSplit(int total, int maxBlock, std::mt19937& rng) {
    std::vector<int> blocks;
    while (total > 0) {
        const int n = std::min(total, 1 + choice(rng, maxBlock));
        blocks.push_back(n);
        total -= n;
    }
    return blocks;
}

double floatSteps(float a, float b) {
    if (a == b) return 0.0;
    const float larger = std::max(std::fabs(a), std::fabs(b));
    const float step = std::nextafter(larger, INFINITY) - larger;
    return std::fabs(static_cast<double>(a) - static_cast<double>(b)) / step;
}

} // namespace fixtures
