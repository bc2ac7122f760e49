// Animation data and mesh libraries as resources: found by name in the data
// folder or the mounted pack, unloaded and loaded again, handed back to their
// maps by the last handle, and refused with a log record when missing or
// damaged.

#include "tests/Core/File/MountedFolderFixture.h"
#include "tests/Support/ImageFiles.h"
#include "tests/Support/LogCapture.h"
#include "tests/Support/RecordingRender.h"

#include "Core/Animation/AnimData.h"
#include "Core/File/PackBuilder.h"
#include "Core/Lightwave/MeshLibrary.h"
#include "Core/Render/ImageRect.h"
#include "Core/Resource/ResourceManager.h"
#include "Core/Resource/ResourceTexture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

const char* kScene = "scene bytes \x01\x02 kept as they are";
const char* kLibrary = R"(<meshlib texture="tiles">
  <mesh name="square">
    <vertices count="4"><v x="0" y="0"/><v x="8" y="0" u="1"/><v x="8" y="8" u="1" v="1"/><v x="0" y="8" v="1"/></vertices>
    <indices count="6">0 1 2 0 2 3</indices>
  </mesh>
</meshlib>)";

class SceneResourceTest : public filetest::MountedFolderTest
{
protected:
    void SetUp() override { ASSERT_EQ(render.Init(64, 48), BW_OK); }

    void TearDown() override
    {
        EXPECT_TRUE(manager->GetAnimDataMap().empty());
        EXPECT_TRUE(manager->GetMeshLibraryMap().empty());
        EXPECT_TRUE(resource::ResourceTexture::GetMap().empty());
    }

    // The scene, the library and its texture under root ("data" or the
    // folder packed as "data.dat").
    void WriteFiles(const std::string& root)
    {
        mFolder.Write(root + "/scene/intro.scn", kScene);
        mFolder.Write(root + "/scene/shapes.lib", kLibrary);
        const std::vector<uint8_t> tga =
            testing_support::MakeTga(testing_support::MakePixels(2, 2, [](uint32_t, uint32_t) { return 0xFF00FF00u; }),
                                     false);
        mFolder.Write(root + "/scene/tiles.tga", std::string(tga.begin(), tga.end()));
    }

    lightwave::MeshLibrary* Library(const resource::ResourceHandle& handle)
    {
        auto* library = static_cast<lightwave::MeshLibrary*>(handle.Get());
        library->mRender = &render;
        return library;
    }

    bwtest::RecordingRender render;
    resource::ResourceManager* manager = resource::ResourceManager::Instance();
};

TEST_F(SceneResourceTest, LoadFromTheFolderAndThePackUnloadAndLoadAgain)
{
    // The pack first, while "data/" is not on disk at all.
    for (bool packed : {true, false})
    {
        SCOPED_TRACE(packed ? "from the pack" : "from the folder");
        WriteFiles(packed ? "packed" : "data");
        if (packed)
        {
            ASSERT_EQ(file::BuildPack(L"packed", L"data.dat"), BW_OK);
        }
        else
        {
            ASSERT_EQ(file::DeleteFile(L"data.dat"), BW_OK);
        }

        resource::ResourceHandle anim = manager->GetAnimData(L"data/scene/intro");
        ASSERT_NE(anim.Get(), nullptr);
        auto* data = static_cast<animation::AnimData*>(anim.Get());
        resource::ResourceHandle handle = manager->GetMeshLibrary(L"data/scene/shapes");
        ASSERT_NE(handle.Get(), nullptr);
        lightwave::MeshLibrary* library = Library(handle);
        for (int pass = 0; pass < 2; ++pass)
        {
            ASSERT_EQ(data->Load(), BW_OK);
            EXPECT_EQ(data->GetData(), kScene);
            ASSERT_EQ(library->Load(), BW_OK);
            ASSERT_NE(library->FindMesh("square"), nullptr);
            EXPECT_EQ(library->FindMesh("square")->mIndices.size(), 6u);
            EXPECT_EQ(library->FindMesh("other"), nullptr);
            ASSERT_NE(library->GetImage(), nullptr);
            EXPECT_EQ(library->GetImage()->GetWidth(), 2);

            EXPECT_EQ(data->UnLoad(), BW_OK);
            EXPECT_TRUE(data->GetData().empty());
            EXPECT_EQ(library->UnLoad(), BW_OK);
            EXPECT_EQ(library->GetImage(), nullptr);
            EXPECT_TRUE(library->GetMeshes().empty());
            EXPECT_TRUE(resource::ResourceTexture::GetMap().empty()) << "the texture went with the library";
        }
        // Loaded when the last handle lets go: unloaded and deleted.
        ASSERT_EQ(library->Load(), BW_OK);
        EXPECT_EQ(manager->GetMeshLibraryMap().size(), 1u);
        handle.Reset();
        anim.Reset();
    }
}

struct BadFile
{
    const char* what;
    const char* file;  // under data/scene/; null: not written
    const char* bytes;
    const wchar_t* name; // the resource
    bool library;
    const wchar_t* log;
};

class SceneResourceRefused : public SceneResourceTest, public testing::WithParamInterface<BadFile>
{
};

TEST_P(SceneResourceRefused, LoadFailsWithALogRecordAndLeavesNothingLoaded)
{
    const BadFile& c = GetParam();
    WriteFiles("data");
    if (c.file)
        mFolder.Write(std::string("data/scene/") + c.file, c.bytes);
    testing_support::LogCapture log;
    resource::ResourceHandle handle =
        c.library ? manager->GetMeshLibrary(c.name) : manager->GetAnimData(c.name);
    ASSERT_NE(handle.Get(), nullptr);
    if (c.library)
        Library(handle);
    EXPECT_NE(handle.Get()->Load(), BW_OK);
    EXPECT_FALSE(handle.Get()->IsLoaded());
    EXPECT_TRUE(log.Contains(c.log)) << (log.Messages().empty() ? L"(no log)" : log.Messages().back());
    if (c.library)
    {
        EXPECT_EQ(Library(handle)->GetImage(), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, SceneResourceRefused,
    testing::Values(
        BadFile{"missing scene", nullptr, "", L"data/scene/none", false,
                L"Animation data 'data/scene/none.scn' not found."},
        BadFile{"empty scene", "empty.scn", "", L"data/scene/empty", false,
                L"Animation data 'data/scene/empty.scn' cannot be read or is empty."},
        BadFile{"missing library", nullptr, "", L"data/scene/none", true,
                L"Mesh library 'data/scene/none.lib' not found."},
        BadFile{"cut library", "cut.lib", "<meshlib texture=\"tiles\"><mesh name=\"a\"><vertices", L"data/scene/cut",
                true, L"Mesh library 'data/scene/cut.lib' is not valid: not XML"},
        BadFile{"index past the vertices", "bad.lib",
                "<meshlib texture=\"tiles\"><mesh name=\"a\"><vertices count=\"1\"><v x=\"0\" y=\"0\"/></vertices>"
                "<indices count=\"3\">0 0 1</indices></mesh></meshlib>",
                L"data/scene/bad", true, L"line 1: <indices>: index 2 is 1, past the 1 vertices"},
        BadFile{"missing texture", "lost.lib",
                "<meshlib texture=\"gone\"><mesh name=\"a\"><vertices count=\"3\"><v x=\"0\" y=\"0\"/><v x=\"1\" "
                "y=\"0\"/><v x=\"0\" y=\"1\"/></vertices><indices count=\"3\">0 1 2</indices></mesh></meshlib>",
                L"data/scene/lost", true, L"Mesh library 'data/scene/lost.lib' cannot load its texture 'data/scene/gone'."}));

} // namespace
