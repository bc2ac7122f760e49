#include "Core/Base/MemoryStream.h"
#include "Core/Lang/Lang.h"

#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

// The table is the process's singleton, as the game uses it; each test
// loads what it reads.
class LangTest : public ::testing::Test
{
protected:
    LangTest() : mLang(*lang::Lang::Instance()) { mLang.Unload(); }

    void Load(const std::string& text)
    {
        base::MemoryStream stream(text.data(), static_cast<uint32_t>(text.size()));
        mLang.LoadStream(&stream);
    }

    lang::Lang& mLang;
};

TEST_F(LangTest, LookupsFindTheFirstEntryOfTheKeyWithItsLineBreaksElseQuestionMarks)
{
    Load(testing_support::ReadFile(BW_SOURCE_DIR "/tests/Core/Lang/fixtures/lang.xml"));
    EXPECT_EQ(mLang.GetText(L"Window", L"Caption"), L"Орвейн");
    EXPECT_EQ(mLang.GetText(L"GUI", L"ok"), L"Да");
    EXPECT_EQ(mLang.GetText(L"GUI", L"other"), L"any element name");
    EXPECT_EQ(mLang.GetText(L"gui", L"ok"), L"???");
    EXPECT_EQ(mLang.GetText(L"Nope", L"ok"), L"???");
    EXPECT_EQ(mLang.GetText(L"GUI", L"empty"), L"");
    EXPECT_EQ(mLang.GetText(std::wstring(1, static_cast<wchar_t>(0xD800)), L"x"), L"???");
    // Backslash n becomes a line break; other backslashes stay.
    EXPECT_EQ(mLang.GetText(L"GUI", L"two"), L"Line one\nLine two");
    EXPECT_EQ(mLang.GetText(L"GUI", L"tail"), L"ends\\");
    EXPECT_EQ(mLang.GetText(L"GUI", L"slash"), L"a\\b");
}

// Not XML, another root, invalid UTF-8 text, nothing, no load at all.
TEST_F(LangTest, AnUnreadableTableGivesQuestionMarks)
{
    for (const char* text : {"<Lang><Window><T id=\"Caption\">x</T>", "<Text><Window><T id=\"Caption\">x</T></Window></Text>",
                             "<Lang><Window><T id=\"Caption\">\xC3(</T></Window></Lang>", "", "unloaded"})
    {
        mLang.Unload();
        if (std::string(text) != "unloaded")
            Load(text);
        EXPECT_EQ(mLang.GetText(L"Window", L"Caption"), L"???") << text;
    }
}

} // namespace
