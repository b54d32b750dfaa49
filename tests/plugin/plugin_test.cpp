// The VST 2.4 effect over the core: parameter texts, the legacy conversion with its slot records, the
// sample-rate rules with the record's initial delay, the state reset, the metering preferences and the
// construction sequence.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "host/aeff_editor.h"
#include "host/plugin.h"
#include "platform/registry.h"
#include "platform/registry_sandbox.h"
#include "presets/factory_presets.h"

using namespace engine;
using namespace vst;

namespace {

std::vector<VstInt32>& hostCalls() {
    static std::vector<VstInt32> calls;
    return calls;
}

VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    hostCalls().push_back(opcode);
    return opcode == 1 ? 2400 : 0;
}

// Every value the signal path reads from its settings, copied.
void copySettings(const FrameSettings& from, FrameSettings& to) {
    to.drive = from.drive.load();
    to.output = from.output.load();
    to.transient = from.transient.load();
    to.link = from.link.load();
    to.leveller = from.leveller.load();
    to.levellerBypassed = from.levellerBypassed.load();
    to.oversample = from.oversample.load();
    to.secondOrder = from.secondOrder.load();
    to.power = from.power.load();
    to.meterOversample = from.meterOversample.load();
    to.autoOut = from.autoOut.load();
    to.quantize = from.quantize.load();
    to.autoblack = from.autoblack.load();
    to.postMeter = from.postMeter.load();
    to.bits = from.bits.load();
    to.attShow = from.attShow.load();
    to.calibrate = from.calibrate.load();
    to.scale = from.scale.load();
    for (int k = 0; k < FollowerBank::kStages; ++k) {
        to.attack[k] = from.attack[k].load();
        to.release[k] = from.release[k].load();
    }
}

// Reaches the processing state that the reset returns to its start.
class PluginProbe : public Plugin {
public:
    PluginProbe() : Plugin(recordingHost), signal(core().frame()) {}
    LimiterFrame& signal;

    // Runs the whole path hard with every stage on, leaves the drive ramp between two targets, runs
    // a block of calibration noise and leaves a meter poll pending. The parameters are unchanged.
    void dirty() {
        FrameSettings& s = signal.settings;
        const double drive = s.drive;
        const bool quantize = s.quantize, meterOvs = s.meterOversample, oversample = s.oversample;
        const int calibrate = s.calibrate;
        s.quantize = true;
        s.meterOversample = true;
        s.oversample = true;
        s.drive = 8.0;
        std::vector<double> l(3001), r(3001), outL(3001), outR(3001);
        for (int n = 0; n < 3001; ++n) {
            l[n] = 0.9 * std::sin(n * 0.05);
            r[n] = 0.7 * std::cos(n * 0.031);
        }
        signal.limit(l.data(), r.data(), outL.data(), outR.data(), 3001);
        s.drive = drive;
        s.calibrate = 2;
        signal.calibrate(outL.data(), outR.data(), 300);
        s.calibrate = calibrate;
        s.quantize = quantize;
        s.meterOversample = meterOvs;
        s.oversample = oversample;
        float values[10];
        signal.meters.poll(values);
    }

    bool isDirty() const { return signal.levellerAverage() != 0.00001; }

    void expectReset() {
        EXPECT_EQ(signal.driveGain(), core().driveGain());
        EXPECT_EQ(signal.outputGain(), core().outputGain());
        EXPECT_EQ(signal.fadeGain(), 1e-20);
        EXPECT_EQ(signal.levellerAverage(), 0.00001);
        EXPECT_EQ(core().noiseShaperPosition(), 0);
        const MeterFeed& m = signal.meters;
        for (int c = 0; c < 2; ++c) {
            EXPECT_EQ(m.inPeak[c], 0.0);
            EXPECT_EQ(m.outPeak[c], 0.0);
            EXPECT_EQ(m.inMeanSquare[c], 0.0);
            EXPECT_EQ(m.outMeanSquare[c], 0.0);
            EXPECT_EQ(m.displayedGain[c], 1.0);
        }
        EXPECT_FALSE(m.resetRequest);

        // Everything else by behaviour: with every stage on, audio and then calibration noise come
        // out exactly as from a new frame with the same settings (lines, windows, followers,
        // convolution, generators, error history, calibration rows).
        LimiterFrame fresh;
        fresh.configure(signal.rates());
        copySettings(signal.settings, fresh.settings);
        fresh.useNoiseShaperSet(signal.noiseShaperSet());
        fresh.reset();
        std::vector<double> in(2500), a(2500), b(2500), unused(2500);
        for (int n = 0; n < 2500; ++n)
            in[n] = 0.8 * std::sin(n * 0.02) * (n % 700 < 350 ? 4.0 : 0.01);
        FrameSettings saved;
        copySettings(signal.settings, saved);
        for (LimiterFrame* f : {&signal, &fresh}) {
            f->settings.quantize = true;
            f->settings.oversample = true;
            f->settings.meterOversample = true;
            f->settings.power = true;
            f->settings.calibrate = 2;
        }
        signal.limit(in.data(), in.data(), a.data(), unused.data(), 2000);
        fresh.limit(in.data(), in.data(), b.data(), unused.data(), 2000);
        float metersA[10], metersB[10];
        signal.meters.poll(metersA);
        fresh.meters.poll(metersB);
        EXPECT_TRUE(std::equal(metersA, metersA + 10, metersB)) << "the meters after the reset differ";
        signal.calibrate(a.data() + 2000, unused.data(), 500);
        fresh.calibrate(b.data() + 2000, unused.data(), 500);
        EXPECT_EQ(a, b) << "the state after the reset differs from a new one";
        copySettings(saved, signal.settings);
    }
};

struct RecordingEditor : AEffEditor {
    using AEffEditor::AEffEditor;
    std::vector<std::pair<int, float>> parameters;
    std::vector<int> latencies;
    std::vector<std::string> names;
    int userDefaults = 0;
    void setParameter(int index, float value) override { parameters.push_back({index, value}); }
    void setLatency(int samples) override { latencies.push_back(samples); }
    void loadUserDefaults() override { ++userDefaults; }
    void presetNameChanged(const char* name) override { names.push_back(name); }
};

// Every instance reads an empty settings store unless the test writes one.
class PluginTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sandbox.active());
        hostCalls().clear();
    }
    PluginProbe& plugin() {
        if (!instance) instance = std::make_unique<PluginProbe>();
        return *instance;
    }
    std::string display(int index) {
        char text[64];
        std::memset(text, 0x5A, sizeof(text));
        plugin().getParameterDisplay(index, text);
        return text;
    }
    std::string display(int index, float value) {
        plugin().setParameter(index, value);
        return display(index);
    }

    platform::RegistrySandbox sandbox;
    std::unique_ptr<PluginProbe> instance;
};

void expectDecibelText(const std::string& actual, const std::string& expected) {
    if (actual == expected) return;
    // The platform's log10f may differ in its last bit; that may move the last digit.
    ASSERT_EQ(actual.size(), expected.size()) << actual << " vs " << expected;
    EXPECT_EQ(actual.substr(0, actual.size() - 1), expected.substr(0, expected.size() - 1));
    EXPECT_EQ(std::abs(actual.back() - expected.back()), 1) << actual << " vs " << expected;
}

// ---------------------------------------------------------------------------------------------
// Parameter texts

TEST_F(PluginTest, DisplaysEveryKindOfParameter) {
    struct Case {
        int index;
        float value;
        const char* text;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {kOutput, 0.0f, "-12.0412"},
        {kOutput, 0.5f, "-6.02060"},
        {kOutput, 1.0f, "0.000000"},
        {kDrive, 0.5f, "0.000000"},
        {kDrive, 1.0f, "24.08240"},
        {kDrive, 0.0f, "-24.0824"},
        {kLeveller, 0.0f, "-12.0412"},
        {kLeveller, 1.0f, "0.000000"},
        {kTransient, 1.0f, "0.500000"},
        {kTransient, 0.0f, "0.000000"},
        {kRelease, 0.5f, "50.00000"},
        {kRelease, 1.0f, "1000.000"},
        {kRelease, 0.0f, "1.000000"},
        {kLink, 1.0f, "100.0000"},
        {kLink, 0.0f, "0.000000"},
        {kLink, 0.33f, "33.00000"},
        {kTransShape, 0.0f, "hard"},
        {kTransShape, 0.33333331f, "hard"},
        {kTransShape, 0.33333334f, "med"},
        {kTransShape, 0.5f, "med"},
        {kTransShape, 0.66666669f, "soft"},
        {kTransShape, 1.0f, "soft"},
        {kOversample, 0.499f, "off"},
        {kOversample, 0.5f, "on"},
        {kDetectorOrder, 0.25f, "I"},
        {kDetectorOrder, 1.0f, "II"},
        {kPower, 0.0f, "off"},
        {kPower, 1.0f, "on"},
        {kScale, 0.0f, "K-12"},
        {kScale, 0.5f, "K-14"},
        {kScale, 1.0f, "K-20"},
        {kBits, 0.165f, "8"},
        {kBits, 0.5f, "16"},
        {kBits, 0.825f, "24"},
        {kNoiseShape, 0.125f, "off"},
        {kNoiseShape, 0.375f, "type A"},
        {kNoiseShape, 0.625f, "type B"},
        {kNoiseShape, 0.875f, "type C"},
        {kCalibrate, 0.0f, "off"},
        {kCalibrate, 0.3f, "left"},
        {kCalibrate, 0.6f, "l+r uncor"},
        {kCalibrate, 1.0f, "right"},
        {kMeterOvs, 0.75f, "on"},
        {kAutoOut, 0.25f, "off"},
        {kQuantize, 0.75f, "on"},
        {kAutoblack, 0.0f, "off"},
        {kMeterType, 0.25f, "peak"},
        {kMeterType, 0.75f, "k-system"},
        {kAttZoom, 0.25f, "24dB"},
        {kAttZoom, 0.75f, "12dB"},
        {kPostMeter, 0.25f, "pre"},
        {kPostMeter, 0.75f, "post"},
        {kAttShow, centre(5, 8), "1L"},
        {kAttShow, 0.0f, ""},
        {kAttShow, centre(3, 8), "12"},
        {kAttShow, 1.0f, "12L"},
        {kAttShow, centre(2, 8), "2"},
        {kAttShow, centre(4, 8), "L"},
        {kDummy1, 0.7f, ""},
        {kDummy3, 0.7f, ""},
        {kResvdVid, 0.5f, ""},
        // Out-of-range values derive from the value limited to 0..1 (NaN as 0).
        {kScale, 7.0f, "K-20"},
        {kScale, -3.0f, "K-12"},
        {kScale, nan, "K-12"},
        {kNoiseShape, -1e30f, "off"},
        {kAttShow, 2.0f, "12L"},
        {kOutput, 5.0f, "0.000000"},
        {kOutput, nan, "-12.0412"},
        {kRelease, -1.0f, "1.000000"},
        {kLink, 1.5f, "100.0000"},
    };
    for (const Case& c : cases) {
        const std::string text = display(c.index, c.value);
        if (kParameters[c.index].kind == ParamKind::Decibels)
            expectDecibelText(text, c.text);
        else
            EXPECT_EQ(text, c.text) << kParameters[c.index].name << " at " << c.value;
    }
}

TEST_F(PluginTest, NamesAndLabelsComeFromTheTable) {
    for (int i = -2; i < 28; ++i) {
        char name[64], label[64];
        std::memset(name, 0x5A, sizeof(name));
        std::memset(label, 0x5A, sizeof(label));
        plugin().getParameterName(i, name);
        plugin().getParameterLabel(i, label);
        const ParameterInfo* info = parameterInfo(i);
        EXPECT_STREQ(name, info ? info->name : "") << i;
        EXPECT_STREQ(label, info ? info->label : "") << i;
    }
    char label[8];
    for (int i : {0, 1, 13}) {
        plugin().getParameterLabel(i, label);
        EXPECT_STREQ(label, "dB");
    }
    for (int i : {2, 3}) {
        plugin().getParameterLabel(i, label);
        EXPECT_STREQ(label, "ms");
    }
}

TEST_F(PluginTest, GetParameterAnswersTheValueAsSet) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (int i = 0; i < kNumLiveParameters; ++i) {
        for (float v : {0.999f, 0.0f, 0.3f, 7.0f, -2.0f}) {
            plugin().setParameter(i, v);
            EXPECT_EQ(plugin().getParameter(i), v) << i;
        }
    }
    plugin().setParameter(kScale, nan);
    EXPECT_TRUE(std::isnan(plugin().getParameter(kScale)));
    plugin().setParameter(kResvdVid, 0.5f);
    EXPECT_EQ(plugin().getParameter(kResvdVid), 0.015f);
    plugin().setParameter(kDummy1, 0.7f);
    EXPECT_EQ(plugin().getParameter(kDummy1), 0.0f);
    EXPECT_EQ(plugin().getParameter(-1), 0.0f);
    EXPECT_EQ(plugin().getParameter(26), 0.0f);
}

TEST_F(PluginTest, DerivedValuesFollowTheMappings) {
    PluginProbe& p = plugin();
    p.setParameter(kOutput, 0.25f);
    EXPECT_EQ(p.core().outputGain(), outputGainFor(0.25));
    p.setParameter(kDrive, 0.75f);
    EXPECT_EQ(p.core().driveGain(), 4.0);
    p.setParameter(kLeveller, 0.0f);
    EXPECT_EQ(p.core().levellerLevel(), 0.25);
    p.setParameter(kLink, 0.33f);
    EXPECT_EQ(p.core().linkAmount(), double(0.33f));
    p.setParameter(kTransient, 0.7f);
    EXPECT_EQ(p.core().transientAmount(), transientAmountFor(double(0.7f)));
    p.setParameter(kRelease, 0.61f);
    EXPECT_EQ(p.core().releaseTime(), releaseTimeFor(double(0.61f)));
    p.setParameter(kPower, 0.4f);
    EXPECT_EQ(p.core().powerGain(), 0.0);
    p.setParameter(kPower, 0.6f);
    EXPECT_EQ(p.core().powerGain(), 1.0);
    for (float x : {0.1f, 0.5f, 0.9f}) {
        p.setParameter(kBits, x);
        EXPECT_EQ(p.core().wordLength(), 8 * (1 + step(x, 3)));
    }
    p.setParameter(kAttShow, centre(6, 8));
    EXPECT_EQ(p.core().choice(kAttShow), 6);
    EXPECT_EQ(p.core().choice(kOutput), 0);
    EXPECT_EQ(p.core().choice(99), 0);
}

// ---------------------------------------------------------------------------------------------
// Legacy conversion

struct LegacyCase {
    float bits, scale;
    float quantize, newBits, meterType, newScale;
};

TEST_F(PluginTest, LegacyMarkerConvertsBitsAndScale) {
    const LegacyCase cases[] = {
        {0.6f, 0.9f, 0.75f, centre(1, 3), 0.75f, centre(2, 3)}, // 16 bits, K-20
        {0.1f, 0.1f, 0.25f, centre(1, 3), 0.25f, centre(1, 3)}, // off, peak
        {0.3f, 0.3f, 0.75f, centre(0, 3), 0.75f, centre(0, 3)}, // 8 bits, K-12
        {1.0f, 0.5f, 0.75f, centre(2, 3), 0.75f, centre(1, 3)}, // 24 bits, K-14
    };
    for (const LegacyCase& c : cases) {
        PluginProbe& p = plugin();
        p.setParameter(kAutoblack, 1.0f);
        p.setParameter(kAttShow, 0.0f);
        p.setParameter(kAttZoom, 1.0f);
        p.setParameter(kPostMeter, 0.0f);
        p.setParameter(kBits, c.bits);
        p.setParameter(kScale, c.scale);
        p.setParameter(kResvdVid, 0.005f);
        EXPECT_EQ(p.getParameter(kAutoblack), 0.25f);
        EXPECT_EQ(p.getParameter(kQuantize), c.quantize) << c.bits;
        EXPECT_EQ(p.getParameter(kBits), c.newBits) << c.bits;
        EXPECT_EQ(p.getParameter(kAttShow), 0.9375f);
        EXPECT_EQ(p.getParameter(kAttZoom), 0.25f);
        EXPECT_EQ(p.getParameter(kPostMeter), 0.75f);
        EXPECT_EQ(p.getParameter(kMeterType), c.meterType) << c.scale;
        EXPECT_EQ(p.getParameter(kScale), c.newScale) << c.scale;
        // The current slot (0) records the converted values and the incoming marker.
        const presets::PresetSlot* slot = p.presetSlot(0);
        for (int i = 0; i < kNumLiveParameters; ++i)
            EXPECT_EQ(slot->values[i], p.getParameter(i)) << i;
        EXPECT_EQ(slot->values[kResvdVid], 0.005f);
    }
}

TEST_F(PluginTest, TheSpecimenOlderPresetReadsBackAsDescribed) {
    PluginProbe& p = plugin();
    p.setParameter(kBits, 0.6f);
    p.setParameter(kScale, 0.9f);
    p.setParameter(kResvdVid, 0.0f);
    EXPECT_EQ(display(kQuantize), "on");
    EXPECT_EQ(display(kBits), "16");
    EXPECT_EQ(display(kMeterType), "k-system");
    EXPECT_EQ(display(kScale), "K-20");
    EXPECT_EQ(display(kPostMeter), "post");
    EXPECT_EQ(display(kAttZoom), "24dB");
    EXPECT_EQ(display(kAttShow), "12L");
    EXPECT_EQ(display(kAutoblack), "off");
}

TEST_F(PluginTest, CurrentLayoutMarkerChangesOnlyTheSlotRecord) {
    PluginProbe& p = plugin();
    p.setParameter(kBits, 0.1f);
    p.setParameter(kScale, 0.1f);
    std::vector<float> before;
    for (int i = 0; i < kNumParameters; ++i)
        before.push_back(p.getParameter(i));
    for (float marker : {0.01f, 0.015f, 0.5f, 1.0f}) {
        p.setParameter(kResvdVid, marker);
        for (int i = 0; i < kNumParameters; ++i)
            EXPECT_EQ(p.getParameter(i), before[i]) << i;
        EXPECT_EQ(p.presetSlot(0)->values[kResvdVid], marker);
    }
}

TEST_F(PluginTest, SelectingAnOlderPresetConvertsItInItsSlotAndTheEditBuffer) {
    PluginProbe& p = plugin();
    presets::PresetSlot& slot = *p.presetSlot(5);
    slot.values[kBits] = 0.6f;
    slot.values[kScale] = 0.9f;
    slot.values[kResvdVid] = 0.005f;
    p.selectPreset(5);
    for (const presets::PresetSlot* s : {p.presetSlot(5), p.presetSlot(0)}) {
        EXPECT_EQ(s->values[kQuantize], 0.75f);
        EXPECT_EQ(s->values[kBits], centre(1, 3));
        EXPECT_EQ(s->values[kMeterType], 0.75f);
        EXPECT_EQ(s->values[kScale], centre(2, 3));
        EXPECT_EQ(s->values[kPostMeter], 0.75f);
        EXPECT_EQ(s->values[kAttZoom], 0.25f);
        EXPECT_EQ(s->values[kAttShow], 0.9375f);
        EXPECT_EQ(s->values[kAutoblack], 0.25f);
        EXPECT_EQ(s->values[kResvdVid], 0.005f);
    }
    EXPECT_EQ(display(kBits), "16");
}

// ---------------------------------------------------------------------------------------------
// Sample rate

double onePoleReference(double ms, double fs) {
    return 1.0 - std::exp(-1000.0 / (ms * fs));
}

void expectCoefficientsFor(const LimiterCore& p, double fs) {
    const double r = p.releaseTime();
    for (int i = 0; i < LimiterCore::kFollowerStages; ++i) {
        const double attackMs = 32.0 - i * (31.0 / 7.0);
        const double releaseMs = r + (2.0 - r) * i / 7.0;
        EXPECT_NEAR(p.attackCoefficient(i), onePoleReference(attackMs, fs), 1e-15) << i;
        EXPECT_NEAR(p.releaseCoefficient(i), onePoleReference(releaseMs, fs), 1e-15) << i;
    }
    EXPECT_NEAR(p.attackCoefficient(7), onePoleReference(1.0, fs), 1e-15);
    EXPECT_NEAR(p.releaseCoefficient(7), onePoleReference(2.0, fs), 1e-15);
    EXPECT_DOUBLE_EQ(p.rampCoefficient(), 1.0 - std::exp(-2.0 * 3.14159265358979323846 * 30.0 / fs));
    EXPECT_DOUBLE_EQ(p.fadeCoefficient(), onePoleReference(10.0, fs));
    EXPECT_DOUBLE_EQ(p.levelCoefficient(), onePoleReference(1000.0, fs));
    // A step decays to 1 % in 600 ms.
    EXPECT_NEAR(std::pow(1.0 - p.rmsCoefficient(), 0.6 * fs), 0.01, 1e-9);
}

TEST_F(PluginTest, SampleRateSetsShiftWindowAndLatency) {
    struct Case {
        float rate;
        int integer;
        int shift;
        int latency;
    };
    const Case cases[] = {
        {96000.0f, 96000, 1, 287},
        {192000.0f, 192000, 2, 543},
        {44100.0f, 44100, 0, 159},
        {48000.0f, 48000, 0, 159},
        {80000.0f, 80000, 1, 287},
        {79999.9f, 79999, 0, 159},
        {170000.0f, 170000, 2, 543},
        {169999.0f, 169999, 1, 287},
        {88200.0f, 88200, 1, 287},
        {176400.0f, 176400, 2, 543},
        {44100.9f, 44100, 0, 159},
        {4000.0f, 44100, 0, 159},
        {250000.0f, 44100, 0, 159},
        {5000.0f, 5000, 0, 159},
        {4999.9f, 44100, 0, 159},
        {200000.9f, 200000, 2, 543},
        {200001.0f, 44100, 0, 159},
        {-96000.0f, 44100, 0, 159},
        {std::numeric_limits<float>::quiet_NaN(), 44100, 0, 159},
        {std::numeric_limits<float>::infinity(), 44100, 0, 159},
    };
    PluginProbe& p = plugin();
    for (const Case& c : cases) {
        p.setSampleRate(96000.0f); // start from another rate each time
        p.setSampleRate(44100.0f);
        p.setSampleRate(c.rate);
        EXPECT_EQ(p.core().integerSampleRate(), c.integer) << c.rate;
        EXPECT_EQ(p.core().fs(), double(c.integer));
        EXPECT_EQ(p.core().rateShift(), c.shift) << c.rate;
        EXPECT_EQ(p.core().lookAheadLength(), 128 << c.shift);
        EXPECT_EQ(p.core().latency(), c.latency);
        EXPECT_EQ(p.getAeffect()->initialDelay, c.latency) << c.rate;
        if (!std::isnan(c.rate)) {
            EXPECT_EQ(p.getSampleRate(), c.rate); // the host's value stays
        }
        expectCoefficientsFor(p.core(), c.integer);
    }
}

TEST_F(PluginTest, SampleRateChangesNeverCallTheHost) {
    PluginProbe& p = plugin();
    hostCalls().clear();
    for (float rate : {96000.0f, 192000.0f, 44100.0f, 4000.0f})
        p.dispatcher(effSetSampleRate, 0, 0, nullptr, rate);
    EXPECT_TRUE(hostCalls().empty());
}

TEST_F(PluginTest, KernelAndGainDelayFollowShapeAndRate) {
    struct Case {
        float rate;
        float shape;
        int kernel;
        int gainDelay;
    };
    const Case cases[] = {
        {44100.0f, 0.1f, 8, 114},   {44100.0f, 0.5f, 16, 98},   {44100.0f, 0.9f, 64, 2},
        {96000.0f, 0.1f, 16, 226},  {96000.0f, 0.5f, 32, 194},  {96000.0f, 0.9f, 128, 2},
        {192000.0f, 0.1f, 32, 450}, {192000.0f, 0.5f, 64, 386}, {192000.0f, 0.9f, 256, 2},
    };
    for (const Case& c : cases) {
        // Both orders: shape first, rate first.
        PluginProbe& p = plugin();
        p.setSampleRate(c.rate);
        p.setParameter(kTransShape, c.shape);
        EXPECT_EQ(p.core().kernelLength(), c.kernel) << c.rate << " " << c.shape;
        EXPECT_EQ(p.core().gainDelayLength(), c.gainDelay);
        p.setSampleRate(44100.0f);
        p.setParameter(kTransShape, c.shape);
        p.setSampleRate(c.rate);
        EXPECT_EQ(p.core().kernelLength(), c.kernel) << c.rate << " " << c.shape;
        EXPECT_EQ(p.core().gainDelayLength(), c.gainDelay);
    }
}

TEST_F(PluginTest, EverySampleRateCallResetsButOnlyANewRateTellsTheEditor) {
    PluginProbe& p = plugin();
    auto* editor = new RecordingEditor(&p);
    p.setEditor(editor);
    p.dirty();
    p.setSampleRate(44100.7f);
    p.expectReset();
    EXPECT_TRUE(editor->latencies.empty());
    p.dirty();
    p.setSampleRate(96000.0f);
    p.expectReset();
    p.setSampleRate(96000.5f);
    p.setSampleRate(192000.0f);
    EXPECT_EQ(editor->latencies, (std::vector<int>{287, 543}));
}

TEST_F(PluginTest, ReleaseAndTransientRecomputeTheirCoefficients) {
    PluginProbe& p = plugin();
    p.setSampleRate(48000.0f);
    for (float release : {0.0f, 0.3f, 0.61f, 1.0f}) {
        p.setParameter(kRelease, release);
        expectCoefficientsFor(p.core(), 48000.0);
    }
    // Below 2 ms the release times rise to 2 ms.
    p.setParameter(kRelease, 0.0f);
    EXPECT_NEAR(p.core().releaseCoefficient(0), onePoleReference(1.0, 48000.0), 1e-15);
    EXPECT_GT(p.core().releaseCoefficient(0), p.core().releaseCoefficient(7));
    p.setParameter(kTransient, 0.9f);
    expectCoefficientsFor(p.core(), 48000.0);
}

TEST_F(PluginTest, NoiseShaperSetFollowsTypeAndRate) {
    struct Case {
        float rate;
        float type;
        int set; // 0 none, 1 + 6 * (type - 1) + rate index
    };
    const Case cases[] = {
        {44100.0f, 0.375f, 1},   {48000.0f, 0.375f, 2},  {88200.0f, 0.375f, 3}, {96000.0f, 0.375f, 4},
        {176400.0f, 0.375f, 5},  {192000.0f, 0.375f, 6}, {44100.0f, 0.625f, 7}, {176400.0f, 0.625f, 11},
        {192000.0f, 0.875f, 18}, {44100.0f, 0.125f, 0},  {96000.0f, 0.0f, 0},
    };
    PluginProbe& p = plugin();
    EXPECT_EQ(p.core().activeNoiseShaperSet(), 0);
    for (const Case& c : cases) {
        // Type after rate, and rate after type.
        p.setSampleRate(c.rate);
        p.setParameter(kNoiseShape, c.type);
        EXPECT_EQ(p.core().activeNoiseShaperSet(), c.set) << c.rate << " " << c.type;
        p.setSampleRate(32000.0f);
        p.setParameter(kNoiseShape, 0.0f);
        p.setParameter(kNoiseShape, c.type);
        p.setSampleRate(c.rate);
        EXPECT_EQ(p.core().activeNoiseShaperSet(), c.set) << c.rate << " " << c.type;
    }
}

TEST_F(PluginTest, RatesWithoutShaperTablesKeepThePreviousSet) {
    PluginProbe& p = plugin();
    p.setSampleRate(48000.0f);
    p.setParameter(kNoiseShape, 0.375f);
    ASSERT_EQ(p.core().activeNoiseShaperSet(), 2);
    p.setSampleRate(50000.0f);
    EXPECT_EQ(p.core().activeNoiseShaperSet(), 2);
    p.setParameter(kNoiseShape, 0.875f); // type C at 50 kHz: still the type A set
    EXPECT_EQ(p.core().activeNoiseShaperSet(), 2);
    p.setParameter(kNoiseShape, 0.0f);
    EXPECT_EQ(p.core().activeNoiseShaperSet(), 0);
    p.setParameter(kNoiseShape, 0.875f);
    EXPECT_EQ(p.core().activeNoiseShaperSet(), 0);
}

TEST_F(PluginTest, NoiseShapeChangesRestartTheErrorHistory) {
    PluginProbe& p = plugin();
    p.dirty();
    ASSERT_NE(p.core().noiseShaperPosition(), 0);
    p.setParameter(kNoiseShape, 0.625f);
    EXPECT_EQ(p.core().noiseShaperPosition(), 0);
}

// ---------------------------------------------------------------------------------------------
// State reset

TEST_F(PluginTest, SuspendReturnsTheProcessingStateToItsStart) {
    PluginProbe& p = plugin();
    p.setParameter(kDrive, 0.75f);
    p.setParameter(kOutput, 0.25f);
    p.setParameter(kAutoOut, 1.0f); // the output still starts at "Output", not 1 / drive
    p.setParameter(kPower, 0.0f);
    p.dirty();
    p.dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(p.signal.driveGain(), 4.0);
    EXPECT_EQ(p.signal.outputGain(), outputGainFor(0.25));
    EXPECT_EQ(p.core().powerGain(), 0.0);
    p.expectReset();
}

TEST_F(PluginTest, ResumeChangesNothing) {
    PluginProbe& p = plugin();
    p.dirty();
    hostCalls().clear();
    p.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
    EXPECT_TRUE(p.isDirty());
    EXPECT_TRUE(hostCalls().empty());
}

TEST_F(PluginTest, OnlyANewTransShapeChoiceResets) {
    PluginProbe& p = plugin();
    p.setParameter(kTransShape, 0.9f);
    p.dirty();
    p.setParameter(kTransShape, 0.7f); // still "soft"
    EXPECT_TRUE(p.isDirty());
    EXPECT_EQ(p.getParameter(kTransShape), 0.7f);
    p.setParameter(kTransShape, 0.2f);
    p.expectReset();
    EXPECT_EQ(p.core().kernelLength(), 8);
}

TEST_F(PluginTest, AttShowResetsOnlyTheDisplayedGain) {
    PluginProbe& p = plugin();
    p.dirty();
    p.setParameter(kAttShow, centre(3, 8));
    EXPECT_EQ(p.signal.meters.displayedGain[0], 1.0);
    EXPECT_EQ(p.signal.meters.displayedGain[1], 1.0);
    EXPECT_GT(p.signal.meters.inPeak[0], 0.0);
    EXPECT_TRUE(p.isDirty());
}

// ---------------------------------------------------------------------------------------------
// Editor and preset system

TEST_F(PluginTest, ChangesReachThePresetSlotsAndTheEditor) {
    PluginProbe& p = plugin();
    auto* editor = new RecordingEditor(&p);
    p.setEditor(editor);
    p.selectPreset(7);
    editor->parameters.clear();
    p.setParameter(kRelease, 0.42f);
    p.setParameter(40, 0.5f); // out of range: only passed on
    EXPECT_EQ(p.presetSlot(7)->values[kRelease], 0.42f);
    EXPECT_EQ(p.presetSlot(0)->values[kRelease], 0.42f);
    EXPECT_EQ(editor->parameters, (std::vector<std::pair<int, float>>{{kRelease, 0.42f}, {40, 0.5f}}));

    char name[] = "A name longer than twenty-four characters";
    p.setProgramName(name);
    EXPECT_EQ(editor->names, std::vector<std::string>{"A name longer than twent"});
    p.loadUserDefaults();
    EXPECT_EQ(editor->userDefaults, 1);
}

// ---------------------------------------------------------------------------------------------
// Construction

TEST_F(PluginTest, ConstructionEndsWithTheEditBufferApplied) {
    PluginProbe& p = plugin();
    const presets::FactoryPreset& current = presets::kFactoryPresets[0];
    for (int i = 0; i < kNumLiveParameters; ++i)
        EXPECT_EQ(p.getParameter(i), current.values[i]) << i;
    EXPECT_EQ(p.getParameter(kResvdVid), 0.015f);
    EXPECT_EQ(p.getCurrentPresetIndex(), 0);
    EXPECT_EQ(p.getProgram(), 0);
    EXPECT_EQ(p.getAeffect()->initialDelay, 159);
    EXPECT_EQ(p.core().integerSampleRate(), 44100);
    EXPECT_EQ(p.core().kernelLength(), 8); // the edit buffer is "hard"
    EXPECT_EQ(p.core().gainDelayLength(), 114);
    EXPECT_EQ(p.core().activeNoiseShaperSet(), 0);
    expectCoefficientsFor(p.core(), 44100.0);
    // Applying slot 0 reset the state ("TransShape" changed from its default).
    p.expectReset();
    // The host hears of it once: the display refresh that ends the slot selection.
    EXPECT_EQ(hostCalls(), std::vector<VstInt32>{audioMasterUpdateDisplay});
}

std::atomic<bool> rateChanged{false};
std::atomic<bool> rateChangedDuringConstruction{false};
std::thread rateChanger;

VstIntPtr racingHost(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
    if (opcode == audioMasterUpdateDisplay && !rateChanger.joinable()) {
        // Another thread asks for a new rate while the constructor still runs.
        rateChanger = std::thread([effect] {
            effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 96000.0f);
            rateChanged = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        rateChangedDuringConstruction = rateChanged.load();
    }
    return 0;
}

TEST_F(PluginTest, ConstructionHoldsTheEngineMutexToTheEnd) {
    auto plugin = std::make_unique<Plugin>(racingHost);
    rateChanger.join();
    EXPECT_FALSE(rateChangedDuringConstruction);
    EXPECT_TRUE(rateChanged);
    EXPECT_EQ(plugin->getAeffect()->initialDelay, 287);
}

// ---------------------------------------------------------------------------------------------
// Metering preferences

void storePreference(const char* name, std::uint32_t type, const void* data, std::size_t size) {
    platform::RegistryKey key;
    ASSERT_TRUE(key.create(presets::kPreferencesKey));
    ASSERT_TRUE(key.write(name, type, data, size));
}

void storePreference(const char* name, std::int32_t value) {
    storePreference(name, platform::kRegistryDword, &value, sizeof(value));
}

TEST_F(PluginTest, WithoutStoredPreferencesTheEditBufferRules) {
    const presets::FactoryPreset& current = presets::kFactoryPresets[0];
    for (int i : {kScale, kMeterType, kAttZoom, kAttShow, kMeterOvs, kPostMeter})
        EXPECT_EQ(plugin().getParameter(i), current.values[i]) << i;
}

TEST_F(PluginTest, StoredPreferencesApplyAtTheirChoiceCentres) {
    storePreference("Metering_Scale", 2);
    storePreference("Metering_Type", 1);
    storePreference("Metering_Zoom", 1);
    storePreference("Metering_AttShow", 3);
    storePreference("Metering_Recon", 1);
    storePreference("Metering_Post", 1);
    PluginProbe& p = plugin();
    EXPECT_EQ(p.getParameter(kScale), centre(2, 3));
    EXPECT_EQ(p.getParameter(kMeterType), 0.75f);
    EXPECT_EQ(p.getParameter(kAttZoom), 0.75f);
    EXPECT_EQ(p.getParameter(kAttShow), 0.4375f);
    EXPECT_EQ(p.getParameter(kMeterOvs), 0.75f);
    EXPECT_EQ(p.getParameter(kPostMeter), 0.75f);
    EXPECT_EQ(display(kAttShow), "12");
    EXPECT_EQ(display(kScale), "K-20");
    // Recorded in the edit buffer, which construction applied last.
    EXPECT_EQ(p.presetSlot(0)->values[kAttShow], 0.4375f);
    EXPECT_EQ(p.presetSlot(0)->values[kScale], centre(2, 3));
    // The factory slots keep their values.
    EXPECT_EQ(p.presetSlot(1)->values[kAttShow], 0.9375f);
}

TEST_F(PluginTest, OutOfRangePreferencesStayInsideTheChoices) {
    storePreference("Metering_Scale", 5);
    storePreference("Metering_AttShow", -7);
    storePreference("Metering_Type", std::numeric_limits<std::int32_t>::max());
    PluginProbe& p = plugin();
    EXPECT_EQ(p.getParameter(kScale), centre(2, 3)); // the nearest choice, not centre(5, 3)
    EXPECT_EQ(display(kScale), "K-20");
    EXPECT_EQ(display(kAttShow), "");
    EXPECT_EQ(display(kMeterType), "k-system");
}

TEST_F(PluginTest, PreferencesOfAnotherSizeAreSkippedWhateverTheirType) {
    const unsigned char two[2] = {1, 0};
    const unsigned char eight[8] = {1, 0, 0, 0, 0, 0, 0, 0};
    const std::int32_t four = 1;
    storePreference("Metering_Type", platform::kRegistryBinary, two, sizeof(two));
    storePreference("Metering_Zoom", platform::kRegistryBinary, eight, sizeof(eight));
    storePreference("Metering_Recon", platform::kRegistryString, "1", 2);
    storePreference("Metering_Post", platform::kRegistryBinary, &four,
                    sizeof(four)); // the type is not examined
    storePreference("Metering_Scale", platform::kRegistryNone, nullptr, 0);
    PluginProbe& p = plugin();
    const presets::FactoryPreset& current = presets::kFactoryPresets[0];
    EXPECT_EQ(p.getParameter(kMeterType), current.values[kMeterType]);
    EXPECT_EQ(p.getParameter(kAttZoom), current.values[kAttZoom]);
    EXPECT_EQ(p.getParameter(kMeterOvs), current.values[kMeterOvs]);
    EXPECT_EQ(p.getParameter(kScale), current.values[kScale]);
    EXPECT_EQ(p.getParameter(kPostMeter), 0.75f);
}

} // namespace
