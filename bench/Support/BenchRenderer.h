#pragma once

// The Direct3D 9 renderer the benchmarks draw with: on the layer's null back
// end (the engine's own cost), or on OpenGL in a hidden window of its own.

#include "BenchWindow.h"

#include "Core/Render/DX9/RenderDX9.h"

#include <cstdint>
#include <memory>
#include <string>

namespace bwbench
{

class BenchRenderer
{
public:
    BenchRenderer() = default;
    ~BenchRenderer() { Close(); }

    BenchRenderer(const BenchRenderer&) = delete;
    BenchRenderer& operator=(const BenchRenderer&) = delete;

    // Resets the layer's hooks and starts a windowed renderer of width x
    // height; false with *error set when it cannot start.
    bool Open(bool gl, uint32_t width, uint32_t height, std::string* error);
    // The renderer goes before its window; the hooks are reset.
    void Close();

    render::RenderDX9* Get() const { return mRender.get(); }
    render::RenderDX9* operator->() const { return mRender.get(); }
    render::RenderDX9& operator*() const { return *mRender; }

private:
    std::unique_ptr<BenchWindow> mWindow;
    std::unique_ptr<render::RenderDX9> mRender;
};

} // namespace bwbench
