#include "Core/Base/MemoryStream.h"
#include "Core/Data/GameDataRecord.h"
#include "Core/Data/GameDataSheet.h"
#include "Core/Data/GameDataXml.h"

#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{

class GameDataTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(Parse(mData, testing_support::ReadFile(BW_SOURCE_DIR "/tests/Core/Data/fixtures/levels.xml")), BW_OK);
    }

    static BWResultEnum Parse(data::GameDataXml& document, const std::string& text)
    {
        base::MemoryStream stream(text.data(), static_cast<uint32_t>(text.size()));
        return document.LoadStream(&stream);
    }

    // The first sheet's cursor, owned by the fixture.
    data::GameDataRecord* Records(data::GameData& document, uint32_t sheet = 0)
    {
        data::GameDataSheet* raw = nullptr;
        EXPECT_EQ(document.GetSheet(sheet, &raw), BW_OK);
        mSheet.reset(raw);
        data::GameDataRecord* records = nullptr;
        EXPECT_EQ(mSheet->GetRecords(&records), BW_OK);
        mRecords.reset(records);
        return records;
    }

    data::GameDataXml mData;
    std::unique_ptr<data::GameDataSheet> mSheet;
    std::unique_ptr<data::GameDataRecord> mRecords;
};

TEST_F(GameDataTest, SheetsAreTheChildrenOfDataAndTheCursorVisitsOnlyElementRecords)
{
    EXPECT_EQ(mData.GetSheetCount(), 2u);
    data::GameDataSheet* sheet = reinterpret_cast<data::GameDataSheet*>(0x1);
    EXPECT_EQ(mData.GetSheet(2, &sheet), BW_FAIL);
    EXPECT_EQ(sheet, nullptr);

    data::GameDataRecord* records = Records(mData);
    EXPECT_EQ(records->GetInt(L"id", 0, nullptr), 1);
    EXPECT_TRUE(records->MoveNext());
    EXPECT_EQ(records->GetInt(L"id", 0, nullptr), 2);
    EXPECT_FALSE(records->MoveNext());
    EXPECT_EQ(records->GetAttributeCount(), 0u); // no record: nothing to read
    bool found = true;
    EXPECT_EQ(records->GetInt(L"id", 77, &found), 77);
    EXPECT_FALSE(found);
}

TEST_F(GameDataTest, InvalidUtf8GivesDefaultsNeverAnException)
{
    data::GameDataXml broken;
    ASSERT_EQ(Parse(broken, "<Data><S\xC3><Element a=\"\xFF\" b=\"1\" \xE2\x82=\"x\"/></S\xC3></Data>"), BW_OK);
    std::wstring name = L"kept";
    EXPECT_EQ(broken.GetSheetName(0, name), BW_FAIL);
    EXPECT_EQ(name, L"kept");
    data::GameDataRecord* r = Records(broken);
    bool found = true;
    EXPECT_EQ(r->GetString(L"a", L"default", &found), L"default");
    EXPECT_FALSE(found);
    EXPECT_EQ(r->GetInt(L"a", 4, &found), 4);
    EXPECT_FALSE(found);
    EXPECT_EQ(r->GetInt(L"b", 4, &found), 1);
    EXPECT_EQ(r->GetAttributeName(2, name), BW_FAIL);
    EXPECT_EQ(r->GetInt(std::wstring(1, static_cast<wchar_t>(0xDFFF)), 4, &found), 4);
}

TEST_F(GameDataTest, CopyWritesDataSheetsWithEveryAttributeAsText)
{
    data::GameDataXml copy;
    ASSERT_EQ(copy.CopyFrom(&mData), BW_OK);
    tinyxml2::XMLElement* first = copy.GetDocument().FirstChildElement("Data")->FirstChildElement("DataSheet");
    ASSERT_TRUE(first);
    EXPECT_STREQ(first->Attribute("id"), "Levels");
    data::GameDataRecord* cursor = Records(copy);
    EXPECT_EQ(cursor->GetString(L"name", L"", nullptr), L"Первый");
    EXPECT_EQ(cursor->GetAttributeCount(), 8u);

    // Copies of copies keep the sheet names.
    data::GameDataXml again;
    ASSERT_EQ(again.CopyFrom(&copy), BW_OK);
    data::GameDataSheet* chips = nullptr;
    ASSERT_EQ(again.GetSheetById(L"Chips", &chips), BW_OK);
    EXPECT_EQ(chips->GetName(), L"Chips");
    delete chips;
    EXPECT_EQ(copy.CopyFrom(&mData), BW_FAIL) << "not empty";
    EXPECT_EQ(copy.GetSheetCount(), 2u);
}

} // namespace
