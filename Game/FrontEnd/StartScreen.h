#pragma once

// The game's first screen: the start layout ("data/gui/start", a layer folder
// or a PSD) drawn as it was designed, every picture layer at its place, the
// menu buttons at rest.

#include "Core/Widget/Dialog.h"

#include <string>

namespace file
{
class ImageContainer;
}

class StartScreen : public widget::Dialog
{
public:
    static const wchar_t* const kLayout;

    explicit StartScreen(const std::wstring& layout = kLayout);
    // The layers go first: their textures were read from the layout.
    ~StartScreen() override;

    // Opens the layout and makes one image layer per picture layer, bottom to
    // top. 1 when the layout or one of its pictures cannot be read.
    BWResultEnum Load() override;

private:
    std::wstring mLayoutPath;
    file::ImageContainer* mLayout = nullptr;
};
