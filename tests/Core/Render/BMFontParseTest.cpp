// Reading font descriptions: the fields kept, what fails a load, page images,
// the text scale factor, loading through the file manager, the game's fonts.

#include "tests/Core/Render/FontTesting.h"

#include "Core/Render/ImageRect.h"
#include "Core/Resource/ResourceManager.h"
#include "Core/Resource/ResourceTexture.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <iterator>

namespace
{

using fonttest::FontFixture;
using fonttest::Replaced;
using fonttest::ValidDescription;

using BMFontParseTest = FontFixture;

TEST_F(BMFontParseTest, KeepsTheFieldsOfTheDescription)
{
    ASSERT_EQ(Parse(ValidDescription()), BW_OK);
    const render::BMFont& f = *font;
    EXPECT_EQ(f.mFace, "Test Sans");
    const float metrics[] = {f.mSize, f.mSpacing[1], f.mLineHeight, f.mBase, f.mScaleH, float(f.mBold), float(f.mAa),
                             float(f.mPadding[3]), float(f.mOutline)};
    EXPECT_EQ(std::vector<float>(metrics, metrics + 9), (std::vector<float>{20, 6, 24, 16, 32, 1, 2, 4, 3}));
    ASSERT_EQ(f.mPages.size(), 2u);
    EXPECT_EQ(f.mPages[1]->GetWidth(), 32);
    ASSERT_EQ(f.mChars.size(), 4u);
    const render::BMFont::Glyph& b = f.mChars.at(66);
    const float fields[] = {b.mX, b.mY, b.mWidth, b.mHeight, b.mXOffset, b.mYOffset, b.mXAdvance, float(b.mPage)};
    EXPECT_EQ(std::vector<float>(fields, fields + 8), (std::vector<float>{8, 4, 8, 12, 0, 4, 10, 1}));
    // Stored with the second character, under the first.
    EXPECT_EQ(b.mKerning, (std::map<uint16_t, float>{{65, -2.0f}}));
}

// Past 16 bits a code would be a surrogate pair, which layout draws as
// missing: no glyph or kerning pair stands for it, nor for its low half.
TEST_F(BMFontParseTest, CodesPast16BitsHaveNoGlyph)
{
    std::string xml = Replaced(ValidDescription(), "char id=\"1046\"", "char id=\"66582\"");
    xml = Replaced(xml, "first=\"65\" second=\"66\"", "first=\"65601\" second=\"66\"");
    ASSERT_EQ(Parse(xml), BW_OK);
    EXPECT_TRUE(font->HasChar(65));
    EXPECT_FALSE(font->HasChar(1046));
    EXPECT_FALSE(font->HasChar(65 + 65536));
    EXPECT_EQ(font->mChars.size(), 3u);
    EXPECT_TRUE(font->mChars.at(66).mKerning.empty());
}

TEST_F(BMFontParseTest, OptionalAttributesMayBeLeftOutAndShortListsLeaveTheRest)
{
    std::string xml = ValidDescription();
    for (const char* attribute : {" bold=\"1\"", " italic=\"0\"", " unicode=\"1\"", " smooth=\"1\"", " aa=\"2\"",
                                  " outline=\"3\"", " chnl=\"15\""})
        xml = Replaced(xml, attribute, "");
    xml = Replaced(xml, "<kerning first=\"65\" second=\"66\"", "<kerning second=\"66\"");
    xml = Replaced(xml, "<page id=\"0\"", "<page");
    // Items missing, empty or without a number leave their members.
    xml = Replaced(xml, "padding=\"1,2,3,4\"", "padding=\"-1,,x\"");
    xml = Replaced(xml, "spacing=\"5,6\"", "spacing=\",0.5\"");
    const int32_t padding[4] = {6, 7, 8, 9};
    std::copy(padding, padding + 4, font->mPadding);
    font->mSpacing[0] = 9;
    ASSERT_EQ(Parse(xml), BW_OK);
    EXPECT_EQ(font->mBold + font->mAa + font->mOutline, 0u);
    EXPECT_EQ(font->mChars.at(66).mKerning.at(0), -2.0f);
    EXPECT_EQ(std::vector<int>(font->mPadding, font->mPadding + 4), (std::vector<int>{-1, 7, 8, 9}));
    EXPECT_EQ(std::vector<float>(font->mSpacing, font->mSpacing + 2), (std::vector<float>{9.0f, 0.5f}));
    // An empty list leaves both.
    ASSERT_EQ(Parse(Replaced(ValidDescription(), "spacing=\"5,6\"", "spacing=\"\"")), BW_OK);
    EXPECT_EQ(std::vector<float>(font->mSpacing, font->mSpacing + 2), (std::vector<float>{9.0f, 0.5f}));
}

// Some font tools write numbers they have no value for as "", the way the
// fuzz corpus keeps one: those read as 0.
TEST_F(BMFontParseTest, EmptyNumbersReadAsZero)
{
    std::ifstream in(std::string(BW_SOURCE_DIR) + "/fuzz/corpus/BitmapFont/empty_numbers.fnt", std::ios::binary);
    const std::string xml((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_NE(xml.find("unicode=\"\""), std::string::npos);
    font->mBase = font->mStretchH = 5;
    ASSERT_EQ(Parse(xml), BW_OK);
    const float metrics[] = {font->mSize, font->mBase, font->mStretchH, font->mLineHeight};
    EXPECT_EQ(std::vector<float>(metrics, metrics + 4), (std::vector<float>{32, 0, 0, 38}));
    EXPECT_EQ(font->mBold + font->mItalic + font->mSmooth + font->mAa + font->mOutline, 0u);
    const render::BMFont::Glyph& a = font->mChars.at(65);
    EXPECT_EQ(a.mPage + a.mChnl, 0u);
    EXPECT_EQ(a.mKerning.at(65), 0.0f);
    EXPECT_EQ(font->mChars.at(32).mXOffset, 0.0f);
    // Required numbers still have to be there.
    EXPECT_EQ(Parse(Replaced(xml, "base=\"\"", "")), BW_FAIL);
}

TEST_F(BMFontParseTest, TheMisspeltCharsetIsReadWhenTheRightOneIsMissing)
{
    ASSERT_EQ(Parse(Replaced(ValidDescription(), "charset=", "chasrset=")), BW_OK);
    EXPECT_EQ(font->mCharset, "ANSI");
    ASSERT_EQ(Parse(Replaced(ValidDescription(), "charset=\"ANSI\"", "chasrset=\"X\" charset=\"Y\"")), BW_OK);
    EXPECT_EQ(font->mCharset, "Y");
}

struct BadDescription
{
    const char* name;
    const char* from;
    const char* to;
    const char* from2 = nullptr;
    const char* to2 = nullptr;
};

class BMFontRefuses : public FontFixture, public testing::WithParamInterface<BadDescription>
{
};

TEST_P(BMFontRefuses, TheDescription)
{
    const BadDescription& c = GetParam();
    std::string xml = Replaced(ValidDescription(), c.from, c.to);
    if (c.from2)
        xml = Replaced(xml, c.from2, c.to2);
    EXPECT_EQ(Parse(xml), BW_FAIL);
}

// A missing or mistyped attribute of each element, and what no font may do.
INSTANTIATE_TEST_SUITE_P(
    Faults, BMFontRefuses,
    testing::Values(
        BadDescription{"NotXml", "<font>", "<font"}, BadDescription{"OtherRoot", "font>", "fnt>"},
        BadDescription{"NoInfo", "<info ", "<inf "}, BadDescription{"NoFace", "face=", "fac="},
        BadDescription{"SizeNotANumber", "size=\"20\"", "size=\"big\""},
        BadDescription{"OutlineNotANumber", "outline=\"3\"", "outline=\"x\""},
        BadDescription{"NoCommon", "<common ", "<commons "}, BadDescription{"NoScaleH", "scaleH=", "h="},
        BadDescription{"TooManyPages", "pages=\"2\"", "pages=\"4000000000\""},
        BadDescription{"PageIdEqualsTheCount", "<page id=\"1\"", "<page id=\"2\""},
        BadDescription{"PageWithoutFile", "<page id=\"1\" file=", "<page id=\"1\" name="},
        BadDescription{"PageFileMissing", "p1.tga", "p9.tga"},
        BadDescription{"PageNeverGiven", "<page id=\"1\" file=\"p1.tga\"/>", ""},
        BadDescription{"NoChars", "<chars ", "<glyphs ", "</chars>", "</glyphs>"},
        BadDescription{"CharWithoutAdvance", "xadvance=\"14\"", ""},
        BadDescription{"CharOnAPageNotGiven", "page=\"1\" chnl", "page=\"2\" chnl"},
        BadDescription{"KerningWithoutAmount", "amount=\"-1\"", "mount=\"-1\""}),
    [](const testing::TestParamInfo<BadDescription>& info) { return std::string(info.param.name); });

// What was read before the pages stays; a failed parse's page images are
// freed by the next (leak checks see them).
TEST_F(BMFontParseTest, WithoutAWholeStreamOrARendererTheParseFails)
{
    base::MemoryStream empty;
    EXPECT_EQ(font->Parse(&empty), BW_FAIL);
    EXPECT_EQ(font->Parse(nullptr), BW_FAIL);
    ASSERT_EQ(Parse(Replaced(ValidDescription(), "xadvance=\"14\"", "")), BW_FAIL);
    EXPECT_NE(font->mPages[0], nullptr);
    ASSERT_EQ(Parse(ValidDescription()), BW_OK);
    font->mRender = nullptr;
    EXPECT_EQ(Parse(Replaced(ValidDescription(), "base=\"16\"", "base=\"17\"")), BW_FAIL);
    EXPECT_EQ(font->mBase, 17.0f);
}

TEST_F(BMFontParseTest, TheTextScaleFactorMultipliesTheMetrics)
{
    fonttest::ScaledApplication application;
    ASSERT_EQ(Parse(ValidDescription()), BW_OK);
    const render::BMFont::Glyph& a = font->mChars.at(65);
    const float metrics[] = {font->mSize, font->mLineHeight, font->mScaleW, a.mX, a.mWidth, a.mYOffset, a.mXAdvance};
    EXPECT_EQ(std::vector<float>(metrics, metrics + 7), (std::vector<float>{40, 48, 64, 8, 16, 8, 20}));
    EXPECT_EQ(font->mChars.at(66).mKerning.at(65), -4.0f);
}

class BMFontLoadTest : public FontFixture
{
protected:
    // A font entered in the resource manager's map, as the application
    // fetches it.
    render::BMFont* FromMap(const std::wstring& name, resource::ResourceHandle* handle)
    {
        *handle = resource::ResourceManager::Instance()->GetBMFont(name);
        auto* mapped = static_cast<render::BMFont*>(handle->Get());
        if (mapped)
            mapped->mRender = &r;
        return mapped;
    }
};

TEST_F(BMFontLoadTest, LoadsTheDescriptionBesideTheName)
{
    folder.Write("f.fnt", "<font>");
    EXPECT_EQ(font->Load(), BW_FAIL);
    folder.Write("f.fnt", ValidDescription());
    ASSERT_EQ(font->Load(), BW_OK);
    EXPECT_EQ(font->mChars.size(), 4u);
    ASSERT_EQ(font->UnLoad(), BW_OK);
    EXPECT_TRUE(font->mPages.empty());
    // Glyphs and metrics stay until the next load.
    EXPECT_TRUE(font->HasChar(65));
    EXPECT_EQ(font->mSize, 20.0f);
}

TEST_F(BMFontLoadTest, ReleaseTakesTheFontOutOfTheMapAndFreesItsPages)
{
    folder.Write("f.fnt", ValidDescription());
    const std::wstring name = folder.WidePath() + L"f";
    resource::ResourceHandle handle;
    render::BMFont* mapped = FromMap(name, &handle);
    ASSERT_NE(mapped, nullptr);
    ASSERT_EQ(mapped->Load(), BW_OK);
    resource::ResourceHandle again;
    EXPECT_EQ(FromMap(name, &again), mapped);
    EXPECT_EQ(*handle.GetCount(), 2);
    again.Reset();
    const size_t textures = resource::ResourceTexture::GetMap().size();
    handle.Reset();
    EXPECT_EQ(resource::ResourceManager::Instance()->GetBMFontMap().count(name), 0u);
    // Both page textures went with the pages.
    EXPECT_EQ(resource::ResourceTexture::GetMap().size(), textures - 2);
}

// The game's fonts hold every character of the Russian language file.
class GameFontTest : public BMFontLoadTest, public testing::WithParamInterface<int>
{
};

TEST_P(GameFontTest, LoadsAndCoversTheLanguageFile)
{
    const std::string path = std::string(BW_SOURCE_DIR) + "/data/font/" + std::to_string(GetParam());
    font->SetName(testing_support::Widen(path));
    ASSERT_EQ(font->Load(), BW_OK);
    EXPECT_EQ(font->mSize, static_cast<float>(GetParam()));

    std::ifstream in(std::string(BW_SOURCE_DIR) + "/data/ru_lang.xml", std::ios::binary);
    const std::wstring language =
        testing_support::Widen(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    ASSERT_FALSE(language.empty());
    std::wstring wanted = language;
    for (wchar_t c = 32; c < 127; ++c)
        wanted += c;
    for (wchar_t c : wanted)
        EXPECT_TRUE(c < 32 || font->HasChar(static_cast<uint32_t>(c))) << "U+" << std::hex << static_cast<int>(c);

    // Every glyph lies inside its page.
    for (const auto& entry : font->mChars)
    {
        const render::BMFont::Glyph& g = entry.second;
        ASSERT_LT(g.mPage, font->mPages.size());
        EXPECT_LE(g.mX + g.mWidth, 512.0f);
        EXPECT_LE(g.mY + g.mHeight, 256.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, GameFontTest, testing::Values(24, 32, 42));

} // namespace
