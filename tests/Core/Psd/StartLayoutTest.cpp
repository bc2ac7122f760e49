// The start screen's layout as shipped: the PSD and the layer folder must
// describe the same screen, from disk and from a pack.

#include "Core/File/PackBuilder.h"
#include "Core/Psd/ImageFileInfo.h"
#include "Core/Psd/PsdFile.h"
#include "Core/Psd/PsdFolder.h"

#include "tests/Core/Psd/ContainerTesting.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

using namespace containertest;
using testing_support::Widen;

namespace
{

const std::string kData = BW_SOURCE_DIR "/data/";
const wchar_t* const kTextureExtensions[] = {L"", L".dds", L".jpg", L".gif", L".png", L".tga"};

struct Picture
{
    uint32_t width = 0, height = 0;
    std::vector<uint32_t> pixels; // ARGB words
};

// A PNG decoded to ARGB words (BGRA bytes on this little-endian machine).
Picture DecodePng(const std::string& bytes)
{
    Picture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size()))
        return picture;
    image.format = PNG_FORMAT_BGRA;
    picture.pixels.resize(size_t(image.width) * image.height);
    if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr))
        return Picture();
    picture.width = image.width;
    picture.height = image.height;
    return picture;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<uint32_t> Region(const Picture& picture, uint32_t x, uint32_t y, uint32_t width, uint32_t height)
{
    std::vector<uint32_t> pixels;
    for (uint32_t row = y; row < y + height && row < picture.height; ++row)
        for (uint32_t column = x; column < x + width && column < picture.width; ++column)
            pixels.push_back(picture.pixels[size_t(row) * picture.width + column]);
    return pixels;
}

class StartLayoutTest : public LayoutTest
{
protected:
    StartLayoutTest()
        : mPsd(Widen(kData) + L"gui/start.psd", mManager),
          mLayoutFolder(mManager->OpenImageContainer(Widen(kData) + L"gui/start"))
    {
    }

    // The pixels the folder gives for a layer: its own image file, or its
    // region of the atlas.
    std::vector<uint32_t> FolderPixels(file::ImageContainer& folder, const std::wstring& name)
    {
        base::ImageInfo* layer = folder.FindLayer(name);
        std::unique_ptr<file::ImageFileInfo> info(folder.GetImageInfo(name, kTextureExtensions, 6));
        if (!layer || !info)
            return {};
        if (!layer->mAtlas)
        {
            std::unique_ptr<base::Stream> stream(info->Open());
            return stream ? DecodePng(ReadAll(stream.get())).pixels : std::vector<uint32_t>();
        }
        // The atlas path is the root path of the folder's owner and beyond.
        const std::wstring atlasPath = layer->mAtlasPath.substr(folder.GetOwner()->GetRootPath().size());
        std::unique_ptr<base::Stream> stream(folder.GetOwner()->OpenStream(atlasPath));
        if (!stream)
            return {};
        const Picture atlas = DecodePng(ReadAll(stream.get()));
        const float x = layer->mTexOffset[0] * float(atlas.width);
        const float y = layer->mTexOffset[1] * float(atlas.height);
        EXPECT_EQ(layer->mTexScale[0] * float(atlas.width), float(layer->mWidth)) << testing_support::Narrow(name);
        EXPECT_EQ(layer->mTexScale[1] * float(atlas.height), float(layer->mHeight)) << testing_support::Narrow(name);
        return Region(atlas, uint32_t(x), uint32_t(y), uint32_t(layer->mWidth), uint32_t(layer->mHeight));
    }

    void ExpectSameLayout(file::ImageContainer& folder)
    {
        ASSERT_GT(mPsd.GetLayerCount(), 0u);
        EXPECT_EQ(Names(folder), Names(mPsd));
        for (uint32_t i = 0; i < mPsd.GetLayerCount() && i < folder.GetLayerCount(); ++i)
        {
            const base::ImageInfo& a = *mPsd.GetLayer(i);
            const base::ImageInfo& b = *folder.GetLayer(i);
            SCOPED_TRACE(testing_support::Narrow(a.mName));
            EXPECT_EQ(Rect(a), Rect(b));
            EXPECT_EQ(a.mOpacity, b.mOpacity);
            EXPECT_EQ(a.mExtra, b.mExtra);
        }
    }

    file::PsdFile mPsd;
    std::unique_ptr<file::ImageContainer> mLayoutFolder;
};

TEST_F(StartLayoutTest, PsdAndFolderDescribeTheSameScreen)
{
    ASSERT_NE(dynamic_cast<file::PsdFolder*>(mLayoutFolder.get()), nullptr);
    ExpectSameLayout(*mLayoutFolder);

    const std::vector<std::wstring> expected = {
        L"start/sparkle|center",   L"start/profile|box",     L"start/menu/play/out", L"start/menu/play/in",
        L"start/menu/options/out", L"start/menu/options/in", L"start/menu/exit/out", L"start/menu/exit/in",
        L"start/menu/panel",       L"start/title",           L"start/chips",         L"start/back",
    };
    EXPECT_EQ(Names(mPsd), expected);
    EXPECT_EQ(mPsd.FindLayer(L"start/menu/panel")->mOpacity, 200u);
    EXPECT_EQ(Rect(*mPsd.FindLayer(L"start/back")), (std::vector<int32_t>{0, 0, 1024, 768}));
}

TEST_F(StartLayoutTest, AnchorsGiveARectangleAndAPoint)
{
    for (file::ImageContainer* layout : {static_cast<file::ImageContainer*>(&mPsd), mLayoutFolder.get()})
    {
        base::ImageInfo* box = layout->FindLayer(L"start/profile|box");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(Rect(*box), (std::vector<int32_t>{312, 600, 400, 40}));
        base::ImageInfo* center = layout->FindLayer(L"start/sparkle|center");
        ASSERT_NE(center, nullptr);
        EXPECT_EQ(Rect(*center), (std::vector<int32_t>{824, 68, 0, 0}));
    }
    EXPECT_EQ(mPsd.FindLayer(L"start/profile|box")->mHasImage, 0);
    EXPECT_EQ(mPsd.FindLayer(L"start/sparkle|center")->mHasImage, 0);
    // Anchors of a folder have no image file to find.
    EXPECT_FALSE(mLayoutFolder->HasLayerImageFile(L"start/profile|box"));
    EXPECT_EQ(mLayoutFolder->GetImageInfo(L"start/profile|box", kTextureExtensions, 6), nullptr);
}

TEST_F(StartLayoutTest, EveryPictureHasTheSamePixelsInBothForms)
{
    for (uint32_t i = 0; i < mPsd.GetLayerCount(); ++i)
    {
        const base::ImageInfo& layer = *mPsd.GetLayer(i);
        if (!layer.mHasImage)
            continue;
        SCOPED_TRACE(testing_support::Narrow(layer.mName));
        std::unique_ptr<file::ImageFileInfo> info(mPsd.GetImageInfo(layer.mName, kTextureExtensions, 6));
        ASSERT_NE(info, nullptr);
        std::unique_ptr<base::Stream> stream(info->Open());
        ASSERT_NE(stream, nullptr);
        const std::vector<uint32_t> fromPsd = ReadPixels(stream.get());
        EXPECT_EQ(fromPsd.size(), size_t(layer.mWidth) * size_t(layer.mHeight));
        EXPECT_TRUE(fromPsd == FolderPixels(*mLayoutFolder, layer.mName));
    }
}

TEST_F(StartLayoutTest, TheFolderWorksFromThePack)
{
    // The shipped folder packed alone, mounted on "data/" with no loose copy.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kData + "gui/start"))
    {
        if (!entry.is_regular_file())
            continue;
        const std::string relative = std::filesystem::relative(entry.path(), kData).generic_string();
        mFolder.Write("packed/" + relative, ReadFile(entry.path().string()));
    }
    ASSERT_EQ(file::BuildPack(L"packed", L"data.dat"), BW_OK);
    mManager->GetMountTable()[L"data/"] = L"data.dat";

    std::unique_ptr<file::ImageContainer> packed(mManager->OpenImageContainer(L"data/gui/start"));
    ASSERT_NE(dynamic_cast<file::PsdFolder*>(packed.get()), nullptr);
    ExpectSameLayout(*packed);
    EXPECT_EQ(packed->FindLayer(L"start/menu/play/out")->mAtlasPath, L"data/gui/start/menu.png");
    for (uint32_t i = 0; i < mPsd.GetLayerCount(); ++i)
    {
        const base::ImageInfo& layer = *mPsd.GetLayer(i);
        if (!layer.mHasImage)
            continue;
        SCOPED_TRACE(testing_support::Narrow(layer.mName));
        std::unique_ptr<base::Stream> stream(mPsd.OpenLayerStream(layer.mName));
        ASSERT_NE(stream, nullptr);
        EXPECT_TRUE(ReadPixels(stream.get()) == FolderPixels(*packed, layer.mName));
    }
    std::unique_ptr<file::ImageFileInfo> info(packed->GetImageInfo(L"start/back", kTextureExtensions, 6));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->GetFlag(), 1);
}

} // namespace
