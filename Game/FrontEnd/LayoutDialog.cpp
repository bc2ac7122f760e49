#include "Game/FrontEnd/LayoutDialog.h"

#include "Core/Base/ImageInfo.h"
#include "Core/Base/Log.h"
#include "Core/File/FileManager.h"
#include "Core/Layer/ImageLayer.h"
#include "Core/Psd/ImageContainer.h"
#include "Core/Render/BMFont.h"
#include "Core/Render/Graphics.h"
#include "Game/FrontEnd/Game.h"

#include <algorithm>
#include <new>
#include <vector>

namespace
{

bool EndsWith(const std::wstring& text, const std::wstring& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

} // namespace

LayoutDialog::LayoutDialog(const std::wstring& layout) : mLayoutPath(layout) {}

LayoutDialog::~LayoutDialog()
{
    SetLayer(nullptr, false);
    delete mLayout;
}

BWResultEnum LayoutDialog::Load()
{
    framework::GameApplication* application = framework::gGameApplication;
    file::FileManager* files = file::FileManager::Instance();
    if (!application || !files)
        return BW_FAIL;
    SetLayer(nullptr, false);
    mPictures.clear();
    delete mLayout;
    mLayout = files->OpenImageContainer(mLayoutPath);
    if (!mLayout)
    {
        BW_LOG(L"The layout '%s' cannot be opened.\n") % mLayoutPath;
        return BW_FAIL;
    }

    // Markers only place things; layers without pixels have nothing to show.
    std::vector<const base::ImageInfo*> pictures;
    for (uint32_t i = 0; i < mLayout->GetLayerCount(); ++i)
    {
        const base::ImageInfo* info = mLayout->GetLayer(i);
        if (info && info->mHasImage && info->mWidth > 0 && info->mHeight > 0 &&
            info->mName.find(L'|') == std::wstring::npos)
            pictures.push_back(info);
    }
    // Both layout forms number their layers from the bottom up.
    std::stable_sort(pictures.begin(), pictures.end(),
                     [](const base::ImageInfo* a, const base::ImageInfo* b) { return a->mExtra < b->mExtra; });

    layer::Layer* root = new (std::nothrow) layer::Layer;
    if (!root)
        return BW_FAIL;
    SetLayer(root, true);
    for (const base::ImageInfo* picture : pictures)
    {
        layer::ImageLayer* image = nullptr;
        if (BWResultEnum result = application->CreateImageLayer(picture->mName, mLayout, &image, true, nullptr))
        {
            BW_LOG(L"The layer '%s' of '%s' cannot be shown.\n") % picture->mName % mLayoutPath;
            return result;
        }
        image->SetOpacity(static_cast<float>(picture->mOpacity) / 255.0f);
        image->SetVisible(!EndsWith(picture->mName, L"/in"));
        root->AddChild(image);
        mPictures[picture->mName] = image;
    }
    return BW_OK;
}

layer::ImageLayer* LayoutDialog::FindPicture(const std::wstring& name) const
{
    auto it = mPictures.find(name);
    return it == mPictures.end() ? nullptr : it->second;
}

bool LayoutDialog::GetRect(const std::wstring& name, float rect[4]) const
{
    const base::ImageInfo* info = mLayout ? mLayout->FindLayer(name) : nullptr;
    if (!info)
        return false;
    rect[0] = static_cast<float>(info->mX);
    rect[1] = static_cast<float>(info->mY);
    rect[2] = static_cast<float>(info->mWidth);
    rect[3] = static_cast<float>(info->mHeight);
    return true;
}

bool LayoutDialog::IsInside(const std::wstring& name, const input::Point& position) const
{
    float rect[4];
    return GetRect(name, rect) && position.x >= rect[0] && position.x < rect[0] + rect[2] && position.y >= rect[1] &&
           position.y < rect[1] + rect[3];
}

BWResultEnum LayoutDialog::DrawText(render::Graphics* graphics, size_t font, const std::wstring& text,
                                    const float rect[4], const float color[4])
{
    render::BMFont* face = gGame ? gGame->GetFont(font) : nullptr;
    if (!face || text.empty())
        return BW_OK;
    render::Font* previousFont = graphics->mFont;
    float previousColor[4];
    std::copy(graphics->mColor, graphics->mColor + 4, previousColor);
    graphics->mFont = face;
    graphics->SetColor(color);
    auto draw = graphics->DrawString(text);
    draw->mAlignX = 2;
    draw->mAlignY = render::TextAlignMiddle;
    const float centre[2] = {rect[0] + rect[2] * 0.5f, rect[1] + rect[3] * 0.5f};
    BWResultEnum result = draw.Translate(centre).DrawNow();
    graphics->mFont = previousFont;
    graphics->SetColor(previousColor);
    return result;
}

void LayoutDialog::ShowPressed(const std::wstring& button, bool pressed)
{
    if (layer::ImageLayer* in = FindPicture(button + L"/in"))
        in->SetVisible(pressed);
    if (layer::ImageLayer* out = FindPicture(button + L"/out"))
        out->SetVisible(!pressed);
}
