#include "Core/File/FileManager.h"
#include "Core/File/Path.h"
#include "Core/File/TextFile.h"
#include "Core/Psd/ImageContainer.h"

#include "tests/Support/LogCapture.h"
#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <unistd.h>
#include <string>

using testing_support::TempFolder;

namespace
{

struct PathCase
{
    const char* function;
    std::function<std::wstring(const std::wstring&)> apply;
    std::wstring path;
    std::wstring expected;
};

void PrintTo(const PathCase& c, std::ostream* out)
{
    *out << c.function << "(" << testing_support::Narrow(c.path) << ")";
}

class PathFunctions : public ::testing::TestWithParam<PathCase>
{
};

TEST_P(PathFunctions, SplitAndNormalise)
{
    EXPECT_EQ(GetParam().apply(GetParam().path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PathFunctions,
    ::testing::Values(PathCase{"GetFileName", file::GetFileName, L"a/b\\c.txt", L"c.txt"},
                      PathCase{"GetFileTitle", file::GetFileTitle, L"a.b/c", L"c"},
                      PathCase{"GetFileTitle", file::GetFileTitle, L"dir/.hidden", L".hidden"},
                      PathCase{"GetFileTitle", file::GetFileTitle, L"x/a.b.c", L"a.b"},
                      PathCase{"GetExtension", file::GetExtension, L"dir.x/file", L""},
                      PathCase{"GetExtension", file::GetExtension, L"a.b.c", L".c"},
                      PathCase{"GetDirectory", file::GetDirectory, L"data\\gui/menu.psd", L"data\\gui/"},
                      PathCase{"GetFolder", file::GetFolder, L"C:/x/y.txt", L"/x/"},
                      PathCase{"GetFolder", file::GetFolder, L"C:x/y", L""},
                      PathCase{"TrimTrailingSlashes", file::TrimTrailingSlashes, L"a/b//\\", L"a/b"},
                      PathCase{"TrimTrailingSlashes", file::TrimTrailingSlashes, L"///", L""},
                      PathCase{"ToForwardSlashes", file::ToForwardSlashes, L"a\\b\\c", L"a/b/c"},
                      PathCase{"NormalizeFolderPath", file::NormalizeFolderPath, L"C:\\a\\b\\", L"C:/a/b/"},
                      PathCase{"NormalizeFolderPath", file::NormalizeFolderPath, L"data", L"data/"},
                      PathCase{"NormalizeFolderPath", file::NormalizeFolderPath, L"///", L""}));

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

TEST_F(FolderFileTest, CreateDirectoriesMakesEveryMissingParent)
{
    EXPECT_EQ(file::CreateDirectories(L"a/b/c"), BW_OK);
    EXPECT_TRUE(mFolder.Exists("a/b/c"));
    EXPECT_EQ(file::CreateDirectories(L"a/b/c"), BW_OK); // already there
    EXPECT_EQ(file::EnsureFolder(L"x\\y\\"), BW_OK);
    EXPECT_TRUE(mFolder.Exists("x/y"));
    EXPECT_EQ(file::CreateDirectories(mFolder.WidePath() + L"abs/olute"), BW_OK);
    EXPECT_TRUE(mFolder.Exists("abs/olute"));
    mFolder.Write("file", "x");
    EXPECT_EQ(file::CreateDirectories(L"file/sub"), BW_FAIL);
}

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
