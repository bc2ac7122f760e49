#pragma once

// Types of the HLSL subset: float scalars, vectors and matrices, structs,
// and the texture and sampler objects that only globals may have.

#include <cstdint>
#include <string>

namespace d3d9
{
namespace hlsl
{

struct StructInfo;

struct Type
{
    enum Kind : uint8_t
    {
        Error, // already reported; checks stay quiet about it
        Void,
        Scalar,
        Vector, // cols components, 2 to 4
        Matrix, // rows x cols, each 2 to 4
        Struct,
        Texture,
        Sampler,
    };

    Kind kind = Error;
    uint8_t rows = 1;
    uint8_t cols = 1;
    uint32_t arraySize = 0; // globals only; 0 is not an array
    const StructInfo* structInfo = nullptr;
    bool sampler2D = false; // declared as sampler2D rather than sampler

    static Type Make(Kind kind) { Type t; t.kind = kind; return t; }
    static Type MakeScalar() { return Make(Scalar); }
    // n components; 1 gives the scalar.
    static Type MakeVector(int n);
    static Type MakeMatrix(int rows, int cols);
    static Type MakeStruct(const StructInfo* info);

    bool IsError() const { return kind == Error; }
    bool IsNumeric() const { return kind == Scalar || kind == Vector; }
    // Components of a scalar or vector.
    int Components() const { return kind == Vector ? cols : 1; }
    Type Element() const { Type t = *this; t.arraySize = 0; return t; }

    bool operator==(const Type& other) const;
    bool operator!=(const Type& other) const { return !(*this == other); }
};

// "float", "float3", "float4x4", "struct VS_OUT", as messages name them.
std::string TypeName(const Type& type);

} // namespace hlsl
} // namespace d3d9
