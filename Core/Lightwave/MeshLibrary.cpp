#include "Core/Lightwave/MeshLibrary.h"

#include "Core/Base/Encoding.h"
#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"
#include "Core/File/FileInfo.h"
#include "Core/File/FileManager.h"
#include "Core/File/TextFile.h"
#include "Core/Render/ImageRect.h"
#include "Core/Render/Render.h"
#include "Core/Resource/ResourceManager.h"

#include <memory>

namespace lightwave
{

namespace
{

// Parser messages may quote the file's bytes: only printable ASCII goes to
// the log as it is.
std::wstring LogText(const std::string& text)
{
    std::wstring out;
    out.reserve(text.size());
    for (unsigned char c : text)
        out.push_back(c >= 0x20 && c < 0x7F ? static_cast<wchar_t>(c) : L'?');
    return out;
}

} // namespace

const wchar_t* const MeshLibrary::kExtension = L".lib";

MeshLibrary::MeshLibrary() : mRender(nullptr), mImage(nullptr)
{
}

MeshLibrary::~MeshLibrary()
{
    delete mImage;
}

BWResultEnum MeshLibrary::Release()
{
    // After the manager is gone its maps are too: nothing holds this one.
    resource::ResourceManager* manager = resource::ResourceManager::GetInstance();
    return manager ? manager->ReleaseCounted(manager->GetMeshLibraryMap(), this) : BW_OK;
}

BWResultEnum MeshLibrary::DoLoad()
{
    // 1. The file, whole and bounded.
    const std::wstring path = GetName() + kExtension;
    file::FileManager* files = file::FileManager::Instance();
    std::unique_ptr<file::FileInfo> info(files ? files->GetFileInfo(path) : nullptr);
    if (!info)
    {
        BW_LOG(L"Mesh library '%s' not found.\n") % path;
        return BW_FAIL;
    }
    std::unique_ptr<base::Stream> stream(info->Open());
    std::string text;
    if (stream && stream->GetSize() > kMaxMeshFileBytes)
    {
        BW_LOG(L"Mesh library '%s' is larger than %u bytes.\n") % path % static_cast<uint32_t>(kMaxMeshFileBytes);
        return BW_FAIL;
    }
    if (!stream || !file::ReadWholeStream(stream.get(), &text))
    {
        BW_LOG(L"Mesh library '%s' cannot be read.\n") % path;
        return BW_FAIL;
    }

    // 2. Its meshes.
    MeshLibraryFile parsed;
    std::string error;
    if (!ParseMeshLibraryFile(text.data(), text.size(), &parsed, &error))
    {
        BW_LOG(L"Mesh library '%s' is not valid: %s\n") % path % LogText(error);
        return BW_FAIL;
    }

    // 3. The texture, beside the file.
    const std::wstring texture = base::ToWideString(parsed.texture, base::EncodingAnsi);
    if (texture.empty() || !mRender)
    {
        BW_LOG(L"Mesh library '%s' has no texture it can load.\n") % path;
        return BW_FAIL;
    }
    const size_t slash = GetName().find_last_of(L'/');
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : GetName().substr(0, slash + 1);
    render::ImageRect* image = nullptr;
    BWResultEnum result = mRender->CreateImage(folder + texture, nullptr, &image, nullptr);
    if (result != BW_OK || !image)
    {
        BW_LOG(L"Mesh library '%s' cannot load its texture '%s'.\n") % path % (folder + texture);
        return result != BW_OK ? result : BW_FAIL;
    }
    delete mImage;
    mImage = image;
    mMeshes.swap(parsed.meshes);
    return BW_OK;
}

BWResultEnum MeshLibrary::DoUnLoad()
{
    std::vector<MeshEntry>().swap(mMeshes);
    delete mImage;
    mImage = nullptr;
    return BW_OK;
}

const render::Mesh2D* MeshLibrary::FindMesh(const std::string& name) const
{
    for (const MeshEntry& entry : mMeshes)
    {
        if (entry.name == name)
            return &entry.mesh;
    }
    return nullptr;
}

} // namespace lightwave
