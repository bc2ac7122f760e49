#include "Core/Render/VertexFormat.h"

#include <gtest/gtest.h>

namespace
{

// The registered layouts' codes are checked where the device selects them.
TEST(VertexFormatCode, TextureCoordinateSizesGoIntoTheirSetsBits)
{
    render::VertexFormat format;
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
