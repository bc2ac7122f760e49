#pragma once

#include "Core/Base/BWResult.h"

namespace render
{

class Graphics;
class IndexBufferImpl;
class Render;
class Shader;
class ShaderImpl;
struct RenderState;
class VertexBufferImpl;

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

    Graphics* mGraphics;
    Render* mRender;
    RenderState* mState;

private:
    template <class T>
    BWResultEnum Store(T* RenderState::*field, T* value);
};

} // namespace render
