#pragma once

// Display settings: for windowed or full-screen play on the chosen monitor,
// the back-buffer size, where the window goes, which part of the widened
// layout shows, the black bars, how window pixels map to layout coordinates,
// and whether the layout is drawn straight with a scaling projection or into
// an off-screen target of layout size that is drawn scaled.

#include "Core/App/Win32/MonitorInfo.h"
#include "Core/Base/BWResult.h"
#include "Core/Input/InputTypes.h"
#include "Core/Math/Matrix4.h"
#include "Core/Render/Render.h"

#include <cstdint>
#include <vector>

namespace app
{
class WindowWin32;
}

namespace framework
{

// The record handed to the window and the renderer.
struct DisplaySettings
{
    int32_t mWindowX = 0;
    int32_t mWindowY = 0;
    int32_t mWindowWidth = 0;
    int32_t mWindowHeight = 0;
    render::RenderInitParam mRenderParam;
    uint8_t mFellBackToFullScreen = 0;
    uint8_t mTargetNeeded = 0;
    uint32_t mTargetWidth = 0;
    uint32_t mTargetHeight = 0;
    math::Matrix4 mTargetProjection;
    // Scale x, scale y, offset x, offset y.
    float mTargetViewport[4] = {1.0f, 1.0f, 0.0f, 0.0f};
};

// What the application keeps of the computation.
struct DisplayLayout
{
    // The part of the layout that shows, in layout units.
    float mLayoutWidth = 0.0f;
    float mLayoutHeight = 0.0f;
    float mLayoutOffsetX = 0.0f;
    float mLayoutOffsetY = 0.0f;
    // Window point (x, y) -> (scale x * (x + offset x), scale y * (y + offset y)).
    float mScaleX = 1.0f;
    float mScaleY = 1.0f;
    float mOffsetX = 0.0f;
    float mOffsetY = 0.0f;
    uint8_t mBarsNeeded = 0;
    uint8_t mBarsAtSides = 0;
    // x, y, width, height: in layout coordinates when drawn straight, in
    // pixels when drawn through the target.
    float mBars[2][4] = {};
    float mTargetScaleX = 1.0f;
    float mTargetScaleY = 1.0f;
    float mTargetX = 0.0f;
    float mTargetY = 0.0f;

    input::Point ConvertPoint(const input::Point& windowPoint) const
    {
        return {mScaleX * (windowPoint.x + mOffsetX), mScaleY * (windowPoint.y + mOffsetY)};
    }
};

struct DisplayRequest
{
    uint32_t mBaseWidth = 1024;
    uint32_t mBaseHeight = 768;
    uint32_t mWideWidth = 1366;
    bool mWindowed = true;
    const std::vector<app::MonitorInfo>* mMonitors = nullptr;
    const app::WindowWin32* mWindow = nullptr; // for the outer size of a window
    render::Render* mRender = nullptr;          // for its projections
};

// A screen of the wide layout's size, for a machine that reports no usable
// monitor (no display, a driver error, a monitor without a size).
app::MonitorInfo FallbackMonitor();

// Fills the record and the layout. Monitors without a width or height are
// refused with a log record; when none is left the fallback monitor is used.
// Fails on base sizes of zero and passes on an error of the renderer's
// projection.
BWResultEnum ComputeDisplaySettings(const DisplayRequest& request, DisplaySettings& record, DisplayLayout& layout);

// The off-screen image keeps its target rectangle as offset x, offset y,
// scale x, scale y: the record's target viewport copied by meaning.
void TargetRectFromViewport(const float viewport[4], float rect[4]);

} // namespace framework
