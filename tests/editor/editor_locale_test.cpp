// A host may set a C locale with a decimal comma. The editor's texts (read-outs, value fields, the
// info panel) and the numbers typed into its fields must not change with it.
#include <gtest/gtest.h>

#include <cstdio>

#include "editor/my_text_edit.h"
#include "support/editor_host.h"
#include "tests/support/comma_locale.h"

using namespace editortest;

namespace {

// The window with every kind of text on it: value fields, peak and reduction read-outs, and the
// info panel's latency.
std::vector<std::uint32_t> picture(bool infoPanel) {
    EditorBench bench;
    bench.plugin().setParameter(engine::kDrive, 0.6f);
    bench.plugin().setParameter(engine::kRelease, 0.55f);
    bench.plugin().setParameter(engine::kTransient, 0.33f);
    bench.open();
    bench.process(0.7f, 0.4f, 4096);
    bench.idle();
    if (infoPanel) bench.click(260, 385);
    bench.idle();
    return bench.window().pixels();
}

} // namespace

TEST(EditorLocale, TheWindowLooksTheSameWithADecimalComma) {
    const std::vector<std::uint32_t> plain = picture(false), plainInfo = picture(true);
    testsupport::CommaLocale comma;
    ASSERT_TRUE(comma) << "no locale with a decimal comma could be had";
    char probe[16];
    std::snprintf(probe, sizeof(probe), "%.1f", 1.5);
    ASSERT_STREQ(probe, "1,5"); // the C library itself does see the comma
    EXPECT_EQ(picture(false), plain);
    EXPECT_EQ(picture(true), plainInfo);
}

TEST(EditorLocale, TypedNumbersReadTheDecimalPoint) {
    testsupport::CommaLocale comma;
    ASSERT_TRUE(comma) << "no locale with a decimal comma could be had";
    EditorBench bench;
    bench.open();
    bench.click(447, 418); // the Output field
    platform::headless::HeadlessTextEntry* entry = platform::headless::activeTextEntry();
    ASSERT_NE(entry, nullptr);
    entry->clear();
    entry->type("-4.5");
    entry->pressEnter();
    EXPECT_EQ(bench.parameter(engine::kOutput), float((-4.5 + 12.0) / 12.0));
    EXPECT_EQ(bench.editor().getValueField(engine::kOutput)->displayText(), "-4.50dB");
}
