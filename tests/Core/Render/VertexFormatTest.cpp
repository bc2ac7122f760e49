#include "Core/Render/Vertex.h"
#include "Core/Render/VertexFormat.h"

#include <gtest/gtest.h>

namespace
{

using render::VertexFormat;

// The device codes of the layouts are checked where the device selects them,
// their capacities by the caches.
TEST(VertexFormatRegistry, HoldsTheThreeLayoutsByIdWithTheirTextureSets)
{
    EXPECT_EQ(VertexFormat::GetRegisteredCount(), 3u);
    for (uint32_t id : {render::SVertex2D::kFormatId, render::SVertexGeom::kFormatId, render::SVertexRT::kFormatId})
    {
        ASSERT_NE(VertexFormat::Find(id), nullptr) << id;
        EXPECT_EQ(VertexFormat::Find(id)->mId, id);
        EXPECT_EQ(VertexFormat::Find(id)->mPosition.mName, "pos");
        EXPECT_NE(VertexFormat::FindCreator(id), nullptr);
    }
    EXPECT_EQ(VertexFormat::Find(3), nullptr);
    EXPECT_EQ(VertexFormat::FindCreator(3), nullptr);

    const VertexFormat& format = render::VertexFormatOf<render::SVertex2D>();
    EXPECT_EQ(format.mStride, sizeof(render::SVertex2D));
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
