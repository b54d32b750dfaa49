// The limiter itself, free of any plug-in format: the parameter table's normalized values and the
// engine values derived from them, the sample-rate state and latency, the state reset, both
// processing calls, the meter poll and the metering preferences as values. A format adapter (the
// VST 2.4 effect, an LV2 plug-in) maps its host's calls onto this class and adds nothing to the
// audio.
//
// Threads. The audio thread runs process(), holding the engine mutex for a whole block;
// setSampleRate, reset and a "TransShape" change take the same mutex, as does the constructor.
// Other parameter changes come from any thread without a lock: every engine value they derive is
// one relaxed atomic scalar that the processing reads per block or per sample. The sample-rate
// state (rate, shift, lengths) changes only under the mutex. pollMeters may run on any thread
// beside the audio thread; it takes no lock. The listener hears of each parameter change on the
// thread that made it.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/limiter_frame.h"
#include "engine/metering_preferences.h"
#include "engine/parameters.h"
#include "platform/engine_mutex.h"

class LimiterCore {
public:
    // Told of every parameter change after it is stored: the caller's own and the ones the core
    // makes itself (the conversion of an older layout, before the change that asked for it).
    class Listener {
    public:
        virtual void parameterChanged(int index, float value) = 0;

    protected:
        ~Listener() = default;
    };

    // Whether the right channel's buffers carry audio. Asked once per block, under the engine
    // mutex: the output first, the input only when the block is not calibration noise.
    class Pins {
    public:
        virtual bool rightOutputConnected() = 0;
        virtual bool rightInputConnected() = 0;

    protected:
        ~Pins() = default;
    };

    // Both right pins connected.
    class StereoPins final : public Pins {
    public:
        bool rightOutputConnected() override { return true; }
        bool rightInputConnected() override { return true; }
    };

    static constexpr int kNumParams = engine::kNumParameters;
    static constexpr int kInitialSampleRate = 44100;
    // Look-ahead window W at rate shift 0 [samples]; W = 128 << s.
    static constexpr int kBaseLookAhead = 128;
    // Samples between the detector's alignment delay and the output, beyond W [samples].
    static constexpr int kAlignmentDelay = FrameRates::kAlignment;
    static constexpr int kMaxRateShift = 2;
    static constexpr int kFollowerStages = FollowerBank::kStages;
    // Noise-shaper sets: 0 is the all-zero set ("off"), 1 + 6 * type + rate index the tables.
    static constexpr int kNoiseShaperSets = 19;

    // The state after construction: every parameter at its table default, 44100 Hz, reset. Holds
    // the engine mutex throughout.
    LimiterCore();

    void setListener(Listener* listener) { changes = listener; }

    // The engine mutex, for an adapter whose own construction must finish before a block runs.
    platform::EngineMutex& mutex() { return engineMutex; }

    // Clears all processing state, under the engine mutex (recursive for callers that hold it).
    void reset();
    // The host's rate: outside 5000..200000 (NaN included) taken as 44100, else truncated. Always
    // resets; true when the integer rate changed (and with it, possibly, the latency).
    bool setSampleRate(float rate);

    // One block: inputs[0] and outputs[0] are the left channel (the block is skipped when either
    // is missing), inputs[1] and outputs[1] the right one where the pins say they are connected.
    // With the right output missing, the left output carries the right result first and then
    // the left one over it; with the right input missing, the left input feeds both channels.
    void process(float** inputs, float** outputs, int frames, Pins& pins);
    void process(double** inputs, double** outputs, int frames, Pins& pins);

    void setParameter(int index, float value);
    // The normalized value as last set (0 outside the table); the layout marker answers the
    // current layout.
    float getParameter(int index) const;
    // Texts of the parameter table; empty outside it. text holds at least 24 bytes.
    void getParameterLabel(int index, char* label) const;
    void getParameterDisplay(int index, char* text) const;
    void getParameterName(int index, char* text) const;

    // A stored metering preference (a step index of any value): applied as the nearest choice's
    // centre through setParameter.
    void applyMeteringPreference(const engine::MeteringPreference& preference, std::int32_t storedStep);

    // The ten meter values (MeterFeed's order: input, output peaks; input, output RMS; gains)
    // since the last poll, then the poll-and-reset request.
    void pollMeters(float values[MeterFeed::kValues]);

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
    int rateShift() const { return rates.shift; }
    int lookAheadLength() const { return rates.lookahead; } // W
    int kernelLength() const { return rates.kernel; }       // K
    int gainDelayLength() const { return rates.gainDelay; } // W - 2K + 2
    int latency() const { return rates.latency(); }

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

    // The signal path itself, for inspection; change it only under the engine mutex.
    LimiterFrame& frame() { return signal; }
    const LimiterFrame& frame() const { return signal; }

private:
    static double load(const std::atomic<double>& value) { return value.load(std::memory_order_relaxed); }
    static void store(std::atomic<double>& value, double v) { value.store(v, std::memory_order_relaxed); }

    // Stores the normalized value and the engine values derived from it, nothing else.
    void storeParameter(int index, float value);
    void convertLegacyLayout();
    void changeTransShape(float value);
    // Lengths and coefficients for the integer rate and the "TransShape" choice, handed to the
    // signal path, which rebuilds the smoothing kernel and clears its state.
    void configureRates(int rate);
    void computeAttackCoefficients();
    void computeReleaseCoefficients();
    // Selects the noise-shaper set for the "NoiseShape" choice and the integer rate, and restarts
    // the shaper's error history at position 0.
    void selectNoiseShaper();

    template <class T> void processBlock(T** inputs, T** outputs, int frames, Pins& pins);

    platform::EngineMutex engineMutex;
    // The whole signal path with its buffers (allocated once, here), its processing state and the
    // meter feed. Parameter changes publish their engine values into its settings.
    LimiterFrame signal;
    Listener* changes = nullptr;

    // Normalized values as last set, 0..21.
    std::atomic<float> normalized[engine::kNumLiveParameters];
    std::atomic<double> releaseTimeValue{0.0};
    std::atomic<std::int32_t> choices[engine::kNumParameters];

    // Written under the mutex; the rate and its copies are atomic because parameter changes read
    // them without it.
    FrameRates rates;
    std::atomic<int> integerRate{kInitialSampleRate};
    std::atomic<double> sampleRateHz{kInitialSampleRate};
    std::atomic<double> ramp{0.0}, fade{0.0}, level{0.0}, rms{0.0};
};
