#pragma once

// Shared by the font tests: a small font description with two pages, read
// into a font over the recording renderer, and fonts whose glyphs are set
// directly for the layout rules.

#include "tests/Support/ImageFiles.h"
#include "tests/Support/RecordingRender.h"
#include "tests/Support/TempFolder.h"

#include "Core/App/Application.h"
#include "Core/Base/MemoryStream.h"
#include "Core/Render/BMFont.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace fonttest
{

// Page 0 is 64x32 and holds 'A' and 'Ж'; page 1 is 32x16 and holds 'B'.
// Kerning: 'B' after 'A' is 2 narrower; the pair for the missing 'C' is
// dropped.
inline const char* ValidDescription()
{
    return R"(<?xml version="1.0"?>
<font>
  <info face="Test Sans" size="20" bold="1" italic="0" charset="ANSI" unicode="1" stretchH="100" smooth="1" aa="2" padding="1,2,3,4" spacing="5,6" outline="3"/>
  <common lineHeight="24" base="16" scaleW="64" scaleH="32" pages="2" packed="0"/>
  <pages>
    <page id="0" file="p0.tga"/>
    <page id="1" file="p1.tga"/>
  </pages>
  <chars count="4">
    <char id="32" x="0" y="0" width="0" height="0" xoffset="0" yoffset="0" xadvance="5" page="0" chnl="15"/>
    <char id="65" x="4" y="2" width="8" height="12" xoffset="1" yoffset="4" xadvance="10" page="0" chnl="15"/>
    <char id="66" x="8" y="4" width="8" height="12" xoffset="0" yoffset="4" xadvance="10" page="1" chnl="15"/>
    <char id="1046" x="16" y="0" width="12" height="12" xoffset="0" yoffset="4" xadvance="14" page="0" chnl="15"/>
  </chars>
  <kernings count="2">
    <kerning first="65" second="66" amount="-2"/>
    <kerning first="65" second="67" amount="-1"/>
  </kernings>
</font>
)";
}

// The text with every occurrence of from replaced by to; from must occur.
inline std::string Replaced(std::string text, const std::string& from, const std::string& to)
{
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    while (at != std::string::npos)
    {
        text.replace(at, from.size(), to);
        at = text.find(from, at + to.size());
    }
    return text;
}

// A font named "<temp folder>/f" over the recording renderer, with the two
// page images of the valid description beside it.
class FontFixture : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(r.Init(800, 600), BW_OK);
        WritePage("p0.tga", 64, 32, 0xFFFFFFFFu);
        WritePage("p1.tga", 32, 16, 0x80FFFFFFu);
        font = std::make_unique<render::BMFont>();
        font->SetName(folder.WidePath() + L"f");
        font->mRender = &r;
    }

    void TearDown() override { font.reset(); }

    void WritePage(const std::string& name, uint32_t width, uint32_t height, uint32_t argb)
    {
        const std::vector<uint8_t> tga = testing_support::MakeTga(
            testing_support::MakePixels(width, height, [argb](uint32_t, uint32_t) { return argb; }), false);
        folder.Write(name, std::string(tga.begin(), tga.end()));
    }

    BWResultEnum Parse(const std::string& xml)
    {
        base::MemoryStream stream(xml.data(), static_cast<uint32_t>(xml.size()));
        return font->Parse(&stream);
    }

    bwtest::RecordingRender r;
    testing_support::TempFolder folder;
    std::unique_ptr<render::BMFont> font;
};

// The application while it lives, with the text scale factor 2.
class ScaledApplication : public app::Application
{
public:
    ScaledApplication() : app::Application(true, false)
    {
        mTextScale = 2.0f;
        base::Singletone<app::Application>::SetInstance(this);
    }
    ~ScaledApplication() override { base::Singletone<app::Application>::SetInstance(nullptr); }
};

// Glyphs without pages, for layout and measuring: lower-case letters advance
// 10, a space 5, a tab 20, 'W' 30, 'i' 5.
inline void AddLayoutGlyphs(render::BMFont* font)
{
    std::vector<std::pair<wchar_t, float>> glyphs = {{L' ', 5}, {L'\t', 20}, {L'W', 30}, {L'?', 10}};
    for (wchar_t c = L'a'; c <= L'z'; ++c)
        glyphs.emplace_back(c, c == L'i' ? 5 : 10);
    for (const auto& entry : glyphs)
    {
        render::BMFont::Glyph& glyph = font->mChars[static_cast<uint16_t>(entry.first)];
        glyph.mWidth = entry.second - 2;
        glyph.mHeight = 12;
        glyph.mXAdvance = entry.second;
    }
    font->mSize = 20;
    font->mBase = 16;
}

} // namespace fonttest
