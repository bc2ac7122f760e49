#pragma once

// The screen shown instead of the game when the program is started with
// "--pack <output>": it packs the data folder "data/" into the output file on
// its first update, then ends the program (with exit code 1 when the pack
// could not be built).

#include "Core/Widget/Dialog.h"

#include <string>

namespace gui
{

class PackScreen : public widget::Dialog
{
public:
    explicit PackScreen(const std::wstring& output);
    ~PackScreen() override;

    BWResultEnum Update(float dt) override;

    const std::wstring& GetOutput() const { return mOutput; }
    bool IsDone() const { return mDone != 0; }

private:
    std::wstring mOutput;
    uint8_t mDone = 0;
};

} // namespace gui
