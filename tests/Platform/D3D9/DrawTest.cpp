#include "D3D9Fixture.h"

namespace d3d9test
{
namespace
{

class Draws : public NullDeviceTest
{
protected:
    void SetUp() override
    {
        NullDeviceTest::SetUp();
        vb = BindDrawState(kVertices);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
    }
    void TearDown() override
    {
        if (vb)
            vb->Release();
        NullDeviceTest::TearDown();
    }
    void Fill(UINT vertices)
    {
        void* data = nullptr;
        ASSERT_EQ(vb->Lock(0, 0, &data, D3DLOCK_DISCARD), D3D_OK);
        std::memset(data, 0, vertices * sizeof(Vertex2D));
        ASSERT_EQ(vb->Unlock(), D3D_OK);
    }
    static constexpr UINT kVertices = 12;
    IDirect3DVertexBuffer9* vb = nullptr;
};

TEST_F(Draws, OutsideTheStreamAreRefusedAndInsideCounted)
{
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 5), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 1, 10), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(7), 0, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_POINTLIST, 0, test::DefaultCaps().MaxPrimitiveCount + 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(test::GetStats(device).draws, 0u);
    Fill(kVertices);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 4), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 10), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 0), D3D_OK);
    EXPECT_EQ(test::GetStats(device).draws, 2u);
    EXPECT_EQ(test::GetStats(device).primitives, 14u);
}

TEST_F(Draws, IndicesMustReachVerticesOfTheStream)
{
    IDirect3DIndexBuffer9* ib = MakeIndices({0, 1, 2, 2, 1, 11, 0, 1, 12});
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1), D3DERR_INVALIDCALL) << "no indices";
    ASSERT_EQ(device->SetIndices(ib), D3D_OK);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 12, 0, 2), D3D_OK);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 1, 0, 12, 0, 2), D3DERR_INVALIDCALL) << "11 + 1";
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 12, 6, 1), D3DERR_INVALIDCALL) << "index 12";
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 12, 3, 3), D3DERR_INVALIDCALL) << "past the end";
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, -1, 0, 12, 0, 1), D3DERR_INVALIDCALL) << "-1 + 0";
    EXPECT_EQ(test::GetStats(device).draws, 1u);
    ib->Release();
}

} // namespace
} // namespace d3d9test
