#include "Core/Psd/ImageContainer.h"

#include "Core/App/Application.h"
#include "Core/File/FileContainer.h"
#include "Core/Psd/ImageFileInfo.h"

namespace file
{

ImageContainer::ImageContainer(const std::wstring& path, FileContainer* owner) : mPath(path), mOwner(owner)
{
}

ImageContainer::~ImageContainer() = default;

ImageFileInfo* ImageContainer::GetFileInfo(const std::wstring& name, const wchar_t* const* extensions, uint32_t count,
                                           uint32_t* outIndex)
{
    return GetImageInfo(name, extensions, count, outIndex);
}

base::Stream* ImageContainer::OpenStream(const std::wstring& name)
{
    return OpenLayerStream(name);
}

std::wstring ImageContainer::GetRootPath()
{
    return GetPath();
}

std::wstring ImageContainer::GetPath()
{
    return (mOwner ? mOwner->GetRootPath() : std::wstring()) + mPath + L'/';
}

float ImageContainer::GetImageScale()
{
    // Never creates the application: containers opened by tools and tests
    // have none.
    app::Application* application = app::Application::GetInstance();
    return application ? application->GetImageScale() : 1.0f;
}

} // namespace file
