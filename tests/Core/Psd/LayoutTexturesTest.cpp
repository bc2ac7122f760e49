// From layout to pixels: the renderer makes images of the start screen's
// layers through either container form and gets the same pixels, the PSD's
// as raw words, the folder's decoded from its files and its atlas.

#include "Core/Psd/PsdFile.h"
#include "Core/Render/ImageRect.h"
#include "Core/Resource/ResourceTexture.h"

#include "tests/Core/Psd/ContainerTesting.h"
#include "tests/Support/RecordingRender.h"

#include <gtest/gtest.h>

#include <memory>

using namespace containertest;
using testing_support::Narrow;
using testing_support::Widen;

namespace
{

const std::wstring kLayout = Widen(BW_SOURCE_DIR "/data/gui/start");

class LayoutTexturesTest : public LayoutTest
{
protected:
    void SetUp() override { ASSERT_EQ(r.Init(800, 600), BW_OK); }

    void TearDown() override
    {
        images.clear();
        EXPECT_TRUE(resource::ResourceTexture::GetMap().empty());
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

    bwtest::RecordingRender r;
    file::PsdFile psd{kLayout + L".psd", mManager};
    std::unique_ptr<file::ImageContainer> folder{mManager->OpenImageContainer(kLayout)};
    std::vector<std::unique_ptr<render::ImageRect>> images;
};

TEST_F(LayoutTexturesTest, BothFormsGiveTheRendererTheSamePixels)
{
    ASSERT_NE(folder, nullptr);
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
        ASSERT_FALSE(expected.empty());
        EXPECT_TRUE(ImagePixels(psd, layer.mName) == expected);
        EXPECT_TRUE(ImagePixels(*folder, layer.mName) == expected);
        ++pictures;
    }
    EXPECT_EQ(pictures, 10);
}

} // namespace
