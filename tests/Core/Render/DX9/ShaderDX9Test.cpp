// Compiled shaders on the device (constants a program lacks, texture
// variables at replay) and the device operations the replay asks for.

#include "RenderDX9Fixture.h"

#include "Core/Math/Matrix4.h"
#include "Core/Render/DX9/TextureDX9.h"
#include "Core/Render/Shader.h"
#include "Core/Render/Shaders/DX9/Shaders.h"

#include <memory>
#include <string>

namespace
{

using d3d9::test::Call;

const char* const kVertexHead = "struct VS_IN { float4 pos : POSITION; float4 color : COLOR0; };\n"
                                "struct VS_OUT { float4 position : POSITION; float4 color : COLOR0; };\n"
                                "VS_OUT vertex_shader(VS_IN i) { VS_OUT o; o.color = i.color;\n";
// A program that never reads "Proj".
const std::string kVertexWithoutProj = std::string(kVertexHead) + "o.position = i.pos; return o; }\n";

class ShaderDX9Test : public bwtest::RenderDX9Test
{
protected:
    void SetUp() override
    {
        bwtest::RenderDX9Test::SetUp();
        ASSERT_EQ(Init(), BW_OK);
        mLog.Clear();
    }

    // Records and replays a frame with one draw of the shader: a triangle of
    // geometry, or a textured quad.
    BWResultEnum DrawFrame(render::ShaderImpl* shader, bool textured)
    {
        render::RenderState block;
        block.mShader = shader;
        block.mVertexBuffer = textured ? r->GetVertexCache<render::SVertex2D>()->GetPrimary()->GetImpl()
                                       : r->GetVertexCache<render::SVertexGeom>()->GetPrimary()->GetImpl();
        block.mIndexBuffer = r->GetIndexCache16()->GetPrimary()->GetImpl();
        EXPECT_EQ(r->BeginScene(), BW_OK);
        EXPECT_EQ(r->SetRenderState(&block, true), BW_OK);
        EXPECT_EQ(textured ? r->DrawIndexedPrimitive(render::TriangleList, 0, 2, 0, 4)
                           : r->DrawPrimitive(render::TriangleList, 0, 1),
                  BW_OK);
        EXPECT_EQ(r->EndScene(), BW_OK);
        return r->ExecuteCommands();
    }
};

TEST_F(ShaderDX9Test, AProgramWithoutProjDrawsWithoutFailingTheFrame)
{
    render::ShaderImpl* impl = nullptr;
    ASSERT_EQ(r->CreateShader(kVertexWithoutProj, render::gPixelShaderGeomText, &impl), BW_OK);
    render::Shader shader(impl, r.get());
    ASSERT_EQ(shader.CreateVariables(), BW_OK);
    math::Matrix4 projection;
    projection.SetIdentity();
    shader.SetProjection(&projection);
    EXPECT_EQ(DrawFrame(impl, false), BW_OK);
}

TEST_F(ShaderDX9Test, ANullTextureBindsNoTextureAndARealOneBindsItsDeviceTexture)
{
    render::ShaderTextured* shader = r->GetShaderTexturedMultObject();
    std::unique_ptr<render::Texture> texture;
    {
        render::Texture* made = nullptr;
        ASSERT_EQ(r->CreateTexture(&made), BW_OK);
        texture.reset(made);
    }
    ASSERT_EQ(texture->CreateDynamic(2, 2), BW_OK);
    shader->SetProjection(&r->GetProjection());
    ASSERT_EQ(DrawFrame(shader->GetImpl(), true), BW_OK);
    EXPECT_EQ(d3d9::test::GetBoundTexture(r->GetDevice(), 0), nullptr);
    shader->SetTexture(texture.get());
    ASSERT_EQ(DrawFrame(shader->GetImpl(), true), BW_OK);
    EXPECT_EQ(d3d9::test::GetBoundTexture(r->GetDevice(), 0),
              static_cast<render::TextureDX9*>(texture.get())->GetDeviceTexture());
}

// What device operations of the replay ask of the device.
using DeviceOperationsTest = ShaderDX9Test;

TEST_F(DeviceOperationsTest, ClearPacksTheColourClampedAndMapsTheFlagsAndIndexSizesAreTwoOrFour)
{
    d3d9::test::EnableCallLog(true);
    d3d9::test::ClearCallLog();
    const float color[4] = {1.0f, 0.5f, -0.25f, 1.5f};
    ASSERT_EQ(r->DoClear(render::ClearColor | render::ClearDepth | render::ClearStencil, color, 0.5f, 3), BW_OK);
    // A=255 (clamped), R=255, G=127, B=0 (clamped): 0xFFFF7F00 = 4294934272.
    EXPECT_EQ(Calls({Call::Clear}), std::vector<std::string>{"Clear(0, 0, 7, 4294934272, 0.5, 3) = 0"});
    render::IndexBufferImpl* buffer = nullptr;
    EXPECT_EQ(r->CreateIndexBuffer(3, 10, true, &buffer), BW_FAIL);
    EXPECT_EQ(buffer, nullptr);
}

} // namespace
