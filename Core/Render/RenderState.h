#pragma once

// The render state a draw asks for, as one plain record copied by value.

#include <cstdint>

namespace render
{

class Texture;
class ShaderImpl;
class VertexBufferImpl;
class IndexBufferImpl;

// Blend modes (meaning in the back end).
enum BlendMode : uint32_t
{
    BlendOpaque = 0,
    BlendAlpha = 1,
    BlendAdditive = 2,
};

// Where drawing goes: a render target (null is the back buffer) and the scale
// and offset from layout coordinates to its pixels.
struct RenderTargetDesc
{
    Texture* mTarget = nullptr;
    float mScale[2] = {1.0f, 1.0f};
    float mOffset[2] = {0.0f, 0.0f};
};

struct RenderState
{
    // The first five words form the target descriptor (RenderTargetDesc).
    Texture* mTarget = nullptr;
    float mScale[2] = {1.0f, 1.0f};
    float mOffset[2] = {0.0f, 0.0f};
    ShaderImpl* mShader = nullptr;
    VertexBufferImpl* mVertexBuffer = nullptr;
    IndexBufferImpl* mIndexBuffer = nullptr;
    uint32_t mBlendMode = BlendOpaque;
    uint8_t mScissorEnabled = 0;
    float mScissorRect[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    uint8_t mDepthTest = 0;
    uint8_t mDepthWrite = 1;

    RenderTargetDesc GetTargetDesc() const;
    void SetTargetDesc(const RenderTargetDesc& desc);
};

inline RenderTargetDesc RenderState::GetTargetDesc() const
{
    RenderTargetDesc desc;
    desc.mTarget = mTarget;
    desc.mScale[0] = mScale[0];
    desc.mScale[1] = mScale[1];
    desc.mOffset[0] = mOffset[0];
    desc.mOffset[1] = mOffset[1];
    return desc;
}

inline void RenderState::SetTargetDesc(const RenderTargetDesc& desc)
{
    mTarget = desc.mTarget;
    mScale[0] = desc.mScale[0];
    mScale[1] = desc.mScale[1];
    mOffset[0] = desc.mOffset[0];
    mOffset[1] = desc.mOffset[1];
}

} // namespace render
