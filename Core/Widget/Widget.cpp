#include "Core/Widget/Widget.h"

#include "Core/Layer/Layer.h"
#include "Core/Widget/Frame.h"
#include "Core/Widget/FrameManager.h"

namespace widget
{

Widget::Widget() = default;

Widget::~Widget()
{
    if (mFrame)
    {
        mFrame->ForgetWidget(this);
        if (FrameManager* manager = mFrame->GetManager())
            manager->ForgetWidget(this);
    }
    if (mOwnsLayer)
        delete mLayer;
}

BWResultEnum Widget::Update(float)
{
    return BW_OK;
}

BWResultEnum Widget::Draw(render::Graphics* graphics)
{
    if (!mVisible || !mLayer)
        return BW_OK;
    return mLayer->Draw(graphics);
}

BWResultEnum Widget::OnMouseDown(const input::Point&, uint32_t, bool*)
{
    return BW_OK;
}

BWResultEnum Widget::OnMouseUp(const input::Point&, uint32_t, bool*)
{
    return BW_OK;
}

BWResultEnum Widget::OnMouseDoubleClick(const input::Point&, uint32_t, bool*)
{
    return BW_OK;
}

BWResultEnum Widget::OnMouseMove(const input::Point&, bool*)
{
    return BW_OK;
}

BWResultEnum Widget::OnMouseDrag(const input::Point&, bool*)
{
    return BW_OK;
}

BWResultEnum Widget::OnMouseWheel(const input::Point&, int, bool*)
{
    return BW_OK;
}

BWResultEnum Widget::OnMouseLeave()
{
    return BW_OK;
}

BWResultEnum Widget::OnKeyDown(int)
{
    return BW_OK;
}

BWResultEnum Widget::OnKeyUp(int)
{
    return BW_OK;
}

BWResultEnum Widget::OnChar(wchar_t)
{
    return BW_OK;
}

void Widget::SetLayer(layer::Layer* layer, bool owned)
{
    if (layer == mLayer)
    {
        mOwnsLayer = owned ? 1 : 0;
        return;
    }
    if (mOwnsLayer)
        delete mLayer;
    mLayer = layer;
    mOwnsLayer = owned ? 1 : 0;
}

} // namespace widget
