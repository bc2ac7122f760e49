#include "Core/Render/ShaderImpl.h"

#include "Core/Base/StreamFields.h"
#include "Core/Render/Render.h"
#include "Core/Render/ShaderVariable.h"

namespace render
{

namespace
{
constexpr uint32_t kMaxVariables = 255;
}

ShaderImpl::ShaderImpl(Render* render) : mRender(render)
{
    if (mRender)
        mRender->AddShaderImpl(this);
}

ShaderImpl::~ShaderImpl()
{
    if (mRender)
        mRender->RemoveShaderImpl(this);
    for (ShaderVariable* variable : mVariables)
        delete variable;
}

BWResultEnum ShaderImpl::AddVariable(ShaderVariable* variable)
{
    if (!variable || mVariables.size() >= kMaxVariables)
        return BW_FAIL;
    mVariables.push_back(variable);
    if (variable->IsChanged())
        mChanged = 1;
    return BW_OK;
}

BWResultEnum ShaderImpl::WriteChangedVariables(base::Stream* stream)
{
    uint32_t count = 0;
    for (ShaderVariable* variable : mVariables)
        if (variable->IsChanged())
            ++count;
    if (base::WriteUInt8(stream, static_cast<uint8_t>(count)) != BW_OK)
        return BW_FAIL;
    for (uint32_t i = 0; i < mVariables.size(); ++i)
    {
        if (!mVariables[i]->IsChanged())
            continue;
        if (base::WriteUInt8(stream, static_cast<uint8_t>(i)) != BW_OK || mVariables[i]->Write(stream) != BW_OK)
            return BW_FAIL;
    }
    mChanged = 0;
    return BW_OK;
}

BWResultEnum ShaderImpl::ReadVariables(base::Stream* stream)
{
    uint8_t count = 0;
    if (base::ReadUInt8(stream, &count) != BW_OK)
        return BW_FAIL;
    for (uint32_t n = 0; n < count; ++n)
    {
        uint8_t index = 0;
        if (base::ReadUInt8(stream, &index) != BW_OK)
            return BW_FAIL;
        if (index >= mVariables.size())
            return BW_FAIL; // not a variable of this shader
        BWResultEnum result = mVariables[index]->Read(stream);
        if (result != BW_OK)
            return result;
    }
    return BW_OK;
}

void ShaderImpl::SetAllChanged()
{
    for (ShaderVariable* variable : mVariables)
        variable->SetChanged(true);
}

void ShaderImpl::ForgetValue(const void* value)
{
    for (ShaderVariable* variable : mVariables)
        variable->ForgetValue(value);
}

void ShaderVariable::SetChanged(bool changed)
{
    mChanged = changed ? 1 : 0;
    if (mOwner)
        mOwner->SetChanged(true);
}

BWResultEnum ApplyShaderScalar(ShaderScalarVariableImpl* impl, const math::Matrix4* value)
{
    return impl->SetMatrix(value);
}

} // namespace render
