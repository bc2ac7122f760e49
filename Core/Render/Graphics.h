#pragma once

// The drawing context a frame hands to every layer, widget and custom draw:
// the render state draws ask for, the current colour, tint, font and
// transform, and the makers of draw objects. One is made per frame over the
// back buffer, another over a render-target image when drawing off-screen.

#include "Core/Base/BWResult.h"
#include "Core/Render/Buffer.h"
#include "Core/Render/DrawCustomParam.h"
#include "Core/Render/DrawImageParam.h"
#include "Core/Render/DrawParam.h"
#include "Core/Render/DrawParticlesParam.h"
#include "Core/Render/DrawTextParam.h"
#include "Core/Render/RenderState.h"

#include <cstdint>
#include <string>

namespace math
{
class Matrix4;
}

namespace render
{

class Font;
class Image;
class ImageRect;
class ParticleEmitter;
class Render;
class Shader;
class ShaderTextured;
class Transform;
class VertexFormat;

// What the current shader of images and text is.
enum ShaderMode : uint32_t
{
    ShaderModeCustom = 0,
    ShaderModeTexturedMultiply = 1,
    ShaderModeTexturedTint = 2,
};

class Graphics
{
public:
    // Over the back buffer.
    explicit Graphics(Render* render);
    // Over an image; begins a scene of its own when none is open.
    explicit Graphics(Image* target);

    Graphics(const Graphics&) = delete;
    Graphics& operator=(const Graphics&) = delete;

    // Ends and replays the scene this Graphics began; results are not reported.
    void Flush();
    BWResultEnum Clear(uint32_t flags, const float color[4], float z, uint32_t stencil);
    BWResultEnum SetBlendMode(uint32_t mode);
    void SetColor(const float rgba[4]);
    // 1 textured multiply, 2 textured tint; other values change nothing.
    BWResultEnum SetShaderMode(uint32_t mode);
    // A custom shader for images and text; null takes the textured multiply.
    BWResultEnum SetShader(Shader* shader);
    // The target image's projection, or the renderer's.
    const math::Matrix4* GetProjection() const;
    // The current shader when it takes a texture, else null.
    ShaderTextured* GetTexturedShader() const;

    // Vertex hooks run after a draw's own transform.
    BWResultEnum ApplyTransform(void* vertices, const VertexFormat& format, uint32_t count);
    BWResultEnum ApplyHalfPixel(void* vertices, const VertexFormat& format, uint32_t count);

    DrawUntransformedParam<DrawImageParam> DrawImage(ImageRect* image);
    // region: x, y, width, height in image pixels.
    DrawUntransformedParam<DrawImageParam> DrawImageRect(ImageRect* image, const float region[4]);
    DrawUntransformedParam<DrawParticlesParam> DrawParticles(ParticleEmitter* emitter);
    // The text in mFont. The text must outlive the draw; a temporary is
    // copied.
    DrawUntransformedParam<DrawTextParam> DrawString(const std::wstring& text);
    DrawUntransformedParam<DrawTextParam> DrawString(std::wstring&& text);
    // SVertexGeom geometry already written into the transient caches.
    DrawUntransformedParam<DrawCustomParam> DrawCustom(uint32_t type, void* vertices, const VertexAllocation& place,
                                                       Shader* shader);
    DrawUntransformedParam<DrawCustomParam> DrawCustomIndexed(uint32_t type, void* vertices,
                                                              const IndexAllocation& indices,
                                                              const VertexAllocation& place, Shader* shader);
    // A line in the current colour. Outside a frame, or without room in the
    // caches, the object draws nothing.
    DrawUntransformedParam<DrawCustomParam> DrawLine(const float p0[3], const float p1[3]);
    // A filled rectangle x, y, width, height in the current colour; nothing
    // without room in the caches.
    DrawUntransformedParam<DrawCustomParam> DrawRect(const float rect[4]);

    Render* mRender;
    Image* mTargetImage;
    Shader* mGeomShader;
    Shader* mCurrentShader;
    RenderState mState;
    uint8_t mStateChanged;
    Font* mFont;
    uint32_t mShaderMode;
    float mColor[4];
    float mTint;
    Transform* mTransform;
    uint8_t mOwnsFrame;

private:
    void Init(Render* render);
};

} // namespace render
