#pragma once

// Shader variables: a value the renderer records into the command buffer when
// it changed, and applies through the device-side implementation at replay.
// The recorded value is the pointer itself, so what it points to must stay
// alive and unchanged until the frame has been replayed.

#include "Core/Base/BWResult.h"
#include "Core/Base/StreamFields.h"

#include <cstdint>

namespace base
{
class Stream;
}
namespace math
{
class Matrix4;
}

namespace render
{

class ShaderImpl;
class Texture;

// Device side of a constant of the vertex (kind 0) or pixel (kind 1) program.
class ShaderScalarVariableImpl
{
public:
    virtual ~ShaderScalarVariableImpl() = default;
    virtual BWResultEnum SetMatrix(const math::Matrix4* matrix) = 0;
    virtual BWResultEnum SetVector4(float x, float y, float z, float w) = 0;
    virtual BWResultEnum SetVector3(float x, float y, float z) = 0;
    virtual BWResultEnum SetVector2(float x, float y) = 0;
    virtual BWResultEnum SetFloat(float value) = 0;
};

// Device side of a sampler of the pixel program.
class ShaderTextureVariableImpl
{
public:
    virtual ~ShaderTextureVariableImpl() = default;
    // Null binds no texture.
    virtual BWResultEnum SetTexture(Texture* texture) = 0;
};

class ShaderVariable
{
public:
    explicit ShaderVariable(ShaderImpl* owner) : mOwner(owner) {}
    virtual ~ShaderVariable() = default;

    ShaderVariable(const ShaderVariable&) = delete;
    ShaderVariable& operator=(const ShaderVariable&) = delete;

    // The value word, pointer-sized.
    virtual BWResultEnum Write(base::Stream* stream) = 0;
    // Reads a value word and applies it through the implementation.
    virtual BWResultEnum Read(base::Stream* stream) = 0;

    // Stores the flag and raises the owning implementation's changed flag.
    void SetChanged(bool changed);
    bool IsChanged() const { return mChanged != 0; }
    ShaderImpl* GetOwner() const { return mOwner; }
    const void* GetValueWord() const { return mValue; }
    // Null in place of value, when that is what the variable holds.
    void ForgetValue(const void* value)
    {
        if (value && mValue == value)
        {
            mValue = nullptr;
            SetChanged(true);
        }
    }

protected:
    ShaderImpl* mOwner;
    uint8_t mChanged = 1;
    const void* mValue = nullptr;
};

BWResultEnum ApplyShaderScalar(ShaderScalarVariableImpl* impl, const math::Matrix4* value);

// A constant whose value is a pointer to a T (math::Matrix4 here).
template <class T, int N>
class ShaderScalarPointer : public ShaderVariable
{
public:
    ShaderScalarPointer(ShaderImpl* owner, ShaderScalarVariableImpl* impl) : ShaderVariable(owner), mImpl(impl) {}
    ~ShaderScalarPointer() override { delete mImpl; }

    BWResultEnum Write(base::Stream* stream) override { return base::WritePointer(stream, mValue); }

    BWResultEnum Read(base::Stream* stream) override
    {
        void* value = nullptr;
        if (base::ReadPointer(stream, &value) != BW_OK)
            return BW_FAIL;
        if (!value || !mImpl)
            return BW_OK; // nothing to set yet
        return ApplyShaderScalar(mImpl, static_cast<const T*>(value));
    }

    const T* GetValue() const { return static_cast<const T*>(mValue); }
    void SetValue(const T* value) { mValue = value; }
    ShaderScalarVariableImpl* GetImpl() const { return mImpl; }

private:
    ShaderScalarVariableImpl* mImpl;
};

// A sampler whose value is a Texture*.
template <int N>
class ShaderTextureVariable : public ShaderVariable
{
public:
    ShaderTextureVariable(ShaderImpl* owner, ShaderTextureVariableImpl* impl) : ShaderVariable(owner), mImpl(impl) {}
    ~ShaderTextureVariable() override { delete mImpl; }

    BWResultEnum Write(base::Stream* stream) override { return base::WritePointer(stream, mValue); }

    BWResultEnum Read(base::Stream* stream) override
    {
        void* value = nullptr;
        if (base::ReadPointer(stream, &value) != BW_OK)
            return BW_FAIL;
        if (!mImpl)
            return BW_OK;
        return mImpl->SetTexture(static_cast<Texture*>(value));
    }

    Texture* GetValue() const { return const_cast<Texture*>(static_cast<const Texture*>(mValue)); }
    void SetValue(const Texture* value) { mValue = value; }
    ShaderTextureVariableImpl* GetImpl() const { return mImpl; }

private:
    ShaderTextureVariableImpl* mImpl;
};

} // namespace render
