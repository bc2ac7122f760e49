#pragma once

// The syntax tree of one HLSL text. The parser builds it; the checker fills
// in types, symbols and implicit conversions; the GLSL emitter reads it.

#include "Platform/D3D9/Hlsl/Diagnostics.h"
#include "Platform/D3D9/Hlsl/Type.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace d3d9
{
namespace hlsl
{

struct FunctionDecl;

// A type as written: a name ("float4", "VS_IN", "sampler2D") resolved by the
// checker.
struct TypeSpec
{
    std::string name;
    SourcePos pos;
    uint32_t arraySize = 0; // "[n]" after a global's name
};

// ": COLOR0" after a member, parameter or function.
struct Semantic
{
    std::string text;
    SourcePos pos;
    bool present = false;
};

struct StructMember
{
    std::string name;
    SourcePos pos;
    TypeSpec typeSpec;
    Type type;
    Semantic semantic;
};

struct StructInfo
{
    std::string name;
    SourcePos pos;
    std::vector<StructMember> members;
    // Float components of one value, summed over nested structs; bounds the
    // code that copies or fills a whole value.
    int components = 0;
    int depth = 1;
};

// A "Key = Value;" line of a sampler_state block; only the texture
// reference is checked, the rest comes from the device's sampler states.
struct SamplerStateEntry
{
    std::string key;
    std::string value;
    SourcePos pos;
    bool textureRef = false;
};

struct Variable
{
    enum Storage
    {
        Uniform, // float constant in the register file
        TextureObject,
        SamplerObject,
        Local,
        Param,
    };
    enum Mode
    {
        In,
        Out,
        InOut,
    };

    Storage storage = Local;
    Mode mode = In;
    std::string name;
    SourcePos pos;
    TypeSpec typeSpec;
    Type type;
    bool isConst = false;
    Semantic semantic;
    int id = 0; // makes generated names unique
    std::vector<SamplerStateEntry> samplerState;

    // Globals, after checking: referenced from code reachable from the
    // entry point, and the registers then given to it.
    bool referenced = false;
    int registerIndex = -1;
    int registerCount = 0;

    bool IsGlobal() const { return storage == Uniform || storage == TextureObject || storage == SamplerObject; }
};

enum class ExprKind
{
    Literal,
    Name,
    Member,  // struct member
    Swizzle, // vector components
    Index,   // array element or vector component
    Call,    // intrinsic or user function
    Construct,
    Cast,
    Unary,
    Binary,
    Convert, // implicit conversion the checker inserted
};

enum class Intrinsic
{
    None,
    Mul,
    Tex2D,
    Dot,
    Length,
    // Component-wise, all arguments of one type.
    Lerp,
    Saturate,
    Clamp,
    Min,
    Max,
    Pow,
    Step,
    Abs,
    Floor,
    Ceil,
    Frac,
    Sqrt,
    Rsqrt,
    Exp,
    Exp2,
    Log,
    Log2,
    Sin,
    Cos,
    Normalize,
};

struct Expr
{
    ExprKind kind = ExprKind::Literal;
    SourcePos pos;
    int depth = 1; // height of this subtree; bounded by the parser
    std::string name; // identifier, member, swizzle, operator or callee
    double value = 0.0;
    TypeSpec typeSpec; // Construct and Cast
    std::vector<std::unique_ptr<Expr>> args;

    Type type;
    Variable* variable = nullptr;
    int memberIndex = -1;
    uint8_t swizzle[4] = {0, 1, 2, 3};
    int swizzleCount = 0;
    const FunctionDecl* callee = nullptr;
    Intrinsic intrinsic = Intrinsic::None;
};
using ExprPtr = std::unique_ptr<Expr>;

enum class StmtKind
{
    Block,
    Decl,
    Assign,
    Expression,
    Return,
    Empty,
};

struct Declarator
{
    std::string name;
    SourcePos pos;
    ExprPtr init;
    Variable* variable = nullptr;
};

struct Stmt
{
    StmtKind kind = StmtKind::Empty;
    SourcePos pos;
    std::vector<std::unique_ptr<Stmt>> body; // Block
    TypeSpec typeSpec;                       // Decl
    bool isConst = false;                    // Decl
    std::vector<Declarator> declarators;     // Decl
    std::string op;                          // Assign: "=", "+=", ...
    ExprPtr lhs;                             // Assign target; Expression
    ExprPtr rhs;                             // Assign value; Return value or null
};
using StmtPtr = std::unique_ptr<Stmt>;

struct FunctionDecl
{
    std::string name;
    SourcePos pos;
    TypeSpec returnSpec;
    Type returnType;
    Semantic semantic;
    std::vector<Variable*> params;
    StmtPtr body;
    int id = 0;

    // After checking: what the body uses, for reachability, the constant
    // table and the profile rules.
    std::set<const FunctionDecl*> callees;
    std::set<Variable*> globals;
    std::vector<SourcePos> samples; // tex2D calls
};

struct TopDecl
{
    enum Kind
    {
        Struct,
        Global,
        Function,
    };
    Kind kind = Global;
    StructInfo* structInfo = nullptr;
    Variable* variable = nullptr;
    FunctionDecl* function = nullptr;
};

struct Program
{
    std::vector<TopDecl> decls; // in source order
    std::vector<std::unique_ptr<StructInfo>> structs;
    std::vector<std::unique_ptr<Variable>> variables; // globals, params, locals
    std::vector<std::unique_ptr<FunctionDecl>> functions;

    Variable* NewVariable()
    {
        variables.push_back(std::make_unique<Variable>());
        variables.back()->id = static_cast<int>(variables.size());
        return variables.back().get();
    }
};

} // namespace hlsl
} // namespace d3d9
