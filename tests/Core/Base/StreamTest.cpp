#include "Core/Base/FileStream.h"
#include "Core/Base/MemoryStream.h"

#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

const char kTen[] = "0123456789";

class StreamFileTest : public ::testing::Test
{
protected:
    std::wstring At(const char* name) const { return mFolder.WidePath() + testing_support::Widen(name); }

    testing_support::TempFolder mFolder;
};

TEST_F(StreamFileTest, FileHandleReopenClosesTheFirstAndRefusesBadSeeks)
{
    mFolder.Write("exists", "1");
    file::FileHandleWin32 handle;
    EXPECT_EQ(handle.Open(At("exists"), 1, 1), BW_FAIL);
    EXPECT_EQ(handle.Close(), BW_FAIL);
    EXPECT_EQ(handle.Open(At("exists"), 0, 2), BW_OK);
    EXPECT_EQ(handle.Open(At("exists"), 0, 2), BW_OK); // no leaked handle
    EXPECT_EQ(handle.Seek(-5, 1), 0u);
    EXPECT_EQ(handle.Close(), BW_OK);
    EXPECT_EQ(handle.GetSize(), 0u);
}

// Promises more than it ever delivers.
class ShortSource : public base::MemoryStream
{
public:
    ShortSource() : base::MemoryStream("abc", 3) {}
    uint32_t GetSize() override { return 1000; }
};

// Accepts only four bytes, like a full disk.
class FullSink : public base::MemoryStream
{
public:
    uint32_t Write(const void* buffer, uint32_t count) override
    {
        uint32_t room = GetSize() < 4 ? 4 - GetSize() : 0;
        return base::MemoryStream::Write(buffer, count < room ? count : room);
    }
};

TEST(StreamCopy, StopsAtAShortSourceOrAShortWriteAndCutsTheCount)
{
    ShortSource shortSource;
    base::MemoryStream target;
    EXPECT_EQ(target.CopyFrom(&shortSource, base::Stream::kWholeStream), 3u);

    base::MemoryStream source(kTen, 10);
    FullSink full;
    EXPECT_EQ(full.CopyFrom(&source, base::Stream::kWholeStream), 4u);

    source.Seek(7, 0);
    EXPECT_EQ(target.CopyFrom(&source, 100), 3u) << "from the current position";
    EXPECT_EQ(target.CopyFrom(&source, 0), 0u);
    source.Seek(7, 0);
    EXPECT_EQ(target.CopyFrom(&source, base::Stream::kWholeStream), 10u) << "the whole stream from its start";
    EXPECT_EQ(target.GetSize(), 16u);
}

} // namespace
