#include "Framework/DisplaySettings.h"

#include "Core/App/Win32/WindowWin32.h"
#include "Core/Base/Log.h"

#include <utility>

namespace framework
{
namespace
{

typedef std::pair<uint32_t, uint32_t> Aspect;

Aspect AspectOf(uint32_t width, uint32_t height)
{
    Aspect aspect;
    app::ReduceRatio(aspect, width, height);
    return aspect;
}

bool HasSize(const app::MonitorInfo& monitor)
{
    return monitor.mWidth > 0 && monitor.mHeight > 0;
}

// The primary monitor, else the first; a monitor without a size would divide
// by zero in the aspect tests.
app::MonitorInfo ChooseMonitor(const std::vector<app::MonitorInfo>& monitors)
{
    const app::MonitorInfo* chosen = nullptr;
    for (size_t i = 0; i < monitors.size(); ++i)
    {
        const app::MonitorInfo& monitor = monitors[i];
        if (!HasSize(monitor))
        {
            BW_LOG(L"Monitor %d reports a size of %dx%d and is not used.\n") % static_cast<int32_t>(i) %
                monitor.mWidth % monitor.mHeight;
            continue;
        }
        if (!chosen || (monitor.mPrimary && !chosen->mPrimary))
            chosen = &monitor;
    }
    if (chosen)
        return *chosen;
    BW_LOG(L"No monitor with a size: assuming one of 1366x768.\n");
    return FallbackMonitor();
}

void SetBar(float bar[4], float x, float y, float width, float height)
{
    bar[0] = x;
    bar[1] = y;
    bar[2] = width;
    bar[3] = height;
}

} // namespace

app::MonitorInfo FallbackMonitor()
{
    app::MonitorInfo monitor;
    monitor.mWidth = monitor.mWorkWidth = 1366;
    monitor.mHeight = monitor.mWorkHeight = 768;
    monitor.mPrimary = 1;
    return monitor;
}

BWResultEnum ComputeDisplaySettings(const DisplayRequest& request, DisplaySettings& record, DisplayLayout& layout)
{
    if (!request.mMonitors || !request.mRender)
    {
        BW_LOG(L"No monitor list to compute the display settings for\n");
        return BW_FAIL;
    }
    if (!request.mBaseWidth || !request.mBaseHeight || !request.mWideWidth)
    {
        BW_LOG(L"A layout of %ux%u widening to %u cannot be shown.\n") % request.mBaseWidth % request.mBaseHeight %
            request.mWideWidth;
        return BW_FAIL;
    }
    const app::MonitorInfo monitor = ChooseMonitor(*request.mMonitors);
    const uint32_t baseHeight = request.mBaseHeight;
    const Aspect a = AspectOf(request.mBaseWidth, baseHeight);
    const Aspect b = AspectOf(request.mWideWidth, baseHeight);

    uint32_t width = request.mWideWidth;
    uint32_t height = baseHeight;
    bool windowed = request.mWindowed;
    if (windowed)
    {
        app::WindowSize client = {static_cast<int32_t>(width), static_cast<int32_t>(height)};
        app::WindowSize outer = request.mWindow ? request.mWindow->GetOuterSize(client) : client;
        // The width is checked as the height is: a window wider than the work
        // area would be centred with both sides cut off.
        if (outer.width <= monitor.mWorkWidth && outer.height <= monitor.mWorkHeight)
        {
            record.mWindowWidth = outer.width;
            record.mWindowHeight = outer.height;
            record.mWindowX = (monitor.mWorkWidth - outer.width) / 2 + monitor.mWorkX;
            record.mWindowY = (monitor.mWorkHeight - outer.height) / 2 + monitor.mWorkY;
        }
        else
        {
            record.mFellBackToFullScreen = 1;
            windowed = false;
        }
    }
    if (!windowed)
    {
        width = static_cast<uint32_t>(monitor.mWidth);
        height = static_cast<uint32_t>(monitor.mHeight);
        record.mWindowWidth = monitor.mWidth;
        record.mWindowHeight = monitor.mHeight;
        record.mWindowX = monitor.mX;
        record.mWindowY = monitor.mY;
    }
    record.mRenderParam.mWidth = width;
    record.mRenderParam.mHeight = height;
    record.mRenderParam.mWindowed = windowed ? 1 : 0;

    // Narrow screens get bars above and below, screens wider than the wide
    // layout bars at the sides; in between the layout fills the screen.
    const uint32_t w = width;
    const uint32_t h = height;
    const Aspect c = AspectOf(w, h);
    Aspect shown = c;
    uint32_t shownWidth = w;
    uint32_t shownHeight = h;
    layout.mBarsNeeded = 0;
    if (a.second * c.first / c.second < a.first || c.first < c.second * a.first / a.second)
    {
        shown = a;
        shownHeight = a.second * w / a.first;
        layout.mBarsNeeded = 1;
        layout.mBarsAtSides = 0;
        float bar = (static_cast<float>(h) - static_cast<float>(shownHeight)) * 0.5f;
        SetBar(layout.mBars[0], 0.0f, 0.0f, static_cast<float>(w), bar);
        SetBar(layout.mBars[1], 0.0f, static_cast<float>(h) - bar, static_cast<float>(w), bar);
    }
    else if (c.second * b.first / b.second < c.first || b.first < b.second * c.first / c.second)
    {
        shown = b;
        shownWidth = b.first * h / b.second;
        layout.mBarsNeeded = 1;
        layout.mBarsAtSides = 1;
        float bar = (static_cast<float>(w) - static_cast<float>(shownWidth)) * 0.5f;
        SetBar(layout.mBars[0], 0.0f, 0.0f, bar, static_cast<float>(h));
        SetBar(layout.mBars[1], static_cast<float>(w) - bar, 0.0f, bar, static_cast<float>(h));
    }

    const float pw = static_cast<float>(shownWidth);
    const float ph = static_cast<float>(shownHeight);
    const float base = static_cast<float>(baseHeight);
    layout.mLayoutHeight = base;
    layout.mLayoutWidth = static_cast<float>(baseHeight * shown.first / shown.second);
    layout.mLayoutOffsetX = (static_cast<float>(request.mBaseWidth) - layout.mLayoutWidth) * 0.5f;
    layout.mLayoutOffsetY = 0.0f;

    layout.mScaleX = layout.mLayoutWidth / pw;
    layout.mScaleY = base / ph;
    layout.mOffsetX = layout.mLayoutOffsetX / layout.mScaleX + (pw - static_cast<float>(w)) * 0.5f;
    layout.mOffsetY = (ph - static_cast<float>(h)) * 0.5f;

    const float toOrigin[3] = {-layout.mLayoutOffsetX, -layout.mLayoutOffsetY, 0.0f};
    if (shownHeight > baseHeight)
    {
        record.mTargetNeeded = 1;
        record.mRenderParam.mOrthoFromSize = 1;
        record.mTargetWidth = baseHeight * shown.first / shown.second;
        record.mTargetHeight = baseHeight;
        math::Matrix4 ortho;
        BWResultEnum result =
            request.mRender->MakeOrthoProjection(layout.mLayoutWidth, layout.mLayoutHeight, 1.0f, &ortho);
        if (result != BW_OK)
            return result;
        math::Matrix4 projection;
        projection.Translate(toOrigin);
        record.mTargetProjection = projection * ortho;
        record.mTargetViewport[2] = -layout.mLayoutOffsetX;
        record.mTargetViewport[3] = -layout.mLayoutOffsetY;
        layout.mTargetScaleX = pw / layout.mLayoutWidth;
        layout.mTargetScaleY = ph / base;
        layout.mTargetX = static_cast<float>(w) * 0.5f;
        layout.mTargetY = static_cast<float>(h) * 0.5f;
        return BW_OK;
    }

    record.mTargetNeeded = 0;
    record.mRenderParam.mOrthoFromSize = 0;
    const float sx = pw / layout.mLayoutWidth;
    const float sy = ph / base;
    const float tx = (static_cast<float>(w) - pw) * 0.5f;
    const float ty = (static_cast<float>(h) - ph) * 0.5f;
    math::Matrix4 ortho;
    BWResultEnum result =
        request.mRender->MakeOrthoProjection(static_cast<float>(w), static_cast<float>(h), 0.0f, &ortho);
    if (result != BW_OK)
        return result;
    const float scale[3] = {sx, sy, 1.0f};
    const float toScreen[3] = {tx, ty, 0.0f};
    math::Matrix4 projection;
    projection.Translate(toOrigin);
    projection.Scale(scale);
    projection.Translate(toScreen);
    record.mRenderParam.mProjection = projection * ortho;
    // The renderer places scissor rectangles at layout * scale + offset, so
    // the offset is in pixels; the same mapping as the projection above and
    // the inverse of the point conversion.
    record.mRenderParam.mViewport[0] = sx;
    record.mRenderParam.mViewport[1] = sy;
    record.mRenderParam.mViewport[2] = tx - layout.mLayoutOffsetX * sx;
    record.mRenderParam.mViewport[3] = ty - layout.mLayoutOffsetY * sy;
    if (layout.mBarsNeeded)
        for (float* bar : layout.mBars)
        {
            bar[0] = (bar[0] - tx) / sx + layout.mLayoutOffsetX;
            bar[1] = (bar[1] - ty) / sy + layout.mLayoutOffsetY;
            bar[2] = bar[2] / sx;
            bar[3] = bar[3] / sy;
        }
    return BW_OK;
}

void TargetRectFromViewport(const float viewport[4], float rect[4])
{
    rect[0] = viewport[2];
    rect[1] = viewport[3];
    rect[2] = viewport[0];
    rect[3] = viewport[1];
}

} // namespace framework
