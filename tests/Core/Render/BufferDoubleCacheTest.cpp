#include "Core/Render/BufferDoubleCache.h"
#include "tests/Support/RecordingRender.h"

#include <gtest/gtest.h>

#include <tuple>

namespace
{

using render::SVertex2D;
using render::VertexCache2D;

// Zero capacities take the defaults: 40960 2-D vertices, 10240 more per
// overflow buffer.
class VertexCacheTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(cache.Init(0, 0), BW_OK); }

    BWResultEnum Allocate(uint32_t count, VertexCache2D::Allocation* at = nullptr)
    {
        VertexCache2D::Allocation place;
        out = nullptr;
        return cache.Allocate(count, &out, at ? at : &place);
    }
    bwtest::MemoryVertexBuffer* Memory(render::VertexBufferImpl* impl)
    {
        return static_cast<bwtest::MemoryVertexBuffer*>(impl);
    }

    bwtest::RecordingRender render;
    VertexCache2D cache{&render};
    SVertex2D* out = nullptr;
};

TEST_F(VertexCacheTest, RefusesMisuseOutsideAFrameAndEndFrameAlwaysUnlocks)
{
    render::VertexBufferImpl* primary = cache.GetPrimary()->GetImpl();
    EXPECT_EQ(Allocate(4), BW_FAIL);
    EXPECT_EQ(out, nullptr);
    ASSERT_EQ(cache.BeginFrame(), BW_OK);
    EXPECT_EQ(cache.BeginFrame(), BW_FAIL);
    ASSERT_EQ(Allocate(4), BW_OK);
    ASSERT_EQ(cache.EndFrame(), BW_OK);
    EXPECT_FALSE(primary->IsLocked());
    // Outside a frame EndFrame fails, but still unlocks.
    ASSERT_EQ(primary->Lock(), BW_OK);
    EXPECT_EQ(cache.EndFrame(), BW_FAIL);
    EXPECT_FALSE(primary->IsLocked());
}

TEST_F(VertexCacheTest, RunsFillThePrimaryThenOverflowBuffersUpToTheirCapacity)
{
    ASSERT_EQ(cache.BeginFrame(), BW_OK);
    VertexCache2D::Allocation a, b;
    ASSERT_EQ(Allocate(4, &a), BW_OK);
    SVertex2D* first = out;
    ASSERT_EQ(Allocate(40000 - 4, &b), BW_OK);
    EXPECT_EQ(std::make_tuple(b.mFirst, b.mBuffer, out), std::make_tuple(4u, a.mBuffer, first + 4));
    EXPECT_EQ(Memory(a.mBuffer)->mLockCount, 1);
    // Exactly the room left still comes from the primary buffer.
    ASSERT_EQ(Allocate(960, &a), BW_OK);
    EXPECT_EQ(std::make_tuple(a.mBuffer, a.mFirst), std::make_tuple(cache.GetPrimary()->GetImpl(), 40000u));
    EXPECT_EQ(cache.GetOverflowCount(), 0u);
    EXPECT_EQ(Allocate(10241), BW_FAIL);
    EXPECT_EQ(out, nullptr);
    ASSERT_EQ(Allocate(10240, &a), BW_OK);
    ASSERT_EQ(cache.GetOverflowCount(), 1u);
    EXPECT_EQ(std::make_tuple(a.mBuffer, a.mFirst), std::make_tuple(cache.GetOverflow(0)->GetImpl(), 0u));
    // The first overflow buffer is full: the next run opens a second one.
    ASSERT_EQ(Allocate(8), BW_OK);
    EXPECT_EQ(cache.GetOverflowCount(), 2u);
}

TEST_F(VertexCacheTest, OverflowBuffersAreKeptAndRelockedOncePerFrame)
{
    for (int frame = 0; frame < 3; ++frame)
    {
        ASSERT_EQ(cache.BeginFrame(), BW_OK);
        ASSERT_EQ(Allocate(40960), BW_OK);
        for (int i = 0; i < 5; ++i)
            ASSERT_EQ(Allocate(100), BW_OK);
        ASSERT_EQ(cache.EndFrame(), BW_OK);
    }
    ASSERT_EQ(cache.GetOverflowCount(), 1u);
    EXPECT_EQ(Memory(cache.GetOverflow(0)->GetImpl())->mLockCount, 3);
    EXPECT_EQ(render.mVertexBuffersMade, 2);
    // A failing creation of another one is returned.
    ASSERT_EQ(cache.BeginFrame(), BW_OK);
    ASSERT_EQ(Allocate(40960), BW_OK);
    ASSERT_EQ(Allocate(10240), BW_OK);
    render.mFailCreate = "vertex";
    EXPECT_EQ(Allocate(4), BW_FAIL);
    EXPECT_EQ(cache.GetOverflowCount(), 1u);
}

TEST(IndexCache, SixteenBitOverflowHoldsAtMost1024IndicesAndAFailedPrimaryLeavesNoBuffer)
{
    bwtest::RecordingRender render;
    render::IndexCache16 cache(&render);
    ASSERT_EQ(cache.Init(0, 0), BW_OK);
    ASSERT_EQ(cache.BeginFrame(), BW_OK);
    unsigned short* out = nullptr;
    render::IndexCache16::Allocation at;
    ASSERT_EQ(cache.Allocate(10240, &out, &at), BW_OK);
    EXPECT_EQ(cache.Allocate(1025, &out, &at), BW_FAIL);
    EXPECT_EQ(cache.Allocate(1024, &out, &at), BW_OK);
    EXPECT_EQ(at.mBuffer->GetCapacity(), 1024u);

    bwtest::RecordingRender failing;
    failing.mFailCreate = "index";
    render::IndexCache16 none(&failing);
    EXPECT_EQ(none.Init(0, 0), BW_FAIL);
    EXPECT_EQ(none.GetPrimary(), nullptr);
    EXPECT_TRUE(failing.Buffers().empty());
}

} // namespace
