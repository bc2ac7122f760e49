#include "Core/Render/BufferDoubleCache.h"
#include "tests/Support/RecordingRender.h"

#include <gtest/gtest.h>

#include <tuple>

namespace
{

using render::VertexCache2D;

// Zero capacities take the defaults: 40960 2-D vertices, 10240 more per
// overflow buffer, kept from frame to frame and locked once per frame.
TEST(VertexCache, FillsThePrimaryThenOverflowBuffersAndRefusesUseOutsideAFrame)
{
    bwtest::RecordingRender render;
    VertexCache2D cache{&render};
    ASSERT_EQ(cache.Init(0, 0), BW_OK);
    render::SVertex2D* out = nullptr;
    VertexCache2D::Allocation at;
    const auto allocate = [&](uint32_t count) { return cache.Allocate(count, &out, &at); };
    EXPECT_EQ(allocate(4), BW_FAIL);
    EXPECT_EQ(out, nullptr);
    for (int frame = 0; frame < 3; ++frame)
    {
        ASSERT_EQ(cache.BeginFrame(), BW_OK);
        EXPECT_EQ(cache.BeginFrame(), BW_FAIL);
        ASSERT_EQ(allocate(40000), BW_OK);
        EXPECT_EQ(std::make_tuple(at.mBuffer, at.mFirst), std::make_tuple(cache.GetPrimary()->GetImpl(), 0u));
        // Too big for the primary's rest: the overflow; what fits goes back
        // to the first buffer with room, each frame anew.
        ASSERT_EQ(allocate(1000), BW_OK);
        EXPECT_EQ(std::make_tuple(at.mBuffer->GetCapacity(), at.mFirst), std::make_tuple(10240u, 0u));
        ASSERT_EQ(allocate(960), BW_OK); // exactly the room left
        EXPECT_EQ(std::make_tuple(at.mBuffer, at.mFirst), std::make_tuple(cache.GetPrimary()->GetImpl(), 40000u));
        EXPECT_EQ(allocate(10241), BW_FAIL);
        ASSERT_EQ(allocate(9240), BW_OK);
        EXPECT_EQ(std::make_tuple(at.mBuffer, at.mFirst), std::make_tuple(cache.GetOverflow(0)->GetImpl(), 1000u));
        ASSERT_EQ(cache.EndFrame(), BW_OK);
        EXPECT_FALSE(at.mBuffer->IsLocked());
    }
    EXPECT_EQ(cache.GetOverflowCount(), 1u);
    EXPECT_EQ(static_cast<bwtest::MemoryVertexBuffer*>(at.mBuffer)->mLockCount, 3);
    // Outside a frame EndFrame fails, but still unlocks.
    ASSERT_EQ(at.mBuffer->Lock(), BW_OK);
    EXPECT_EQ(cache.EndFrame(), BW_FAIL);
    EXPECT_FALSE(at.mBuffer->IsLocked());
    // A full overflow buffer opens another; a failing creation is returned.
    ASSERT_EQ(cache.BeginFrame(), BW_OK);
    ASSERT_EQ(allocate(40960), BW_OK);
    ASSERT_EQ(allocate(10240), BW_OK);
    render.mFailCreate = "vertex";
    EXPECT_EQ(allocate(4), BW_FAIL);
    render.mFailCreate.clear();
    EXPECT_EQ(allocate(4), BW_OK);
    EXPECT_EQ(cache.GetOverflowCount(), 2u);
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
