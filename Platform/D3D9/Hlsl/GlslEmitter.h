#pragma once

// Writes the checked program as the GLSL body the Direct3D 9 layer runs (see
// ShaderBlob.h for the names it must use). Every name of the source gets a
// prefix by kind ("v12_" variables, "s_" structs, "m_" members, "f_"
// functions) and its underscores are escaped, so no source name can meet a
// GLSL keyword, a built-in or one of the layer's "bw_" names, or contain the
// "__" GLSL reserves.

#include "Platform/D3D9/Hlsl/Ast.h"
#include "Platform/D3D9/Hlsl/Checker.h"

#include <set>
#include <string>
#include <utility>

namespace d3d9
{
namespace hlsl
{

class GlslEmitter
{
public:
    GlslEmitter(const Program& program, const CheckResult& checked, Profile profile);

    std::string Emit();

private:
    std::string TypeText(const Type& type) const;
    std::string VariableName(const Variable& variable) const;
    std::string StructName(const StructInfo& info) const;
    std::string MemberName(const std::string& name) const;
    std::string FunctionName(const FunctionDecl& function) const;

    std::string EmitExpr(const Expr& expr);
    std::string EmitUniform(const Expr& expr, const std::string& registerExpr);
    std::string EmitMatrix(const Expr& expr);
    std::string EmitIntrinsic(const Expr& expr);
    std::string EmitStructFill(const StructInfo& info, const std::string& value) const;
    std::string EmitArrayElement(const Expr& expr, int perElement);
    void EmitStatement(const Stmt& statement, int indent, std::string& out);
    void EmitFunction(const FunctionDecl& function, std::string& out);
    void EmitMain(std::string& out);
    std::string BindingPath(const IoBinding& binding) const;

    const Program& mProgram;
    const CheckResult& mChecked;
    Profile mProfile;
    std::set<std::pair<int, int>> mMatrixShapes; // rows, cols
};

} // namespace hlsl
} // namespace d3d9
