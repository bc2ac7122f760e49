// Resources by name: textures found by the extension table and shared,
// atlas entries of a layer folder, animation data and mesh libraries from the
// data folder or the mounted pack, handed back to their maps by the last
// handle, and what a failed load leaves.

#include "tests/Core/File/MountedFolderFixture.h"
#include "tests/Support/LogCapture.h"
#include "tests/Support/RecordingRender.h"

#include "Core/Animation/AnimData.h"
#include "Core/Base/ImageInfo.h"
#include "Core/File/PackBuilder.h"
#include "Core/Lightwave/MeshLibrary.h"
#include "Core/Psd/ImageContainer.h"
#include "Core/Render/ImageRect.h"
#include "Core/Resource/ResourceManager.h"
#include "Core/Resource/ResourceTexture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

const char* kScene = "scene bytes \x01\x02 kept as they are";

// Each test runs in a fresh current folder.
class ResourceTest : public filetest::MountedFolderTest
{
protected:
    void SetUp() override { ASSERT_EQ(r.Init(64, 48), BW_OK); }

    void TearDown() override
    {
        images.clear();
        EXPECT_TRUE(manager->GetAnimDataMap().empty());
        EXPECT_TRUE(manager->GetMeshLibraryMap().empty());
        EXPECT_TRUE(resource::ResourceTexture::GetMap().empty()) << "a texture resource outlived its images";
        EXPECT_EQ(r.Textures().size(), textures);
    }

    render::ImageRect* Create(const std::wstring& name, file::Container* container = nullptr,
                              base::ImageInfo* info = nullptr, BWResultEnum expected = BW_OK)
    {
        render::ImageRect* image = nullptr;
        EXPECT_EQ(r.CreateImage(name, container, &image, info), expected);
        if (image)
            images.emplace_back(image);
        return image;
    }

    // A file of the source tree copied into the folder.
    void Copy(const std::string& from, const std::string& to)
    {
        mFolder.Write(to, testing_support::ReadFile(BW_SOURCE_DIR "/" + from));
    }

    // The scene and the sample library with its texture under root ("data"
    // or the folder packed as "data.dat").
    void WriteSceneFiles(const std::string& root)
    {
        mFolder.Write(root + "/scene/intro.scn", kScene);
        for (const std::string name : {"sample.lib", "sample.png"})
            Copy("data/scene/" + name, root + "/scene/" + name);
    }

    lightwave::MeshLibrary* Library(const resource::ResourceHandle& handle)
    {
        auto* library = static_cast<lightwave::MeshLibrary*>(handle.Get());
        library->mRender = &r;
        return library;
    }

    bwtest::RecordingRender r;
    size_t textures = r.Textures().size();
    resource::ResourceManager* manager = resource::ResourceManager::Instance();
    std::vector<std::unique_ptr<render::ImageRect>> images;
};

TEST_F(ResourceTest, ANameFindsDdsFirstOrItsOwnExtensionAndImagesOfOneNameShareOneResource)
{
    Copy("data/images/quadrants_argb.dds", "a.dds");
    Copy("tests/Core/Render/fixtures/tga_rgba32_rle.tga", "a.tga"); // 7x5, the lower right corner transparent
    base::ImageInfo info;
    EXPECT_EQ(Create(L"a", nullptr, &info)->GetWidth(), 16);
    EXPECT_EQ(info.mHeight, 16);
    render::ImageRect* tga = Create(L"a.tga");
    render::ImageRect* again = Create(L"a.tga");
    ASSERT_TRUE(tga && again);
    EXPECT_EQ(tga->GetWidth(), 7);
    EXPECT_EQ(tga->GetResource().Get(), again->GetResource().Get());
    EXPECT_EQ(*tga->GetResource().GetCount(), 2);
    EXPECT_EQ(r.Textures().size(), textures + 2);
    // A container's plain file, not a layer, loads by its own size.
    render::ImageRect* plain = Create(L"a.dds", mManager);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->GetWidth(), 16);
    // The hit mask answers inside the image only.
    EXPECT_EQ((std::vector<bool>{tga->GetPixel(0, 0), tga->GetPixel(6, 4), tga->GetPixel(7, 0), tga->GetPixel(0, -1)}),
              (std::vector<bool>{true, false, false, false}));
}

TEST_F(ResourceTest, AMissingUndecodableOrUnloadableTextureGivesNoImageAndNoResource)
{
    EXPECT_EQ(Create(L"nothing", nullptr, nullptr, BW_FAIL), nullptr);
    mFolder.Write("bad.tga", "not an image at all");
    EXPECT_EQ(Create(L"bad.tga", nullptr, nullptr, BW_FAIL), nullptr);
    // The recording device takes no compressed data: the texture is deleted, not kept.
    Copy("data/images/quadrants_dxt1.dds", "packed.dds");
    EXPECT_EQ(Create(L"packed", nullptr, nullptr, BW_FAIL), nullptr);
    EXPECT_EQ(r.Textures().size(), textures);
    EXPECT_TRUE(resource::ResourceTexture::GetMap().empty());
}

TEST_F(ResourceTest, AtlasEntriesShareOneAtlasTextureLoadedOnce)
{
    // A layer folder of two entries, the halves of an atlas.
    mFolder.Write("layout/layers.xml", R"(<Layers>
      <Layer name="a" width="2" height="2" opacity="255" atlas="atlas.tga" tu1="0" tv1="0" tu2="0.5" tv2="1"/>
      <Layer name="b" width="2" height="2" opacity="255" atlas="atlas.tga" tu1="0.5" tv1="0" tu2="1" tv2="1"/>
      </Layers>)");
    Copy("tests/Core/Render/fixtures/tga_rgba32_rle.tga", "layout/atlas.tga");
    std::unique_ptr<file::ImageContainer> layout(mManager->OpenImageContainer(mFolder.WidePath() + L"layout"));
    ASSERT_NE(layout, nullptr);
    std::vector<render::ImageRect*> entries;
    for (const wchar_t* name : {L"a", L"b"})
        entries.push_back(Create(name, layout.get()));
    ASSERT_NE(entries[0], nullptr);
    EXPECT_EQ(r.Textures().size(), textures + 1);
    EXPECT_EQ(entries[0]->GetTexture(), entries[1]->GetTexture());
    auto* entry = static_cast<resource::ResourceTexture*>(entries[0]->GetResource().Get());
    ASSERT_NE(entry->GetAtlas().Get(), nullptr);
    EXPECT_EQ(*entry->GetAtlas().GetCount(), 2);
    // A reload takes no second share of the atlas.
    ASSERT_EQ(entry->UnLoad(), BW_OK);
    ASSERT_EQ(entry->Load(), BW_OK);
    EXPECT_EQ(*entry->GetAtlas().GetCount(), 2);
}

TEST_F(ResourceTest, SceneDataLoadsFromTheFolderAndThePackAfterAFailedLoadUnloadsAndLoadsAgain)
{
    // The pack first, while "data/" is not on disk at all.
    testing_support::LogCapture log;
    for (bool packed : {true, false})
    {
        SCOPED_TRACE(packed ? "from the pack" : "from the folder");
        resource::ResourceHandle anim = manager->GetAnimData(L"data/scene/intro");
        ASSERT_NE(anim.Get(), nullptr);
        auto* data = static_cast<animation::AnimData*>(anim.Get());
        // Nothing there yet: the load fails and is tried again below.
        EXPECT_TRUE(!packed || data->Load() != BW_OK);
        WriteSceneFiles(packed ? "packed" : "data");
        ASSERT_EQ(packed ? file::BuildPack(L"packed", L"data.dat") : file::DeleteFile(L"data.dat"), BW_OK);
        resource::ResourceHandle handle = manager->GetMeshLibrary(L"data/scene/sample");
        ASSERT_NE(handle.Get(), nullptr);
        lightwave::MeshLibrary* library = Library(handle);
        for (int pass = 0; pass < 2; ++pass)
        {
            ASSERT_EQ(data->Load(), BW_OK);
            EXPECT_EQ(data->Load(), BW_OK); // only a warning
            EXPECT_EQ(data->GetData(), kScene);
            ASSERT_EQ(library->Load(), BW_OK);
            EXPECT_TRUE(library->FindMesh("ring") && library->GetImage());

            EXPECT_EQ(data->UnLoad(), BW_OK);
            EXPECT_EQ(data->UnLoad(), BW_OK); // only a warning
            EXPECT_TRUE(data->GetData().empty());
            EXPECT_EQ(library->UnLoad(), BW_OK);
            EXPECT_TRUE(!library->GetImage() && library->GetMeshes().empty());
            EXPECT_TRUE(resource::ResourceTexture::GetMap().empty()) << "the texture went with the library";
        }
        // Loaded when the last handle lets go: unloaded and deleted.
        ASSERT_EQ(library->Load(), BW_OK);
        EXPECT_EQ(manager->GetMeshLibraryMap().size(), 1u);
        handle.Reset();
        anim.Reset();
    }
    EXPECT_TRUE(log.Contains(L"Trying to Load already loaded resource 'data/scene/intro'.\n"));
    EXPECT_TRUE(log.Contains(L"Trying to UnLoad already unloaded resource 'data/scene/intro'.\n"));
}

TEST_F(ResourceTest, DamagedSceneDataFailsToLoadWithALogRecordAndLeavesNothingLoaded)
{
    WriteSceneFiles("data");
    const struct
    {
        const char* file; // under data/scene/; null: not written
        const char* bytes;
        const wchar_t* name; // the resource
        bool library;
        const wchar_t* log;
    } cases[] = {
        {nullptr, "", L"data/scene/none", false, L"Animation data 'data/scene/none.scn' not found."},
        {"empty.scn", "", L"data/scene/empty", false,
         L"Animation data 'data/scene/empty.scn' cannot be read or is empty."},
        {nullptr, "", L"data/scene/none", true, L"Mesh library 'data/scene/none.lib' not found."},
        {"cut.lib", "<meshlib texture=\"tiles\"><mesh name=\"a\"><vertices", L"data/scene/cut", true,
         L"Mesh library 'data/scene/cut.lib' is not valid: not XML"},
        {"lost.lib",
         "<meshlib texture=\"gone\"><mesh name=\"a\"><vertices count=\"3\"><v x=\"0\" y=\"0\"/><v x=\"1\" "
         "y=\"0\"/><v x=\"0\" y=\"1\"/></vertices><indices count=\"3\">0 1 2</indices></mesh></meshlib>",
         L"data/scene/lost", true, L"Mesh library 'data/scene/lost.lib' cannot load its texture 'data/scene/gone'."}};
    for (const auto& c : cases)
    {
        if (c.file)
            mFolder.Write(std::string("data/scene/") + c.file, c.bytes);
        testing_support::LogCapture log;
        resource::ResourceHandle handle = c.library ? manager->GetMeshLibrary(c.name) : manager->GetAnimData(c.name);
        ASSERT_NE(handle.Get(), nullptr);
        if (c.library)
            Library(handle);
        EXPECT_NE(handle.Get()->Load(), BW_OK) << c.log;
        EXPECT_FALSE(handle.Get()->IsLoaded()) << c.log;
        EXPECT_TRUE(log.Contains(c.log)) << (log.Messages().empty() ? L"(no log)" : log.Messages().back());
        EXPECT_TRUE(!c.library || !Library(handle)->GetImage()) << c.log;
    }
}

} // namespace
