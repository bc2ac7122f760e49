#include "Core/Render/Font.h"

#include <utility>

namespace render
{

Font::Font() : mBase(0.0f), mSize(0.0f), mExtra(0.0f)
{
}

float Font::GetBase()
{
    return mBase;
}

float Font::GetBelowBase()
{
    return mSize - mBase;
}

float Font::GetSize()
{
    return mSize;
}

float Font::GetSizePlusExtra()
{
    return mExtra + mSize;
}

float Font::GetExtra()
{
    return mExtra;
}

DrawUntransformedParam<DrawTextParam> Font::DrawString(const std::wstring& text)
{
    return DrawUntransformedParam<DrawTextParam>(DrawTextParam(nullptr, this, &text));
}

DrawUntransformedParam<DrawTextParam> Font::DrawString(std::wstring&& text)
{
    return DrawUntransformedParam<DrawTextParam>(DrawTextParam(nullptr, this, std::move(text)));
}

} // namespace render
