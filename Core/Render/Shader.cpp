#include "Core/Render/Shader.h"

#include "Core/Base/Stream.h"
#include "Core/File/FileInfo.h"
#include "Core/File/FileManager.h"
#include "Core/Math/Matrix4.h"
#include "Core/Render/Render.h"
#include "Core/Render/ShaderImpl.h"
#include "Core/Resource/ResourceManager.h"

#include <memory>

namespace render
{
namespace
{

// The whole file as narrow text, from the folder or a mounted pack; a missing
// file reads as empty text, which then fails to compile.
std::string ReadText(const std::wstring& path)
{
    file::FileManager* files = file::FileManager::Instance();
    std::unique_ptr<file::FileInfo> info(files ? files->GetFileInfo(path) : nullptr);
    std::unique_ptr<base::Stream> stream(info ? info->Open() : nullptr);
    if (!stream)
        return std::string();
    std::string text(stream->GetSize(), '\0');
    uint32_t read = text.empty() ? 0 : stream->Read(&text[0], static_cast<uint32_t>(text.size()));
    text.resize(read);
    return text;
}

} // namespace

Shader::Shader(ShaderImpl* impl, Render* render) : mRender(render), mImpl(impl), mProjectionName("Proj")
{
    SetLoaded(true);
}

Shader::~Shader()
{
    delete mImpl;
}

std::map<std::wstring, Shader*>& Shader::GetMap()
{
    if (resource::ResourceManager* manager = resource::ResourceManager::Instance())
        return manager->GetMap<Shader>();
    // After the manager's teardown: an empty map that keeps nothing.
    static std::map<std::wstring, Shader*> none;
    none.clear();
    return none;
}

BWResultEnum Shader::Release()
{
    std::map<std::wstring, Shader*>& map = GetMap();
    auto found = map.find(GetName());
    if (found == map.end() || found->second != this)
        return BW_OK;
    if (IsLoaded())
    {
        BWResultEnum result = UnLoad();
        if (result != BW_OK)
            return result;
    }
    map.erase(found);
    delete this;
    return BW_OK;
}

BWResultEnum Shader::DoLoad()
{
    if (!mRender)
        return BW_FAIL;
    std::string pixelText = ReadText(GetName() + L"PS.hlsl");
    std::string vertexText = ReadText(GetName() + L"VS.hlsl");
    ShaderImpl* impl = nullptr;
    BWResultEnum result = mRender->CreateShader(vertexText, pixelText, &impl);
    if (result != BW_OK)
        return result;
    delete mImpl;
    ForgetVariables();
    mImpl = impl;
    return CreateVariables();
}

BWResultEnum Shader::DoUnLoad()
{
    ForgetVariables();
    delete mImpl;
    mImpl = nullptr;
    return BW_OK;
}

void Shader::ForgetVariables()
{
    mProjection = nullptr;
}

BWResultEnum Shader::CreateVariables()
{
    if (!mImpl)
        return BW_FAIL;
    ShaderScalarVariableImpl* impl = mImpl->CreateScalarVariable(mProjectionName, 0);
    if (!impl)
        return BW_FAIL;
    auto* variable = new ProjectionVariable(mImpl, impl);
    if (mImpl->AddVariable(variable) != BW_OK)
    {
        delete variable;
        return BW_FAIL;
    }
    variable->SetChanged(true);
    mProjection = variable;
    return BW_OK;
}

BWResultEnum Shader::SetProjection(const math::Matrix4* projection)
{
    if (!mProjection)
        return BW_FAIL; // unloaded, or the variables were never made
    if (mProjection->GetValue() != projection)
    {
        mProjection->SetValue(projection);
        mProjection->SetChanged(true);
    }
    return BW_OK;
}

ShaderTextured::ShaderTextured(ShaderImpl* impl, Render* render) : Shader(impl, render), mSamplerName("TextureSampler")
{
}

BWResultEnum ShaderTextured::CreateVariables()
{
    BWResultEnum result = Shader::CreateVariables();
    if (result != BW_OK)
        return result;
    ShaderTextureVariableImpl* impl = mImpl->CreateTextureVariable(mSamplerName);
    if (!impl)
        return BW_FAIL;
    auto* variable = new TextureVariable(mImpl, impl);
    if (mImpl->AddVariable(variable) != BW_OK)
    {
        delete variable;
        return BW_FAIL;
    }
    variable->SetChanged(true);
    mTexture = variable;
    return BW_OK;
}

void ShaderTextured::ForgetVariables()
{
    Shader::ForgetVariables();
    mTexture = nullptr;
}

BWResultEnum ShaderTextured::SetTexture(const Texture* texture)
{
    if (!mTexture)
        return BW_FAIL;
    if (mTexture->GetValue() != texture)
    {
        mTexture->SetValue(texture);
        mTexture->SetChanged(true);
    }
    return BW_OK;
}

} // namespace render
