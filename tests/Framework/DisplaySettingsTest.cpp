#include "Framework/DisplaySettings.h"

#include "Core/App/Win32/WindowWin32.h"
#include "tests/Support/LogCapture.h"
#include "tests/Support/RecordingRender.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

app::MonitorInfo Monitor(int32_t x, int32_t y, int32_t w, int32_t h, int32_t workW = 0, int32_t workH = 0,
                         uint8_t primary = 1)
{
    app::MonitorInfo m;
    m.mX = m.mWorkX = x;
    m.mY = m.mWorkY = y;
    m.mWidth = w;
    m.mHeight = h;
    m.mWorkWidth = workW ? workW : w;
    m.mWorkHeight = workH ? workH : h;
    m.mPrimary = primary;
    return m;
}

struct Expected
{
    const char* name;
    app::MonitorInfo monitor;
    bool windowedAsked;
    // The record.
    uint8_t windowed;
    uint8_t fellBack;
    int32_t windowX, windowY, windowW, windowH;
    uint32_t backW, backH;
    // The layout and the conversion.
    float layoutW, offsetX;
    float scaleX, scaleY, convX, convY;
    uint8_t bars, barsAtSides;
    float bar1[4], bar2[4];
    // Drawn straight: the viewport; through the target: its size, scale and place.
    uint8_t target;
    float viewport[4];
    uint32_t targetW, targetH;
    float targetScaleX, targetScaleY, targetX, targetY;
};

// Hand-computed with base 1024 x 768 widening to 1366 (4:3 and 683:384); the
// pixel tests of the game application show 1280 x 1024, 1920 x 1080 (its
// target of 1365 at 960, 540) and a window on 1366 x 768.
const Expected kCases[] = {
    {"FullScreen1280x720", Monitor(0, 0, 1280, 720), false, 0, 0, 0, 0, 1280, 720, 1280, 720,
     1365, -170.5f, 1.06640625f, 1.0666667f, -159.88277f, 0, 0, 0, {}, {},
     0, {0.9377289f, 0.9375f, 159.88277f, 0}, 0, 0, 1, 1, 0, 0},
    {"FullScreen2560x1080", Monitor(0, 0, 2560, 1080), false, 0, 0, 0, 0, 2560, 1080, 2560, 1080,
     1366, -171, 0.7114583f, 0.7111111f, -560.35138f, 0, 1, 1, {0, 0, 320, 1080}, {2240, 0, 320, 1080},
     1, {1, 1, 171, 0}, 1366, 768, 1.4055637f, 1.40625f, 1280, 540},
    {"FullScreen1024x800BarsInLayoutUnits", Monitor(0, 0, 1024, 800), false, 0, 0, 0, 0, 1024, 800, 1024, 800,
     1024, 0, 1, 1, 0, -16, 1, 0, {0, -16, 1024, 16}, {0, 768, 1024, 16},
     0, {1, 1, 0, 16}, 0, 0, 1, 1, 0, 0},
    {"WindowCentredInTheWorkArea", Monitor(0, 0, 1920, 1080, 1920, 1040), true, 1, 0, 277, 136, 1366, 768, 1366,
     768, 1366, -171, 1, 1, -171, 0, 0, 0, {}, {}, 0, {1, 1, 171, 0}, 0, 0, 1, 1, 0, 0},
    {"WindowTooWideFallsBackToFullScreen", Monitor(0, 0, 1280, 1024, 1280, 984), true, 0, 1, 0, 0, 1280, 1024,
     1280, 1024, 1024, 0, 0.8f, 0.8f, 0, -32, 1, 0, {0, 0, 1280, 32}, {0, 992, 1280, 32},
     1, {1, 1, 0, 0}, 1024, 768, 1.25f, 1.25f, 640, 512},
    {"WindowTooHighFallsBackToFullScreen", Monitor(0, 0, 1366, 768, 1366, 728), true, 0, 1, 0, 0, 1366, 768, 1366,
     768, 1366, -171, 1, 1, -171, 0, 0, 0, {}, {}, 0, {1, 1, 171, 0}, 0, 0, 1, 1, 0, 0},
};

class DisplaySettingsTable : public ::testing::TestWithParam<Expected>
{
protected:
    DisplaySettingsTable() : mWindow(nullptr, false, false, true) {}

    BWResultEnum Compute(const std::vector<app::MonitorInfo>& monitors, bool windowed)
    {
        framework::DisplayRequest request;
        request.mBaseWidth = mBaseWidth;
        request.mBaseHeight = mBaseHeight;
        request.mWideWidth = mWideWidth;
        request.mWindowed = windowed;
        request.mMonitors = &monitors;
        request.mWindow = &mWindow;
        request.mRender = &mRender;
        return framework::ComputeDisplaySettings(request, mRecord, mLayout);
    }

    uint32_t mBaseWidth = 1024, mBaseHeight = 768, mWideWidth = 1366;
    app::WindowWin32 mWindow;
    bwtest::RecordingRender mRender;
    framework::DisplaySettings mRecord;
    framework::DisplayLayout mLayout;
};

const float kTolerance = 1e-3f;

} // namespace

TEST_P(DisplaySettingsTable, MatchesTheHandComputedValuesAndScissorsInvertThePointConversion)
{
    const Expected& e = GetParam();
    ASSERT_EQ(Compute({e.monitor}, e.windowedAsked), BW_OK);
    const framework::DisplaySettings& r = mRecord;
    const float* viewport = e.target ? r.mTargetViewport : r.mRenderParam.mViewport;
    std::vector<float> expected = {float(e.windowed), float(e.fellBack), float(e.windowX), float(e.windowY),
                                   float(e.windowW), float(e.windowH), float(e.backW), float(e.backH), e.layoutW,
                                   e.offsetX, e.scaleX, e.scaleY, e.convX, e.convY, float(e.bars), float(e.target)};
    std::vector<float> actual = {float(r.mRenderParam.mWindowed), float(r.mFellBackToFullScreen), float(r.mWindowX),
                                 float(r.mWindowY), float(r.mWindowWidth), float(r.mWindowHeight),
                                 float(r.mRenderParam.mWidth), float(r.mRenderParam.mHeight), mLayout.mLayoutWidth,
                                 mLayout.mLayoutOffsetX, mLayout.mScaleX, mLayout.mScaleY, mLayout.mOffsetX,
                                 mLayout.mOffsetY, float(mLayout.mBarsNeeded), float(r.mRenderParam.mOrthoFromSize)};
    expected.insert(expected.end(), e.viewport, e.viewport + 4);
    actual.insert(actual.end(), viewport, viewport + 4);
    EXPECT_EQ(r.mTargetNeeded, e.target);
    EXPECT_EQ(mLayout.mLayoutHeight, 768.0f);
    if (e.bars)
    {
        expected.insert(expected.end(), {float(e.barsAtSides), e.bar1[0], e.bar1[1], e.bar1[2], e.bar1[3], e.bar2[0],
                                         e.bar2[1], e.bar2[2], e.bar2[3]});
        actual.push_back(float(mLayout.mBarsAtSides));
        actual.insert(actual.end(), &mLayout.mBars[0][0], &mLayout.mBars[0][0] + 8);
    }
    if (e.target)
    {
        expected.insert(expected.end(), {float(e.targetW), float(e.targetH), e.targetScaleX, e.targetScaleY,
                                         e.targetX, e.targetY});
        actual.insert(actual.end(), {float(r.mTargetWidth), float(r.mTargetHeight), mLayout.mTargetScaleX,
                                     mLayout.mTargetScaleY, mLayout.mTargetX, mLayout.mTargetY});
    }
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i)
        EXPECT_NEAR(actual[i], expected[i], kTolerance) << "value " << i;

    // A pixel turned into layout coordinates and placed back on the screen the
    // way scissor rectangles are (layout * scale + offset, through the target's
    // rectangle when there is one) lands where it started.
    bwtest::RecordingRender frontEnd;
    ASSERT_EQ(frontEnd.InitRender(nullptr, mRecord.mRenderParam), BW_OK);
    for (float px : {0.0f, 100.0f, e.backW * 0.5f, e.backW - 1.0f})
        for (float py : {0.0f, 10.0f, e.backH - 1.0f})
        {
            input::Point p = mLayout.ConvertPoint({px, py});
            float screen[2];
            if (mRecord.mTargetNeeded)
            {
                float rect[4];
                framework::TargetRectFromViewport(mRecord.mTargetViewport, rect);
                screen[0] = (p.x * rect[2] + rect[0] - mRecord.mTargetWidth * 0.5f) * mLayout.mTargetScaleX +
                            mLayout.mTargetX;
                screen[1] = (p.y * rect[3] + rect[1] - mRecord.mTargetHeight * 0.5f) * mLayout.mTargetScaleY +
                            mLayout.mTargetY;
            }
            else
            {
                // The renderer's own placement, from the viewport it was given.
                const float rect[4] = {p.x, p.y, 10.0f, 10.0f};
                int placed[4];
                ASSERT_EQ(frontEnd.ToScreenRect(rect, placed), BW_OK);
                screen[0] = float(placed[0]), screen[1] = float(placed[1]);
            }
            EXPECT_NEAR(screen[0], px, mRecord.mTargetNeeded ? 0.01f : 1.0f) << px << ", " << py;
            EXPECT_NEAR(screen[1], py, mRecord.mTargetNeeded ? 0.01f : 1.0f) << px << ", " << py;
        }
}

INSTANTIATE_TEST_SUITE_P(Sizes, DisplaySettingsTable, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Expected>& info) { return std::string(info.param.name); });

namespace
{

class DisplaySettingsChoice : public DisplaySettingsTable
{
    void TestBody() override {}
};

class FailingProjection : public bwtest::RecordingRender
{
public:
    BWResultEnum MakeOrthoProjection(float, float, float, math::Matrix4*) override { return BW_FAIL; }
};

} // namespace

// The primary monitor is taken, else the first; monitors without a size are
// refused, and without any left the fallback takes over.
TEST_F(DisplaySettingsChoice, MonitorsWithoutASizeAreRefusedAndTheFallbackTakesOver)
{
    const struct
    {
        std::vector<app::MonitorInfo> monitors;
        uint32_t width; // full screen on the monitor taken
        size_t refused;
    } cases[] = {
        {{Monitor(-1920, 0, 1920, 1080, 0, 0, 0), Monitor(0, 0, 1280, 1024)}, 1280, 0},
        {{Monitor(-1920, -10, 1920, 1080, 0, 0, 0), Monitor(0, 0, 1280, 1024, 0, 0, 0)}, 1920, 0},
        {{Monitor(0, 0, 1920, 0), Monitor(0, 0, 1280, 1024, 0, 0, 0)}, 1280, 1},
        {{Monitor(0, 0, 0, 1080)}, 1366, 1},
        {{Monitor(0, 0, 0, 0), Monitor(5, 5, -640, 480)}, 1366, 2},
        {{}, 1366, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(&c - cases);
        testing_support::LogCapture log;
        mRecord = framework::DisplaySettings();
        ASSERT_EQ(Compute(c.monitors, false), BW_OK);
        EXPECT_EQ(mRecord.mRenderParam.mWidth, c.width);
        EXPECT_EQ(log.Count(L"and is not used"), c.refused);
        EXPECT_EQ(log.Contains(L"assuming one of 1366x768"), c.width == 1366);
    }
}

TEST_F(DisplaySettingsChoice, ZeroLayoutSizesOrAProjectionErrorFail)
{
    for (uint32_t* size : {&mBaseWidth, &mBaseHeight, &mWideWidth})
    {
        const uint32_t kept = *size;
        *size = 0;
        EXPECT_EQ(Compute({Monitor(0, 0, 1366, 768)}, true), BW_FAIL);
        *size = kept;
    }
    FailingProjection render;
    std::vector<app::MonitorInfo> monitors = {Monitor(0, 0, 1366, 768)};
    framework::DisplayRequest request;
    request.mMonitors = &monitors;
    request.mWindow = &mWindow;
    request.mRender = &render;
    EXPECT_EQ(framework::ComputeDisplaySettings(request, mRecord, mLayout), BW_FAIL);
}
