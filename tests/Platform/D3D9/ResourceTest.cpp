#include "D3D9Fixture.h"

#include <tuple>

namespace d3d9test
{
namespace
{

TEST_F(NullDeviceTest, LockPitchIsRowBytesOrBlockRowBytesAndLocksDoNotNest)
{
    // Format, width, level, pitch.
    const std::tuple<D3DFORMAT, UINT, UINT, INT> cases[] = {{D3DFMT_A8R8G8B8, 20, 0, 80}, {D3DFMT_A8R8G8B8, 20, 2, 20},
                                                            {D3DFMT_DXT1, 20, 0, 40},     {D3DFMT_DXT5, 20, 0, 80},
                                                            {D3DFMT_DXT3, 20, 4, 16}};
    for (const auto& [format, width, level, pitch] : cases)
    {
        IDirect3DTexture9* texture = MakeTexture(width, 16, 0, D3DPOOL_MANAGED, format, 0);
        D3DLOCKED_RECT locked = {};
        ASSERT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3D_OK);
        EXPECT_EQ(locked.Pitch, pitch) << format << " level " << level;
        EXPECT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3DERR_INVALIDCALL); // already locked
        EXPECT_EQ(texture->UnlockRect(level), D3D_OK);
        EXPECT_EQ(texture->UnlockRect(level), D3DERR_INVALIDCALL);
        texture->Release();
    }
}

TEST_F(NullDeviceTest, BufferLocksStayInsideTheBuffer)
{
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(64, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
    void* data = nullptr;
    EXPECT_EQ(ib->Lock(60, 8, &data, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(ib->Lock(65, 0, &data, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(ib->Lock(60, 0, &data, 0), D3D_OK); // size 0: to the end
    std::memset(data, 0, 4);
    EXPECT_EQ(ib->Unlock(), D3D_OK);
    EXPECT_EQ(ib->Unlock(), D3DERR_INVALIDCALL);
    ib->Release();
}

TEST_F(NullDeviceTest, BoundObjectsLiveUntilUnboundAndAReleaseTooManyIsIgnored)
{
    IDirect3DTexture9* texture = MakeTexture(8, 8, 0, D3DPOOL_MANAGED, D3DFMT_DXT1);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    const UINT live = test::LiveObjects();
    EXPECT_EQ(texture->Release(), 0u);
    EXPECT_EQ(texture->Release(), 0u); // one too many: ignored
    EXPECT_EQ(test::LiveObjects(), live);
    EXPECT_EQ(test::GetBoundTexture(device, 0), texture);
    ASSERT_EQ(device->SetTexture(0, nullptr), D3D_OK);
    EXPECT_EQ(test::LiveObjects(), live - 1);
    EXPECT_EQ(device->SetTexture(16, nullptr), D3DERR_INVALIDCALL);
}

TEST_F(NullDeviceTest, ShaderCreationValidatesTheBlob)
{
    const std::vector<DWORD> vs = MakeBlob(kBlobVersionVS11, kVertexShaderText, 4, 0);
    const std::vector<DWORD> ps = MakeBlob(kBlobVersionPS20, kColorPixelShaderText, 0, 0);
    const DWORD junk[] = {0x12345678, kBlobEnd};
    IDirect3DVertexShader9* vertex = nullptr;
    IDirect3DPixelShader9* pixel = nullptr;
    for (const DWORD* blob : {ps.data(), junk, static_cast<const DWORD*>(nullptr)})
        EXPECT_EQ(device->CreateVertexShader(blob, &vertex), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreatePixelShader(vs.data(), &pixel), D3DERR_INVALIDCALL) << "a vertex shader blob";
}

} // namespace
} // namespace d3d9test
