// Compiled shaders on the device: warnings, constants a program lacks, and
// texture variables at replay.

#include "RenderDX9Fixture.h"

#include "Core/Math/Matrix4.h"
#include "Core/Render/DX9/TextureDX9.h"
#include "Core/Render/Shader.h"
#include "Core/Render/Shaders/DX9/ShaderImplDX9.h"
#include "Core/Render/Shaders/DX9/Shaders.h"

#include <memory>
#include <string>

namespace
{

using d3d9::test::Call;

const char* const kVertexHead = "struct VS_IN { float4 pos : POSITION; float4 color : COLOR0; };\n"
                                "struct VS_OUT { float4 position : POSITION; float4 color : COLOR0; };\n"
                                "VS_OUT vertex_shader(VS_IN i) { VS_OUT o; o.color = i.color;\n";
// The geometry program with an implicit truncation (a warning, not an error).
const std::string kVertexWithWarning =
    std::string("float4x4 Proj;\n") + kVertexHead +
    "float3 p = i.pos; o.position = mul(float4(p, 1.0f), Proj); return o; }\n";
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

TEST_F(ShaderDX9Test, AWarningIsLoggedOnceAndTheShaderIsMadeButAnErrorFailsWithoutARecord)
{
    render::ShaderImpl* shader = nullptr;
    ASSERT_EQ(r->CreateShader(kVertexWithWarning, render::gPixelShaderGeomText, &shader), BW_OK);
    ASSERT_NE(shader, nullptr);
    const std::vector<std::wstring> records = mLog.Messages();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].rfind(L"<div class=\"block\">", 0), 0u) << records[0];
    EXPECT_NE(records[0].find(L"X3206"), std::wstring::npos) << records[0];
    EXPECT_NE(static_cast<render::ShaderImplDX9*>(shader)->GetVertexShader(), nullptr);
    delete shader;

    mLog.Clear();
    shader = nullptr;
    EXPECT_EQ(r->CreateShader("float4 vertex_shader( {", render::gPixelShaderGeomText, &shader), BW_FAIL);
    EXPECT_EQ(shader, nullptr);
    EXPECT_EQ(r->CreateShader(render::gVertexShaderGeomText, "", &shader), BW_FAIL);
    EXPECT_TRUE(mLog.Messages().empty());
}

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

} // namespace
