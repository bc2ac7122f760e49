// Text with the game's fonts over the Direct3D 9 layer's null device (the
// engine's own cost).
//
// BM_TextLayout: line breaking and measuring without drawing.
// BM_TextDraw: a frame of text drawn through render::Graphics, recorded and
// replayed.
// Texts: 0 short labels (60 per frame, Latin and Russian), 1 one wrapped,
// justified paragraph of about 2,000 characters (both in "data/font/24", one
// page), 2 a paragraph whose glyphs alternate between the two pages of
// "data/font/42".
// Counters: ns per glyph for layout, for recording and for the replay; draws
// per frame; heap allocations per frame while recording (0 while a text
// keeps to 1,024 lines and 256 page runs).

#include "Support/AllocationCounter.h"

#include "Core/Render/BMFont.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Core/Render/Graphics.h"
#include "Platform/D3D9/D3D9TestHooks.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace
{

const wchar_t* const kLabels[] = {L"Play", L"Options", L"Уровень 12", L"Очки: 48 250", L"Профиль игрока",
                                  L"Exit"};
constexpr int kLabelsPerFrame = 60;

std::wstring Paragraph()
{
    const std::wstring sentence = L"Соберите цепочку из фишек одного цвета, чтобы получить бонус. "
                                  L"Match the chips, fire the bombs and collect the crystals! ";
    std::wstring text;
    while (text.size() < 2000)
        text += sentence;
    return text;
}

// Glyphs of the second page ('ю', 'я') between glyphs of the first.
std::wstring Alternating()
{
    std::wstring text;
    while (text.size() < 2000)
        text += L"aюbяcю dя";
    return text;
}

class TextScene
{
public:
    bool Open(int kind, std::string* error)
    {
        d3d9::test::ResetHooks();
        d3d9::test::SetBackend(d3d9::test::Backend::Null);
        mRender = std::make_unique<render::RenderDX9>();
        render::RenderInitParam param;
        param.mWidth = 1024;
        param.mHeight = 768;
        if (mRender->InitRender(nullptr, param) != BW_OK)
        {
            *error = "InitRender failed";
            return false;
        }
        const std::string path = std::string(BW_SOURCE_DIR) + (kind == 2 ? "/data/font/42" : "/data/font/24");
        mFont = std::make_unique<render::BMFont>();
        mFont->SetName(std::wstring(path.begin(), path.end()));
        mFont->mRender = mRender.get();
        mFont->mAdjust = -2;
        if (mFont->Load() != BW_OK)
        {
            *error = "the font did not load";
            return false;
        }
        return true;
    }

    void Close()
    {
        if (mFont && mFont->IsLoaded())
            mFont->UnLoad();
        mFont.reset();
        mRender.reset();
        d3d9::test::ResetHooks();
    }

    void Texts(int kind, std::vector<std::wstring>* texts, render::TextFormat* format) const
    {
        texts->clear();
        *format = render::TextFormat();
        if (kind == 0)
        {
            for (int i = 0; i < kLabelsPerFrame; ++i)
                texts->push_back(kLabels[i % 6]);
            return;
        }
        texts->push_back(kind == 1 ? Paragraph() : Alternating());
        format->mWrapWidth = 600;
        format->mAlign = render::TextAlignJustify;
        format->mIndent = 20;
    }

    static uint64_t Glyphs(const std::vector<std::wstring>& texts)
    {
        uint64_t glyphs = 0;
        for (const std::wstring& text : texts)
            for (wchar_t c : text)
                glyphs += c != L' ' ? 1 : 0;
        return glyphs;
    }

    void Record(const std::vector<std::wstring>& texts, const render::TextFormat& format)
    {
        render::Render& r = *mRender;
        r.CanRender();
        r.BeginScene();
        {
            render::Graphics graphics(&r);
            graphics.mFont = mFont.get();
            float y = 0;
            for (const std::wstring& text : texts)
            {
                auto draw = graphics.DrawString(text);
                draw->mFormat = format;
                const float at[2] = {10, y};
                draw.Translate(at);
                y = y < 700 ? y + 12 : 0;
            }
        }
        r.EndScene();
        r.Present();
    }

    void Replay() { mRender->ExecuteCommands(); }
    uint64_t Draws() { return d3d9::test::GetStats(mRender->GetDevice()).draws; }
    render::BMFont* Font() { return mFont.get(); }

private:
    std::unique_ptr<render::RenderDX9> mRender;
    std::unique_ptr<render::BMFont> mFont;
};

const char* const kKindNames[] = {"60 labels", "2000-character paragraph", "paragraph alternating pages"};

void BM_TextLayout(benchmark::State& state)
{
    const int kind = static_cast<int>(state.range(0));
    TextScene scene;
    std::string error;
    if (!scene.Open(kind, &error))
    {
        state.SkipWithError(error.c_str());
        scene.Close();
        return;
    }
    std::vector<std::wstring> texts;
    render::TextFormat format;
    scene.Texts(kind, &texts, &format);
    const uint64_t glyphs = TextScene::Glyphs(texts);
    float size[2];
    using Clock = std::chrono::steady_clock;
    double layoutNs = 0;
    for (auto _ : state)
    {
        const auto t0 = Clock::now();
        for (const std::wstring& text : texts)
            scene.Font()->DrawText(nullptr, nullptr, text, &format, size);
        benchmark::DoNotOptimize(size[0]);
        layoutNs += std::chrono::duration<double, std::nano>(Clock::now() - t0).count();
    }
    state.counters["layout_ns_per_glyph"] =
        layoutNs / static_cast<double>(state.iterations()) / static_cast<double>(glyphs);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * glyphs));
    state.SetLabel(kKindNames[kind]);
    scene.Close();
}

void BM_TextDraw(benchmark::State& state)
{
    const int kind = static_cast<int>(state.range(0));
    TextScene scene;
    std::string error;
    if (!scene.Open(kind, &error))
    {
        state.SkipWithError(error.c_str());
        scene.Close();
        return;
    }
    std::vector<std::wstring> texts;
    render::TextFormat format;
    scene.Texts(kind, &texts, &format);
    const uint64_t glyphs = TextScene::Glyphs(texts);
    for (int i = 0; i < 3; ++i)
    {
        scene.Record(texts, format);
        scene.Replay();
    }
    using Clock = std::chrono::steady_clock;
    double recordNs = 0, replayNs = 0;
    uint64_t frames = 0, allocations = 0;
    const uint64_t drawsBefore = scene.Draws();
    for (auto _ : state)
    {
        const uint64_t allocationsBefore = bwbench::AllocationCount();
        const auto t0 = Clock::now();
        scene.Record(texts, format);
        const auto t1 = Clock::now();
        allocations += bwbench::AllocationCount() - allocationsBefore;
        scene.Replay();
        const auto t2 = Clock::now();
        recordNs += std::chrono::duration<double, std::nano>(t1 - t0).count();
        replayNs += std::chrono::duration<double, std::nano>(t2 - t1).count();
        ++frames;
    }
    const double n = static_cast<double>(frames);
    state.counters["record_ns_per_glyph"] = recordNs / n / static_cast<double>(glyphs);
    state.counters["replay_ns_per_glyph"] = replayNs / n / static_cast<double>(glyphs);
    state.counters["draws_per_frame"] = static_cast<double>(scene.Draws() - drawsBefore) / n;
    state.counters["allocations_per_frame"] = static_cast<double>(allocations) / n;
    state.SetItemsProcessed(static_cast<int64_t>(frames * glyphs));
    state.SetLabel(kKindNames[kind]);
    scene.Close();
}

BENCHMARK(BM_TextLayout)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TextDraw)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace
