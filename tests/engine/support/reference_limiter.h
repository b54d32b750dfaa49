// A slow limiter written straight from the formulas, for differential tests of the engine. It keeps
// every value since the last reset in plain vectors and computes each quantity by its definition:
// window maxima by scanning the window, the envelope as the direct sum Σ k[i]·u(n−K+1−i), every delay
// as an index into the history. Only the requantizer keeps the engine's operation order, since its
// error feedback turns any rounding difference into a different output step.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace reference {

// Derived parameter values, as the engine reads them.
struct Settings {
    double drive = 1.0;
    double output = 0.5;
    double transient = 0.125;
    double releaseMs = 100.0;
    double link = 1.0;
    double leveller = 0.5;
    bool levellerBypassed = false;
    bool oversample = false;
    bool secondOrder = false;
    bool power = true;
    bool meterOversample = false;
    bool autoOut = false;
    bool quantize = false;
    bool autoblack = false;
    bool postMeter = false;
    int bits = 1;
    int noiseShape = 0;
    int attShow = 7;
};

class Limiter {
public:
    // Integer sample rate and "TransShape" choice; starts from the reset state.
    Limiter(int sampleRate, int shape, const Settings& settings);

    // New lengths for another "TransShape" choice, and a reset.
    void changeShape(int shape);
    // Parameter changes between blocks. A new "NoiseShape" choice restarts the error history.
    void set(const Settings& settings);

    // One block; outputs after the final clip, in double.
    void process(const double* inL, const double* inR, double* outL, double* outR, int frames);

    // The ten meter values, then the reset request.
    std::array<float, 10> poll();

    int lookahead() const { return W; }
    int kernelLength() const { return K; }

private:
    void reset();
    void sample(double xL, double xR, double& outL, double& outR);
    double uniform();
    double requantize(double v, double* errors, int channel);

    // Rate and lengths.
    int rate;
    double fs;
    int W = 0, K = 0, L = 0;
    double rampC = 0, levelC = 0, rmsC = 0, fadeC = 0;
    std::vector<double> kernel;

    Settings s;
    int shaperSet = 0;
    double attackC[8], releaseC[8];

    // Block constants.
    int blockMask = 7;
    double blockMeterGain = 1.0;
    double blockScale = 32768.0;
    bool blockAutoOut = false;

    // State since the last reset.
    long n = 0; // samples since reset
    double drive = 1, output = 0.5, average = 0.00001;
    std::vector<double> x[2], y[2], m[2], u[2], e[2], o[2];
    double f1[2][8] = {}, f2[2][8] = {};
    std::uint32_t g1 = 0, g2 = 0, g3 = 0;
    double errors[2][12] = {};
    int j = 0;
    double fade = 1e-20;
    double inPeak[2] = {}, outPeak[2] = {}, inMs[2] = {}, outMs[2] = {}, gr[2] = {1, 1};
    bool resetRequest = false;
};

} // namespace reference
