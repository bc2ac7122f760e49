#include "tests/Core/Psd/PsdDocuments.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace psdtest;

namespace
{

// Run by scripts/make-psd-fixtures.sh to write the fixtures of the tests' own
// writer into the folder BW_WRITE_PSD_FIXTURES names.
TEST(PsdFixtures, WritesTheWriterFixturesWhenAsked)
{
    const char* folder = std::getenv("BW_WRITE_PSD_FIXTURES");
    if (!folder)
        GTEST_SKIP() << "set BW_WRITE_PSD_FIXTURES to a folder to write the fixtures";
    for (const auto& [name, doc] : WriterFixtures())
        ASSERT_TRUE(SaveFile(std::string(folder) + "/" + name + ".psd", WriteDocument(doc)));
}

// Whatever the committed copies, the documents the writer makes now load.
TEST(PsdFixtures, EveryWriterDocumentLoads)
{
    for (const auto& [name, doc] : WriterFixtures())
    {
        Loaded loaded = LoadDocument(doc);
        EXPECT_EQ(loaded.status, kPsdOk) << name;
    }
}

} // namespace
