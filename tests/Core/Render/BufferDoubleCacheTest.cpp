#include "Core/Render/BufferDoubleCache.h"
#include "tests/Support/RecordingRender.h"

#include <gtest/gtest.h>

namespace
{

using render::SVertex2D;
using render::VertexCache2D;

class VertexCacheTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(cache.Init(0, 0), BW_OK); }

    // Fills the primary buffer up to `used` elements.
    void FillPrimary(uint32_t used)
    {
        SVertex2D* out = nullptr;
        VertexCache2D::Allocation at;
        ASSERT_EQ(cache.Allocate(used, &out, &at), BW_OK);
    }

    bwtest::RecordingRender render;
    VertexCache2D cache{&render};
};

TEST_F(VertexCacheTest, ZeroCapacitiesTakeTheLayoutDefaults)
{
    EXPECT_EQ(cache.GetPrimary()->GetImpl()->GetCapacity(), 40960u);
    EXPECT_EQ(cache.GetOverflowCapacity(), 10240u);
    EXPECT_EQ(cache.GetOverflowCount(), 0u);
}

TEST_F(VertexCacheTest, RefusesMisuseOutsideAFrame)
{
    SVertex2D* out = nullptr;
    VertexCache2D::Allocation at;
    EXPECT_EQ(cache.Allocate(4, &out, &at), BW_FAIL);
    EXPECT_EQ(out, nullptr);

    ASSERT_EQ(cache.BeginFrame(), BW_OK);
    EXPECT_EQ(cache.BeginFrame(), BW_FAIL);
    ASSERT_EQ(cache.Allocate(4, &out, &at), BW_OK);
    EXPECT_TRUE(cache.GetPrimary()->GetImpl()->IsLocked());
    ASSERT_EQ(cache.EndFrame(), BW_OK);
    EXPECT_FALSE(cache.GetPrimary()->GetImpl()->IsLocked());
    EXPECT_EQ(cache.EndFrame(), BW_FAIL);
}

TEST_F(VertexCacheTest, EndFrameOutsideAFrameStillUnlocks)
{
    ASSERT_EQ(cache.BeginFrame(), BW_OK);
    FillPrimary(4);
    ASSERT_EQ(cache.EndFrame(), BW_OK);
    ASSERT_EQ(cache.GetPrimary()->GetImpl()->Lock(), BW_OK);
    EXPECT_EQ(cache.EndFrame(), BW_FAIL);
    EXPECT_FALSE(cache.GetPrimary()->GetImpl()->IsLocked());
}

TEST_F(VertexCacheTest, RunsFollowEachOtherInTheLockedBuffer)
{
    ASSERT_EQ(cache.BeginFrame(), BW_OK);
    SVertex2D* first = nullptr;
    SVertex2D* second = nullptr;
    VertexCache2D::Allocation a, b;
    ASSERT_EQ(cache.Allocate(4, &first, &a), BW_OK);
    ASSERT_EQ(cache.Allocate(6, &second, &b), BW_OK);
    EXPECT_EQ(a.mFirst, 0u);
    EXPECT_EQ(a.mCount, 4u);
    EXPECT_EQ(b.mFirst, 4u);
    EXPECT_EQ(b.mCount, 6u);
    EXPECT_EQ(a.mBuffer, b.mBuffer);
    EXPECT_EQ(second, first + 4);
    auto* memory = static_cast<bwtest::MemoryVertexBuffer*>(a.mBuffer);
    EXPECT_EQ(memory->mLockCount, 1);
}

TEST_F(VertexCacheTest, ExactRemainingRoomComesFromThePrimaryThenOverflow)
{
    ASSERT_EQ(cache.BeginFrame(), BW_OK);
    FillPrimary(40000);
    SVertex2D* out = nullptr;
    VertexCache2D::Allocation at;
    ASSERT_EQ(cache.Allocate(960, &out, &at), BW_OK);
    EXPECT_EQ(at.mBuffer, cache.GetPrimary()->GetImpl());
    EXPECT_EQ(at.mFirst, 40000u);
    EXPECT_EQ(cache.GetOverflowCount(), 0u);

    ASSERT_EQ(cache.Allocate(1, &out, &at), BW_OK);
    ASSERT_EQ(cache.GetOverflowCount(), 1u);
    EXPECT_EQ(at.mBuffer, cache.GetOverflow(0)->GetImpl());
    EXPECT_EQ(at.mFirst, 0u);
    EXPECT_NE(out, nullptr);
}

TEST_F(VertexCacheTest, OverflowCapacityIsTheLimitOnceThePrimaryIsFull)
{
    ASSERT_EQ(cache.BeginFrame(), BW_OK);
    FillPrimary(40960);
    SVertex2D* out = nullptr;
    VertexCache2D::Allocation at;
    EXPECT_EQ(cache.Allocate(10241, &out, &at), BW_FAIL);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(cache.GetOverflowCount(), 0u);

    ASSERT_EQ(cache.Allocate(10240, &out, &at), BW_OK);
    ASSERT_EQ(cache.GetOverflowCount(), 1u);
    EXPECT_EQ(cache.GetOverflow(0)->GetImpl()->GetCapacity(), 10240u);
    EXPECT_EQ(at.mCount, 10240u);

    // The first overflow buffer is full: the next run opens a second one.
    ASSERT_EQ(cache.Allocate(8, &out, &at), BW_OK);
    EXPECT_EQ(cache.GetOverflowCount(), 2u);
}

TEST_F(VertexCacheTest, OverflowBuffersAreKeptAndRelockedOncePerFrame)
{
    for (int frame = 0; frame < 3; ++frame)
    {
        ASSERT_EQ(cache.BeginFrame(), BW_OK);
        FillPrimary(40960);
        SVertex2D* out = nullptr;
        VertexCache2D::Allocation at;
        for (int i = 0; i < 5; ++i)
            ASSERT_EQ(cache.Allocate(100, &out, &at), BW_OK);
        ASSERT_EQ(cache.EndFrame(), BW_OK);
    }
    ASSERT_EQ(cache.GetOverflowCount(), 1u);
    auto* overflow = static_cast<bwtest::MemoryVertexBuffer*>(cache.GetOverflow(0)->GetImpl());
    EXPECT_EQ(overflow->mLockCount, 3);
    EXPECT_EQ(render.mVertexBuffersMade, 2);
}

TEST_F(VertexCacheTest, AFailingOverflowCreationIsReturned)
{
    ASSERT_EQ(cache.BeginFrame(), BW_OK);
    FillPrimary(40960);
    render.mFailCreate = "vertex";
    SVertex2D* out = nullptr;
    VertexCache2D::Allocation at;
    EXPECT_EQ(cache.Allocate(4, &out, &at), BW_FAIL);
    EXPECT_EQ(cache.GetOverflowCount(), 0u);
}

TEST(IndexCache, DefaultsAreTheRenderersSizes)
{
    bwtest::RecordingRender render;
    render::IndexCache16 small(&render);
    render::IndexCache32 large(&render);
    ASSERT_EQ(small.Init(0, 0), BW_OK);
    ASSERT_EQ(large.Init(0, 0), BW_OK);
    EXPECT_EQ(small.GetPrimary()->GetImpl()->GetCapacity(), 10240u);
    EXPECT_EQ(small.GetPrimary()->GetImpl()->GetElementSize(), 2u);
    EXPECT_EQ(small.GetOverflowCapacity(), 1024u);
    EXPECT_EQ(large.GetPrimary()->GetImpl()->GetCapacity(), 61440u);
    EXPECT_EQ(large.GetPrimary()->GetImpl()->GetElementSize(), 4u);
    EXPECT_EQ(large.GetOverflowCapacity(), 10240u);
}

TEST(IndexCache, SixteenBitOverflowHoldsAtMost1024Indices)
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
}

TEST(IndexCache, AFailedPrimaryLeavesNoBuffer)
{
    bwtest::RecordingRender render;
    render.mFailCreate = "index";
    render::IndexCache16 cache(&render);
    EXPECT_EQ(cache.Init(0, 0), BW_FAIL);
    EXPECT_EQ(cache.GetPrimary(), nullptr);
    EXPECT_TRUE(render.Buffers().empty());
}

} // namespace
