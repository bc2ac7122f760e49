#pragma once

#include "Core/Base/ImageInfo.h"
#include "Core/File/CodeUnitOrder.h"
#include "Core/Psd/ImageContainer.h"

#include <map>
#include <string>
#include <vector>

namespace file
{

// A layout shipped as a folder: "layers.xml" names every layer with its
// rectangle, opacity and index, and the pixels lie in one image file per
// layer ("<folder>/<name><extension>") or in a shared atlas. Everything is
// read through the owning container, so the folder may lie in a pack.
//
//   <Layers>
//     <Layer name="start/menu/play/out" x="392" y="330" width="240" height="64"
//            opacity="255" ind="12" atlas="menu.png" tu1="0" tv1="0.75" tu2="0.46875" tv2="1"/>
//   </Layers>
//
// Texture coordinates v are measured from the bottom of the atlas.
class PsdFolder : public ImageContainer
{
public:
    // Reads "layers.xml" once; a missing or unreadable description gives a
    // container without layers.
    PsdFolder(const std::wstring& path, FileContainer* owner);
    ~PsdFolder() override;

    // The owner's stream on "<folder>/<name>".
    base::Stream* OpenLayerStream(const std::wstring& name) override;
    base::StreamCreator* CreateStreamCreator(const std::wstring& name) override;
    // With extensions, the layer's image file must exist under one of them
    // (atlas layers excepted); null otherwise.
    ImageFileInfo* GetImageInfo(const std::wstring& name, const wchar_t* const* extensions = nullptr,
                                uint32_t count = 0, uint32_t* outIndex = nullptr) override;
    base::ImageInfo* FindLayer(const std::wstring& name) override;
    // In the order of the description; a name given twice holds the first
    // layer both times.
    base::ImageInfo* GetLayer(uint32_t index) override;
    // One per accepted entry, repeated names included.
    uint32_t GetLayerCount() override;
    // The folder is matched in lower case against the names as written.
    BWResultEnum FindLayerNames(const std::wstring& folder, bool withSubfolders, std::vector<std::wstring>& out,
                                bool relative) override;
    BWResultEnum FindGroupNames(const std::wstring& folder, std::vector<std::wstring>& out, bool relative) override;
    // Whether a layer is named like the name in lower case.
    bool HasLayer(const std::wstring& name) override;
    bool HasLayerImageFile(const std::wstring& name) override;
    // Whether the group holds a further group.
    bool HasSubfolders(const std::wstring& name) override;

private:
    void Load();
    void ParseLayers(const char* text, size_t size);
    std::wstring GetFilePath(const std::wstring& name) const;

    std::map<std::wstring, base::ImageInfo, CodeUnitLess> mLayers;
    std::vector<base::ImageInfo*> mOrder;
};

} // namespace file
