// Texture resources: finding the file by the extension table, sharing by
// name, atlas entries of a layer folder, and what a failed load leaves.

#include "Core/Base/ImageInfo.h"
#include "Core/File/FileManager.h"
#include "Core/Psd/ImageContainer.h"
#include "Core/Render/ImageRect.h"
#include "Core/Resource/ResourceTexture.h"

#include "tests/Support/ImageFiles.h"
#include "tests/Support/RecordingRender.h"
#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{

class ResourceTextureTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(r.Init(800, 600), BW_OK); }

    void TearDown() override
    {
        images.clear();
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

    void WriteTga(const std::string& name, uint32_t width, uint32_t height)
    {
        const std::vector<uint8_t> tga = testing_support::MakeTga(
            testing_support::MakePixels(width, height, [](uint32_t x, uint32_t) { return x == 0 ? 0u : 0xFFFFFFFFu; }),
            false);
        folder.Write(name, std::string(tga.begin(), tga.end()));
    }

    void CopySample(const std::string& sample, const std::string& name)
    {
        const std::vector<uint8_t> bytes = testing_support::ReadFileBytes(testing_support::SampleImagePath(sample));
        folder.Write(name, std::string(bytes.begin(), bytes.end()));
    }

    bwtest::RecordingRender r;
    size_t textures = r.Textures().size();
    testing_support::TempFolder folder;
    std::vector<std::unique_ptr<render::ImageRect>> images;
};

TEST_F(ResourceTextureTest, ANameFindsDdsFirstOrItsOwnExtensionAndImagesOfOneNameShareOneResource)
{
    CopySample("quadrants_argb.dds", "a.dds");
    WriteTga("a.tga", 4, 2);
    base::ImageInfo info;
    EXPECT_EQ(Create(folder.WidePath() + L"a", nullptr, &info)->GetWidth(), 16);
    EXPECT_EQ(info.mHeight, 16);
    render::ImageRect* tga = Create(folder.WidePath() + L"a.tga");
    render::ImageRect* again = Create(folder.WidePath() + L"a.tga");
    ASSERT_NE(tga, nullptr);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(tga->GetWidth(), 4);
    EXPECT_EQ(tga->GetResource().Get(), again->GetResource().Get());
    EXPECT_EQ(*tga->GetResource().GetCount(), 2);
    EXPECT_EQ(r.Textures().size(), textures + 2);
    EXPECT_EQ(resource::ResourceTexture::GetMap().size(), 2u);
    // The hit mask answers inside the image only.
    EXPECT_EQ((std::vector<bool>{tga->GetPixel(0, 1), tga->GetPixel(3, 1), tga->GetPixel(4, 1), tga->GetPixel(3, -1)}),
              (std::vector<bool>{false, true, false, false}));
}

TEST_F(ResourceTextureTest, AMissingUndecodableOrUnloadableFileGivesNoImageAndNoResource)
{
    EXPECT_EQ(Create(folder.WidePath() + L"nothing", nullptr, nullptr, BW_FAIL), nullptr);
    folder.Write("bad.tga", "not an image at all");
    EXPECT_EQ(Create(folder.WidePath() + L"bad.tga", nullptr, nullptr, BW_FAIL), nullptr);
    // The recording device takes no compressed data: the texture is deleted, not kept.
    CopySample("quadrants_dxt1.dds", "packed.dds");
    EXPECT_EQ(Create(folder.WidePath() + L"packed", nullptr, nullptr, BW_FAIL), nullptr);
    EXPECT_EQ(r.Textures().size(), textures);
    EXPECT_TRUE(resource::ResourceTexture::GetMap().empty());
}

TEST_F(ResourceTextureTest, AContainersPlainFileLoadsByItsOwnSize)
{
    WriteTga("star.tga", 6, 3);
    base::ImageInfo info;
    render::ImageRect* image = Create(folder.WidePath() + L"star.tga", file::FileManager::Instance(), &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 6);
    EXPECT_EQ(info.mHeight, 3);
    EXPECT_EQ(info.mRawPixels, 0);
}

TEST_F(ResourceTextureTest, AtlasEntriesShareOneAtlasTextureLoadedOnce)
{
    std::unique_ptr<file::ImageContainer> layout(
        file::FileManager::Instance()->OpenImageContainer(L"" BW_SOURCE_DIR "/data/gui/start"));
    ASSERT_NE(layout, nullptr);
    std::vector<render::ImageRect*> entries;
    for (const wchar_t* name : {L"start/menu/play/out", L"start/menu/play/in", L"start/menu/options/out"})
        entries.push_back(Create(name, layout.get()));
    ASSERT_NE(entries[0], nullptr);
    EXPECT_EQ(r.Textures().size(), textures + 1);
    EXPECT_EQ(entries[0]->GetTexture(), entries[2]->GetTexture());
    EXPECT_EQ(entries[0]->GetResource().Get()->GetName(), layout->GetRootPath() + L"start/menu/play/out");
    auto* entry = static_cast<resource::ResourceTexture*>(entries[0]->GetResource().Get());
    EXPECT_EQ(entry->GetTexture(), nullptr) << "an entry has no pixels of its own";
    ASSERT_NE(entry->GetAtlas().Get(), nullptr);
    EXPECT_EQ(*entry->GetAtlas().GetCount(), 3);
    // A reload takes no second share of the atlas.
    ASSERT_EQ(entry->UnLoad(), BW_OK);
    ASSERT_EQ(entry->Load(), BW_OK);
    EXPECT_EQ(*entry->GetAtlas().GetCount(), 3);
}

} // namespace
