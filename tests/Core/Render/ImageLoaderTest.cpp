#include "Core/Base/ImageInfo.h"
#include "Core/Base/MemoryStream.h"
#include "Core/Render/HitMask.h"
#include "Core/Render/ImageDataDDS.h"
#include "Core/Render/ImageDataDevil.h"
#include "Core/Render/ImageDataRaw.h"
#include "Core/Render/ImageLoader.h"
#include "tests/Support/ImageFiles.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{

using testing_support::MakePixels;
using testing_support::ReadFileBytes;
using testing_support::SampleImagePath;

std::unique_ptr<render::ImageData> Load(base::Stream* stream, const wchar_t* extension,
                                        const base::ImageInfo* layer = nullptr)
{
    return std::unique_ptr<render::ImageData>(
        render::ImageLoader::Instance()->CreateImageData(stream, extension, layer));
}

struct ExtensionCase
{
    const wchar_t* extension;
    const char* file; // sample whose bytes are offered
    enum Kind
    {
        None,
        Devil,
        Dds,
    } kind;
};

class ImageLoaderExtension : public testing::TestWithParam<ExtensionCase>
{
};

TEST_P(ImageLoaderExtension, ChoosesTheDecoderByTheThreeLowerCaseLettersAfterTheDot)
{
    const ExtensionCase& c = GetParam();
    const std::vector<uint8_t> bytes = ReadFileBytes(SampleImagePath(c.file));
    ASSERT_FALSE(bytes.empty());
    base::MemoryStream stream(bytes.data(), static_cast<uint32_t>(bytes.size()));
    std::unique_ptr<render::ImageData> data = Load(&stream, c.extension);
    if (c.kind == ExtensionCase::None)
    {
        EXPECT_EQ(data, nullptr);
        return;
    }
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(dynamic_cast<render::ImageDataDevil*>(data.get()) != nullptr, c.kind == ExtensionCase::Devil);
    EXPECT_EQ(dynamic_cast<render::ImageDataDDS*>(data.get()) != nullptr, c.kind == ExtensionCase::Dds);
    EXPECT_EQ(data->GetWidth(), 16);
}

// Each DevIL extension is also read where its sample is decoded.
INSTANTIATE_TEST_SUITE_P(
    Table, ImageLoaderExtension,
    testing::Values(ExtensionCase{L".dds", "quadrants_dxt1.dds", ExtensionCase::Dds},
                    ExtensionCase{L".pngx", "quadrants.png", ExtensionCase::Devil},
                    ExtensionCase{L".JPG", "quadrants.jpg", ExtensionCase::None},
                    ExtensionCase{L".jpeg", "quadrants.jpg", ExtensionCase::None},
                    ExtensionCase{L"png", "quadrants.png", ExtensionCase::None},
                    ExtensionCase{L"", "quadrants.png", ExtensionCase::None},
                    ExtensionCase{L".pn", "quadrants.png", ExtensionCase::None},
                    ExtensionCase{L".psd", "quadrants.png", ExtensionCase::None},
                    ExtensionCase{nullptr, "quadrants.png", ExtensionCase::None}));

TEST(ImageLoader, RefusesDataThatCannotBeOpened)
{
    // A DDS with an unaccepted FourCC must not go on as raw pixels.
    std::vector<uint8_t> dds = testing_support::MakeDdsHeader(4, 4, 1, "DXT2");
    dds.resize(dds.size() + 16, 0);
    base::MemoryStream ddsStream(dds.data(), static_cast<uint32_t>(dds.size()));
    EXPECT_EQ(Load(&ddsStream, L".dds"), nullptr);

    const uint8_t garbage[64] = {1, 2, 3};
    base::MemoryStream pngStream(garbage, sizeof(garbage));
    EXPECT_EQ(Load(&pngStream, L".png"), nullptr);
    EXPECT_EQ(render::ImageDataDevil::GetLiveImageCount(), 0);
}

TEST(ImageLoader, RawPixelsFlagWinsOverTheExtension)
{
    const uint32_t words[2] = {0xFF112233u, 0x00445566u};
    base::MemoryStream stream(words, sizeof(words));
    const int32_t rect[4] = {0, 0, 2, 1};
    base::ImageInfo layer(L"layer", rect, 255, 0, 1, 1, 1.0f);
    std::unique_ptr<render::ImageData> data = Load(&stream, L".png", &layer);
    ASSERT_NE(data, nullptr);
    EXPECT_NE(dynamic_cast<render::ImageDataRaw*>(data.get()), nullptr);
    EXPECT_EQ(data->GetWidth(), 2);
    EXPECT_EQ(data->GetHeight(), 1);
    EXPECT_EQ(data->GetSize(), 8u);

    // A layer name usually has no extension at all.
    base::MemoryStream again(words, sizeof(words));
    EXPECT_NE(Load(&again, L"", &layer), nullptr);

    layer.mRawPixels = 0;
    base::MemoryStream encoded(words, sizeof(words));
    EXPECT_EQ(Load(&encoded, L"", &layer), nullptr);
}

class ImageDataRawTest : public testing::Test
{
protected:
    std::unique_ptr<render::ImageData> Open(const std::vector<uint32_t>& words, int32_t width, int32_t height)
    {
        stream = std::make_unique<base::MemoryStream>(words.data(), static_cast<uint32_t>(words.size() * 4));
        const int32_t rect[4] = {0, 0, width, height};
        base::ImageInfo layer(L"layer", rect, 255, 0, 1, 1, 1.0f);
        return Load(stream.get(), L"", &layer);
    }

    std::unique_ptr<base::MemoryStream> stream;
};

TEST_F(ImageDataRawTest, CopiesWordsAtThePitchAndTakesAlphaTenAsOpaque)
{
    const std::vector<uint32_t> words = {0x09FF0000u, 0x0A00FF00u, 0xFF0000FFu, 0x00000000u};
    std::unique_ptr<render::ImageData> data = Open(words, 2, 2);
    ASSERT_NE(data, nullptr);
    render::HitMask mask;
    ASSERT_TRUE(mask.Resize(2, 2));
    std::vector<uint32_t> out(6, 0xDEADBEEFu); // pitch of 3 words
    ASSERT_EQ(data->Read(12, 0, out.data(), &mask, 0), BW_OK);
    EXPECT_EQ(out, (std::vector<uint32_t>{0x09FF0000u, 0x0A00FF00u, 0xDEADBEEFu, 0xFF0000FFu, 0, 0xDEADBEEFu}));
    const bool opaque[4] = {mask.GetPixel(0, 0), mask.GetPixel(1, 0), mask.GetPixel(0, 1), mask.GetPixel(1, 1)};
    EXPECT_EQ(std::vector<bool>(opaque, opaque + 4), (std::vector<bool>{false, true, true, false}));
}

TEST_F(ImageDataRawTest, AShortStreamFailsTheReadAndALayerWithoutSizeIsRefused)
{
    std::unique_ptr<render::ImageData> data = Open({0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu}, 2, 2);
    ASSERT_NE(data, nullptr);
    render::HitMask mask;
    mask.Resize(2, 2);
    std::vector<uint32_t> out(4);
    EXPECT_EQ(data->Read(8, 0, out.data(), &mask, 0), BW_FAIL);
    data.reset();
    EXPECT_EQ(Open({0xFFFFFFFFu}, 0, 1), nullptr);
}

} // namespace
