#pragma once

#include "Core/Base/BWResult.h"
#include "Core/File/Container.h"
#include "Core/Psd/ImageFileInfo.h"

#include <cstdint>
#include <string>
#include <vector>

namespace file
{

class FileContainer;

// A layout opened as a set of named layers ("start/menu/in"): a layered PSD
// document or a layer folder. It is also a container whose files are its
// layers, so the renderer can load a layer wherever it loads a file.
class ImageContainer : public Container
{
public:
    // path: the layout as the opener named it; owner: the container that
    // opened it, not owned.
    ImageContainer(const std::wstring& path, FileContainer* owner);
    ~ImageContainer() override;

    // The file-container names of GetImageInfo, OpenLayerStream and GetPath.
    ImageFileInfo* GetFileInfo(const std::wstring& name, const wchar_t* const* extensions = nullptr,
                               uint32_t count = 0, uint32_t* outIndex = nullptr) override;
    base::Stream* OpenStream(const std::wstring& name) final;
    std::wstring GetRootPath() final;

    // A new stream on the layer's pixels that the caller owns, or null.
    virtual base::Stream* OpenLayerStream(const std::wstring& name) = 0;
    // The owner's root path, this layout's path, then "/".
    std::wstring GetPath();

    // A new description of the layer as a file that the caller owns, or null.
    virtual ImageFileInfo* GetImageInfo(const std::wstring& name, const wchar_t* const* extensions = nullptr,
                                        uint32_t count = 0, uint32_t* outIndex = nullptr) = 0;
    // The layer of exactly that name (options such as "|box" included), or
    // null; valid while the container lives.
    virtual base::ImageInfo* FindLayer(const std::wstring& name) = 0;
    // The layer at a position of the layout's order, or null past the end.
    virtual base::ImageInfo* GetLayer(uint32_t index) = 0;
    virtual uint32_t GetLayerCount() = 0;
    // Append to out (never cleared) the layers, or the groups, below a group.
    virtual BWResultEnum FindLayerNames(const std::wstring& folder, bool withSubfolders,
                                        std::vector<std::wstring>& out, bool relative) = 0;
    virtual BWResultEnum FindGroupNames(const std::wstring& folder, std::vector<std::wstring>& out,
                                        bool relative) = 0;
    virtual bool HasLayer(const std::wstring& name) = 0;
    virtual bool HasLayerImageFile(const std::wstring& name) = 0;
    virtual bool HasSubfolders(const std::wstring& name) = 0;

    const std::wstring& GetLayoutPath() const { return mPath; }
    FileContainer* GetOwner() const { return mOwner; }

    // The application's image scale factor (1 without an application): the
    // factor layer rectangles are multiplied by.
    static float GetImageScale();

protected:
    std::wstring mPath;
    FileContainer* mOwner;

private:
    ImageContainer(const ImageContainer&) = delete;
    ImageContainer& operator=(const ImageContainer&) = delete;
};

} // namespace file
