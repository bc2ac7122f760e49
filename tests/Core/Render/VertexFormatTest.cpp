#include "Core/Render/BufferDoubleCache.h"
#include "Core/Render/Vertex.h"
#include "Core/Render/VertexFormat.h"

#include <gtest/gtest.h>

namespace
{

using render::VertexFormat;

struct LayoutCase
{
    uint32_t id;
    uint32_t stride;
    uint32_t fvf;
    uint32_t cacheCapacity;
    uint32_t overflowCapacity;
    std::vector<std::string> names;
    std::vector<uint32_t> offsets;
};

class VertexLayout : public testing::TestWithParam<LayoutCase>
{
};

TEST_P(VertexLayout, IsRegisteredUnderItsIdWithItsDeviceCode)
{
    const LayoutCase& c = GetParam();
    const VertexFormat* format = VertexFormat::Find(c.id);
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->mId, c.id);
    EXPECT_EQ(format->mStride, c.stride);
    EXPECT_EQ(format->mFvf, c.fvf);
    EXPECT_EQ(format->mCacheCapacity, c.cacheCapacity);
    EXPECT_EQ(format->mOverflowCapacity, c.overflowCapacity);
    ASSERT_EQ(format->mElements.size(), c.names.size());
    for (size_t i = 0; i < c.names.size(); ++i)
    {
        EXPECT_EQ(format->mElements[i].mName, c.names[i]);
        EXPECT_EQ(format->mElements[i].mOffset, c.offsets[i]);
    }
    EXPECT_EQ(format->mPosition.mName, "pos");
    EXPECT_NE(VertexFormat::FindCreator(c.id), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Builtin, VertexLayout,
    testing::Values(LayoutCase{0, 32, 0x41C2, 40960, 10240, {"pos", "diff", "spec", "tutv"}, {0, 16, 20, 24}},
                    LayoutCase{1, 16, 0x042, 5120, 1024, {"pos", "diff"}, {0, 12}},
                    LayoutCase{2, 24, 0x4102, 0, 0, {"pos", "tutv"}, {0, 16}}));

TEST(VertexFormatRegistry, HoldsExactlyTheThreeLayoutsInDeclarationOrder)
{
    EXPECT_EQ(VertexFormat::GetRegisteredCount(), 3u);
    EXPECT_EQ(render::SVertex2D::kFormatId, 0u);
    EXPECT_EQ(render::SVertexGeom::kFormatId, 1u);
    EXPECT_EQ(render::SVertexRT::kFormatId, 2u);
    EXPECT_EQ(VertexFormat::Find(3), nullptr);
    EXPECT_EQ(VertexFormat::FindCreator(3), nullptr);
}

TEST(VertexFormatRegistry, RecordsTextureSetsWithTheirSizeAndOffset)
{
    const VertexFormat& format = render::VertexFormatOf<render::SVertex2D>();
    ASSERT_EQ(format.mTexCoordSets.size(), 1u);
    EXPECT_EQ(format.mTexCoordSets[0].first, 2u);
    EXPECT_EQ(format.mTexCoordSets[0].second, 24u);
}

TEST(VertexFormatCode, TextureCoordinateSizesGoIntoTheirSetsBits)
{
    VertexFormat format;
    uint32_t sets = 0;
    format.AddElement("pos", 0, 12, render::Position3, sets, 3);
    format.AddElement("t0", 12, 4, render::TexCoord, sets, 1);
    format.AddElement("t1", 16, 12, render::TexCoord, sets, 3);
    format.AddElement("t2", 28, 16, render::TexCoord, sets, 4);
    format.AddElement("n", 44, 12, render::Normal, sets, 3);
    EXPECT_EQ(sets, 3u);
    // XYZ, NORMAL, TEXCOORDSIZE1(0) = 3 << 16, SIZE3(1) = 1 << 18, SIZE4(2) = 2 << 20.
    EXPECT_EQ(format.mFvf, 0x002u | 0x010u | (3u << 16) | (1u << 18) | (2u << 20));
}

} // namespace
