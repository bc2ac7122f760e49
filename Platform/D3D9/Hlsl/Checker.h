#pragma once

// Resolves names and types, inserts implicit conversions, and applies the
// rules of the target profile to the code reachable from the entry point.
// Names must be declared before use, as in HLSL, so one pass in source order
// sees everything it needs and no function can call itself, directly or
// through others, without being caught.

#include "Platform/D3D9/Hlsl/Ast.h"
#include "Platform/D3D9/Hlsl/Diagnostics.h"

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace d3d9
{
namespace hlsl
{

enum class Profile
{
    Vertex11, // vs_1_1
    Pixel20,  // ps_2_0
};

// One value the entry point takes in or gives out, by semantic: a parameter
// or the return value, or a member of one reached through member indices.
struct IoBinding
{
    std::string semantic; // "POSITION", "COLOR", "TEXCOORD"
    int index = 0;
    int param = -1; // parameter index, or -1 for the return value
    std::vector<int> memberPath;
    Type type; // the leaf's scalar or vector type
};

struct CheckResult
{
    const FunctionDecl* entry = nullptr;
    std::vector<const FunctionDecl*> functions; // reachable, in source order
    std::vector<IoBinding> inputs;
    std::vector<IoBinding> outputs;
    std::vector<const Variable*> constants; // referenced globals in register order
    int constantRegisters = 0;
    uint32_t samplerMask = 0;
};

class Checker
{
public:
    // Structs nest at most this deep, and one struct value holds at most this
    // many floats: whole-value copies and "(S)0" stay small.
    static constexpr int kMaxStructDepth = 8;
    static constexpr int kMaxStructComponents = 1024;
    // All "(S)0" casts of a program together fill at most this many floats.
    static constexpr int kMaxFilledComponents = 65536;

    Checker(Program& program, Diagnostics& diagnostics, Profile profile);

    bool Check(const std::string& entryName, CheckResult& out);

    static const char* ProfileName(Profile profile);

private:
    // How an expression is used: read, written as a whole (assignment, out
    // argument), or written in part (the base of a member or swizzle that is
    // assigned).
    enum class Access
    {
        Read,
        Write,
        ReadWrite,
        PartialWrite,
        PartialReadWrite,
    };
    static bool Reads(Access a) { return a == Access::Read || a == Access::ReadWrite || a == Access::PartialReadWrite; }
    static bool Writes(Access a) { return a != Access::Read; }
    static bool WritesWhole(Access a) { return a == Access::Write || a == Access::ReadWrite; }
    static Access Partial(Access a) { return Reads(a) ? (Writes(a) ? Access::PartialReadWrite : Access::Read) : Access::PartialWrite; }
    using MemberKey = std::pair<const StructInfo*, int>;

    // What one function's body reads and writes.
    struct Usage
    {
        std::map<const Variable*, SourcePos> variableReads;
        std::set<const Variable*> variableWrites;
        std::map<MemberKey, SourcePos> memberReads;
        std::set<MemberKey> memberWrites;
        std::set<const StructInfo*> wholeWrites;
    };

    Type ResolveType(const TypeSpec& spec);
    void CheckStruct(StructInfo& info);
    void CheckGlobal(Variable& variable);
    void CheckFunction(FunctionDecl& function);
    void Unsupported(SourcePos pos, const std::string& what);
    bool DeclareGlobalName(const std::string& name, SourcePos pos);

    void CheckStatement(Stmt& statement);
    void CheckDeclaration(Stmt& statement);
    void CheckAssignment(Stmt& statement);
    void CheckReturn(Stmt& statement);

    Type CheckExpr(ExprPtr& expr, Access access = Access::Read);
    Type CheckName(Expr& expr, Access access);
    Type CheckMember(ExprPtr& expr, Access access);
    Type CheckIndex(Expr& expr, Access access);
    Type CheckCall(Expr& expr, Access access);
    Type CheckUserCall(Expr& expr, FunctionDecl& callee);
    Type CheckIntrinsic(Expr& expr);
    Type CheckMul(Expr& expr);
    Type CheckConstruct(Expr& expr);
    Type CheckCast(Expr& expr);
    Type CheckBinary(Expr& expr);
    // Converts every argument to their common scalar or vector type.
    Type UnifyArguments(Expr& expr, size_t first);
    void CheckSubscript(Expr& expr, uint32_t size);

    bool RequireNumeric(const Expr& expr);
    bool IsLValue(const Expr& expr);
    bool Convert(ExprPtr& expr, const Type& target, bool explicitCast = false);
    static void Wrap(ExprPtr& expr, const Type& target);

    Variable* LookUp(const std::string& name);
    bool Declare(Variable& variable);

    bool CheckEntry(FunctionDecl& entry, CheckResult& out);
    void CollectBindings(const FunctionDecl& entry, const Type& type, const Semantic& semantic, int param,
                         std::vector<int>& path, bool input, const std::string& what, CheckResult& out);
    bool ValidSemantic(const std::string& base, int index, bool input) const;
    bool IsWritten(const FunctionDecl& entry, const IoBinding& binding, const Usage& usage) const;
    bool AssignRegisters(CheckResult& out);

    Program& mProgram;
    Diagnostics& mDiagnostics;
    Profile mProfile;
    std::map<std::string, StructInfo*> mStructs;
    std::map<std::string, Variable*> mGlobals;
    std::map<std::string, FunctionDecl*> mFunctions;
    std::vector<std::map<std::string, Variable*>> mScopes;
    std::map<const FunctionDecl*, Usage> mUsage;
    FunctionDecl* mFunction = nullptr;
    Usage* mCurrentUsage = nullptr;
    bool mReturns = false;
    int mFilledComponents = 0;
};

} // namespace hlsl
} // namespace d3d9
