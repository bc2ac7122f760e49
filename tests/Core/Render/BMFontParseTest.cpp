// Reading font descriptions: optional and empty values, what fails a load.
// The fields kept are drawn and checked in BMFontDrawTest.cpp.

#include "tests/Core/Render/FontTesting.h"

#include "Core/Render/ImageRect.h"

#include <algorithm>

namespace
{

using fonttest::FontFixture;
using fonttest::Replaced;
using fonttest::ValidDescription;

using BMFontParseTest = FontFixture;

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
    const std::string xml = testing_support::ReadFile(BW_SOURCE_DIR "/fuzz/corpus/BitmapFont/empty_numbers.fnt");
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

// A missing or mistyped attribute of each element, and what no font may do.
TEST_F(BMFontParseTest, RefusesFaultyDescriptions)
{
    const char* cases[][2] = {
        {"<font>", "<font"}, {"font>", "fnt>"},
        {"face=", "fac="}, {"size=\"20\"", "size=\"big\""},
        {"scaleH=", "h="}, {"pages=\"2\"", "pages=\"4000000000\""},
        {"<page id=\"1\"", "<page id=\"2\""}, {"p1.tga", "p9.tga"},
        {"<page id=\"1\" file=\"p1.tga\"/>", ""}, {"xadvance=\"14\"", ""},
        {"page=\"1\" chnl", "page=\"2\" chnl"}, {"amount=\"-1\"", "mount=\"-1\""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Parse(Replaced(ValidDescription(), c[0], c[1])), BW_FAIL) << c[0] << " -> " << c[1];
}

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

} // namespace
