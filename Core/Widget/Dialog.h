#pragma once

#include "Core/Widget/Frame.h"

namespace widget
{

// A frame that builds itself: the game application calls Load once, before
// the frame is first shown; an error keeps it from being shown.
class Dialog : public Frame
{
public:
    Dialog();
    ~Dialog() override;

    virtual BWResultEnum Load();
};

} // namespace widget
