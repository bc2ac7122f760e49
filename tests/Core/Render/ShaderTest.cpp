// Shader variables in the command buffer, and the shader resource's life.

#include "tests/Support/RecordingRender.h"

#include "Core/Base/MemoryStream.h"
#include "Core/Base/StreamFields.h"
#include "Core/Math/Matrix4.h"
#include "Core/Render/Shader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

namespace
{

using bwtest::RecordingRender;

class ShaderVariablesTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(r.Init(), BW_OK);
        shader = r.GetShaderTexturedMultObject();
        impl = shader->GetImpl();
        ASSERT_EQ(r.CreateTexture(&texture), BW_OK);
    }
    void TearDown() override { delete texture; }

    RecordingRender r;
    render::ShaderTextured* shader = nullptr;
    render::ShaderImpl* impl = nullptr;
    render::Texture* texture = nullptr;
    math::Matrix4 projection;
};

// The bytes of each variable record are checked in the command stream, a
// null texture at replay on the device.
TEST_F(ShaderVariablesTest, TheSamePointerTwiceRaisesNothing)
{
    shader->SetProjection(&projection);
    base::MemoryStream stream;
    ASSERT_EQ(impl->WriteChangedVariables(&stream), BW_OK);
    EXPECT_FALSE(impl->HasChangedVariables());
    ASSERT_EQ(shader->SetProjection(&projection), BW_OK);
    EXPECT_FALSE(impl->HasChangedVariables());
    math::Matrix4 other;
    ASSERT_EQ(shader->SetProjection(&other), BW_OK);
    EXPECT_TRUE(impl->HasChangedVariables());
}

TEST_F(ShaderVariablesTest, ShortOrForeignRecordsAreErrorsAndACountOfZeroReadsNothingFurther)
{
    const std::vector<std::vector<uint8_t>> bad = {
        {},          // nothing
        {1},         // a count, then nothing
        {1, 0, 0x11, 0x22}, // a value cut short
    };
    for (const std::vector<uint8_t>& bytes : bad)
    {
        base::MemoryStream stream(bytes.data(), static_cast<uint32_t>(bytes.size()));
        EXPECT_EQ(impl->ReadVariables(&stream), BW_FAIL) << bytes.size();
    }
    base::MemoryStream foreign;
    base::WriteUInt8(&foreign, 1);
    base::WriteUInt8(&foreign, 9); // this shader has two variables
    base::WritePointer(&foreign, &projection);
    foreign.Seek(0, 0);
    EXPECT_EQ(impl->ReadVariables(&foreign), BW_FAIL);
    EXPECT_TRUE(r.mCalls.empty());

    uint8_t zero[2] = {0, 0xEE};
    base::MemoryStream stream(zero, 2);
    ASSERT_EQ(impl->ReadVariables(&stream), BW_OK);
    EXPECT_EQ(stream.Seek(0, 1), 1u);
    EXPECT_TRUE(r.mCalls.empty());
}

TEST(ShaderResource, AnUnloadedShaderRefusesValuesInsteadOfWritingFreedMemory)
{
    RecordingRender r;
    ASSERT_EQ(r.Init(), BW_OK);
    render::ShaderTextured* shader = r.GetShaderTexturedTintObject();
    ASSERT_EQ(shader->UnLoad(), BW_OK);
    EXPECT_EQ(shader->GetImpl(), nullptr);
    math::Matrix4 projection;
    EXPECT_EQ(shader->SetProjection(&projection), BW_FAIL);
    EXPECT_EQ(shader->SetTexture(nullptr), BW_FAIL);
    EXPECT_EQ(r.ShaderImpls().size(), 2u);
}

TEST(ShaderResource, BuiltInShadersAreNotInTheMapAndReleaseLeavesThemAlone)
{
    RecordingRender r;
    ASSERT_EQ(r.Init(), BW_OK);
    EXPECT_EQ(r.GetShaderGeomObject()->Release(), BW_OK);
    EXPECT_TRUE(r.GetShaderGeomObject()->IsLoaded());
}

TEST(ShaderResource, ATexturedProgramWithoutItsSamplerFailsToMakeVariables)
{
    RecordingRender r;
    auto* impl = new bwtest::RecordingShaderImpl(&r, "bare");
    impl->mHasTextureSampler = false;
    render::ShaderTextured shader(impl, &r);
    EXPECT_EQ(shader.CreateVariables(), BW_FAIL);
}

} // namespace

namespace
{

// Shader files written next to the test binaries.
class NamedShaderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        folder = std::string(BW_BINARY_DIR) + "/render_shaders";
        mkdir(folder.c_str(), 0755);
        ASSERT_EQ(r.Init(), BW_OK);
    }

    void Write(const std::string& name, const std::string& text)
    {
        std::ofstream(folder + "/" + name, std::ios::binary) << text;
    }

    std::wstring Name(const std::string& base) const
    {
        std::string path = folder + "/" + base;
        return std::wstring(path.begin(), path.end());
    }

    std::string folder;
    RecordingRender r;
};

TEST_F(NamedShaderTest, LoadsBothProgramsByNameAndMakesItsVariables)
{
    Write("glowVS.hlsl", "vertex text");
    Write("glowPS.hlsl", "pixel text");
    auto* shader = new render::ShaderTextured(nullptr, &r);
    ASSERT_EQ(shader->SetName(Name("glow")), BW_OK);
    render::Shader::GetMap()[shader->GetName()] = shader;
    ASSERT_EQ(shader->UnLoad(), BW_OK); // made loaded: empty until loaded by name
    ASSERT_EQ(shader->Load(), BW_OK);
    ASSERT_NE(shader->GetImpl(), nullptr);
    // The recording renderer names an implementation after its vertex text.
    EXPECT_EQ(r.NameOf(shader->GetImpl()), "vertex text");
    EXPECT_EQ(shader->GetImpl()->GetVariableCount(), 2u);
    EXPECT_NE(shader->GetTextureVariable(), nullptr);

    // Released from the map: unloaded and deleted.
    const size_t implementations = r.ShaderImpls().size();
    EXPECT_EQ(shader->Release(), BW_OK);
    EXPECT_EQ(render::Shader::GetMap().count(Name("glow")), 0u);
    EXPECT_EQ(r.ShaderImpls().size(), implementations - 1);
}

TEST_F(NamedShaderTest, AMissingFileReadsAsEmptyTextAndFailsTheLoad)
{
    Write("halfVS.hlsl", "vertex text");
    render::Shader shader(nullptr, &r);
    ASSERT_EQ(shader.SetName(Name("half")), BW_OK);
    ASSERT_EQ(shader.UnLoad(), BW_OK);
    EXPECT_EQ(shader.Load(), BW_FAIL);
    EXPECT_FALSE(shader.IsLoaded());
    EXPECT_EQ(shader.GetImpl(), nullptr);
    math::Matrix4 projection;
    EXPECT_EQ(shader.SetProjection(&projection), BW_FAIL);
}

} // namespace
