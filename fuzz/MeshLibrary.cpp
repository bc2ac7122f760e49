#include "Core/Lightwave/MeshLibraryFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

// Mesh libraries from outside: any bytes parse or fail, and whatever parses
// keeps the promises the mesh draw relies on.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    lightwave::MeshLibraryFile parsed;
    std::string error;
    const bool ok = lightwave::ParseMeshLibraryFile(reinterpret_cast<const char*>(data), size, &parsed, &error);
    if (ok != error.empty() || (ok && (parsed.texture.empty() || parsed.meshes.empty())))
        std::abort();
    for (const lightwave::MeshEntry& entry : parsed.meshes)
    {
        const render::Mesh2D& mesh = entry.mesh;
        if (mesh.mVertices.empty() || mesh.mVertices.size() > lightwave::kMaxMeshVertices ||
            mesh.mIndices.size() < 3 || mesh.mIndices.size() % 3 != 0 ||
            mesh.mIndices.size() > lightwave::kMaxMeshIndices)
            std::abort();
        for (unsigned short index : mesh.mIndices)
        {
            if (index >= mesh.mVertices.size())
                std::abort();
        }
    }
    return 0;
}
