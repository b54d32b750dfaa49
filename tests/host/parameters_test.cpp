// Parameters, programs and latency as a host sees them through the dispatcher and the record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/registry.h"
#include "platform/registry_sandbox.h"
#include "tests/host/test_host.h"

using namespace vst;
using namespace testhost;

namespace {

// Every instance in this program reads an empty settings store of its own, never the user's.
class EmptySettingsStore : public ::testing::Environment {
public:
    void SetUp() override {
        sandbox = new platform::RegistrySandbox;
        ASSERT_TRUE(sandbox->active());
    }
    void TearDown() override { delete sandbox; }

private:
    platform::RegistrySandbox* sandbox = nullptr;
};
const auto* const emptyStore = ::testing::AddGlobalTestEnvironment(new EmptySettingsStore);

void setParameter(const Instance& fx, int index, float value) {
    fx->setParameter(fx.get(), index, value);
}
float getParameter(const Instance& fx, int index) {
    return fx->getParameter(fx.get(), index);
}

void expectDecibelText(const std::string& actual, const std::string& expected) {
    if (actual == expected) return;
    // The platform's log10f may differ from another C library's in its last bit, which may move
    // the last digit.
    ASSERT_EQ(actual.size(), expected.size()) << actual << " vs " << expected;
    EXPECT_EQ(actual.substr(0, actual.size() - 1), expected.substr(0, expected.size() - 1));
    EXPECT_EQ(std::abs(actual.back() - expected.back()), 1) << actual << " vs " << expected;
}

struct NameCase {
    const char* name;
    const char* label;
};

const NameCase kNames[26] = {
    {"Output", "dB"},  {"Drive", "dB"},    {"Transient", "ms"},   {"Release", "ms"},  {"TransShape", ""},
    {"L/R Link", ""},  {"Oversample", ""}, {"DetectorOrder", ""}, {"Power", ""},      {"Scale", ""},
    {"Bits", ""},      {"NoiseShape", ""}, {"Calibrate", ""},     {"Leveller", "dB"}, {"MeterOvs", ""},
    {"AutoOut", ""},   {"Quantize", ""},   {"Autoblack", ""},     {"MeterType", ""},  {"AttZoom", ""},
    {"AttShow", ""},   {"PostMeter", ""},  {"dummy", ""},         {"dummy", ""},      {"dummy", ""},
    {"resvd-vid", ""},
};

// The edit buffer "Current", which construction applies last.
const float kCurrent[26] = {1.0f,   0.5f, 0.2f,    0.7237f, 0.166667f, 1.0f, 0.0f, 0.0f,  1.0f,
                            0.165f, 0.5f, 0.125f,  0.0f,    1.0f,      0.0f, 0.0f, 0.25f, 0.0f,
                            0.25f,  0.0f, 0.9375f, 0.0f,    0.0f,      0.0f, 0.0f, 0.015f};

TEST(Parameters, NamesAndLabels) {
    Instance fx(library());
    for (int i = 0; i < 26; ++i) {
        EXPECT_EQ(fx.text(effGetParamName, i), kNames[i].name) << i;
        EXPECT_EQ(fx.text(effGetParamLabel, i), kNames[i].label) << i;
    }
    for (int i : {-1, 26, 1000}) {
        EXPECT_EQ(fx.text(effGetParamName, i), "") << i;
        EXPECT_EQ(fx.text(effGetParamLabel, i), "") << i;
        EXPECT_EQ(fx.text(effGetParamDisplay, i), "") << i;
    }
}

TEST(Parameters, StartWithTheEditBuffer) {
    Instance fx(library());
    for (int i = 0; i < 26; ++i)
        EXPECT_EQ(getParameter(fx, i), kCurrent[i]) << kNames[i].name;
    const struct {
        int index;
        const char* text;
    } texts[] = {{0, "0.000000"},  {1, "0.000000"}, {4, "hard"},  {5, "100.0000"}, {6, "off"},
                 {8, "on"},        {9, "K-12"},     {10, "16"},   {11, "off"},     {12, "off"},
                 {13, "0.000000"}, {16, "off"},     {18, "peak"}, {19, "24dB"},    {20, "12L"},
                 {21, "pre"},      {22, ""},        {25, ""}};
    for (const auto& t : texts)
        EXPECT_EQ(fx.text(effGetParamDisplay, t.index), t.text) << kNames[t.index].name;
}

TEST(Parameters, DisplayTexts) {
    struct Case {
        int index;
        float value;
        const char* text;
        bool decibels;
    };
    const Case cases[] = {
        {0, 0.0f, "-12.0412", true},    {0, 0.5f, "-6.02060", true},    {1, 1.0f, "24.08240", true},
        {1, 0.5f, "0.000000", true},    {13, 0.0f, "-12.0412", true},   {2, 1.0f, "0.500000", false},
        {3, 0.5f, "50.00000", false},   {3, 1.0f, "1000.000", false},   {5, 1.0f, "100.0000", false},
        {4, 0.5f, "med", false},        {4, 1.0f, "soft", false},       {7, 1.0f, "II", false},
        {9, 1.0f, "K-20", false},       {10, 0.0f, "8", false},         {11, 0.6f, "type B", false},
        {12, 0.6f, "l+r uncor", false}, {14, 0.5f, "on", false},        {15, 1.0f, "on", false},
        {17, 0.9f, "on", false},        {18, 0.75f, "k-system", false}, {19, 0.75f, "12dB", false},
        {20, 0.6875f, "1L", false},     {20, 0.0f, "", false},          {21, 0.75f, "post", false},
        {23, 0.5f, "", false},
    };
    Instance fx(library());
    for (const Case& c : cases) {
        setParameter(fx, c.index, c.value);
        EXPECT_EQ(getParameter(fx, c.index), c.index < 22 ? c.value : 0.0f);
        const std::string text = fx.text(effGetParamDisplay, c.index);
        if (c.decibels)
            expectDecibelText(text, c.text);
        else
            EXPECT_EQ(text, c.text) << kNames[c.index].name << " at " << c.value;
    }
}

TEST(Parameters, PlaceholdersAndTheLayoutMarkerKeepNoValue) {
    Instance fx(library());
    setParameter(fx, 22, 0.7f);
    setParameter(fx, 25, 0.5f);
    setParameter(fx, 99, 0.5f);
    EXPECT_EQ(getParameter(fx, 22), 0.0f);
    EXPECT_EQ(getParameter(fx, 25), 0.015f);
    EXPECT_EQ(getParameter(fx, 99), 0.0f);
    setParameter(fx, 4, 0.999f);
    EXPECT_EQ(getParameter(fx, 4), 0.999f);
}

TEST(Parameters, OlderLayoutPresetIsConverted) {
    Instance fx(library());
    setParameter(fx, 10, 0.6f);
    setParameter(fx, 9, 0.9f);
    setParameter(fx, 25, 0.005f);
    const struct {
        int index;
        const char* text;
    } texts[] = {{16, "on"},   {10, "16"},   {18, "k-system"}, {9, "K-20"},
                 {21, "post"}, {19, "24dB"}, {20, "12L"},      {17, "off"}};
    for (const auto& t : texts)
        EXPECT_EQ(fx.text(effGetParamDisplay, t.index), t.text) << kNames[t.index].name;
    EXPECT_EQ(getParameter(fx, 25), 0.015f);
}

TEST(Programs, TwentyFourNamedSlotsBehindOneHostProgram) {
    const char* names[24] = {"Current",      "Limiter Smooth",      "Limiter Gentle",
                             "Limiter Fast", "Limiter Hard",        "Loudness 1",
                             "Loudness 2",   "Loudness 3",          "CD Master 1",
                             "CD Master 2",  "CD Master 3 [recon]", "Game 1",
                             "Game 2",       "TV Limiter",          "TV Loudness",
                             "TV Hot",       "HiRes Limiter",       "HiRes Loudness",
                             "Cine 1",       "Cine 2 [recon]",      "Cine 3",
                             "Loud Love",    "Loud It Up",          "Total Disorder"};
    Instance fx(library());
    for (int k = 0; k < 24; ++k) {
        char buffer[64];
        EXPECT_EQ(fx.dispatch(effGetProgramNameIndexed, k, 0, buffer), 1);
        EXPECT_EQ(fx.text(effGetProgramNameIndexed, k), names[k]);
    }
    char buffer[64];
    EXPECT_EQ(fx.dispatch(effGetProgramNameIndexed, 24, 0, buffer), 0);
    EXPECT_EQ(fx.dispatch(effGetProgramNameIndexed, -1, 0, buffer), 0);
    EXPECT_EQ(fx.text(effGetProgramName), "Current");
    EXPECT_EQ(fx.dispatch(effSetProgram, 0, 5), 0);
    EXPECT_EQ(fx.dispatch(effGetProgram), 0);
    EXPECT_EQ(fx.text(effGetProgramName), "Current");
}

TEST(Programs, HostRenamesKeepTwentyFourCharacters) {
    Instance fx(library());
    char name[] = "Thirty characters of new name";
    hostState().clear();
    EXPECT_EQ(fx.dispatch(effSetProgramName, 0, 0, name), 0);
    EXPECT_EQ(fx.text(effGetProgramName), "Thirty characters of new");
    EXPECT_EQ(fx.text(effGetProgramNameIndexed, 0), "Thirty characters of new");
    EXPECT_EQ(fx.text(effGetProgramNameIndexed, 1), "Limiter Smooth");
    EXPECT_EQ(hostState().count(audioMasterUpdateDisplay), 0);
}

TEST(Latency, FollowsTheSampleRateWithoutTellingTheHost) {
    const struct {
        float rate;
        int latency;
    } cases[] = {{96000.0f, 287},  {192000.0f, 543}, {44100.0f, 159},  {48000.0f, 159}, {88200.0f, 287},
                 {176400.0f, 543}, {80000.0f, 287},  {170000.0f, 543}, {44100.9f, 159}, {4000.0f, 159},
                 {96000.0f, 287},  {250000.0f, 159}, {32000.0f, 159}};
    Instance fx(library());
    EXPECT_EQ(fx->initialDelay, 159);
    hostState().clear();
    for (const auto& c : cases) {
        EXPECT_EQ(fx.dispatch(effSetSampleRate, 0, 0, nullptr, c.rate), 0);
        EXPECT_EQ(fx->initialDelay, c.latency) << c.rate;
    }
    EXPECT_TRUE(hostState().calls.empty());
}

TEST(Construction, AsksOnlyForTheVersionAndDisplayRefreshes) {
    // The editor's default bank (selecting slot 0 before it looks at the stored record) and the final
    // selection of slot 0 each ask for a refresh; nothing else reaches the host.
    platform::RegistrySandbox sandbox;
    hostState().clear();
    Instance fx(library());
    ASSERT_EQ(hostState().calls.size(), 4u);
    EXPECT_EQ(hostState().calls[0].opcode, audioMasterVersion);
    EXPECT_EQ(hostState().calls[1].opcode, audioMasterVersion);
    EXPECT_EQ(hostState().calls[2].opcode, audioMasterUpdateDisplay);
    EXPECT_EQ(hostState().calls[3].opcode, audioMasterUpdateDisplay);
}

TEST(Construction, AppliesStoredMeteringPreferences) {
    platform::RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.active());
    {
        platform::RegistryKey key;
        ASSERT_TRUE(key.create("SOFTWARE\\Orvel-soundworks\\Orvelzelmar\\PREFS"));
        const std::int32_t attShow = 3, scale = 2, type = 1;
        ASSERT_TRUE(key.write("Metering_AttShow", platform::kRegistryDword, &attShow, 4));
        ASSERT_TRUE(key.write("Metering_Scale", platform::kRegistryDword, &scale, 4));
        ASSERT_TRUE(key.write("Metering_Type", platform::kRegistryDword, &type, 4));
    }
    Instance fx(library());
    EXPECT_EQ(getParameter(fx, 20), 0.4375f);
    EXPECT_EQ(fx.text(effGetParamDisplay, 20), "12");
    EXPECT_EQ(fx.text(effGetParamDisplay, 9), "K-20");
    EXPECT_EQ(fx.text(effGetParamDisplay, 18), "k-system");
    EXPECT_EQ(getParameter(fx, 19), 0.0f); // not stored: the edit buffer's value
}

TEST(Construction, IgnoresPreferencesOfTheWrongSize) {
    platform::RegistrySandbox sandbox;
    ASSERT_TRUE(sandbox.active());
    {
        platform::RegistryKey key;
        ASSERT_TRUE(key.create("SOFTWARE\\Orvel-soundworks\\Orvelzelmar\\PREFS"));
        const char text[] = "a long string value";
        const unsigned char one = 1;
        ASSERT_TRUE(key.write("Metering_AttShow", platform::kRegistryString, text, sizeof(text)));
        ASSERT_TRUE(key.write("Metering_Type", platform::kRegistryBinary, &one, 1));
    }
    Instance fx(library());
    EXPECT_EQ(getParameter(fx, 20), 0.9375f);
    EXPECT_EQ(getParameter(fx, 18), 0.25f);
}

} // namespace
