#include "Core/Widget/Dialog.h"

namespace widget
{

Dialog::Dialog() = default;

Dialog::~Dialog() = default;

BWResultEnum Dialog::Load()
{
    return BW_OK;
}

} // namespace widget
