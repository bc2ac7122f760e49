// Device textures on the layer's null back end: formats and levels of
// loaded images, failures part-way, hit masks, locking, and device loss.

#include "tests/Core/Render/DX9/RenderDX9Fixture.h"

#include "Core/Render/DX9/TextureDX9.h"
#include "Core/Render/Image.h"
#include "tests/Support/ImageFiles.h"

#include <memory>
#include <tuple>

namespace
{

using d3d9::test::Call;
using d3d9::test::CallRecord;

std::vector<uint8_t> Sample(const char* name)
{
    return testing_support::ReadFileBytes(testing_support::SampleImagePath(name));
}

class TextureDX9Test : public bwtest::RenderDX9Test
{
protected:
    void SetUp() override
    {
        bwtest::RenderDX9Test::SetUp();
        ASSERT_EQ(Init(), BW_OK);
    }

    std::vector<CallRecord> Logged(Call call)
    {
        std::vector<CallRecord> found;
        for (const CallRecord& record : d3d9::test::GetCallLog())
            if (record.call == call)
                found.push_back(record);
        return found;
    }

};

TEST_F(TextureDX9Test, LoadedImagesGoToTheManagedPoolWithEveryLevelFilled)
{
    const std::tuple<const char*, uint32_t, uint32_t> samples[] = {
        {"quadrants_argb.dds", D3DFMT_A8R8G8B8, 1},
        {"quadrants_dxt1.dds", D3DFMT_DXT1, 1},
        {"quadrants_dxt5.dds", D3DFMT_DXT5, 5}};
    d3d9::test::EnableCallLog(true);
    for (const auto& [file, format, levels] : samples)
    {
        SCOPED_TRACE(file);
        d3d9::test::ClearCallLog();
        render::TextureDX9* texture = NewTexture();
        ASSERT_EQ(LoadInto(texture, Sample(file), L".dds"), BW_OK);
        const std::vector<CallRecord> created = Logged(Call::CreateTexture);
        ASSERT_EQ(created.size(), 1u);
        // Width, height, levels, usage, format, pool.
        std::vector<uint64_t> args;
        for (int k = 0; k < 6; ++k)
            args.push_back(created[0].args[k].bits);
        EXPECT_EQ(args, (std::vector<uint64_t>{16, 16, levels, 0, format, D3DPOOL_MANAGED}));
        const std::vector<CallRecord> locks = Logged(Call::TextureLockRect);
        ASSERT_EQ(locks.size(), levels);
        for (uint32_t level = 0; level < levels; ++level)
            EXPECT_EQ(locks[level].args[0].bits, level);
        EXPECT_EQ(Logged(Call::TextureUnlockRect).size(), levels);
        EXPECT_TRUE(texture->GetPixel(0, 0));
    }
}

TEST_F(TextureDX9Test, AFailedCreationOrLockLeavesNoDeviceTextureAndASecondLoadReplacesTheFirst)
{
    const std::vector<uint8_t> dds = Sample("quadrants_dxt5.dds");
    const UINT live = d3d9::test::LiveObjects();
    render::TextureDX9* texture = NewTexture();
    d3d9::test::ForceResult(Call::CreateTexture, D3DERR_OUTOFVIDEOMEMORY, 1);
    EXPECT_EQ(LoadInto(texture, dds, L".dds"), BW_FAIL);
    EXPECT_EQ(texture->GetDeviceTexture(), nullptr);
    // The third level cannot be locked: the half-filled texture goes.
    d3d9::test::ForceResult(Call::TextureLockRect, D3DERR_INVALIDCALL, 1, 2);
    EXPECT_EQ(LoadInto(texture, dds, L".dds"), BW_FAIL);
    EXPECT_EQ(texture->GetDeviceTexture(), nullptr);
    EXPECT_FALSE(texture->GetPixel(0, 0));
    d3d9::test::ForceResult(Call::TextureUnlockRect, D3DERR_INVALIDCALL, 1);
    EXPECT_EQ(LoadInto(texture, dds, L".dds"), BW_FAIL);
    EXPECT_EQ(d3d9::test::LiveObjects(), live);

    const std::vector<uint8_t> tga = testing_support::MakeTga(
        testing_support::MakePixels(3, 2, [](uint32_t x, uint32_t) { return x == 0 ? 0xFFFFFFFFu : 0u; }), false);
    ASSERT_EQ(LoadInto(texture, tga, L".tga"), BW_OK);
    ASSERT_EQ(LoadInto(texture, Sample("quadrants.png"), L".png"), BW_OK);
    EXPECT_EQ(d3d9::test::LiveObjects(), live + 1);
    EXPECT_EQ(texture->GetWidth(), 16u);
    EXPECT_TRUE(texture->GetPixel(15, 0));
    EXPECT_FALSE(texture->GetPixel(15, 15));
}

} // namespace
