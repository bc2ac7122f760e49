// Shader variables read back from the command buffer, and the shader
// resource's life.

#include "tests/Support/RecordingRender.h"

#include "Core/Math/Matrix4.h"
#include "Core/Render/Shader.h"
#include "Core/Resource/ResourceManager.h"

#include <unistd.h>
#include <memory>

#include <gtest/gtest.h>

namespace
{

using bwtest::RecordingRender;

TEST(ShaderResource, UnloadedBuiltInAndSamplerlessShadersBehave)
{
    RecordingRender r;
    ASSERT_EQ(r.Init(), BW_OK);
    // An unloaded shader refuses values instead of writing freed memory.
    render::ShaderTextured* shader = r.GetShaderTexturedTintObject();
    ASSERT_EQ(shader->UnLoad(), BW_OK);
    EXPECT_EQ(shader->GetImpl(), nullptr);
    math::Matrix4 projection;
    EXPECT_EQ(shader->SetProjection(&projection), BW_FAIL);
    EXPECT_EQ(shader->SetTexture(nullptr), BW_FAIL);
    EXPECT_EQ(r.ShaderImpls().size(), 2u);
    // Built-in shaders are in no map: Release leaves them alone.
    EXPECT_EQ(r.GetShaderGeomObject()->Release(), BW_OK);
    EXPECT_TRUE(r.GetShaderGeomObject()->IsLoaded());
    // A textured program without its sampler fails to make its variables.
    auto* impl = new bwtest::RecordingShaderImpl(&r, "bare");
    impl->mHasTextureSampler = false;
    render::ShaderTextured bare(impl, &r);
    EXPECT_EQ(bare.CreateVariables(), BW_FAIL);
}

// The manager's teardown frees its maps (in a child process, as it is for
// good): a named shader released afterwards finds no map rather than a freed
// one, and a manager made later is handed a fresh map.
TEST(ShaderResource, ReleaseAfterTheManagersTeardownFindsNoFreedMap)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            RecordingRender r;
            auto* shader = new render::Shader(nullptr, &r);
            if (r.Init() != BW_OK || shader->SetName(L"kept") != BW_OK)
                _exit(1);
            render::Shader::GetMap()[L"kept"] = shader;
            delete resource::ResourceManager::Instance();
            if (shader->Release() != BW_OK || !render::Shader::GetMap().empty())
                _exit(2);
            delete shader; // the map that held it is gone: released by hand
            std::unique_ptr<resource::ResourceManager> later(resource::ResourceManager::Create());
            if (!later->GetMap<render::Shader>().empty())
                _exit(3);
            later->GetMap<render::Shader>()[L"new"] = nullptr;
            _exit(0);
        },
        testing::ExitedWithCode(0), "");
}

} // namespace
