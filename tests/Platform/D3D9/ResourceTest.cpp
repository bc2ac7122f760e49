#include "D3D9Fixture.h"

namespace d3d9test
{
namespace
{

struct TextureCase
{
    const char* name;
    UINT width, height, levels;
    DWORD usage;
    D3DFORMAT format;
    D3DPOOL pool;
    HRESULT expected;
};
class CreateTextureCases : public NullDeviceTest, public ::testing::WithParamInterface<TextureCase>
{
};

TEST_P(CreateTextureCases, AnswerAsDirect3DDoes)
{
    const TextureCase& c = GetParam();
    IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(this);
    EXPECT_EQ(device->CreateTexture(c.width, c.height, c.levels, c.usage, c.format, c.pool, &texture, nullptr),
              c.expected);
    EXPECT_EQ(texture != nullptr, SUCCEEDED(c.expected));
    EXPECT_EQ(texture ? texture->Release() : 0u, 0u);
}

const D3DFORMAT kArgb = D3DFMT_A8R8G8B8;
const D3DPOOL kManaged = D3DPOOL_MANAGED, kDefault = D3DPOOL_DEFAULT;
const DWORD kTarget = D3DUSAGE_RENDERTARGET;
INSTANTIATE_TEST_SUITE_P(
    Textures, CreateTextureCases,
    ::testing::Values(TextureCase{"Argb", 64, 32, 1, 0, kArgb, kManaged, D3D_OK},
                      TextureCase{"FullChain", 64, 32, 0, 0, D3DFMT_DXT5, kManaged, D3D_OK},
                      TextureCase{"Dxt1Odd", 5, 3, 1, 0, D3DFMT_DXT1, kManaged, D3D_OK},
                      TextureCase{"Dynamic", 8, 8, 1, D3DUSAGE_DYNAMIC, kArgb, kDefault, D3D_OK},
                      TextureCase{"ZeroWidth", 0, 8, 1, 0, kArgb, kManaged, D3DERR_INVALIDCALL},
                      TextureCase{"TooWide", 8193, 8, 1, 0, kArgb, kManaged, D3DERR_INVALIDCALL},
                      TextureCase{"TooManyLevels", 8, 8, 5, 0, kArgb, kManaged, D3DERR_INVALIDCALL},
                      TextureCase{"ManagedTarget", 8, 8, 1, kTarget, kArgb, kManaged, D3DERR_INVALIDCALL},
                      TextureCase{"CompressedTarget", 8, 8, 1, kTarget, D3DFMT_DXT1, kDefault, D3DERR_INVALIDCALL},
                      TextureCase{"UnknownFormat", 8, 8, 1, 0, D3DFMT_A8, kManaged, D3DERR_INVALIDCALL}),
    [](const ::testing::TestParamInfo<TextureCase>& info) { return std::string(info.param.name); });

struct PitchCase
{
    D3DFORMAT format;
    UINT width, level;
    INT pitch;
};
class LockPitch : public NullDeviceTest, public ::testing::WithParamInterface<PitchCase>
{
};

TEST_P(LockPitch, IsRowBytesOrBlockRowBytes)
{
    const PitchCase& c = GetParam();
    IDirect3DTexture9* texture = MakeTexture(c.width, 16, 0, D3DPOOL_MANAGED, c.format, 0);
    D3DLOCKED_RECT locked = {};
    ASSERT_EQ(texture->LockRect(c.level, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, c.pitch);
    EXPECT_EQ(texture->LockRect(c.level, &locked, nullptr, 0), D3DERR_INVALIDCALL); // already locked
    EXPECT_EQ(texture->UnlockRect(c.level), D3D_OK);
    EXPECT_EQ(texture->UnlockRect(c.level), D3DERR_INVALIDCALL);
    texture->Release();
}

INSTANTIATE_TEST_SUITE_P(Formats, LockPitch,
                         ::testing::Values(PitchCase{D3DFMT_A8R8G8B8, 20, 0, 80}, PitchCase{D3DFMT_A8R8G8B8, 20, 2, 20},
                                           PitchCase{D3DFMT_DXT1, 20, 0, 40}, PitchCase{D3DFMT_DXT5, 20, 0, 80},
                                           PitchCase{D3DFMT_DXT3, 20, 4, 16}));

TEST_F(NullDeviceTest, OnlyManagedAndDynamicTexturesLockAndOnlyTheirLevels)
{
    IDirect3DTexture9* target = MakeTexture(8, 8, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT);
    IDirect3DTexture9* dynamic = MakeTexture(8, 4, D3DUSAGE_DYNAMIC, D3DPOOL_DEFAULT);
    D3DLOCKED_RECT locked = {};
    EXPECT_EQ(target->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(locked.pBits, nullptr);
    ASSERT_EQ(dynamic->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD), D3D_OK);
    std::memset(locked.pBits, 0xFF, static_cast<size_t>(locked.Pitch) * 4); // the whole level is writable
    EXPECT_EQ(dynamic->UnlockRect(0), D3D_OK);
    EXPECT_EQ(dynamic->LockRect(1, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    ReleaseAll({target, dynamic});
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

    IDirect3DIndexBuffer9* bad = nullptr;
    EXPECT_EQ(device->CreateIndexBuffer(64, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &bad, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateIndexBuffer(0, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &bad, nullptr), D3DERR_INVALIDCALL);
    IDirect3DVertexBuffer9* vb = nullptr;
    EXPECT_EQ(device->CreateVertexBuffer(16, D3DUSAGE_DYNAMIC, kFvf2D, D3DPOOL_MANAGED, &vb, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateVertexBuffer(16, 0, kFvf2D, D3DPOOL_MANAGED, &vb, nullptr), D3DERR_INVALIDCALL)
        << "shorter than one vertex";
}

TEST_F(NullDeviceTest, BoundObjectsLiveUntilUnbound)
{
    IDirect3DTexture9* texture = MakeTexture(8, 8, 0, D3DPOOL_MANAGED, D3DFMT_DXT1);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    const UINT live = test::LiveObjects();
    EXPECT_EQ(texture->Release(), 0u);
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
