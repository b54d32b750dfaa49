// The limiter effect: parameters, lifecycle and the processing frame.
//
// Threads. The host's audio thread runs the processing calls and holds the engine mutex for a whole
// block; setSampleRate and a "TransShape" change take the same mutex, as does the constructor. Other
// parameter changes come from any thread without a lock: every engine value they derive is one
// relaxed atomic scalar that the processing reads per block or per sample. The sample-rate state
// (rate, shift, lengths) changes only under the mutex.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/limiter_frame.h"
#include "engine/parameters.h"
#include "platform/engine_mutex.h"
#include "presets/preset_system_effect.h"

class AEffEditor;

class Plugin : public CPresetSystemEffect {
public:
    // Builds the editor object of an effect; the editor registers itself with the effect. The engine
    // knows no editor class: the plug-in binary passes its factory, tests of the engine alone none.
    using EditorFactory = AEffEditor* (*)(AudioEffect* effect);

    explicit Plugin(vst::HostCallback audioMaster, EditorFactory editorFactory = nullptr);
    ~Plugin() override;

    static constexpr int kNumParams = engine::kNumParameters;
    static constexpr int kNumHostPrograms = 1;
    static constexpr int kInitialSampleRate = 44100;
    // Look-ahead window W at rate shift 0 [samples]; W = 128 << s.
    static constexpr int kBaseLookAhead = 128;
    // Samples between the detector's alignment delay and the output, beyond W [samples].
    static constexpr int kAlignmentDelay = FrameRates::kAlignment;
    static constexpr int kMaxRateShift = 2;
    static constexpr int kFollowerStages = 8;
    // Noise-shaper sets: 0 is the all-zero set ("off"), 1 + 6 * type + rate index the tables.
    static constexpr int kNoiseShaperSets = 19;

    // State reset: clears all processing state, under the engine mutex (recursive for the engine's own
    // callers, which already hold it).
    void suspend() override;
    void setSampleRate(float rate) override;
    void processReplacing(float** inputs, float** outputs, int sampleFrames) override;
    void processDoubleReplacing(double** inputs, double** outputs, int sampleFrames) override;
    void setParameter(int index, float value) override;
    float getParameter(int index) override;
    void getParameterLabel(int index, char* label) override;
    void getParameterDisplay(int index, char* text) override;
    void getParameterName(int index, char* text) override;
    bool getParameterProperties(int index, vst::VstParameterProperties* properties) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    vst::VstInt32 getPlugCategory() override { return vst::kPlugCategMastering; }

    // Applies the metering preferences stored under the registry key "PREFS" through setParameter.
    void loadMeteringPreferences();

    // The ten meter values for the editor, in this order, then the poll-and-reset request: the next
    // processed sample clears the peaks and the displayed gains. Editor thread; takes no lock.
    void getMeterValues(float& inPeakL, float& inPeakR, float& outPeakL, float& outPeakR, float& inRmsL,
                        float& inRmsR, float& outRmsL, float& outRmsR, float& grL, float& grR);

    // Engine values derived from the parameters; the processing reads them per block or per sample.
    double outputGain() const { return signal.settings.output; }
    double driveGain() const { return signal.settings.drive; }
    double transientAmount() const { return signal.settings.transient; }
    double releaseTime() const { return load(releaseTimeValue); } // [ms]
    double linkAmount() const { return signal.settings.link; }
    double levellerLevel() const { return signal.settings.leveller; }
    double powerGain() const { return signal.settings.power ? 1.0 : 0.0; }
    // The choice of a choice parameter ("AttShow": its bit mask); 0 for the others.
    int choice(int index) const;
    // "Bits" as a word length: 8, 16 or 24.
    int wordLength() const;

    // Sample-rate state.
    int integerSampleRate() const { return integerRate.load(std::memory_order_relaxed); }
    double fs() const { return load(sampleRateHz); }
    int rateShift() const { return shift; }
    int lookAheadLength() const { return lookAhead; } // W
    int kernelLength() const { return kernel; }       // K
    int gainDelayLength() const { return gainDelay; } // W - 2K + 2
    int latency() const { return lookAhead + kAlignmentDelay; }

    // Coefficients of the one-pole smoothers, y += (x - y) * c.
    double attackCoefficient(int stage) const { return signal.settings.attack[stage]; }
    double releaseCoefficient(int stage) const { return signal.settings.release[stage]; }
    double rampCoefficient() const { return load(ramp); }
    double fadeCoefficient() const { return load(fade); }
    double levelCoefficient() const { return load(level); }
    double rmsCoefficient() const { return load(rms); }

    // The active noise-shaper set (0: none) and the shaper's error-history position.
    int activeNoiseShaperSet() const { return signal.noiseShaperSet(); }
    int noiseShaperPosition() const { return signal.noiseShaperPosition(); }

protected:
    // The whole signal path with its buffers (allocated once, here), its processing state and the
    // meter feed. Parameter changes publish their engine values into its settings.
    LimiterFrame signal;

private:
    static double load(const std::atomic<double>& value) { return value.load(std::memory_order_relaxed); }
    static void store(std::atomic<double>& value, double v) { value.store(v, std::memory_order_relaxed); }

    // Stores the normalized value and the engine values derived from it, nothing else.
    void storeParameter(int index, float value);
    void convertLegacyLayout();
    void changeTransShape(float value);
    void setRateState(int rate);
    void updateKernelLength();
    void computeAttackCoefficients();
    void computeReleaseCoefficients();
    void computeRateCoefficients(); // ramp, fade, level, RMS
    // Selects the noise-shaper set for the "NoiseShape" choice and the integer rate, and restarts
    // the shaper's error history at position 0.
    void selectNoiseShaper();
    // Hands the lengths and rate coefficients to the signal path, which rebuilds the smoothing
    // kernel for K and clears its state.
    void buildSmoothingKernel();
    void createEditor(EditorFactory factory);

    // One block of either sample type: the mutex, the calibration switch, the pin queries.
    template <class T> void processBlock(T** inputs, T** outputs, int sampleFrames);

    platform::EngineMutex engineMutex;

    // Normalized values as last set, 0..21.
    std::atomic<float> normalized[engine::kNumLiveParameters];
    std::atomic<double> releaseTimeValue;
    std::atomic<std::int32_t> choices[engine::kNumParameters];

    // Written under the mutex; atomic because parameter changes read them without it.
    std::atomic<int> integerRate{kInitialSampleRate};
    std::atomic<double> sampleRateHz{kInitialSampleRate};
    int shift = 0;
    int lookAhead = kBaseLookAhead;
    int kernel = 64;
    int gainDelay = 2;

    std::atomic<double> ramp, fade, level, rms;
};
