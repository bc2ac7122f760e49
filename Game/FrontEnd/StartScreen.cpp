#include "Game/FrontEnd/StartScreen.h"

#include "Core/Base/ImageInfo.h"
#include "Core/Base/Log.h"
#include "Core/File/FileManager.h"
#include "Core/Layer/ImageLayer.h"
#include "Core/Psd/ImageContainer.h"
#include "Framework/GameApplication.h"

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

const wchar_t* const StartScreen::kLayout = L"data/gui/start";

StartScreen::StartScreen(const std::wstring& layout) : mLayoutPath(layout) {}

StartScreen::~StartScreen()
{
    SetLayer(nullptr, false);
    delete mLayout;
}

BWResultEnum StartScreen::Load()
{
    framework::GameApplication* application = framework::gGameApplication;
    file::FileManager* files = file::FileManager::Instance();
    if (!application || !files)
        return BW_FAIL;
    delete mLayout;
    mLayout = files->OpenImageContainer(mLayoutPath);
    if (!mLayout)
    {
        BW_LOG(L"The layout '%s' cannot be opened.\n") % mLayoutPath;
        return BW_FAIL;
    }

    // Markers ("profile|box", "sparkle|center") only place things; layers
    // without pixels have nothing to show.
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
        // A button's pressed state shows only while it is pressed.
        image->SetVisible(!EndsWith(picture->mName, L"/in"));
        root->AddChild(image);
    }
    return BW_OK;
}
