// Text layout: line breaks, wrapping, trailing spaces, indents, letter
// spacing, kerning, missing glyphs, and the measured size.

#include "tests/Core/Render/FontTesting.h"

#include <algorithm>
#include <tuple>

namespace
{

// First, count, width, spaces, x offset, justified.
using Line = std::tuple<uint32_t, uint32_t, float, uint32_t, float, bool>;

class LayoutTest : public testing::Test
{
protected:
    // Glyphs without pages: lower-case letters advance 10, a space 5, a tab
    // 20, 'W' 30, 'i' 5.
    void SetUp() override
    {
        std::vector<std::pair<wchar_t, float>> glyphs = {{L' ', 5}, {L'\t', 20}, {L'W', 30}, {L'?', 10}};
        for (wchar_t c = L'a'; c <= L'z'; ++c)
            glyphs.emplace_back(c, c == L'i' ? 5 : 10);
        for (const auto& entry : glyphs)
        {
            render::BMFont::Glyph& glyph = font.mChars[static_cast<uint16_t>(entry.first)];
            glyph.mWidth = entry.second - 2;
            glyph.mHeight = 12;
            glyph.mXAdvance = entry.second;
        }
        font.mSize = 20;
        font.mBase = 16;
    }

    std::vector<Line> Lines(const std::wstring& text)
    {
        render::BMFont::LineArray lines;
        font.BreakLines(text, format, &lines);
        std::vector<Line> out;
        for (uint32_t i = 0; i < lines.Size(); ++i)
        {
            const render::BMFont::LineInfo& l = lines[i];
            out.emplace_back(l.mFirst, l.mCount, l.mWidth, l.mSpaces, l.mXOffset, l.mJustify != 0);
        }
        return out;
    }

    // Width and height as a text draw measures them.
    std::pair<float, float> Measure(const std::wstring& text)
    {
        float size[2] = {-1, -1};
        EXPECT_EQ(font.DrawText(nullptr, nullptr, text, &format, size), BW_OK);
        return {size[0], size[1]};
    }

    render::BMFont font;
    render::TextFormat format;
};

struct LayoutCase
{
    const char* name;
    std::wstring text;
    float wrap;
    float indent;
    std::vector<Line> lines;
};

// Letters advance 10, a space 5, a tab 20.
TEST_F(LayoutTest, LineBreakingGivesTheLines)
{
    const LayoutCase cases[] = {
        {"Empty", L"", 0, 0, {}},
        {"TabsAreSpaces", L"a\tb", 0, 0, {{0, 3, 40, 0, 0, false}}},
        {"TrailingSpacesLeftOut", L"ab  ", 0, 0, {{0, 2, 20, 0, 0, false}}},
        {"LineBreaks", L"ab \ncd", 0, 0, {{0, 2, 20, 0, 0, false}, {4, 2, 20, 0, 0, false}}},
        {"TrailingBreakWithIndent", L"ab\n", 0, 7, {{0, 2, 27, 0, 7, false}, {3, 0, 7, 0, 7, false}}},
        {"EmptyParagraphs", L"\n\nab", 0, 0,
                   {{0, 0, 0, 0, 0, false}, {1, 0, 0, 0, 0, false}, {2, 2, 20, 0, 0, false}}},
        {"WrapAtTheLastWord", L"ab cd ef", 45, 0, {{0, 5, 45, 1, 0, true}, {6, 2, 20, 0, 0, false}}},
        {"SpacesPastTheWrapHang", L"ab cd      ef", 45, 0,
                   {{0, 5, 45, 1, 0, true}, {11, 2, 20, 0, 0, false}}},
        {"LeadingSpacesPastTheWrap", L"          ab", 25, 0,
                   {{0, 11, 60, 0, 0, true}, {11, 1, 10, 0, 0, false}}},
        {"LongWordCutBeforeTheOverflow", L"abcdefg", 25, 0,
                   {{0, 2, 20, 0, 0, true}, {2, 2, 20, 0, 0, true}, {4, 2, 20, 0, 0, true}, {6, 1, 10, 0, 0, false}}},
        {"IndentOnParagraphStartsOnly", L"ab cd ef\ngh", 50, 7,
                   {{0, 2, 27, 0, 7, true}, {3, 5, 45, 0, 0, false}, {9, 2, 27, 0, 7, false}}}};
    for (const LayoutCase& c : cases)
    {
        format.mWrapWidth = c.wrap;
        format.mIndent = c.indent;
        EXPECT_EQ(Lines(c.text), c.lines) << c.name;
    }
}

TEST_F(LayoutTest, LetterSpacingIsAddedToEveryAdvanceAndKerningNarrowsTheWidth)
{
    font.mChars[L'b'].mKerning[L'a'] = -3;
    EXPECT_EQ(Measure(L"ab").first, 17.0f);
    EXPECT_EQ(Measure(L"ba").first, 20.0f);
    EXPECT_EQ(Measure(L"a b").first, 25.0f);
    format.mLetterSpacing = 2;
    EXPECT_EQ(Measure(L"bac").first, 36.0f);
    EXPECT_EQ(Measure(L"b a").first, 31.0f);

    // Kerning is between characters of one line: a line's first character
    // has none, after a break or a wrap alike.
    format = render::TextFormat();
    font.mChars[L'c'].mKerning[L' '] = -4;
    font.mChars[L'c'].mKerning[L'\n'] = 7;
    EXPECT_EQ(Measure(L"a cd").first, 31.0f);
    format.mWrapWidth = 30;
    EXPECT_EQ(Lines(L"ab cd\ncd"),
              (std::vector<Line>{{0, 2, 17, 0, 0, true}, {3, 2, 20, 0, 0, false}, {6, 2, 20, 0, 0, false}}));
}

// U+10061 would be a surrogate pair in 16-bit text, not 'a'.
TEST_F(LayoutTest, CharactersWithoutAGlyphTakeNoRoomOrTheReplacementsAndNoneIsTheirLowHalf)
{
    for (const wchar_t* text : {L"a\x01" L"b", L"a\U00010061b"})
    {
        format.mReplacementChar = 0;
        EXPECT_EQ(Measure(text).first, 20.0f);
        format.mReplacementChar = L'?';
        EXPECT_EQ(Measure(text).first, 30.0f);
        format.mReplacementChar = L'#'; // the font lacks it too
        EXPECT_EQ(Measure(text).first, 20.0f);
    }
    format.mReplacementChar = 0;
    EXPECT_EQ(Lines(L"a\x01" L"b"), (std::vector<Line>{{0, 3, 20, 0, 0, false}}));
}

// The width is the widest line's, or the wrap width when asked for; the
// height steps by size and line spacing.
TEST_F(LayoutTest, SizeIsTheWidestLineAndTheLineSteps)
{
    format.mLineSpacing = 4;
    EXPECT_EQ(Measure(L""), std::make_pair(0.0f, 20.0f));
    EXPECT_EQ(Measure(L"a\nabcd\nab"), std::make_pair(40.0f, 68.0f));
    font.mExtra = 1;
    EXPECT_EQ(Measure(L"a\nb").second, 45.0f);
    format.mWrapWidth = 100;
    EXPECT_EQ(Measure(L"ab").first, 20.0f);
    format.mAlignToWidest = 0;
    EXPECT_EQ(Measure(L"ab").first, 100.0f);
    EXPECT_EQ(Measure(L"").first, 100.0f);
}

} // namespace
