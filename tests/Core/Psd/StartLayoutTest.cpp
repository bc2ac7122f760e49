// The start screen's layout as shipped: the PSD and the layer folder must
// describe the same screen, from disk and from a pack, and the renderer must
// make the same pixels of every layer through either form: the PSD's as raw
// words, the folder's decoded from its files and its atlas.

#include "Core/File/PackBuilder.h"
#include "Core/Psd/ImageFileInfo.h"
#include "Core/Psd/PsdFile.h"
#include "Core/Psd/PsdFolder.h"
#include "Core/Render/ImageRect.h"
#include "Core/Resource/ResourceTexture.h"

#include "tests/Core/Psd/ContainerTesting.h"
#include "tests/Support/ImageFiles.h"
#include "tests/Support/RecordingRender.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace containertest;
using testing_support::Narrow;
using testing_support::Widen;

namespace
{

const std::string kData = BW_SOURCE_DIR "/data/";
const wchar_t* const kTextureExtensions[] = {L"", L".dds", L".jpg", L".gif", L".png", L".tga"};

class StartLayoutTest : public LayoutTest
{
protected:
    void SetUp() override { ASSERT_EQ(r.Init(800, 600), BW_OK); }

    void TearDown() override
    {
        images.clear();
        EXPECT_TRUE(resource::ResourceTexture::GetMap().empty());
    }

    void ExpectSameLayout(file::ImageContainer& folder)
    {
        ASSERT_GT(psd.GetLayerCount(), 0u);
        EXPECT_EQ(Names(folder), Names(psd));
        for (uint32_t i = 0; i < psd.GetLayerCount() && i < folder.GetLayerCount(); ++i)
        {
            const base::ImageInfo& a = *psd.GetLayer(i);
            const base::ImageInfo& b = *folder.GetLayer(i);
            SCOPED_TRACE(Narrow(a.mName));
            EXPECT_EQ(Rect(a), Rect(b));
            EXPECT_EQ(a.mOpacity, b.mOpacity);
            EXPECT_EQ(a.mExtra, b.mExtra);
        }
    }

    // The pixels the renderer holds for the layer's image: the whole texture,
    // or the image's part of a shared atlas texture.
    std::vector<uint32_t> ImagePixels(file::ImageContainer& layout, const std::wstring& name)
    {
        render::ImageRect* image = nullptr;
        if (r.CreateImage(name, &layout, &image, nullptr) != BW_OK || !image)
            return {};
        images.emplace_back(image);
        auto* texture = static_cast<bwtest::MemoryTexture*>(image->GetTexture());
        if (!texture)
            return {};
        std::vector<uint32_t> pixels;
        for (int32_t y = 0; y < image->GetHeight(); ++y)
            for (int32_t x = 0; x < image->GetWidth(); ++x)
                pixels.push_back(texture->mPixels[size_t(image->mY + y) * texture->GetWidth() + size_t(image->mX + x)]);
        return pixels;
    }

    // Every picture of the PSD streams exactly its pixels, and the renderer
    // makes the same of it through both forms.
    void ExpectSamePixels(file::ImageContainer& folder)
    {
        int pictures = 0;
        for (uint32_t i = 0; i < psd.GetLayerCount(); ++i)
        {
            const base::ImageInfo& layer = *psd.GetLayer(i);
            if (!layer.mHasImage)
                continue;
            SCOPED_TRACE(Narrow(layer.mName));
            std::unique_ptr<base::Stream> stream(psd.OpenLayerStream(layer.mName));
            ASSERT_NE(stream, nullptr);
            const std::vector<uint32_t> expected = ReadPixels(stream.get());
            EXPECT_EQ(expected.size(), size_t(layer.mWidth) * size_t(layer.mHeight));
            EXPECT_TRUE(ImagePixels(psd, layer.mName) == expected);
            EXPECT_TRUE(ImagePixels(folder, layer.mName) == expected);
            ++pictures;
        }
        EXPECT_EQ(pictures, 6);
    }

    bwtest::RecordingRender r;
    file::PsdFile psd{Widen(kData) + L"gui/start.psd", mManager};
    std::unique_ptr<file::ImageContainer> folder{mManager->OpenImageContainer(Widen(kData) + L"gui/start")};
    std::vector<std::unique_ptr<render::ImageRect>> images;
};

TEST_F(StartLayoutTest, PsdAndFolderDescribeTheSameScreenAndGiveTheRendererTheSamePixels)
{
    ASSERT_NE(dynamic_cast<file::PsdFolder*>(folder.get()), nullptr);
    ExpectSameLayout(*folder);
    // The menu keeps only the button that leads somewhere.
    EXPECT_EQ(Names(psd), (std::vector<std::wstring>{L"start/sparkle|center", L"start/profile|box",
                                                     L"start/menu/options/out", L"start/menu/options/in",
                                                     L"start/menu/panel", L"start/title", L"start/chips",
                                                     L"start/back"}));
    EXPECT_EQ(psd.FindLayer(L"start/menu/panel")->mOpacity, 200u);
    EXPECT_EQ(Rect(*psd.FindLayer(L"start/back")), (std::vector<int32_t>{0, 0, 1024, 768}));
    // Anchors give a rectangle and a point, and have no image in either form.
    EXPECT_EQ(Describe(psd.FindLayer(L"start/profile|box")).substr(0, 31), "312,600 400x40 o255 e12 image0 ");
    EXPECT_EQ(Describe(psd.FindLayer(L"start/sparkle|center")).substr(0, 26), "824,68 0x0 o255 e13 image0");
    EXPECT_FALSE(folder->HasLayerImageFile(L"start/profile|box"));
    EXPECT_EQ(folder->GetImageInfo(L"start/profile|box", kTextureExtensions, 6), nullptr);
    ExpectSamePixels(*folder);
}

TEST_F(StartLayoutTest, TheFolderWorksFromThePack)
{
    // The shipped folder packed alone, mounted on "data/" with no loose copy.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kData + "gui/start"))
    {
        if (!entry.is_regular_file())
            continue;
        const std::string relative = std::filesystem::relative(entry.path(), kData).generic_string();
        const std::vector<uint8_t> bytes = testing_support::ReadFileBytes(entry.path().string());
        mFolder.Write("packed/" + relative, std::string(bytes.begin(), bytes.end()));
    }
    ASSERT_EQ(file::BuildPack(L"packed", L"data.dat"), BW_OK);
    mManager->GetMountTable()[L"data/"] = L"data.dat";

    std::unique_ptr<file::ImageContainer> packed(mManager->OpenImageContainer(L"data/gui/start"));
    ASSERT_NE(dynamic_cast<file::PsdFolder*>(packed.get()), nullptr);
    ExpectSameLayout(*packed);
    EXPECT_EQ(packed->FindLayer(L"start/menu/options/out")->mAtlasPath, L"data/gui/start/menu.png");
    std::unique_ptr<file::ImageFileInfo> info(packed->GetImageInfo(L"start/back", kTextureExtensions, 6));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->GetFlag(), 1);
    ExpectSamePixels(*packed);
}

} // namespace
