#pragma once

// A shader as a resource: a device implementation with its projection
// variable ("Proj"), and for textured shaders the texture variable
// ("TextureSampler"). The renderer's three built-in shaders are made over its
// own implementations; named shaders load "<name>VS.hlsl" and "<name>PS.hlsl".

#include "Core/Base/BWResult.h"
#include "Core/Render/ShaderVariable.h"
#include "Core/Resource/Resource.h"

#include <map>
#include <string>

namespace math
{
class Matrix4;
}

namespace render
{

class Render;
class ShaderImpl;
class Texture;

class Shader : public resource::Resource
{
public:
    typedef ShaderScalarPointer<math::Matrix4, 1> ProjectionVariable;

    // A new shader counts as loaded; impl may be null (to be loaded by name).
    Shader(ShaderImpl* impl, Render* render);
    ~Shader() override;

    // Leaves the shader map, unloading and deleting itself; a shader that is
    // not in the map (the renderer's own) is left alone.
    BWResultEnum Release() override;
    BWResultEnum DoLoad() override;
    BWResultEnum DoUnLoad() override;
    virtual BWResultEnum CreateVariables();

    // Records the pointer (not the matrix): it must stay valid until replay.
    BWResultEnum SetProjection(const math::Matrix4* projection);

    ShaderImpl* GetImpl() const { return mImpl; }
    ProjectionVariable* GetProjectionVariable() const { return mProjection; }
    Render* GetRender() const { return mRender; }

    // Named shaders, owned by the resource manager.
    static std::map<std::wstring, Shader*>& GetMap();

protected:
    // Forgets the variables, which die with the implementation.
    virtual void ForgetVariables();

    Render* mRender;
    ShaderImpl* mImpl;
    std::string mProjectionName;
    ProjectionVariable* mProjection = nullptr;
};

class ShaderTextured : public Shader
{
public:
    typedef ShaderTextureVariable<1> TextureVariable;

    ShaderTextured(ShaderImpl* impl, Render* render);

    BWResultEnum CreateVariables() override;

    // The texture bound when the next draw is replayed; null binds none.
    BWResultEnum SetTexture(const Texture* texture);

    TextureVariable* GetTextureVariable() const { return mTexture; }

protected:
    void ForgetVariables() override;

    std::string mSamplerName;
    TextureVariable* mTexture = nullptr;
};

} // namespace render
