#pragma once

// A game dialog laid out by a designer: a layer folder or a PSD
// ("data/gui/<name>"), drawn as it was designed, every picture layer at its
// place. Markers ("name|box") only give rectangles, where the dialog puts
// text and takes clicks. A button's pressed picture ("<button>/in") is hidden
// until it is pressed.

#include "Core/Widget/Dialog.h"

#include <map>
#include <string>

namespace file
{
class ImageContainer;
}
namespace layer
{
class ImageLayer;
}

class LayoutDialog : public widget::Dialog
{
public:
    explicit LayoutDialog(const std::wstring& layout);
    // The layers go first: their textures were read from the layout.
    ~LayoutDialog() override;

    // Opens the layout and makes one image layer per picture layer, bottom to
    // top. 1, with a log record, when the layout or one of its pictures cannot
    // be read.
    BWResultEnum Load() override;

    const std::wstring& GetLayoutPath() const { return mLayoutPath; }
    // The picture layer of that layer name; null when the layout has none.
    layer::ImageLayer* FindPicture(const std::wstring& name) const;
    // x, y, width, height of a picture or marker; false when there is none.
    bool GetRect(const std::wstring& name, float rect[4]) const;
    bool IsInside(const std::wstring& name, const input::Point& position) const;

protected:
    // The text in the game font of that index, centred in the rectangle.
    BWResultEnum DrawText(render::Graphics* graphics, size_t font, const std::wstring& text, const float rect[4],
                          const float color[4]);
    // Shows the pressed or the resting picture of a button ("<button>/in",
    // "<button>/out").
    void ShowPressed(const std::wstring& button, bool pressed);

private:
    std::wstring mLayoutPath;
    file::ImageContainer* mLayout = nullptr;
    std::map<std::wstring, layer::ImageLayer*> mPictures;
};
