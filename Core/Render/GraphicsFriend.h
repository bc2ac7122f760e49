#pragma once

#include "Core/Base/BWResult.h"

#include <cstdint>

namespace render
{

class DrawParam;
class Graphics;
class IndexBufferImpl;
class Render;
class Shader;
class ShaderImpl;
struct RenderState;
class Texture;
class VertexBufferImpl;
class VertexFormat;

// How a drawing object reaches the Graphics it draws through: the Graphics,
// its renderer and its render-state block. All null when unbound.
class GraphicsFriend
{
public:
    GraphicsFriend();
    explicit GraphicsFriend(Graphics* graphics);

    void Bind(Graphics* graphics);

    // Store into the Graphics' state block and mark it changed.
    BWResultEnum SetShader(ShaderImpl* shader);
    BWResultEnum SetVertexBuffer(VertexBufferImpl* buffer);
    BWResultEnum SetIndexBuffer(IndexBufferImpl* buffer);
    // Hands the block to the renderer, forced when it changed.
    BWResultEnum ApplyState();
    // The shader's "Proj" becomes the projection of the Graphics' target.
    BWResultEnum ApplyProjection(Shader* shader);
    // What a textured draw does between writing its vertices and its draw
    // call: the owner's move, the Graphics' transform and half-pixel shift,
    // then buffers, the current shader, the state, the texture and the
    // projection.
    BWResultEnum PrepareTexturedDraw(DrawParam* owner, void* vertices, const VertexFormat& format, uint32_t count,
                                     VertexBufferImpl* vertexBuffer, IndexBufferImpl* indexBuffer,
                                     const Texture* texture);

    Graphics* mGraphics;
    Render* mRender;
    RenderState* mState;

private:
    template <class T>
    BWResultEnum Store(T* RenderState::*field, T* value);
};

} // namespace render
