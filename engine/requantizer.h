// Requantizes the limited output of both channels to 8, 16 or 24 bits: triangular dither, error
// feedback through a 12-tap noise-shaping filter, and the "Autoblack" fade to digital zero in silence.
//
// Per channel and sample: s = Σ w[n] · e[j − n] over the last 12 errors; v = out + s; the quantized
// value q = (trunc(d + v·h + h) − h) / h rounds v + d/h down to a step of 1/h (the + h keeps the
// truncated argument positive above −1); the new error is q − v; the output is q · g, g the fade gain.
#pragma once

#include "engine/noise_shaper_sets.h"
#include "engine/noise_source.h"
#include "engine/relaxed.h"

class Requantizer {
public:
    static constexpr int kHistory = noise_shaper::kTaps;
    static constexpr double kSilence = 1e-8;

    explicit Requantizer(NoiseSource& noise) : noise(noise) { reset(); }

    // The quantizer scale h for a "Bits" choice (0: 8, 1: 16, 2: 24 bits).
    static double scaleFor(int bitsChoice);

    // Clears the error histories and restarts the fade from silence. The selected set stays.
    void reset();

    void setFadeCoefficient(double c) { fadeCoefficient = c; }

    // Selects a noise-shaper set (any thread): from the next sample on, the error history restarts at
    // position 0 with the new taps.
    void selectSet(int index) {
        selected = index;
        restart = true;
    }
    int selectedSet() const { return selected; }
    // The error-history position the next sample starts from.
    int historyPosition() const { return restart ? 0 : position; }

    void process(double& left, double& right, double scale, bool autoblack);

    double fadeGain() const { return fade; }

private:
    double quantize(double v, double scale);

    NoiseSource& noise;
    alignas(16) double errorsL[kHistory] = {};
    alignas(16) double errorsR[kHistory] = {};
    int position = 0;
    double fade = 1e-20;
    double fadeCoefficient = 0.0;
    Relaxed<int> selected{noise_shaper::kNone};
    Relaxed<bool> restart{false};
};
