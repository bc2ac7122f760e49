#include "Core/Base/MemoryStream.h"
#include "Core/File/FileManager.h"
#include "Core/Lang/Lang.h"

#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

const char kTable[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<Lang>
  <Window><T id="Caption">Орвейн</T></Window>
  <GUI>
    <T id="ok">Да</T>
    <T id="ok">Второй</T>
    <T>без ключа</T>
    <Text id="other">any element name</Text>
    <T id="two">Line one\nLine two</T>
    <T id="tail">ends\</T>
    <T id="only">\n</T>
    <T id="slash">a\b</T>
    <T id="empty"></T>
    <T id="bad">&#xD800;</T>
  </GUI>
</Lang>)";

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
    Load(kTable);
    EXPECT_EQ(mLang.GetText(L"Window", L"Caption"), L"Орвейн");
    EXPECT_EQ(mLang.GetText(L"GUI", L"ok"), L"Да");
    EXPECT_EQ(mLang.GetText(L"GUI", L"other"), L"any element name");
    EXPECT_EQ(mLang.GetText(L"gui", L"ok"), L"???");
    EXPECT_EQ(mLang.GetText(L"GUI", L"OK"), L"???");
    EXPECT_EQ(mLang.GetText(L"Nope", L"ok"), L"???");
    EXPECT_EQ(mLang.GetText(L"GUI", L"empty"), L"");
    EXPECT_EQ(mLang.GetText(std::wstring(1, static_cast<wchar_t>(0xD800)), L"x"), L"???");
    // Backslash n becomes a line break; other backslashes stay.
    EXPECT_EQ(mLang.GetText(L"GUI", L"two"), L"Line one\nLine two");
    EXPECT_EQ(mLang.GetText(L"GUI", L"tail"), L"ends\\");
    EXPECT_EQ(mLang.GetText(L"GUI", L"only"), L"\n");
    EXPECT_EQ(mLang.GetText(L"GUI", L"slash"), L"a\\b");
    mLang.Unload();
    EXPECT_EQ(mLang.GetText(L"GUI", L"ok"), L"???");
}

struct BadTable
{
    const char* what;
    std::string text;
};

void PrintTo(const BadTable& b, std::ostream* out)
{
    *out << b.what;
}

class BadLangTest : public LangTest, public ::testing::WithParamInterface<BadTable>
{
};

TEST_P(BadLangTest, EveryLookupGivesQuestionMarks)
{
    if (GetParam().text != "<unloaded>")
        Load(GetParam().text);
    EXPECT_EQ(mLang.GetText(L"Window", L"Caption"), L"???");
}

INSTANTIATE_TEST_SUITE_P(
    Tables, BadLangTest,
    ::testing::Values(BadTable{"not XML", "<Lang><Window><T id=\"Caption\">x</T>"},
                      BadTable{"another root", "<Text><Window><T id=\"Caption\">x</T></Window></Text>"},
                      BadTable{"invalid UTF-8 text", "<Lang><Window><T id=\"Caption\">\xC3(</T></Window></Lang>"},
                      BadTable{"nothing", ""}, BadTable{"no load at all", "<unloaded>"}));

TEST_F(LangTest, LoadsThroughTheFileManager)
{
    testing_support::TempFolder folder(true);
    file::FileManager::Instance()->GetMountTable().clear();
    folder.Write("data/ru_lang.xml", kTable);
    mLang.Load(L"data/ru_lang.xml");
    EXPECT_EQ(lang::GetText(L"Window", L"Caption"), L"Орвейн");
    EXPECT_EQ(lang::GetGuiText(L"ok"), L"Да");
    mLang.Load(L"data/missing.xml");
    EXPECT_EQ(lang::GetGuiText(L"ok"), L"???");
}

} // namespace
