#include "Core/File/FileManager.h"
#include "Core/File/Path.h"
#include "Core/File/TextFile.h"
#include "Core/Psd/ImageContainer.h"

#include "tests/Support/LogCapture.h"
#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <unistd.h>
#include <string>

using testing_support::TempFolder;

namespace
{

TEST(PathFunctions, SplitAndNormalise)
{
    using F = std::wstring (*)(const std::wstring&);
    const struct
    {
        F apply;
        std::wstring path, expected;
    } cases[] = {{file::GetFileName, L"a/b\\c.txt", L"c.txt"}, {file::GetFileTitle, L"a.b/c", L"c"},
                 {file::GetFileTitle, L"dir/.hidden", L".hidden"}, {file::GetFileTitle, L"x/a.b.c", L"a.b"},
                 {file::GetExtension, L"dir.x/file", L""}, {file::GetExtension, L"a.b.c", L".c"},
                 {file::GetDirectory, L"data\\gui/menu.psd", L"data\\gui/"}, {file::GetFolder, L"C:/x/y.txt", L"/x/"},
                 {file::GetFolder, L"C:x/y", L""}, {file::TrimTrailingSlashes, L"a/b//\\", L"a/b"},
                 {file::TrimTrailingSlashes, L"///", L""}, {file::ToForwardSlashes, L"a\\b\\c", L"a/b/c"},
                 {file::NormalizeFolderPath, L"C:\\a\\b\\", L"C:/a/b/"}, {file::NormalizeFolderPath, L"data", L"data/"},
                 {file::NormalizeFolderPath, L"///", L""}};
    for (const auto& c : cases)
        EXPECT_EQ(c.apply(c.path), c.expected) << testing_support::Narrow(c.path);
}

class FolderFileTest : public ::testing::Test
{
protected:
    FolderFileTest() : mFolder(true) { file::FileManager::Instance()->GetMountTable().clear(); }

    std::string Text(const std::wstring& path, bool* hadBom)
    {
        std::string text = "unchanged";
        file::ReadTextFile(text, path, hadBom);
        return text;
    }

    TempFolder mFolder;
};

TEST_F(FolderFileTest, TextFileDropsTheSignatureAndStopsAtZero)
{
    bool bom = false;
    mFolder.Write("bom.txt", "\xEF\xBB\xBFhello");
    EXPECT_EQ(Text(L"bom.txt", &bom), "hello");
    EXPECT_TRUE(bom);
    mFolder.Write("only.txt", "\xEF\xBB\xBF");
    EXPECT_EQ(Text(L"only.txt", &bom), "");
    EXPECT_TRUE(bom);
    mFolder.Write("zero.txt", std::string("ab\0cd", 5));
    EXPECT_EQ(Text(L"zero.txt", &bom), "ab");
    EXPECT_FALSE(bom);
    mFolder.Write("short.txt", "hi");
    EXPECT_EQ(Text(L"short.txt", nullptr), "hi");
    EXPECT_EQ(Text(L"missing.txt", &bom), "");
    EXPECT_FALSE(bom);
    EXPECT_TRUE(file::HasUtf8Bom("\xEF\xBB\xBF", 3));
    EXPECT_FALSE(file::HasUtf8Bom("\xEF\xBB", 2));
}

// Sparse files: just past the limit, and past 4 GiB, whose size modulo 4 GiB
// would pass for a three-byte file.
TEST_F(FolderFileTest, OversizedTextFilesAreRefusedWithALogRecord)
{
    for (off_t size : {off_t(file::kMaxTextFileSize) + 1, (off_t(1) << 32) + 3})
    {
        SCOPED_TRACE(size);
        mFolder.Write("big.xml", "abc");
        ASSERT_EQ(truncate((mFolder.Path() + "big.xml").c_str(), size), 0);
        testing_support::LogCapture log;
        EXPECT_EQ(Text(L"big.xml", nullptr), "");
        std::string text = "unchanged";
        EXPECT_FALSE(file::ReadWholeFile(L"big.xml", &text));
        EXPECT_EQ(text, "");
        // A layer folder's layers.xml is read the same way.
        mFolder.Write("layout/layers.xml", "abc");
        ASSERT_EQ(truncate((mFolder.Path() + "layout/layers.xml").c_str(), size), 0);
        std::unique_ptr<file::ImageContainer> layout(file::FileManager::Instance()->OpenImageContainer(L"layout"));
        ASSERT_TRUE(layout);
        EXPECT_EQ(layout->GetLayerCount(), 0u);
        EXPECT_EQ(log.Count(L"it is not read"), 3u);
    }
}

} // namespace
