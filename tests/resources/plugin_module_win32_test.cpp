// Windows only: the built DLL, loaded as a data file the way a resource editor would, holds every
// bitmap under its number (type BITMAP) and both glyph strips under their names (type "DATA"), with
// the same bytes as the lookup that the plug-in uses.
#include <gtest/gtest.h>

#include <cstring>
#include <windows.h>

#include "support/resource_list.h"

namespace {

using namespace testimg;

class PluginModule : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryExA(ORVEL_PLUGIN_FILE, nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr) << ORVEL_PLUGIN_FILE;
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }
    bool same(HRSRC info, const platform::ResourceData& expected) {
        if (!info || !expected) return false;
        HGLOBAL handle = LoadResource(module_, info);
        const void* bytes = handle ? LockResource(handle) : nullptr;
        return bytes && SizeofResource(module_, info) == expected.size &&
               std::memcmp(bytes, expected.bytes, expected.size) == 0;
    }
    HMODULE module_ = nullptr;
};

TEST_F(PluginModule, HoldsEveryBitmapAndGlyphStripUnderItsNumberOrName) {
    for (const Expected& e : expectedBitmaps()) {
        HRSRC info = FindResourceA(module_, MAKEINTRESOURCEA(e.number), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
        EXPECT_TRUE(same(info, platform::findBitmapResource(e.number))) << "bitmap " << e.number;
    }
    for (const char* name : {"BMP00158.PNG", "bmp00159.png"}) {
        HRSRC info = FindResourceA(module_, name, "DATA");
        EXPECT_TRUE(same(info, platform::findDataResource(name))) << name;
    }
    EXPECT_EQ(FindResourceA(module_, MAKEINTRESOURCEA(994), MAKEINTRESOURCEA(2)), nullptr);
}

} // namespace
