#include "Core/Base/ImageInfo.h"
#include "Core/Base/MemoryStream.h"
#include "Core/File/FileContainer.h"
#include "Core/Psd/ImageFileInfo.h"
#include "Core/Psd/PsdFolder.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace
{

// A container holding one layout folder whose "layers.xml" is the input.
class InputContainer : public file::FileContainer
{
public:
    InputContainer(const uint8_t* data, size_t size) : mData(data), mSize(size) {}

    base::Stream* OpenStream(const std::wstring& path) override
    {
        if (path != L"ui/layers.xml")
            return nullptr;
        return new base::MemoryStream(mData, static_cast<uint32_t>(mSize));
    }
    base::StreamCreator* CreateStreamCreator(const std::wstring&) override { return nullptr; }
    std::wstring GetRootPath() override { return L"root/"; }
    BWResultEnum DoFindFiles(const std::wstring&, const std::wstring&, const std::wstring&, bool,
                             std::vector<std::wstring>&, bool) override
    {
        return BW_OK;
    }
    BWResultEnum DoFindDirectories(const std::wstring&, const std::wstring&, const std::wstring&,
                                   std::vector<std::wstring>&, bool) override
    {
        return BW_OK;
    }
    bool DoFileExists(const std::wstring& path, const wchar_t* const*, uint32_t count, uint32_t* outIndex) override
    {
        if (count > 0 && outIndex)
            *outIndex = count - 1;
        return count > 0 || path == L"ui/layers.xml";
    }
    bool DoIsDirectory(const std::wstring&) override { return false; }

private:
    const uint8_t* mData;
    size_t mSize;
};

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

// A layer folder's description from outside: every accepted layer can be
// found, listed and described; nothing is read past the input.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1 << 20)
        return 0;
    InputContainer owner(data, size);
    file::PsdFolder layout(L"ui", &owner);
    const wchar_t* const extensions[] = {L"", L".png"};
    const uint32_t count = layout.GetLayerCount();
    Check(layout.GetLayer(count) == nullptr);
    for (uint32_t i = 0; i < count; ++i)
    {
        base::ImageInfo* layer = layout.GetLayer(i);
        Check(layer != nullptr);
        Check(layout.FindLayer(layer->mName) == layer);
        std::unique_ptr<file::ImageFileInfo> info(layout.GetImageInfo(layer->mName, extensions, 2));
        Check(info != nullptr);
        layout.HasLayer(layer->mName);
        layout.HasSubfolders(layer->mName);
    }
    std::vector<std::wstring> names;
    layout.FindLayerNames(L"", true, names, false);
    Check(names.size() == count);
    layout.FindGroupNames(L"", names, true);
    layout.FindLayerNames(count ? layout.GetLayer(0)->mName : L"a", false, names, true);
    return 0;
}
