// Pink noise for monitor calibration (Voss–McCartney): eight rows of uniform noise, row k replaced
// every 2^(k+1) samples (k the number of trailing zeros of a wrapping 8-bit counter), their running
// sum plus one fresh value per sample. Left and right have their own rows, so "l+r uncor" gives two
// uncorrelated signals; "left" and "right" both use the left rows.
//
// At level 1.0 the noise has an RMS of about 0.0707 (nine sources of variance 1/3 times the output
// scale), which a meter reading √(2 · mean square) shows as 0.1, −20 dB: the reference of "K-20".
#pragma once

#include "engine/noise_source.h"

class CalibrationGenerator {
public:
    static constexpr int kRows = 8;

    enum Mode { kOff = 0, kLeft = 1, kBoth = 2, kRight = 3 };

    explicit CalibrationGenerator(NoiseSource& noise) : noise(noise) { reset(); }

    // Level factor for a "Scale" choice (0: K-12, 1: K-14, 2: K-20).
    static double levelFor(int scaleChoice);
    // Output scale 0.1 / √2 / √3 · level, √2 taken in single precision.
    static double outputScale(double level);

    void reset();

    // One sample of the given mode; a channel without noise gets 0.
    void next(int mode, double scale, double& left, double& right);

private:
    int row() const;
    double replace(double* rows, double& sum, int k);

    NoiseSource& noise;
    alignas(16) double rowsL[kRows] = {};
    alignas(16) double rowsR[kRows] = {};
    double sumL = 0.0, sumR = 0.0;
    unsigned counter = 0;
};
