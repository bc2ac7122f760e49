// The graphics context: its starting state over the back buffer and over an
// image, shader modes, and who ends the scene.

#include "tests/Support/RecordingRender.h"

#include "Core/Render/Graphics.h"
#include "Core/Render/Image.h"
#include "Core/Render/Shader.h"
#include "Core/Render/Texture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace
{

using bwtest::RecordingRender;

size_t CountOf(const std::vector<std::string>& calls, const std::string& call)
{
    return static_cast<size_t>(std::count(calls.begin(), calls.end(), call));
}

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
    }

    std::unique_ptr<render::Image> TargetImage(uint32_t width, uint32_t height)
    {
        render::Image* image = nullptr;
        EXPECT_EQ(r.CreateRenderTargetImage(width, height, &image, true), BW_OK);
        return std::unique_ptr<render::Image>(image);
    }

    RecordingRender r;
};

TEST_F(GraphicsTest, StartsOverTheBackBufferWithTheDefaultViewportAndSwitchesShaders)
{
    render::Graphics g(&r);
    EXPECT_EQ(g.mState.mTarget, nullptr);
    const float placement[4] = {g.mState.mScale[0], g.mState.mScale[1], g.mState.mOffset[0], g.mState.mOffset[1]};
    EXPECT_EQ(std::vector<float>(placement, placement + 4), (std::vector<float>{2, 3, 10, 20}));
    EXPECT_EQ(g.GetProjection(), &r.GetProjection());

    EXPECT_EQ(g.SetShaderMode(2), BW_OK);
    EXPECT_EQ(g.SetShaderMode(3), BW_OK); // not a mode: nothing changes
    EXPECT_EQ(g.GetTexturedShader(), r.GetShaderTexturedTintObject());
    EXPECT_EQ(g.SetShader(r.GetShaderGeomObject()), BW_OK);
    EXPECT_EQ(g.mShaderMode, render::ShaderModeCustom);
    EXPECT_EQ(g.GetTexturedShader(), nullptr); // the geometry shader takes no texture
    EXPECT_EQ(g.SetShader(nullptr), BW_OK);
    EXPECT_EQ(g.GetTexturedShader(), r.GetShaderTexturedMultObject());
}

TEST_F(GraphicsTest, OverAnImageItDrawsWithTheImagesProjectionAndRectangle)
{
    std::unique_ptr<render::Image> target = TargetImage(64, 32);
    target->mTargetRect[0] = 5.0f;
    target->mTargetRect[2] = 0.5f;
    ASSERT_EQ(r.BeginScene(), BW_OK);
    render::Graphics g(target.get());
    EXPECT_EQ(g.mState.mTarget, target->GetTexture());
    EXPECT_EQ(g.mState.mOffset[0], 5.0f);
    EXPECT_EQ(g.mState.mScale[0], 0.5f);
    EXPECT_EQ(g.mState.mScale[1], 1.0f);
    EXPECT_EQ(g.GetProjection(), &target->mMatrix);
    EXPECT_FLOAT_EQ(target->mMatrix(0, 0), 2.0f / 64.0f);
    EXPECT_FLOAT_EQ(target->mMatrix(1, 1), -2.0f / 32.0f);

    // Inside an open scene Flush leaves the scene to its owner.
    g.Flush();
    EXPECT_TRUE(r.IsInScene());
    ASSERT_EQ(r.EndScene(), BW_OK);
    ASSERT_EQ(r.ExecuteCommands(), BW_OK);
}

TEST_F(GraphicsTest, OverAnImageOutsideASceneItOwnsTheFrame)
{
    std::unique_ptr<render::Image> target = TargetImage(8, 8);
    {
        render::Graphics g(target.get());
        EXPECT_EQ(g.mOwnsFrame, 1);
        EXPECT_TRUE(r.IsInScene());
        const float rect[4] = {0, 0, 4, 4};
        g.DrawRect(rect);
        g.Flush();
        EXPECT_FALSE(r.IsInScene());
        g.Flush(); // once only
    }
    EXPECT_EQ(CountOf(r.mCalls, "BeginScene()"), 1u);
    EXPECT_EQ(CountOf(r.mCalls, "EndScene()"), 1u);
    EXPECT_EQ(CountOf(r.mCalls, "Present()"), 0u);
    EXPECT_EQ(CountOf(r.mCalls, "DrawIndexedPrimitive(3,2,0,2,0,4)"), 1u);
}

TEST_F(GraphicsTest, RenderTargetImagesOwnTheirTexture)
{
    const size_t before = r.Textures().size();
    {
        std::unique_ptr<render::Image> target = TargetImage(16, 8);
        EXPECT_EQ(r.Textures().size(), before + 1);
    }
    EXPECT_EQ(r.Textures().size(), before);
}

} // namespace
