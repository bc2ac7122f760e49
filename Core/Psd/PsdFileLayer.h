#pragma once

#include "Core/Base/ImageInfo.h"

#include <cstdint>
#include <string>

struct PsdLayerRecord;

namespace file
{

// One layer of a PSD layout: its description and the record in the document
// that holds its pixels (the document owns the record).
//
// Options in the name shape the layer: "|box" keeps only its rectangle, and
// "|center" turns it into the point at the centre of its rectangle; neither
// carries an image. The options stay part of the name.
class PsdFileLayer : public base::ImageInfo
{
public:
    PsdFileLayer();
    PsdFileLayer(const PsdLayerRecord& record, const std::wstring& name, uint32_t index);
    PsdFileLayer(const PsdFileLayer& other) = default;
    PsdFileLayer& operator=(const PsdFileLayer& other);
    ~PsdFileLayer() override;

    const PsdLayerRecord* GetRecord() const { return mRecord; }

private:
    const PsdLayerRecord* mRecord;
};

} // namespace file
