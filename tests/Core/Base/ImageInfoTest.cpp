#include "Core/Base/ImageInfo.h"

#include <gtest/gtest.h>

TEST(ImageInfo, RectangleIsScaledAndTruncatedTowardZero)
{
    const int32_t rect[4] = {3, 5, 7, 9};
    base::ImageInfo info(L"a/b", rect, 128, 4, 0, 1, 1.5f);
    EXPECT_EQ(info.mX, 4);
    EXPECT_EQ(info.mY, 7);
    EXPECT_EQ(info.mWidth, 10);
    EXPECT_EQ(info.mHeight, 13);

    const int32_t negative[4] = {-3, -5, 30, 0};
    base::ImageInfo left(L"n", negative, 255, 0, 1, 0, 0.7f);
    EXPECT_EQ(left.mX, -2); // -2.1 toward zero
    EXPECT_EQ(left.mY, -3);
    EXPECT_EQ(left.mWidth, 21); // 30 * 0.7f rounds to 21.0f as a float product
}
