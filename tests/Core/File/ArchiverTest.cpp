#include "Core/Base/MemoryStream.h"
#include "Core/Base/StreamCreator.h"
#include "Core/File/Archiver.h"
#include "Core/File/FileInfo.h"
#include "Core/File/FileManager.h"
#include "Core/File/PackBuilder.h"
#include "Core/Psd/ImageContainer.h"
#include "Core/Psd/ImageFileInfo.h"

#include "tests/Core/File/MountedFolderFixture.h"
#include "tests/Support/LogCapture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>
#include <vector>

using testing_support::LogCapture;

namespace
{

// Little-endian pack bytes, written field by field so that tests can break any field.
struct PackWriter
{
    PackWriter& U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<char>(v >> (8 * i)));
        return *this;
    }
    PackWriter& Raw(const std::string& s)
    {
        bytes += s;
        return *this;
    }
    PackWriter& Header(uint32_t count) { return U32(6).Raw("bwpack").U32(count); }
    // A UTF-16 name, then size, offset, a zero flag byte and four zero bytes.
    PackWriter& Record(const std::u16string& name, uint32_t size, uint32_t offset)
    {
        U32(static_cast<uint32_t>(name.size()));
        for (char16_t unit : name)
            bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
        return U32(size).U32(offset).Raw(std::string(1, '\0')).U32(0);
    }

    std::string bytes;
};

// The single entry a.txt = "abc": H = 14 + (4 + 10) + 13 = 41.
const std::string kOneEntryPack = PackWriter().Header(1).Record(u"a.txt", 3, 41).Raw("abc").bytes;

BWResultEnum LoadBytes(file::Archiver& archive, const std::string& bytes)
{
    base::MemoryStream stream(bytes.data(), static_cast<uint32_t>(bytes.size()));
    return archive.Load(&stream);
}

class PackTest : public filetest::MountedFolderTest
{
};

TEST_F(PackTest, OneEntryPackIsByteForByteTheDocumentedLayout)
{
    mFolder.Write("in/a.txt", "abc");
    ASSERT_EQ(file::BuildPack(L"in", L"out.dat"), BW_OK);
    EXPECT_EQ(mFolder.Read("out.dat"), kOneEntryPack);
    EXPECT_FALSE(mFolder.Exists("out.dat.tmp"));

    file::Archiver archive;
    ASSERT_EQ(LoadBytes(archive, kOneEntryPack), BW_OK);
    EXPECT_EQ(archive.GetHeaderSize(), 41u);
    EXPECT_EQ(archive.GetDirectory().at(L"a.txt").offset, 41u);
}

TEST_F(PackTest, RoundTripServesEveryFileByteForByte)
{
    // Names outside ASCII, one outside the 16-bit range (two UTF-16 units).
    std::vector<std::string> names{"gui/menu.xml", "gui/\xD0\xBC\xD0\xB5\xD0\xBD\xD1\x8E.png", "fx/fx2.ptc",
                                   "a \xF0\x9F\x98\x80.bin", "empty", "gui/deep/er/x.txt"};
    std::string binary;
    for (int i = 0; i < 300; ++i)
        binary.push_back(static_cast<char>(i * 7));
    for (size_t i = 0; i < names.size(); ++i)
        mFolder.Write("data/" + names[i], names[i] == "empty" ? "" : binary + names[i]);
    ASSERT_EQ(file::BuildPack(L"data", L"data.dat"), BW_OK);
    mFolder.Write("data/gui/menu.xml", "changed on disk"); // must not be what is served

    for (const std::string& name : names)
    {
        SCOPED_TRACE(name);
        EXPECT_EQ(ReadAll(L"data/" + testing_support::Widen(name)), name == "empty" ? "" : binary + name);
    }
    file::Archiver archive(L"data/", L"data.dat", mManager);
    ASSERT_TRUE(archive.IsValid());
    EXPECT_EQ(archive.GetDirectory().size(), names.size());
    // The header counts UTF-16 units: the emoji is two of them.
    uint64_t header = 14;
    for (const auto& entry : archive.GetDirectory())
        header += 4 + 13 + 2 * (entry.first.size() + (entry.first.find(L'\U0001F600') != std::wstring::npos));
    EXPECT_EQ(archive.GetHeaderSize(), header);
    EXPECT_EQ(archive.GetRootPath(), L"data/");
}

// Entries share one open pack: they read at once, from two threads, and
// after the archive that opened them is gone.
TEST_F(PackTest, ManyEntriesStayOpenAtOnceAndOutliveTheirArchive)
{
    for (int i = 0; i < 20; ++i)
        mFolder.Write("data/" + std::to_string(i), std::string(1000, static_cast<char>('a' + i)));
    ASSERT_EQ(file::BuildPack(L"data", L"data.dat"), BW_OK);
    std::vector<std::unique_ptr<base::Stream>> open;
    for (int i = 0; i < 20; ++i)
        open.emplace_back(mManager->GetArchiveFor(L"data/", nullptr)->OpenStream(std::to_wstring(i)));
    mManager->DropArchives();
    auto readHalf = [&open](int first, std::string* seen) {
        for (int pass = 0; pass < 100; ++pass)
            for (int i = first; i < first + 10; ++i)
            {
                char byte = 0;
                if (open[i]->Read(&byte, 1) == 1)
                    seen->push_back(byte);
            }
    };
    std::string low, high;
    std::thread other(readHalf, 0, &low);
    readHalf(10, &high);
    other.join();
    std::string expectedLow, expectedHigh;
    for (int pass = 0; pass < 100; ++pass)
        for (int i = 0; i < 10; ++i)
            expectedLow.push_back(static_cast<char>('a' + i)), expectedHigh.push_back(static_cast<char>('k' + i));
    EXPECT_EQ(low, expectedLow);
    EXPECT_EQ(high, expectedHigh);
    std::unique_ptr<base::StreamCreator> creator(mManager->GetArchiveFor(L"data/x", nullptr)->CreateStreamCreator(L"7"));
    base::Stream* made = nullptr;
    ASSERT_EQ(creator->Create(&made), BW_OK);
    EXPECT_EQ(std::unique_ptr<base::Stream>(made)->GetSize(), 1000u);
}

// Listings are the file manager test's, through a mounted pack.
TEST_F(PackTest, DirectoryQueriesUseTheEntryNames)
{
    const std::string bytes =
        PackWriter().Header(3).Record(u"gui/a.psd", 0, 0).Record(u"gui/b/c.png", 0, 0).Record(u"gui/a.psd", 5, 0).bytes;
    file::Archiver archive;
    ASSERT_EQ(LoadBytes(archive, bytes), BW_OK);
    EXPECT_EQ(archive.GetDirectory().at(L"gui/a.psd").size, 0u); // the first record wins
    EXPECT_TRUE(archive.DoIsDirectory(L"gui"));
    EXPECT_FALSE(archive.DoIsDirectory(L"gu"));
    EXPECT_FALSE(archive.DoIsDirectory(L""));

    const wchar_t* const extensions[] = {L".png", L".psd"};
    uint32_t index = 9;
    EXPECT_TRUE(archive.DoFileExists(L"gui/a", extensions, 2, &index));
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(archive.OpenStream(L"gui/missing"), nullptr);
    EXPECT_EQ(archive.CreateStreamCreator(L"gui/missing"), nullptr);

    file::Archiver empty;
    EXPECT_EQ(LoadBytes(empty, PackWriter().Header(0).bytes), BW_OK);
}

TEST_F(PackTest, ADamagedPackIsRefusedWithALogRecordAndTheFolderIsServed)
{
    const std::pair<const char*, std::string> cases[] = {
        {"empty file", ""},
        {"keyword stored with length 7", PackWriter().U32(7).Raw("bwpackX").U32(0).bytes},
        {"keyword length 4 GiB", PackWriter().U32(0xFFFFFFFF).Raw("bwpack").bytes},
        {"wrong keyword", PackWriter().U32(6).Raw("bwpacj").U32(0).bytes},
        {"count beyond the file", PackWriter().Header(0x7FFFFFFF).Record(u"a", 0, 0).bytes},
        {"name length beyond the file", PackWriter().Header(1).U32(0x7FFFFFFF).Raw("a").bytes},
        {"empty name", PackWriter().Header(1).Record(u"", 0, 0).bytes},
        {"unpaired surrogate", PackWriter().Header(1).Record(u"a\xD800", 0, 0).bytes},
        {"data beyond the end", PackWriter().Header(1).Record(u"a", 5, 30).bytes},
        {"offset wraps around", PackWriter().Header(1).Record(u"a", 2, 0xFFFFFFFF).bytes},
        {"truncated directory", kOneEntryPack.substr(0, 30)},
        {"truncated data", kOneEntryPack.substr(0, 43)}};
    mFolder.Write("data/a.txt", "loose");
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.first);
        file::Archiver archive;
        EXPECT_EQ(LoadBytes(archive, c.second), BW_FAIL);
        EXPECT_TRUE(archive.GetDirectory().empty());
        mFolder.Write("data.dat", c.second);
        mManager->DropArchives();
        LogCapture log;
        EXPECT_EQ(ReadAll(L"data/a.txt"), "loose");
        EXPECT_TRUE(log.Contains(L"data.dat")) << "no log record names the refused pack";
        EXPECT_EQ(mManager->GetArchiveFor(L"data/a.txt", nullptr), nullptr);
    }
}

TEST_F(PackTest, PackHoldingItsOwnNameIsNotMountedInsideItself)
{
    mFolder.Write("in/self.dat", "inner");
    mFolder.Write("in/a.txt", "a");
    ASSERT_EQ(file::BuildPack(L"in", L"self.dat"), BW_OK);
    mManager->GetMountTable().clear();
    mManager->GetMountTable()[L""] = L"self.dat"; // every path falls under it
    EXPECT_EQ(ReadAll(L"self.dat"), "inner");
    EXPECT_EQ(ReadAll(L"a.txt"), "a");
}

TEST_F(PackTest, WhatWasHandedOutOfAPackFindsNothingAfterItsRebuild)
{
    mFolder.Write("data/a.txt", "old");
    mFolder.Write("data/l/p", "px");
    mFolder.Write("data/l/layers.xml", "<Layers><Layer name=\"p\" x=\"0\" y=\"0\" width=\"1\" height=\"1\" "
                                       "opacity=\"255\" ind=\"0\"/></Layers>");
    ASSERT_EQ(file::BuildPack(L"data", L"data.dat"), BW_OK);
    std::unique_ptr<file::FileInfo> info(mManager->GetFileInfo(L"data/a.txt"));
    std::unique_ptr<file::ImageContainer> layout(mManager->OpenImageContainer(L"data/l"));
    ASSERT_TRUE(info && layout);
    std::unique_ptr<file::ImageFileInfo> layer(layout->GetImageInfo(L"p"));
    ASSERT_TRUE(layer);
    ASSERT_EQ(info->GetFlag(), 1) << "served by the pack";

    mFolder.Write("data/a.txt", "new and longer");
    ASSERT_EQ(file::BuildPack(L"data", L"data.dat"), BW_OK); // drops the packs read so far
    EXPECT_EQ(std::unique_ptr<base::Stream>(info->Open()), nullptr);
    EXPECT_EQ(std::unique_ptr<base::Stream>(layer->Open()), nullptr);
    EXPECT_EQ(std::unique_ptr<base::Stream>(layout->OpenLayerStream(L"p")), nullptr);
    EXPECT_EQ(ReadAll(L"data/a.txt"), "new and longer");
    EXPECT_EQ(ReadAll(L"data/l/p"), "px");
}

TEST_F(PackTest, OutputInsideThePackedFolderIsLeftOut)
{
    mFolder.Write("data/a.txt", "a");
    ASSERT_EQ(file::BuildPack(L"data", L"data/self.dat"), BW_OK);
    ASSERT_EQ(file::BuildPack(L"data/", L"data/self.dat"), BW_OK);
    file::Archiver archive(L"x/", L"data/self.dat", mManager);
    ASSERT_TRUE(archive.IsValid());
    EXPECT_EQ(archive.GetDirectory().size(), 1u);
    EXPECT_EQ(archive.GetDirectory().count(L"a.txt"), 1u);
}

TEST_F(PackTest, AFileOf4GiBOrMoreFailsTheBuildRatherThanShrinking)
{
    mFolder.Write("data/huge.bin", "abc");
    ASSERT_EQ(truncate((mFolder.Path() + "data/huge.bin").c_str(), (off_t(1) << 32) + 3), 0); // sparse
    LogCapture log;
    EXPECT_EQ(file::BuildPack(L"data", L"data.dat"), BW_FAIL);
    EXPECT_TRUE(log.Contains(L"more than 4 GiB"));
    EXPECT_FALSE(mFolder.Exists("data.dat"));
}

TEST_F(PackTest, FailedBuildLeavesTheOldPackAndNoTemporaryFile)
{
    mFolder.Write("data/a.txt", "a");
    ASSERT_EQ(file::BuildPack(L"data", L"data.dat"), BW_OK);
    std::string old = mFolder.Read("data.dat");

    // The disk fills up part way through the data.
    mFolder.Write("data/big.bin", std::string(64 * 1024, 'b'));
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    LogCapture log;
    BWResultEnum result = file::BuildPack(L"data", L"data.dat");
    setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_EQ(result, BW_FAIL);
    EXPECT_EQ(mFolder.Read("data.dat"), old);
    EXPECT_FALSE(mFolder.Exists("data.dat.tmp"));
    EXPECT_TRUE(log.Contains(L"was not built"));
    EXPECT_EQ(file::BuildPack(L"missing", L"data.dat"), BW_FAIL);
    EXPECT_EQ(mFolder.Read("data.dat"), old);
}

} // namespace
