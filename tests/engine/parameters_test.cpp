// The shared choice rules, the mappings and the two number formats, as pure functions.
#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "engine/parameters.h"
#include "tests/support/comma_locale.h"

using namespace engine;

namespace {

// dB texts come from the platform's log10f, whose last bit may differ from one C library to the
// next; where that changes the last digit, the platform's answer is accepted.
void expectDecibelText(const std::string& actual, const std::string& expected) {
    if (actual == expected) return;
    ASSERT_EQ(actual.size(), expected.size()) << actual << " vs " << expected;
    EXPECT_EQ(actual.substr(0, actual.size() - 1), expected.substr(0, expected.size() - 1));
    EXPECT_EQ(std::abs(actual.back() - expected.back()), 1) << actual << " vs " << expected;
}

std::string number(float value) {
    char text[32];
    std::memset(text, 0x5A, sizeof(text));
    formatNumber(value, text);
    EXPECT_LE(std::strlen(text), std::size_t(kMaxNumberText));
    return text;
}

std::string decibels(double gain) {
    char text[32];
    formatDecibels(gain, text);
    return text;
}

TEST(Step, SelectsTheChoiceOfASinglePrecisionProduct) {
    struct Case {
        float x;
        int n;
        int expected;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {0.0f, 2, 0},         {0.499f, 2, 0},
        {0.5f, 2, 1},         {1.0f, 2, 1},
        {0.5f, 3, 1},         {1.0f, 3, 2},
        {0.999f, 3, 2},       {0.33333331f, 3, 0},
        {0.33333334f, 3, 1},  {0.6666666f, 3, 1},
        {0.66666669f, 3, 2},  {0.125f, 4, 0},
        {0.375f, 4, 1},       {0.9375f, 8, 7},
        {0.0099999f, 100, 0}, {0.01f, 100, 1},
        {0.015f, 100, 1},     {7.0f, 3, 2},
        {1e30f, 3, 2},        {-0.1f, 3, 0},
        {-0.5f, 3, -1},       {-1e30f, 3, std::numeric_limits<int>::min()},
        {nan, 3, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(step(c.x, c.n), c.expected) << c.x << " of " << c.n;
}

TEST(Centre, IsTheFloatSumOfKOverNAndAHalfStep) {
    EXPECT_EQ(std::bit_cast<std::uint32_t>(centre(2, 3)), std::bit_cast<std::uint32_t>(0.833333373f));
    EXPECT_EQ(centre(7, 8), 0.9375f);
    EXPECT_EQ(centre(0, 4), 0.125f);
    EXPECT_EQ(centre(1, 3), 0.5f);
    EXPECT_EQ(centre(3, 8), 0.4375f);
    // Every centre lies inside its own choice.
    for (int n = 1; n <= 100; ++n)
        for (int k = 0; k < n; ++k)
            ASSERT_EQ(step(centre(k, n), n), k) << k << " of " << n;
}

TEST(Table, HoldsTheNamesLabelsAndChoices) {
    struct Row {
        const char* name;
        const char* label;
        int choices;
    };
    const Row rows[kNumParameters] = {
        {"Output", "dB", 0},   {"Drive", "dB", 0},    {"Transient", "ms", 0}, {"Release", "ms", 0},
        {"TransShape", "", 3}, {"L/R Link", "", 0},   {"Oversample", "", 2},  {"DetectorOrder", "", 2},
        {"Power", "", 2},      {"Scale", "", 3},      {"Bits", "", 3},        {"NoiseShape", "", 4},
        {"Calibrate", "", 4},  {"Leveller", "dB", 0}, {"MeterOvs", "", 2},    {"AutoOut", "", 2},
        {"Quantize", "", 2},   {"Autoblack", "", 2},  {"MeterType", "", 2},   {"AttZoom", "", 2},
        {"AttShow", "", 8},    {"PostMeter", "", 2},  {"dummy", "", 0},       {"dummy", "", 0},
        {"dummy", "", 0},      {"resvd-vid", "", 0},
    };
    for (int i = 0; i < kNumParameters; ++i) {
        const ParameterInfo* info = parameterInfo(i);
        ASSERT_NE(info, nullptr);
        EXPECT_STREQ(info->name, rows[i].name);
        EXPECT_LE(std::strlen(info->name), 13u);
        EXPECT_STREQ(info->label, rows[i].label);
        EXPECT_EQ(info->choices, rows[i].choices) << i;
        if (info->kind != ParamKind::Choice) continue;
        for (int k = 0; k < info->choices; ++k)
            EXPECT_NE(info->texts[k], nullptr) << i << " " << k;
    }
    EXPECT_EQ(parameterInfo(-1), nullptr);
    EXPECT_EQ(parameterInfo(26), nullptr);
}

TEST(Table, ChoiceDefaultsLieInTheMiddleOfTheirChoice) {
    for (int i = 0; i < kNumParameters; ++i) {
        const ParameterInfo& info = kParameters[i];
        if (info.choices == 0 || i == kPower) continue;
        const int k = step(info.defaultValue, info.choices);
        EXPECT_EQ(info.defaultValue, centre(k, info.choices)) << info.name;
    }
    EXPECT_EQ(step(kParameters[kTransShape].defaultValue, 3), 2);
    EXPECT_EQ(kParameters[kAttShow].defaultValue, 0.9375f);
    EXPECT_EQ(kParameters[kRelease].defaultValue, 0.61f);
    EXPECT_EQ(kParameters[kPower].defaultValue, 1.0f);
}

TEST(Mapping, FollowsTheFormulas) {
    for (double x : {0.0, 0.1, 0.25, 0.5, 0.61, 0.9, 1.0}) {
        EXPECT_DOUBLE_EQ(outputGainFor(x), std::exp2(2.0 * (x - 1.0)));
        EXPECT_DOUBLE_EQ(driveGainFor(x), std::exp2(8.0 * (x - 0.5)));
        EXPECT_DOUBLE_EQ(transientAmountFor(x), x * x * 1.4142136 * 1.4142136 / 4.0);
        const double release = std::exp(std::log(10.0) * 3.0 * std::pow(x, 0.82030212));
        EXPECT_NEAR(releaseTimeFor(x), release, release * 1e-13);
    }
    EXPECT_EQ(outputGainFor(0.0), 0.25);
    EXPECT_EQ(outputGainFor(1.0), 1.0);
    EXPECT_EQ(driveGainFor(0.5), 1.0);
    EXPECT_EQ(driveGainFor(1.0), 16.0);
    EXPECT_EQ(releaseTimeFor(0.0), 1.0);
    EXPECT_EQ(releaseTimeFor(1.0), 1000.0);
    EXPECT_NEAR(releaseTimeFor(0.5), 50.0, 1e-4);
    EXPECT_NEAR(releaseTimeFor(0.61), 100.0, 0.2);
}

TEST(NumberFormat, WritesEightCharactersWithATruncatedFraction) {
    struct Case {
        float value;
        const char* text;
    };
    const Case cases[] = {
        {100.0f, "100.0000"},      {50.0f, "50.00000"},       {0.125f, "0.125000"},
        {0.0f, "0.000000"},        {-0.0f, "0.000000"},       {1000.0f, "1000.000"},
        {0.5f, "0.500000"},        {1.0f, "1.000000"},        {-12.0412006f, "-12.0412"},
        {-6.0206003f, "-6.02060"}, {24.0824013f, "24.08240"}, {-0.5f, "-0.50000"},
        {9999.99f, "9999.990"},    {0.1239999f, "0.123999"},  {33.0f, "33.00000"},
        {199.98999f, "199.9899"},  {2.9999998f, "2.999999"},  {-24.0824013f, "-24.0824"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(number(c.value), c.text) << c.value;
}

TEST(NumberFormat, StaysBoundedOutsideTheDisplayedRange) {
    EXPECT_EQ(number(1e20f), "99999999.");
    EXPECT_EQ(number(-1e20f), "-99999999.");
    EXPECT_EQ(number(std::numeric_limits<float>::infinity()), "oo");
    EXPECT_EQ(number(-std::numeric_limits<float>::infinity()), "-oo");
    EXPECT_EQ(number(std::numeric_limits<float>::quiet_NaN()), "nan");
    EXPECT_EQ(number(12345.67f), "12345.66"); // 12345.669921875
}

TEST(NumberFormat, IgnoresTheLocale) {
    // A host may switch to a locale with a decimal comma; the texts must not follow it.
    testsupport::CommaLocale comma;
    ASSERT_TRUE(comma) << "no locale with a decimal comma could be had";
    EXPECT_EQ(number(0.125f), "0.125000");
    expectDecibelText(decibels(0.25), "-12.0412");
}

TEST(DecibelFormat, ShowsTwentyLog10OfTheSinglePrecisionGain) {
    struct Case {
        double gain;
        const char* text;
    };
    const Case cases[] = {
        {0.25, "-12.0412"},       {0.5, "-6.02060"}, {16.0, "24.08240"},
        {1.0 / 16.0, "-24.0824"}, {1.0, "0.000000"}, {2.0, "6.020600"},
    };
    for (const Case& c : cases)
        expectDecibelText(decibels(c.gain), c.text);
    for (double silent : {0.0, -1.0, 1e-50, -0.0})
        EXPECT_EQ(decibels(silent), "-oo") << silent;
}

TEST(AttShowFormat, ListsTheSetBits) {
    const char* texts[8] = {"", "1", "2", "12", "L", "1L", "2L", "12L"};
    for (int mask = 0; mask < 8; ++mask) {
        char text[8];
        std::memset(text, 0x5A, sizeof(text));
        formatAttShow(mask, text);
        EXPECT_STREQ(text, texts[mask]);
    }
}

} // namespace
