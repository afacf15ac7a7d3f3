#include <gtest/gtest.h>

#include "surface/dc.h"

TEST(DcObjects, SelectingReturnsThePreviousObjectAndSelectedObjectsCannotBeDeleted) {
    CDC dc;
    CPen red(PS_SOLID, 1, RGB(255, 0, 0));
    CPen* old = dc.SelectObject(&red);
    ASSERT_NE(old, nullptr);
    EXPECT_TRUE(old->IsStock());
    EXPECT_EQ(dc.GetCurrentObject(OBJ_PEN), &red);
    EXPECT_FALSE(red.DeleteObject());
    EXPECT_EQ(dc.SelectObject(old), &red);
    EXPECT_TRUE(red.DeleteObject());
}

TEST(DcObjects, DestroyingASelectedObjectLeavesTheContextUsable) {
    CDC dc;
    {
        CBrush blue(RGB(0, 0, 255));
        dc.SelectObject(&blue);
    }
    EXPECT_EQ(dc.GetCurrentObject(OBJ_BRUSH), nullptr);
    EXPECT_EQ(dc.Brush().colour, RGB(0, 0, 255));
}
