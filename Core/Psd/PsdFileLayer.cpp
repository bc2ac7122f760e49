#include "Core/Psd/PsdFileLayer.h"

#include "Core/Psd/ImageContainer.h"
#include "Core/Psd/Psd.h"

#include <algorithm>
#include <cstdint>

namespace file
{
namespace
{

int32_t Clamp32(int64_t value)
{
    return static_cast<int32_t>(std::max<int64_t>(INT32_MIN, std::min<int64_t>(INT32_MAX, value)));
}

} // namespace

PsdFileLayer::PsdFileLayer() : mRecord(nullptr)
{
}

PsdFileLayer::PsdFileLayer(const PsdLayerRecord& record, const std::wstring& name, uint32_t index) : mRecord(&record)
{
    int32_t rect[4] = {record.left, record.top, record.width, record.height};
    uint8_t hasImage = 1;
    if (name.find(L"|box") != std::wstring::npos)
    {
        hasImage = 0;
    }
    else if (name.find(L"|center") != std::wstring::npos)
    {
        rect[0] = Clamp32(int64_t(record.left) + record.width / 2);
        rect[1] = Clamp32(int64_t(record.top) + record.height / 2);
        rect[2] = 0;
        rect[3] = 0;
        hasImage = 0;
    }
    base::ImageInfo::operator=(
        base::ImageInfo(name, rect, record.opacity, index, hasImage, 1, ImageContainer::GetImageScale()));
}

PsdFileLayer& PsdFileLayer::operator=(const PsdFileLayer& other)
{
    base::ImageInfo::operator=(other);
    mRecord = other.mRecord;
    return *this;
}

PsdFileLayer::~PsdFileLayer() = default;

} // namespace file
