// The graphics context: where it places draws over the back buffer and over
// an image, and who ends the scene.

#include "tests/Support/RecordingRender.h"

#include "Core/Render/Graphics.h"
#include "Core/Render/Image.h"
#include "Core/Render/Texture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace
{

class GraphicsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        render::RenderInitParam param;
        param.mWidth = 800;
        param.mHeight = 600;
        const float viewport[4] = {2.0f, 3.0f, 10.0f, 20.0f};
        std::copy(viewport, viewport + 4, param.mViewport);
        ASSERT_EQ(r.InitRender(nullptr, param), BW_OK);
        render::Image* image = nullptr;
        ASSERT_EQ(r.CreateRenderTargetImage(64, 32, &image, true), BW_OK);
        target.reset(image);
    }

    size_t CountOf(const std::string& call) const { return std::count(r.mCalls.begin(), r.mCalls.end(), call); }

    static std::vector<float> Placement(const render::Graphics& g)
    {
        return {g.mState.mScale[0], g.mState.mScale[1], g.mState.mOffset[0], g.mState.mOffset[1]};
    }

    bwtest::RecordingRender r;
    size_t textures = r.Textures().size();
    std::unique_ptr<render::Image> target;
};

TEST_F(GraphicsTest, OverTheBackBufferTheViewportPlacesDrawsOverAnImageItsRectangleAndProjection)
{
    render::Graphics screen(&r);
    EXPECT_EQ(screen.mState.mTarget, nullptr);
    EXPECT_EQ(Placement(screen), (std::vector<float>{2, 3, 10, 20}));
    EXPECT_EQ(screen.GetProjection(), &r.GetProjection());

    target->mTargetRect[0] = 5.0f;
    target->mTargetRect[2] = 0.5f;
    ASSERT_EQ(r.BeginScene(), BW_OK);
    render::Graphics g(target.get());
    EXPECT_EQ(g.mState.mTarget, target->GetTexture());
    EXPECT_EQ(Placement(g), (std::vector<float>{0.5f, 1, 5, 0}));
    EXPECT_EQ(g.GetProjection(), &target->mMatrix);
    EXPECT_FLOAT_EQ(target->mMatrix(0, 0), 2.0f / 64.0f);
    EXPECT_FLOAT_EQ(target->mMatrix(1, 1), -2.0f / 32.0f);
    // Inside an open scene Flush leaves the scene to its owner.
    g.Flush();
    EXPECT_TRUE(r.IsInScene());
    ASSERT_EQ(r.EndScene(), BW_OK);
    ASSERT_EQ(r.ExecuteCommands(), BW_OK);
}

TEST_F(GraphicsTest, OverAnImageOutsideASceneItOwnsTheFrameAndTheImageItsTexture)
{
    EXPECT_EQ(r.Textures().size(), textures + 1);
    {
        render::Graphics g(target.get());
        EXPECT_TRUE(r.IsInScene());
        const float rect[4] = {0, 0, 4, 4};
        g.DrawRect(rect);
        g.Flush();
        EXPECT_FALSE(r.IsInScene());
        g.Flush(); // once only
    }
    EXPECT_EQ(CountOf("BeginScene()"), 1u);
    EXPECT_EQ(CountOf("EndScene()"), 1u);
    EXPECT_EQ(CountOf("Present()"), 0u);
    EXPECT_EQ(CountOf("DrawIndexedPrimitive(3,2,0,2,0,4)"), 1u);
    target.reset();
    EXPECT_EQ(r.Textures().size(), textures);
}

} // namespace
