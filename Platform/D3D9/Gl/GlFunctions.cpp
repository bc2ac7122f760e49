#include "Platform/D3D9/Gl/GlFunctions.h"

#include <SDL.h>

namespace d3d9
{
namespace gl
{

bool Functions::Load()
{
    bool complete = true;
#define BW_GL_LOAD(type, name)                                                                                      \
    name = reinterpret_cast<type>(SDL_GL_GetProcAddress("gl" #name));                                              \
    complete = complete && name != nullptr;
    BW_GL_FUNCTIONS(BW_GL_LOAD)
#undef BW_GL_LOAD
    return complete;
}

} // namespace gl
} // namespace d3d9
