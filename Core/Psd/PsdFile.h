#pragma once

#include "Core/File/CodeUnitOrder.h"
#include "Core/Psd/ImageContainer.h"
#include "Core/Psd/PsdFileLayer.h"

#include <map>
#include <string>
#include <vector>

struct PsdContext;

namespace file
{

// A layout read from a layered PSD file on disk. Groups give the layers'
// paths ("start/menu/in"); the bottom-most layer (the document's background)
// is never one of them. The pixels come from the document, as raw ARGB.
class PsdFile : public ImageContainer
{
public:
    // Loads the whole document; a file that cannot be read gives a container
    // without layers.
    PsdFile(const std::wstring& path, FileContainer* owner);
    ~PsdFile() override;

    // A copy of the layer's width * height ARGB words in the machine's byte
    // order, rows top to bottom.
    base::Stream* OpenLayerStream(const std::wstring& name) override;
    // Null: the pixels exist only in the document.
    base::StreamCreator* CreateStreamCreator(const std::wstring& name) override;
    // No file is looked for: the extensions only tell the caller, through the
    // last empty one, that the layer comes without an extension.
    ImageFileInfo* GetImageInfo(const std::wstring& name, const wchar_t* const* extensions = nullptr,
                                uint32_t count = 0, uint32_t* outIndex = nullptr) override;
    base::ImageInfo* FindLayer(const std::wstring& name) override;
    // Topmost layer first; a name met twice holds the upper layer both times.
    base::ImageInfo* GetLayer(uint32_t index) override;
    // The number of distinct names.
    uint32_t GetLayerCount() override;
    // Listings and name queries are answered by layer folders only.
    BWResultEnum FindLayerNames(const std::wstring& folder, bool withSubfolders, std::vector<std::wstring>& out,
                                bool relative) override;
    BWResultEnum FindGroupNames(const std::wstring& folder, std::vector<std::wstring>& out, bool relative) override;
    bool HasLayer(const std::wstring& name) override;
    bool HasLayerImageFile(const std::wstring& name) override;
    bool HasSubfolders(const std::wstring& name) override;

    // The document the layers point into; null when it could not be read.
    PsdContext* GetDocument() { return mDocument; }

private:
    void BuildLayers();

    PsdContext* mDocument;
    std::map<std::wstring, PsdFileLayer, CodeUnitLess> mLayers;
    std::vector<PsdFileLayer*> mOrder;
};

} // namespace file
