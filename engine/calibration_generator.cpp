#include "engine/calibration_generator.h"

double CalibrationGenerator::levelFor(int scaleChoice) {
    switch (scaleChoice) {
    case 0:
        return 2.5118864315;
    case 1:
        return 2.0;
    default:
        return 1.0;
    }
}

double CalibrationGenerator::outputScale(double level) {
    const double sqrt2 = static_cast<double>(1.41421356f);
    return 0.1 / sqrt2 / 1.73205081 * level;
}

void CalibrationGenerator::reset() {
    for (int k = 0; k < kRows; ++k)
        rowsL[k] = rowsR[k] = 0.0;
    sumL = sumR = 0.0;
    counter = 0;
}

int CalibrationGenerator::row() const {
    int k = 0;
    while (k < kRows - 1 && ((counter >> k) & 1u) == 0)
        ++k;
    return k;
}

double CalibrationGenerator::replace(double* rows, double& sum, int k) {
    const double u = noise.uniform();
    sum += u - rows[k];
    rows[k] = u;
    return u;
}

void CalibrationGenerator::next(int mode, double scale, double& left, double& right) {
    const int k = row();
    if (mode == kBoth) {
        replace(rowsL, sumL, k);
        replace(rowsR, sumR, k);
        const double u3 = noise.uniform();
        const double u4 = noise.uniform();
        left = (u3 + sumL) * scale;
        right = (u4 + sumR) * scale;
    } else {
        replace(rowsL, sumL, k);
        const double y = (noise.uniform() + sumL) * scale;
        left = mode == kRight ? 0.0 : y;
        right = mode == kRight ? y : 0.0;
    }
    counter = (counter + 1) & 0xFFu;
}
