// The value fields under the knobs: read-out texts, entry texts and typed numbers (against the C
// library's own formatting and parsing in the "C" locale), the entry gesture through a headless
// window, and the read-out's drawing.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "editor/my_text_edit.h"
#include "engine/parameters.h"
#include "tests/editor/support/controls_fixture.h"
#include "tests/support/comma_locale.h"

using namespace controlstest;
using editor::parseLeadingNumber;
using editor::valueFieldEditText;
using editor::valueFieldParse;
using editor::valueFieldText;

namespace {

using Lines = std::vector<std::string>;

const std::int32_t kFieldTags[] = {engine::kOutput,  engine::kDrive, engine::kTransient,
                                   engine::kRelease, engine::kLink,  engine::kLeveller};

std::string printed(const char* format, double v) {
    char text[64];
    std::snprintf(text, sizeof text, format, v);
    return text;
}

// The read-out and entry texts straight from the table of formats, through printf.
std::string referenceText(std::int32_t tag, float value, bool entry) {
    double x = value;
    switch (tag) {
    case engine::kOutput:
        return printed(entry ? "%.2f" : "%+.2fdB", (x - 1.0) * 12.0);
    case engine::kDrive:
        return printed(entry ? "%.2f" : "%+.2fdB", (x - 0.5) * 48.0);
    case engine::kTransient:
    case engine::kLink:
        return printed(entry ? "%.1f" : "%.1f%%", x * 100.0);
    case engine::kRelease:
        return printed(entry ? "%.1f" : "%.1fms", std::pow(10.0, 3.0 * std::pow(x, 0.82030212)));
    default: // Leveller
        if (value == 1.0f) return "off";
        return printed(entry ? "%.2f" : "%+.2fdB", (x - 1.0) * 12.0);
    }
}

} // namespace

TEST(ValueFieldText, KnownValues) {
    struct Case {
        std::int32_t tag;
        float value;
        const char *shown, *entry;
    };
    const Case cases[] = {
        {engine::kOutput, 1.0f, "+0.00dB", "0.00"},
        {engine::kOutput, 0.5f, "-6.00dB", "-6.00"},
        {engine::kOutput, 0.0f, "-12.00dB", "-12.00"},
        {engine::kDrive, 0.5f, "+0.00dB", "0.00"},
        {engine::kDrive, 0.0f, "-24.00dB", "-24.00"},
        {engine::kDrive, 1.0f, "+24.00dB", "24.00"},
        {engine::kTransient, 0.2f, "20.0%", "20.0"},
        {engine::kLink, 1.0f, "100.0%", "100.0"},
        {engine::kRelease, 0.0f, "1.0ms", "1.0"},
        {engine::kRelease, 1.0f, "1000.0ms", "1000.0"},
        {engine::kLeveller, 1.0f, "off", "off"},
        {engine::kLeveller, 0.5f, "-6.00dB", "-6.00"},
        {engine::kLeveller, 0.99999994f, "-0.00dB", "-0.00"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(valueFieldText(c.tag, c.value), c.shown) << c.tag << " " << c.value;
        EXPECT_EQ(valueFieldEditText(c.tag, c.value), c.entry) << c.tag << " " << c.value;
    }
}

TEST(ValueFieldText, AgreesWithPrintfOverTheWholeRange) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> uniform(0.0f, 1.0f);
    for (std::int32_t tag : kFieldTags)
        for (int i = 0; i < 3000; ++i) {
            float v = i < 1001 ? float(i) / 1000.0f : uniform(random);
            ASSERT_EQ(valueFieldText(tag, v), referenceText(tag, v, false)) << tag << " " << v;
            ASSERT_EQ(valueFieldEditText(tag, v), referenceText(tag, v, true)) << tag << " " << v;
        }
}

TEST(ValueFieldParse, TypedTextIsClampedToTheParametersRange) {
    struct Case {
        std::int32_t tag;
        const char* text;
        float value;
    };
    const float tenMs = float(std::pow(1.0 / 3.0, 1.2190630447230832));
    const Case cases[] = {
        {engine::kDrive, "-30", 0.0f},
        {engine::kDrive, "12dB", 0.75f},
        {engine::kDrive, "+6", 0.625f},
        {engine::kDrive, "1e400", 1.0f},
        {engine::kDrive, "--5", 0.5f},
        {engine::kDrive, "", 0.5f},
        {engine::kOutput, " -6.5", float((-6.5 + 12.0) / 12.0)},
        {engine::kOutput, "3", 1.0f},
        {engine::kOutput, "1,5", 1.0f},
        {engine::kOutput, "-", 1.0f},
        {engine::kLeveller, "OFF", 1.0f},
        {engine::kLeveller, "oFf", 1.0f},
        {engine::kLeveller, "-12", 0.0f},
        {engine::kLeveller, "-3", 0.75f},
        {engine::kLeveller, "offset", 1.0f},
        {engine::kRelease, "abc", 0.0f},
        {engine::kRelease, "1000", 1.0f},
        {engine::kRelease, "5000ms", 1.0f},
        {engine::kRelease, "10", tenMs},
        {engine::kTransient, ".5", 0.005f},
        {engine::kTransient, "inf", 1.0f},
        {engine::kTransient, "nan", 0.0f},
        {engine::kLink, "-infinity", 0.0f},
        {engine::kLink, "50", 0.5f},
    };
    for (const Case& c : cases)
        EXPECT_EQ(valueFieldParse(c.tag, c.text, 0.3f), c.value) << c.tag << " \"" << c.text << "\"";
    // A tag without a field keeps the value.
    EXPECT_EQ(valueFieldParse(engine::kPower, "1", 0.3f), 0.3f);
}

TEST(ValueFieldParse, LeadingNumberAgreesWithStrtod) {
    const char* texts[] = {"0",       "-0",      "12",     "  \t-3.25xyz",
                           "+.5",     "5.",      "1e3",    "1e",
                           "1e+",     "-2.5E-2", "007",    "1.2.3",
                           "e5",      "abc",     "",       " ",
                           "+",       "-.",      "12dB",   "0.125ms",
                           "1e-5000", "1e500",   "-1e500", "123456789012345678901234567890",
                           "\n42"};
    for (const char* t : texts)
        EXPECT_EQ(parseLeadingNumber(t), std::strtod(t, nullptr)) << "\"" << t << "\"";
}

TEST(ValueFieldText, IndependentOfTheHostsNumericLocale) {
    // A host may set a locale with a decimal comma; the fields must not follow it.
    std::string shown, entry;
    float parsed = 0.0f;
    double number = 0.0;
    {
        testsupport::CommaLocale comma;
        ASSERT_TRUE(comma) << "no locale with a decimal comma could be had";
        shown = valueFieldText(engine::kOutput, 0.5f);
        entry = valueFieldEditText(engine::kRelease, 0.5f);
        parsed = valueFieldParse(engine::kOutput, "-6.5", 0.0f);
        number = parseLeadingNumber("2.75");
    }
    // The reference texts are printed in the "C" locale again.
    EXPECT_EQ(shown, "-6.00dB");
    EXPECT_EQ(entry, referenceText(engine::kRelease, 0.5f, true));
    EXPECT_EQ(parsed, float((-6.5 + 12.0) / 12.0));
    EXPECT_EQ(number, 2.75);
}

// --------------------------------------------------------------------------------- the widget

namespace {

// A 5 x 1536 glyph strip with alpha whose glyph g is one colour: tells which glyph lands where.
CBitmap* glyphStrip() {
    std::vector<std::uint32_t> pixels;
    for (int row = 0; row < 1536; ++row)
        pixels.insert(pixels.end(), 5, 0xFF200000u | std::uint32_t(row / 8));
    return new CBitmap(5, 1536, pixels.data());
}

// A window background whose every pixel says where it is.
constexpr std::uint32_t backgroundAt(CCoord x, CCoord y) {
    return 0xFF000000u | std::uint32_t(x) << 9 | std::uint32_t(y);
}

CBitmap* positionBackground() {
    std::vector<std::uint32_t> pixels;
    for (CCoord y = 0; y < 462; ++y)
        for (CCoord x = 0; x < 524; ++x)
            pixels.push_back(backgroundAt(x, y));
    return new CBitmap(524, 462, pixels.data());
}

int glyphAt(std::uint32_t pixel) {
    return (pixel & 0xFFFF0000u) == 0xFF200000u ? int(pixel & 0xFFFFu) : -1;
}

class ValueFieldTest : public ::testing::Test {
protected:
    CMyTextEdit* addField(CRect rect, std::int32_t tag, float value) {
        auto* field = w.add(new CMyTextEdit(rect, &w.listener, tag, background, opaqueFont, font));
        field->setBackColor(CColor(165, 183, 189, 255));
        field->setFontColor(CColor(37, 36, 35, 255));
        field->setValue(value);
        return field;
    }
    void TearDown() override {
        background->forget();
        opaqueFont->forget();
        font->forget();
    }
    platform::headless::HeadlessTextEntry* entry() { return platform::headless::activeTextEntry(); }

    EditorWindow w;
    CBitmap* background = positionBackground();
    CBitmap* opaqueFont = solidBitmap(5, 1536, 0xFF000000u);
    CBitmap* font = glyphStrip();
};

} // namespace

TEST_F(ValueFieldTest, ClickOpensTheEntryWithTheNumberInTheFieldsFontAndColours) {
    auto* drive = addField(CRect(43, 409, 117, 427), engine::kDrive, 0.25f);
    EXPECT_EQ(w.click(80, 418), kMouseDownEventHandledButDontNeedMovedOrUpEvents);
    ASSERT_NE(entry(), nullptr);
    EXPECT_TRUE(drive->isEditing());
    EXPECT_EQ(entry()->style().text, "-12.00");
    EXPECT_TRUE(entry()->allSelected());
    EXPECT_EQ(entry()->style().fontHeight, 10);
    EXPECT_EQ(entry()->style().backColour, 0xFFA5B7BDu);
    EXPECT_EQ(entry()->style().fontColour, 0xFF252423u);
    EXPECT_TRUE(w.journal.lines.empty()); // nothing is sent before the entry closes
}

TEST_F(ValueFieldTest, EnterCommitsTheClampedNumberInOneEdit) {
    auto* drive = addField(CRect(43, 409, 117, 427), engine::kDrive, 0.5f);
    w.click(80, 418);
    entry()->type("-30");
    entry()->pressEnter();
    EXPECT_EQ(entry(), nullptr);
    EXPECT_FALSE(drive->isEditing());
    EXPECT_EQ(w.frame->getFocusView(), nullptr);
    EXPECT_EQ(drive->getValue(), 0.0f);
    EXPECT_EQ(drive->displayText(), "-24.00dB");
    EXPECT_EQ(w.journal.lines, (Lines{"begin 1", "host begin 1", "changed 1 0", "host end 1", "end 1"}));
}

TEST_F(ValueFieldTest, OffInTheLevellerField) {
    auto* leveller = addField(CRect(411, 221, 485, 239), engine::kLeveller, 0.5f);
    w.click(440, 230);
    EXPECT_EQ(entry()->style().text, "-6.00");
    entry()->type("OFF");
    entry()->pressEnter();
    EXPECT_EQ(leveller->getValue(), 1.0f);
    EXPECT_EQ(leveller->displayText(), "off");
    w.click(440, 230);
    EXPECT_EQ(entry()->style().text, "off");
}

TEST_F(ValueFieldTest, ClickingElsewhereCommitsAndAnUnchangedTextIsSentToo) {
    auto* output = addField(CRect(410, 409, 484, 427), engine::kOutput, 1.0f);
    auto* release = addField(CRect(45, 319, 119, 337), engine::kRelease, 0.0f);
    w.click(440, 418);
    entry()->type("-6");
    w.click(80, 328); // the Release field: the Output entry closes, the Release entry opens
    EXPECT_EQ(output->getValue(), 0.5f);
    ASSERT_NE(entry(), nullptr);
    EXPECT_EQ(entry()->style().text, "1.0");
    entry()->loseFocus(); // the keyboard focus goes to another window: commits "1.0" as it is
    EXPECT_EQ(entry(), nullptr);
    EXPECT_EQ(release->getValue(), 0.0f);
    EXPECT_EQ(w.journal.with("changed"), (Lines{"changed 0 0.5", "changed 3 0"}));
    EXPECT_EQ(w.journal.with("host"), (Lines{"host begin 0", "host end 0", "host begin 3", "host end 3"}));
}

TEST_F(ValueFieldTest, LosingFocusWithoutAnEntrySendsNothing) {
    auto* link = addField(CRect(411, 319, 485, 337), engine::kLink, 0.7f);
    link->looseFocus();
    EXPECT_EQ(link->getValue(), 0.7f);
    EXPECT_TRUE(w.journal.lines.empty());
}

TEST_F(ValueFieldTest, ReadOutIsCentredOnTheWindowBackground) {
    addField(CRect(410, 409, 484, 427), engine::kOutput, 0.5f); // "-6.00dB": 7 characters
    w.frame->idle();
    w.window->paint();
    const CCoord x = 410 + (74 - 42) / 2, baseline = (409 + 427) / 2 + 4;
    const std::string text = "-6.00dB";
    for (std::size_t i = 0; i < text.size(); ++i) {
        CCoord gx = x + 6 * CCoord(i);
        EXPECT_EQ(glyphAt(w.window->pixel(gx, baseline - 7)), text[i] - 32) << i;
        EXPECT_EQ(glyphAt(w.window->pixel(gx + 4, baseline)), text[i] - 32) << i;
        EXPECT_EQ(w.window->pixel(gx + 5, baseline - 3), backgroundAt(gx + 5, baseline - 3)) << i;
    }
    EXPECT_EQ(w.window->pixel(x - 1, baseline - 3), backgroundAt(x - 1, baseline - 3));
    EXPECT_EQ(w.window->pixel(x, baseline + 1), backgroundAt(x, baseline + 1));
    EXPECT_EQ(w.window->pixel(x, baseline - 8), backgroundAt(x, baseline - 8));
    EXPECT_EQ(w.window->pixel(410, 409), backgroundAt(410, 409));
    EXPECT_EQ(w.window->pixel(483, 426), backgroundAt(483, 426));
}

TEST_F(ValueFieldTest, ATextWiderThanTheFieldStartsAtItsLeftEdge) {
    addField(CRect(100, 100, 130, 118), engine::kRelease, 1.0f); // "1000.0ms": 48 px in 30
    w.frame->idle();
    w.window->paint();
    EXPECT_EQ(glyphAt(w.window->pixel(100, 113)), '1' - 32);
    EXPECT_EQ(glyphAt(w.window->pixel(106, 113)), '0' - 32);
    EXPECT_EQ(glyphAt(w.window->pixel(130, 113)), -1); // clipped to the field
}
