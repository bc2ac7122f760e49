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
inline std::string ValidDescription()
{
    return testing_support::ReadFile(BW_SOURCE_DIR "/tests/Core/Render/fixtures/font_test.fnt");
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

} // namespace fonttest
