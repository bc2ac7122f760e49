#include "Platform/D3D9/Hlsl/Type.h"

#include "Platform/D3D9/Hlsl/Ast.h"

namespace d3d9
{
namespace hlsl
{

Type Type::MakeVector(int n)
{
    if (n <= 1)
        return MakeScalar();
    Type t = Make(Vector);
    t.cols = static_cast<uint8_t>(n);
    return t;
}

Type Type::MakeMatrix(int rows, int cols)
{
    Type t = Make(Matrix);
    t.rows = static_cast<uint8_t>(rows);
    t.cols = static_cast<uint8_t>(cols);
    return t;
}

Type Type::MakeStruct(const StructInfo* info)
{
    Type t = Make(Struct);
    t.structInfo = info;
    return t;
}

bool Type::operator==(const Type& other) const
{
    return kind == other.kind && rows == other.rows && cols == other.cols && arraySize == other.arraySize &&
           structInfo == other.structInfo;
}

std::string TypeName(const Type& type)
{
    std::string name;
    switch (type.kind)
    {
    case Type::Error: name = "<error>"; break;
    case Type::Void: name = "void"; break;
    case Type::Scalar: name = "float"; break;
    case Type::Vector: name = "float" + std::to_string(type.cols); break;
    case Type::Matrix: name = "float" + std::to_string(type.rows) + "x" + std::to_string(type.cols); break;
    case Type::Struct: name = "struct " + (type.structInfo ? type.structInfo->name : std::string()); break;
    case Type::Texture: name = "texture"; break;
    case Type::Sampler: name = type.sampler2D ? "sampler2D" : "sampler"; break;
    }
    if (type.arraySize)
        name += "[" + std::to_string(type.arraySize) + "]";
    return name;
}

} // namespace hlsl
} // namespace d3d9
