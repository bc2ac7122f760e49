#include "Platform/D3D9/ExecutionBackend.h"

namespace d3d9
{

std::unique_ptr<ExecutionBackend> CreateGlBackend()
{
    return CreateNullBackend();
}

} // namespace d3d9
