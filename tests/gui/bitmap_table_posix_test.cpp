// The bitmap lookup through the compiled-in resource table that the Linux binaries carry (the test's
// own table is in support/resource_table_posix.cpp; Windows reads the module's resource section).
#include <gtest/gtest.h>

#include "platform/resources.h"
#include "support/gui_fixture.h"

using namespace guitest;

TEST(Drawing, BitmapsComeFromResourcesByNumberAndByNameWithoutRegardToCase) {
    ASSERT_TRUE(platform::findBitmapResource(900));
    CBitmap byNumber(900);
    ASSERT_TRUE(byNumber.isLoaded());
    EXPECT_EQ(byNumber.getWidth(), 2);
    EXPECT_EQ(byNumber.getPixel(1, 1), 0xFFA0B0C0u);
    for (const char* name : {"bmp00900.png", "BMP00900.PNG", "Bmp00900.Png"}) {
        CBitmap byName(name);
        ASSERT_TRUE(byName.isLoaded()) << name;
        EXPECT_EQ(byName.getPixel(0, 0), 0x80FF0000u) << name;
    }
    EXPECT_FALSE(CBitmap(901).isLoaded());
    EXPECT_FALSE(CBitmap("bmp00901.png").isLoaded());
}
