// Texture resources: finding the file by the extension table, sharing by
// name, atlas entries, raw layer pixels, and what a failed load leaves.

#include "Core/Base/ImageInfo.h"
#include "Core/Base/MemoryStream.h"
#include "Core/File/FileContainer.h"
#include "Core/File/FileInfo.h"
#include "Core/Render/ImageRect.h"
#include "Core/Render/Vertex.h"
#include "Core/Render/VertexFormat.h"
#include "Core/Resource/ResourceTexture.h"

#include "tests/Support/ImageFiles.h"
#include "tests/Support/RecordingRender.h"
#include "tests/Support/StubFileContainer.h"
#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace
{

using testing_support::MakePixels;
using testing_support::Pixels;
using testing_support::TempFolder;

std::string AsString(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

// A layer entry: the file description and the layer description in one, as
// layout containers hand them out.
class LayerFileInfo : public file::FileInfo, public base::ImageInfo
{
public:
    LayerFileInfo(const std::wstring& path, file::FileContainer* container, const base::ImageInfo& layer)
        : file::FileInfo(path, path, container, 1), base::ImageInfo(layer)
    {
    }
};

// A layout whose entries are layers with their bytes in memory.
class LayoutContainer : public testing_support::StubFileContainer
{
public:
    file::FileInfo* GetFileInfo(const std::wstring& path, const wchar_t* const*, uint32_t count,
                                uint32_t* outIndex) override
    {
        if (mBytes.count(path) && !mLayers.count(path))
        {
            // A plain file: found by its whole name.
            if (outIndex && count > 0)
                *outIndex = 0;
            return new file::FileInfo(path, path, this, 0);
        }
        auto found = mLayers.find(path);
        if (found == mLayers.end())
            return nullptr;
        if (outIndex && count > 0)
            *outIndex = 0;
        return new LayerFileInfo(path, this, found->second);
    }
    base::Stream* OpenStream(const std::wstring& path) override
    {
        ++mOpened;
        auto found = mBytes.find(path);
        if (found == mBytes.end())
            return nullptr;
        return new base::MemoryStream(found->second.data(), static_cast<uint32_t>(found->second.size()));
    }
    std::wstring GetRootPath() override { return L"layout.psd/"; }

    std::map<std::wstring, base::ImageInfo> mLayers;
    std::map<std::wstring, std::vector<uint8_t>> mBytes;
    int mOpened = 0;
};

class ResourceTextureTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(r.Init(800, 600), BW_OK); }

    void TearDown() override
    {
        images.clear();
        EXPECT_TRUE(resource::ResourceTexture::GetMap().empty()) << "a texture resource outlived its images";
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

    static Pixels Solid(uint32_t width, uint32_t height, uint32_t argb)
    {
        return MakePixels(width, height, [argb](uint32_t, uint32_t) { return argb; });
    }

    bwtest::RecordingRender r;
    TempFolder folder;
    std::vector<std::unique_ptr<render::ImageRect>> images;
};

TEST_F(ResourceTextureTest, ANameWithoutExtensionFindsDdsBeforeTheOthers)
{
    folder.Write("a.dds", AsString(testing_support::MakeDdsArgb(Solid(2, 2, 0xFFFF0000u))));
    folder.Write("a.tga", AsString(testing_support::MakeTga(Solid(4, 4, 0xFF00FF00u), false)));
    folder.Write("b.tga", AsString(testing_support::MakeTga(Solid(3, 1, 0xFF00FF00u), false)));
    base::ImageInfo info;
    render::ImageRect* a = Create(folder.WidePath() + L"a", nullptr, &info);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetWidth(), 2);
    EXPECT_EQ(info.mWidth, 2);
    EXPECT_EQ(info.mHeight, 2);
    render::ImageRect* b = Create(folder.WidePath() + L"b");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetWidth(), 3);
    EXPECT_EQ(b->mScaleX, 1.0f);
    EXPECT_EQ(b->mX, 0);
}

TEST_F(ResourceTextureTest, ANameGivenWholeIsDecodedByItsOwnExtension)
{
    folder.Write("pic.tga", AsString(testing_support::MakeTga(Solid(5, 2, 0x80FFFFFFu), true)));
    render::ImageRect* image = Create(folder.WidePath() + L"pic.tga");
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 5);
    EXPECT_TRUE(image->GetPixel(4, 1));
    EXPECT_FALSE(image->GetPixel(5, 1));
    EXPECT_FALSE(image->GetPixel(0, -1));
    render::SVertex2D v = {};
    v.tu = 0.25f;
    ASSERT_EQ(image->MapAtlasCoordinates(&v, 1, 7, render::VertexFormatOf<render::SVertex2D>()), BW_OK);
    EXPECT_EQ(v.tu, 0.25f) << "not an atlas entry: the coordinates stay";
}

TEST_F(ResourceTextureTest, AMissingUndecodableOrUnloadableFileGivesNoImageAndNoResource)
{
    EXPECT_EQ(Create(folder.WidePath() + L"nothing", nullptr, nullptr, BW_FAIL), nullptr);
    folder.Write("bad.tga", "not an image at all");
    EXPECT_EQ(Create(folder.WidePath() + L"bad.tga", nullptr, nullptr, BW_FAIL), nullptr);
    // The recording device takes no compressed data: the texture is deleted, not kept.
    std::vector<uint8_t> dxt = testing_support::MakeDdsHeader(4, 4, 1, "DXT1");
    dxt.resize(dxt.size() + 8, 0);
    folder.Write("packed.dds", AsString(dxt));
    const size_t textures = r.Textures().size();
    EXPECT_EQ(Create(folder.WidePath() + L"packed", nullptr, nullptr, BW_FAIL), nullptr);
    EXPECT_EQ(r.Textures().size(), textures);
    EXPECT_TRUE(resource::ResourceTexture::GetMap().empty());
}

TEST_F(ResourceTextureTest, ImagesOfOneNameShareOneResource)
{
    folder.Write("shared.tga", AsString(testing_support::MakeTga(Solid(2, 2, 0xFFFFFFFFu), false)));
    const size_t textures = r.Textures().size();
    render::ImageRect* first = Create(folder.WidePath() + L"shared");
    render::ImageRect* second = Create(folder.WidePath() + L"shared");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->GetResource().Get(), second->GetResource().Get());
    EXPECT_EQ(*first->GetResource().GetCount(), 2);
    EXPECT_EQ(first->GetTexture(), second->GetTexture());
    EXPECT_EQ(r.Textures().size(), textures + 1);
    EXPECT_EQ(resource::ResourceTexture::GetMap().size(), 1u);
    images.clear();
    EXPECT_TRUE(resource::ResourceTexture::GetMap().empty());
    EXPECT_EQ(r.Textures().size(), textures);
}

TEST_F(ResourceTextureTest, RawLayerPixelsComeThroughTheContainer)
{
    LayoutContainer layout;
    const int32_t rect[4] = {10, 20, 2, 2};
    layout.mLayers[L"menu/in"] = base::ImageInfo(L"menu/in", rect, 255, 3, 1, 1, 1.0f);
    const uint32_t words[4] = {0xFF0000FFu, 0x09000000u, 0x0A000000u, 0xFFFFFFFFu};
    layout.mBytes[L"menu/in"] = std::vector<uint8_t>(reinterpret_cast<const uint8_t*>(words),
                                                     reinterpret_cast<const uint8_t*>(words) + sizeof(words));
    base::ImageInfo info;
    render::ImageRect* image = Create(L"menu/in", &layout, &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetResource().Get()->GetName(), L"layout.psd/menu/in");
    EXPECT_EQ(info.mX, 10);
    EXPECT_EQ(info.mExtra, 3u);
    EXPECT_EQ(image->GetWidth(), 2);
    EXPECT_TRUE(image->GetPixel(0, 0));
    EXPECT_FALSE(image->GetPixel(1, 0));
    EXPECT_TRUE(image->GetPixel(0, 1));
    auto* texture = static_cast<bwtest::MemoryTexture*>(image->GetTexture());
    EXPECT_EQ(texture->mPixels[3], 0xFFFFFFFFu);
}

TEST_F(ResourceTextureTest, APlainFileInAContainerGivesItsOwnSize)
{
    LayoutContainer folderLike;
    folderLike.mBytes[L"icons/star.tga"] = testing_support::MakeTga(Solid(6, 3, 0xFFFFFFFFu), false);
    base::ImageInfo info;
    render::ImageRect* image = Create(L"icons/star.tga", &folderLike, &info);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->GetWidth(), 6);
    EXPECT_EQ(info.mHeight, 3);
    EXPECT_EQ(info.mRawPixels, 0);
}

TEST_F(ResourceTextureTest, AtlasEntriesShareOneAtlasTextureLoadedOnce)
{
    // A 4x2 atlas: left half opaque, right half transparent.
    folder.Write("atlas.tga", AsString(testing_support::MakeTga(
                                  MakePixels(4, 2, [](uint32_t x, uint32_t) { return x < 2 ? 0xFFFFFFFFu : 0u; }),
                                  false)));
    LayoutContainer layout;
    auto entry = [&](const wchar_t* name, float u) {
        const int32_t rect[4] = {0, 0, 2, 2};
        base::ImageInfo layer(name, rect, 255, 0, 1, 0, 1.0f);
        layer.mAtlas = 1;
        layer.mAtlasPath = folder.WidePath() + L"atlas.tga";
        layer.mTexOffset[0] = u;
        layer.mTexScale[0] = 0.5f;
        layout.mLayers[name] = layer;
    };
    entry(L"left", 0.0f);
    entry(L"right", 0.5f);
    entry(L"again", 0.0f);
    const size_t textures = r.Textures().size();
    render::ImageRect* left = Create(L"left", &layout);
    render::ImageRect* right = Create(L"right", &layout);
    render::ImageRect* again = Create(L"again", &layout);
    ASSERT_NE(left, nullptr);
    ASSERT_NE(right, nullptr);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(r.Textures().size(), textures + 1);
    EXPECT_EQ(layout.mOpened, 0); // entries have no pixels of their own
    EXPECT_EQ(left->GetTexture(), right->GetTexture());
    auto* leftResource = static_cast<resource::ResourceTexture*>(left->GetResource().Get());
    EXPECT_EQ(leftResource->GetTexture(), nullptr);
    const resource::ResourceHandle& atlas = leftResource->GetAtlas();
    ASSERT_NE(atlas.Get(), nullptr);
    EXPECT_EQ(*atlas.GetCount(), 3);

    EXPECT_EQ(right->mX, 2);
    EXPECT_EQ(right->mScaleX, 1.0f);
    EXPECT_TRUE(left->GetPixel(1, 1));
    EXPECT_FALSE(right->GetPixel(0, 0));

    // Texture coordinates go into the entry's part of the atlas.
    render::SVertex2D v[2] = {};
    v[1].tu = 1.0f;
    v[1].tv = 1.0f;
    ASSERT_EQ(right->MapAtlasCoordinates(v, 2, 0, render::VertexFormatOf<render::SVertex2D>()), BW_OK);
    EXPECT_FLOAT_EQ(v[0].tu, 0.5f);
    EXPECT_FLOAT_EQ(v[1].tu, 1.0f);
    EXPECT_FLOAT_EQ(v[1].tv, 1.0f);
    EXPECT_EQ(right->MapAtlasCoordinates(v, 2, 1, render::VertexFormatOf<render::SVertex2D>()), BW_FAIL);
    EXPECT_EQ(right->MapAtlasCoordinates(v, 2, 0, render::VertexFormatOf<render::SVertexGeom>()), BW_FAIL);

    // A reload takes no second share of the atlas.
    ASSERT_EQ(leftResource->UnLoad(), BW_OK);
    ASSERT_EQ(leftResource->Load(), BW_OK);
    EXPECT_EQ(*leftResource->GetAtlas().GetCount(), 3);

    images.clear();
    EXPECT_EQ(r.Textures().size(), textures);
}

} // namespace
