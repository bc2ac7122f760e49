#include "Core/Base/MemoryStream.h"
#include "Core/Render/BMFont.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Core/Render/Graphics.h"
#include "Platform/D3D9/D3D9TestHooks.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// Font descriptions read by the bitmap font, which then lays out, measures
// and draws a few texts over the layer's null device. The descriptions name
// their pages "p0.tga" and "p1.tga", which exist beside the font.
namespace
{

// A 32-bit TGA of one colour, rows from the top.
void WriteTga(const std::string& path, uint16_t width, uint16_t height, uint32_t argb)
{
    std::vector<uint8_t> bytes(18, 0);
    bytes[2] = 2;
    bytes[12] = width & 0xFF;
    bytes[13] = width >> 8;
    bytes[14] = height & 0xFF;
    bytes[15] = height >> 8;
    bytes[16] = 32;
    bytes[17] = 0x28;
    for (uint32_t i = 0; i < uint32_t(width) * height; ++i)
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<uint8_t>(argb >> shift));
    if (FILE* file = std::fopen(path.c_str(), "wb"))
    {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

struct Setting
{
    Setting()
    {
        char pattern[] = "/tmp/fuzz-bitmapfont-XXXXXX";
        if (const char* made = mkdtemp(pattern))
            folder = std::string(made) + "/";
        WriteTga(folder + "p0.tga", 64, 32, 0xFFFFFFFFu);
        WriteTga(folder + "p1.tga", 16, 16, 0x80FFFFFFu);
        d3d9::test::SetBackend(d3d9::test::Backend::Null);
        render::RenderInitParam param;
        param.mWidth = 320;
        param.mHeight = 240;
        ready = render.InitRender(nullptr, param) == BW_OK;
        std::atexit(&Setting::RemoveFolder);
    }

    static void RemoveFolder();

    std::string folder;
    render::RenderDX9 render;
    bool ready = false;
};

Setting* gSetting = nullptr;

void Setting::RemoveFolder()
{
    if (!gSetting || gSetting->folder.empty())
        return;
    std::remove((gSetting->folder + "p0.tga").c_str());
    std::remove((gSetting->folder + "p1.tga").c_str());
    std::remove(gSetting->folder.c_str());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Setting* setting = gSetting = new Setting;
    if (!setting->ready || size > 0xFFFFFFFFu)
        return 0;
    render::BMFont font;
    font.SetName(std::wstring(setting->folder.begin(), setting->folder.end()) + L"f");
    font.mRender = &setting->render;
    base::MemoryStream stream(data, static_cast<uint32_t>(size));
    const BWResultEnum parsed = font.Parse(&stream);

    // A partly read font still lays out and draws what it has.
    static const std::wstring kTexts[] = {L"AB \x0416\tA\nBA  AB", L"", L"A\n\n B\xFFFF\U0001F600 AAAA AAAAAA"};
    render::TextFormat format;
    format.mWrapWidth = static_cast<float>(size % 40);
    format.mAlign = static_cast<uint32_t>(size % 5);
    format.mIndent = static_cast<float>(size % 3);
    format.mReplacementChar = size % 2 ? L'A' : 0;
    float measured[2];
    for (const std::wstring& text : kTexts)
        font.DrawText(nullptr, nullptr, text, &format, measured);

    render::Render& r = setting->render;
    if (parsed == BW_OK && r.CanRender() && r.BeginScene() == BW_OK)
    {
        {
            render::Graphics graphics(&r);
            graphics.mFont = &font;
            for (const std::wstring& text : kTexts)
            {
                auto draw = graphics.DrawString(text);
                draw->mFormat = format;
                draw->mAlignX = 2;
                draw->mAlignY = 3;
                draw.DrawNow();
            }
        }
        r.EndScene();
        r.Present();
        r.ExecuteCommands();
    }
    font.DoUnLoad();
    return 0;
}
