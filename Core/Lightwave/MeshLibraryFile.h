#pragma once

// Mesh libraries (".lib") are UTF-8 XML:
//
//   <meshlib texture="gems.png">
//     <mesh name="diamond">
//       <vertices count="4">
//         <v x="0" y="-16" u="0.5" v="0"/>
//         <v x="16" y="0" u="1" v="0.5" color="FFFF8080"/>
//         <v x="0" y="16" u="0.5" v="1"/>
//         <v x="-16" y="0" u="0" v="0.5"/>
//       </vertices>
//       <indices count="6">0 1 2 0 2 3</indices>
//     </mesh>
//   </meshlib>
//
// <meshlib>: the file. texture (required): the image every mesh samples,
// relative to the library's folder; without an extension the image
// extensions are tried as for any texture (1 to 1023 bytes). Children: 1 to
// 256 <mesh>.
//
// <mesh>: name (required, 1 to 255 bytes, unique in the file). Children:
// exactly one <vertices>, then exactly one <indices>.
//
// <vertices>: count (required, 1 to 10240) and exactly that many <v>:
//   x, y        position in the layer's pixels (required, within +-1000000)
//   z           depth (default 0, within +-1000000)
//   u, v        texture coordinates, 0 to 1 across the texture (default 0,
//               within +-1024)
//   color       ARGB in hex, "AARRGGBB" or "RRGGBB" (opaque), multiplied
//               with the drawing colour (default FFFFFFFF)
//
// <indices>: count (required, a multiple of 3 from 3 to 1023) and exactly
// that many whole numbers in the text, separated by white space; each is a
// vertex of the mesh (0-based, below the vertex count). Every three make a
// triangle; triangles are culled unless their corners run clockwise on
// screen.
//
// Numbers are decimal; every value is checked, and any unknown element or
// attribute, value out of range, count that does not match its data, or text
// that is not XML makes the whole file fail with a message naming the line.

#include "Core/Render/Mesh.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lightwave
{

struct MeshEntry
{
    std::string name;
    render::Mesh2D mesh;
};

struct MeshLibraryFile
{
    std::string texture;
    std::vector<MeshEntry> meshes;
};

// Limits that keep outside data from taking unbounded memory or time (the
// file's size bounds the vertices of all meshes together). A mesh of these
// sizes always fits one draw from the transient caches.
const size_t kMaxMeshFileBytes = 4u << 20;
const size_t kMaxMeshes = 256;
const size_t kMaxMeshNameBytes = 255;
const size_t kMaxMeshTextureBytes = 1023;
const uint32_t kMaxMeshVertices = 10240;
// The 16-bit index cache's overflow buffers hold 1024.
const uint32_t kMaxMeshIndices = 1023;
const double kMaxMeshCoordinate = 1000000.0;
const double kMaxMeshTexCoord = 1024.0;

// Reads length bytes of text (no terminator needed). False, with out emptied
// and error saying why, when the text is not a valid mesh library.
bool ParseMeshLibraryFile(const char* text, size_t length, MeshLibraryFile* out, std::string* error);

} // namespace lightwave
