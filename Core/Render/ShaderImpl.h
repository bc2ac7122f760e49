#pragma once

// Device-side shader: the program pair and its variables. Variables are
// recorded into the command buffer when changed (WriteChangedVariables) and
// applied at replay (ReadVariables); a variable's position in the list is its
// recorded index.

#include "Core/Base/BWResult.h"

#include <cstdint>
#include <string>
#include <vector>

namespace base
{
class Stream;
}

namespace render
{

class Render;
class ShaderVariable;
class ShaderScalarVariableImpl;
class ShaderTextureVariableImpl;

class ShaderImpl
{
public:
    // Registers with the renderer, which tells it about device loss.
    explicit ShaderImpl(Render* render);
    // Leaves the renderer's list, then deletes every variable.
    virtual ~ShaderImpl();

    ShaderImpl(const ShaderImpl&) = delete;
    ShaderImpl& operator=(const ShaderImpl&) = delete;

    virtual BWResultEnum OnResetDevice() = 0;
    virtual BWResultEnum OnLostDevice() = 0;
    virtual BWResultEnum OnSelect() = 0;
    virtual BWResultEnum OnDeselect() = 0;
    // kind 0: the vertex program's constant, 1: the pixel program's.
    virtual ShaderScalarVariableImpl* CreateScalarVariable(const std::string& name, uint32_t kind) = 0;
    virtual ShaderTextureVariableImpl* CreateTextureVariable(const std::string& name) = 0;

    // Takes ownership; at most 255 variables, as the recorded count is a byte.
    BWResultEnum AddVariable(ShaderVariable* variable);
    uint32_t GetVariableCount() const { return static_cast<uint32_t>(mVariables.size()); }
    ShaderVariable* GetVariable(uint32_t index) const { return mVariables[index]; }

    // u8 count, then (u8 index, value word) for each variable whose flag is
    // set; clears this object's changed flag (the variables keep theirs).
    BWResultEnum WriteChangedVariables(base::Stream* stream);
    // Reads what WriteChangedVariables wrote and applies each value.
    BWResultEnum ReadVariables(base::Stream* stream);
    // Flags every variable, so all are recorded the next time.
    void SetAllChanged();
    // Every variable holding value (an object going away) holds null and is
    // sent again.
    void ForgetValue(const void* value);

    void SetChanged(bool changed) { mChanged = changed ? 1 : 0; }
    bool HasChangedVariables() const { return mChanged != 0; }

    Render* GetRender() const { return mRender; }
    // The renderer is being destroyed.
    void Detach() { mRender = nullptr; }

protected:
    std::vector<ShaderVariable*> mVariables;
    Render* mRender;
    uint8_t mChanged = 1;
};

} // namespace render
