// The graphics context over an image: where it places draws, and who ends
// the scene. Its projection and scissors are checked on the device.

#include "tests/Support/RecordingRender.h"

#include "Core/Render/Graphics.h"
#include "Core/Render/Image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace
{

TEST(GraphicsTest, OverAnImageItPlacesByTheImageAndEndsOnlyTheSceneItBegan)
{
    bwtest::RecordingRender r;
    ASSERT_EQ(r.Init(800, 600), BW_OK);
    render::Image* image = nullptr;
    ASSERT_EQ(r.CreateRenderTargetImage(64, 32, &image, true), BW_OK);
    std::unique_ptr<render::Image> target(image);
    target->mTargetRect[0] = 5.0f;
    target->mTargetRect[2] = 0.5f;
    {
        // Outside a scene it begins one and ends it at the first Flush.
        render::Graphics g(target.get());
        EXPECT_TRUE(r.IsInScene());
        EXPECT_EQ(
            (std::vector<float>{g.mState.mScale[0], g.mState.mScale[1], g.mState.mOffset[0], g.mState.mOffset[1]}),
            (std::vector<float>{0.5f, 1, 5, 0}));
        g.Flush();
        EXPECT_FALSE(r.IsInScene());
        g.Flush(); // once only
    }
    EXPECT_EQ(std::count(r.mCalls.begin(), r.mCalls.end(), "EndScene()"), 1);
    // Inside an open scene Flush leaves the scene to its owner.
    ASSERT_EQ(r.BeginScene(), BW_OK);
    render::Graphics(target.get()).Flush();
    EXPECT_TRUE(r.IsInScene());
    ASSERT_EQ(r.EndScene(), BW_OK);
}

} // namespace
