#include "Platform/D3D9/D3D9.h"

#include <gtest/gtest.h>

// The values the renderer compares against must survive LP64.
TEST(D3D9Header, ResultCodesAreNegative32Bit)
{
    static_assert(sizeof(HRESULT) == 4 && sizeof(DWORD) == 4 && sizeof(D3DCOLOR) == 4, "fixed widths");
    EXPECT_TRUE(FAILED(D3DERR_DEVICELOST));
    EXPECT_TRUE(FAILED(D3DERR_INVALIDCALL));
    EXPECT_EQ(static_cast<DWORD>(D3DERR_DEVICENOTRESET), 0x88760869u);
    EXPECT_EQ(static_cast<DWORD>(D3DFMT_DXT5), 0x35545844u);
    EXPECT_EQ(D3DVS_VERSION(1, 1), 0xFFFE0101u);
    EXPECT_EQ(D3DPS_VERSION(2, 0), 0xFFFF0200u);
    EXPECT_EQ(D3DFVF_XYZW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1, 0x41C2u);
}
