#include "Core/Base/ImageInfo.h"

#include <gtest/gtest.h>

namespace
{

TEST(ImageInfo, DefaultsDescribeAWholeOpaqueImage)
{
    base::ImageInfo info;
    EXPECT_TRUE(info.mName.empty());
    EXPECT_EQ(info.mOpacity, 255u);
    EXPECT_EQ(info.mExtra, 0u);
    EXPECT_EQ(info.mHasImage, 1);
    EXPECT_EQ(info.mRawPixels, 0);
    EXPECT_EQ(info.mAtlas, 0);
    EXPECT_EQ(info.mTexOffset[0], 0.0f);
    EXPECT_EQ(info.mTexScale[1], 1.0f);
    EXPECT_EQ(info.mScaleFactor, 1.0f);
    EXPECT_EQ(info.mWidth, 0);
}

TEST(ImageInfo, RectangleIsScaledAndTruncatedTowardZero)
{
    const int32_t rect[4] = {3, 5, 7, 9};
    base::ImageInfo info(L"a/b", rect, 128, 4, 0, 1, 1.5f);
    EXPECT_EQ(info.mX, 4);
    EXPECT_EQ(info.mY, 7);
    EXPECT_EQ(info.mWidth, 10);
    EXPECT_EQ(info.mHeight, 13);
    EXPECT_EQ(info.mName, L"a/b");
    EXPECT_EQ(info.mOpacity, 128u);
    EXPECT_EQ(info.mExtra, 4u);
    EXPECT_EQ(info.mHasImage, 0);
    EXPECT_EQ(info.mRawPixels, 1);
    EXPECT_EQ(info.mScaleFactor, 1.5f);

    const int32_t negative[4] = {-3, -5, 30, 0};
    base::ImageInfo left(L"n", negative, 255, 0, 1, 0, 0.7f);
    EXPECT_EQ(left.mX, -2); // -2.1 toward zero
    EXPECT_EQ(left.mY, -3); // -3.5 toward zero
    EXPECT_EQ(left.mWidth, 21); // 30 * 0.7f rounds to 21.0f as a float product
}

TEST(ImageInfo, AssignmentCopiesEveryFieldAndSurvivesSelfAssignment)
{
    const int32_t rect[4] = {1, 2, 3, 4};
    base::ImageInfo source(L"atlas/entry", rect, 10, 20, 1, 0, 2.0f);
    source.mAtlas = 1;
    source.mAtlasPath = L"gui/atlas.png";
    source.mTexOffset[0] = 0.25f;
    source.mTexOffset[1] = 0.5f;
    source.mTexScale[0] = 0.125f;
    source.mTexScale[1] = 0.0625f;
    base::ImageInfo copy;
    copy = source;
    EXPECT_EQ(copy.mName, source.mName);
    EXPECT_EQ(copy.mAtlasPath, source.mAtlasPath);
    EXPECT_EQ(copy.mAtlas, 1);
    EXPECT_EQ(copy.mTexOffset[1], 0.5f);
    EXPECT_EQ(copy.mTexScale[0], 0.125f);
    EXPECT_EQ(copy.mX, 2);
    EXPECT_EQ(copy.mHeight, 8);
    EXPECT_EQ(copy.mOpacity, 10u);
    EXPECT_EQ(copy.mExtra, 20u);
    EXPECT_EQ(copy.mScaleFactor, 2.0f);

    base::ImageInfo& self = copy;
    copy = self;
    EXPECT_EQ(copy.mName, L"atlas/entry");
}

} // namespace
