// A preference value that the settings store refuses: only the folder-per-key store can be made to
// refuse a single value (the Windows registry cannot, so this case is not built there).
#include <gtest/gtest.h>

#include "engine/parameters.h"
#include "support/editor_host.h"
#include "support/registry_faults.h"
#include "support/stored_prefs.h"

using namespace editortest;
using engine::centre;

TEST(MeteringPrefs, AValueThatCannotBeWrittenStopsTheStoreAfterTheOnesBefore) {
    EditorBench bench;
    ASSERT_TRUE(blockPreferenceValue("Metering_Zoom"))
        << "the settings store could not be made to refuse a value";
    bench.plugin().setParameter(engine::kScale, centre(2, 3));
    bench.editor().storeMeteringPrefs();
    const auto& boxes = platform::headless::messageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Could not create registry value for storing metering preferences!");
    EXPECT_EQ(boxes[0].title, "Error...");
    EXPECT_EQ(storedPreferences(), (std::vector<std::int32_t>{2, 0, -1, -1, -1, -1}));
    // The parameters are untouched by the failure.
    EXPECT_EQ(bench.parameter(engine::kScale), centre(2, 3));
}
