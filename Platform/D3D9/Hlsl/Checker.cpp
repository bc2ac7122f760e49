#include "Platform/D3D9/Hlsl/Checker.h"

#include "Platform/D3D9/Hlsl/Parser.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace d3d9
{
namespace hlsl
{

namespace
{

struct IntrinsicInfo
{
    const char* name;
    Intrinsic intrinsic;
    int arity;
};

const IntrinsicInfo kIntrinsics[] = {
    {"mul", Intrinsic::Mul, 2},        {"tex2D", Intrinsic::Tex2D, 2},
    {"dot", Intrinsic::Dot, 2},        {"length", Intrinsic::Length, 1},
    {"lerp", Intrinsic::Lerp, 3},      {"saturate", Intrinsic::Saturate, 1},
    {"clamp", Intrinsic::Clamp, 3},    {"min", Intrinsic::Min, 2},
    {"max", Intrinsic::Max, 2},        {"pow", Intrinsic::Pow, 2},
    {"step", Intrinsic::Step, 2},      {"abs", Intrinsic::Abs, 1},
    {"floor", Intrinsic::Floor, 1},    {"ceil", Intrinsic::Ceil, 1},
    {"frac", Intrinsic::Frac, 1},      {"sqrt", Intrinsic::Sqrt, 1},
    {"rsqrt", Intrinsic::Rsqrt, 1},    {"exp", Intrinsic::Exp, 1},
    {"exp2", Intrinsic::Exp2, 1},      {"log", Intrinsic::Log, 1},
    {"log2", Intrinsic::Log2, 1},      {"sin", Intrinsic::Sin, 1},
    {"cos", Intrinsic::Cos, 1},        {"normalize", Intrinsic::Normalize, 1},
};

const IntrinsicInfo* FindIntrinsic(const std::string& name)
{
    for (const IntrinsicInfo& info : kIntrinsics)
        if (name == info.name)
            return &info;
    return nullptr;
}

// Swizzle letters: xyzw or rgba, never mixed.
bool ParseSwizzle(const std::string& text, int components, uint8_t out[4], int& count)
{
    if (text.empty() || text.size() > 4)
        return false;
    const char* sets[] = {"xyzw", "rgba"};
    for (const char* set : sets)
    {
        bool ok = true;
        for (size_t i = 0; i < text.size() && ok; ++i)
        {
            const char* found = std::strchr(set, text[i]);
            if (!found || text[i] == '\0' || found - set >= components)
                ok = false;
            else
                out[i] = static_cast<uint8_t>(found - set);
        }
        if (ok)
        {
            count = static_cast<int>(text.size());
            return true;
        }
    }
    return false;
}

bool IsDigitString(const std::string& s)
{
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

Checker::Checker(Program& program, Diagnostics& diagnostics, Profile profile)
    : mProgram(program), mDiagnostics(diagnostics), mProfile(profile)
{
}

const char* Checker::ProfileName(Profile profile)
{
    return profile == Profile::Vertex11 ? "vs_1_1" : "ps_2_0";
}

bool Checker::Check(const std::string& entryName, CheckResult& out)
{
    for (TopDecl& decl : mProgram.decls)
    {
        switch (decl.kind)
        {
        case TopDecl::Struct: CheckStruct(*decl.structInfo); break;
        case TopDecl::Global: CheckGlobal(*decl.variable); break;
        case TopDecl::Function: CheckFunction(*decl.function); break;
        }
    }
    if (mDiagnostics.ErrorCount() > 0)
        return false;

    auto found = mFunctions.find(entryName);
    if (found == mFunctions.end())
    {
        mDiagnostics.Error(SourcePos(), kEntryNotFound, "'" + entryName + "': entrypoint not found");
        return false;
    }
    return CheckEntry(*found->second, out) && mDiagnostics.ErrorCount() == 0;
}

// --- Declarations ---------------------------------------------------------

Type Checker::ResolveType(const TypeSpec& spec)
{
    const std::string& name = spec.name;
    Type type;
    auto structFound = mStructs.find(name);
    if (structFound != mStructs.end())
        type = Type::MakeStruct(structFound->second);
    else if (name == "void")
        type = Type::Make(Type::Void);
    else if (name == "texture" || name == "texture2D")
        type = Type::Make(Type::Texture);
    else if (name == "sampler" || name == "sampler2D")
    {
        type = Type::Make(Type::Sampler);
        type.sampler2D = name == "sampler2D";
    }
    else
    {
        std::string rest;
        if (name.compare(0, 5, "float") == 0)
            rest = name.substr(5);
        else if (name.compare(0, 4, "half") == 0)
            rest = name.substr(4);
        else
            rest = "?";
        if (rest.empty())
            type = Type::MakeScalar();
        else if (rest.size() == 1 && rest[0] >= '1' && rest[0] <= '4')
            type = Type::MakeVector(rest[0] - '0');
        else if (rest.size() == 3 && rest[0] >= '2' && rest[0] <= '4' && rest[1] == 'x' && rest[2] >= '2' &&
                 rest[2] <= '4')
            type = Type::MakeMatrix(rest[0] - '0', rest[2] - '0');
        else
        {
            Unsupported(spec.pos, "type '" + name + "'");
            return Type();
        }
    }
    type.arraySize = spec.arraySize;
    return type;
}

void Checker::Unsupported(SourcePos pos, const std::string& what)
{
    mDiagnostics.Error(pos, kUnsupported, what + " is not supported");
}

bool Checker::DeclareGlobalName(const std::string& name, SourcePos pos)
{
    if (mGlobals.count(name) || mFunctions.count(name) || FindIntrinsic(name))
    {
        mDiagnostics.Error(pos, kRedefinition, "redefinition of '" + name + "'");
        return false;
    }
    return true;
}

void Checker::CheckStruct(StructInfo& info)
{
    if (mStructs.count(info.name))
    {
        mDiagnostics.Error(info.pos, kRedefinition, "redefinition of '" + info.name + "'");
        return;
    }
    std::set<std::string> names;
    for (StructMember& member : info.members)
    {
        member.type = ResolveType(member.typeSpec);
        if (!names.insert(member.name).second)
            mDiagnostics.Error(member.pos, kRedefinition, "redefinition of '" + member.name + "'");
        const Type& type = member.type;
        if (type.IsNumeric())
            info.components += type.Components();
        else if (type.kind == Type::Struct)
        {
            info.components += type.structInfo->components;
            info.depth = std::max(info.depth, type.structInfo->depth + 1);
        }
        else if (!type.IsError())
            Unsupported(member.pos, "a struct member of type '" + TypeName(type) + "'");
        info.components = std::min(info.components, kMaxStructComponents + 1);
    }
    if (info.depth > kMaxStructDepth)
        mDiagnostics.Error(info.pos, kUnsupported, "struct '" + info.name + "' is nested too deeply");
    else if (info.components > kMaxStructComponents)
        mDiagnostics.Error(info.pos, kUnsupported, "struct '" + info.name + "' is too large");
    mStructs[info.name] = &info;
}

void Checker::CheckGlobal(Variable& variable)
{
    if (!DeclareGlobalName(variable.name, variable.pos))
        return;
    mGlobals[variable.name] = &variable;
    variable.type = ResolveType(variable.typeSpec);
    const Type& type = variable.type;
    switch (type.kind)
    {
    case Type::Scalar:
    case Type::Vector:
    case Type::Matrix: variable.storage = Variable::Uniform; break;
    case Type::Texture: variable.storage = Variable::TextureObject; break;
    case Type::Sampler: variable.storage = Variable::SamplerObject; break;
    case Type::Error: return;
    default:
        Unsupported(variable.pos, "a global variable of type '" + TypeName(type) + "'");
        variable.type = Type();
        return;
    }
    if (type.arraySize && variable.storage != Variable::Uniform)
    {
        Unsupported(variable.pos, "an array of " + TypeName(type.Element()));
        variable.type = Type();
        return;
    }
    if (!variable.samplerState.empty() && variable.storage != Variable::SamplerObject)
        mDiagnostics.Error(variable.pos, kTypeMismatch, "sampler_state can only initialize a sampler");
    for (const SamplerStateEntry& entry : variable.samplerState)
    {
        if (!entry.textureRef)
            continue;
        auto found = mGlobals.find(entry.value);
        if (found == mGlobals.end())
            mDiagnostics.Error(entry.pos, kUndeclared, "undeclared identifier '" + entry.value + "'");
        else if (found->second->storage != Variable::TextureObject)
            mDiagnostics.Error(entry.pos, kTypeMismatch, "'" + entry.value + "' is not a texture");
    }
}

void Checker::CheckFunction(FunctionDecl& function)
{
    function.returnType = ResolveType(function.returnSpec);
    const Type& returnType = function.returnType;
    if (returnType.kind == Type::Matrix || returnType.kind == Type::Texture || returnType.kind == Type::Sampler)
        Unsupported(function.returnSpec.pos, "a function returning '" + TypeName(returnType) + "'");
    if (!DeclareGlobalName(function.name, function.pos))
        return;
    mFunctions[function.name] = &function;

    mFunction = &function;
    mCurrentUsage = &mUsage[&function];
    mReturns = false;
    mScopes.assign(1, {});
    for (Variable* param : function.params)
    {
        param->type = ResolveType(param->typeSpec);
        const Type& type = param->type;
        if (!type.IsError() && !type.IsNumeric() && type.kind != Type::Struct)
        {
            Unsupported(param->pos, "a parameter of type '" + TypeName(type) + "'");
            param->type = Type();
        }
        Declare(*param);
    }
    // The body's outermost block shares the parameters' scope.
    for (StmtPtr& statement : function.body->body)
        CheckStatement(*statement);
    if (!mReturns && returnType.kind != Type::Void && !returnType.IsError())
        mDiagnostics.Error(function.pos, kMissingReturn, "'" + function.name + "': function must return a value");
    mScopes.clear();
    mFunction = nullptr;
    mCurrentUsage = nullptr;
}

Variable* Checker::LookUp(const std::string& name)
{
    for (auto scope = mScopes.rbegin(); scope != mScopes.rend(); ++scope)
    {
        auto found = scope->find(name);
        if (found != scope->end())
            return found->second;
    }
    auto global = mGlobals.find(name);
    return global != mGlobals.end() ? global->second : nullptr;
}

bool Checker::Declare(Variable& variable)
{
    if (!mScopes.back().emplace(variable.name, &variable).second)
    {
        mDiagnostics.Error(variable.pos, kRedefinition, "redefinition of '" + variable.name + "'");
        return false;
    }
    return true;
}

// --- Statements -----------------------------------------------------------

void Checker::CheckStatement(Stmt& statement)
{
    switch (statement.kind)
    {
    case StmtKind::Block:
        mScopes.emplace_back();
        for (StmtPtr& inner : statement.body)
            CheckStatement(*inner);
        mScopes.pop_back();
        break;
    case StmtKind::Decl: CheckDeclaration(statement); break;
    case StmtKind::Assign: CheckAssignment(statement); break;
    case StmtKind::Expression: CheckExpr(statement.lhs); break;
    case StmtKind::Return: CheckReturn(statement); break;
    case StmtKind::Empty: break;
    }
}

void Checker::CheckDeclaration(Stmt& statement)
{
    Type type = ResolveType(statement.typeSpec);
    if (!type.IsError() && !type.IsNumeric() && type.kind != Type::Struct)
    {
        Unsupported(statement.typeSpec.pos, "a local variable of type '" + TypeName(type) + "'");
        type = Type();
    }
    for (Declarator& declarator : statement.declarators)
    {
        Variable* variable = mProgram.NewVariable();
        variable->storage = Variable::Local;
        variable->name = declarator.name;
        variable->pos = declarator.pos;
        variable->type = type;
        variable->isConst = statement.isConst;
        declarator.variable = variable;
        if (declarator.init)
        {
            CheckExpr(declarator.init);
            Convert(declarator.init, type);
            if (type.kind == Type::Struct)
                mCurrentUsage->wholeWrites.insert(type.structInfo);
        }
        else if (statement.isConst)
            mDiagnostics.Error(declarator.pos, kConstLValue,
                               "const variable '" + declarator.name + "' must be initialized");
        // Declared after its initializer, which therefore sees outer names.
        Declare(*variable);
    }
}

void Checker::CheckAssignment(Stmt& statement)
{
    const bool compound = statement.op != "=";
    const Type target = CheckExpr(statement.lhs, compound ? Access::ReadWrite : Access::Write);
    CheckExpr(statement.rhs);
    if (target.IsError())
        return;
    if (!IsLValue(*statement.lhs))
    {
        mDiagnostics.Error(statement.lhs->pos, kConstLValue, "l-value specifies const object");
        return;
    }
    if (compound && !RequireNumeric(*statement.lhs))
        return;
    Convert(statement.rhs, target);
}

void Checker::CheckReturn(Stmt& statement)
{
    mReturns = true;
    const Type& returnType = mFunction->returnType;
    if (statement.rhs)
        CheckExpr(statement.rhs);
    if (returnType.IsError())
        return;
    if (returnType.kind == Type::Void)
    {
        if (statement.rhs)
            mDiagnostics.Error(statement.pos, kTypeMismatch, "void function cannot return a value");
        return;
    }
    if (!statement.rhs)
    {
        mDiagnostics.Error(statement.pos, kMissingReturn,
                           "'" + mFunction->name + "': function must return a value");
        return;
    }
    // A struct made elsewhere (a call, a cast) arrives whole.
    if (returnType.kind == Type::Struct && statement.rhs->kind != ExprKind::Name)
        mCurrentUsage->wholeWrites.insert(returnType.structInfo);
    Convert(statement.rhs, returnType);
}

// --- Expressions ----------------------------------------------------------

void Checker::Wrap(ExprPtr& expr, const Type& target)
{
    auto convert = std::make_unique<Expr>();
    convert->kind = ExprKind::Convert;
    convert->pos = expr->pos;
    convert->type = target;
    convert->depth = expr->depth + 1;
    convert->args.push_back(std::move(expr));
    expr = std::move(convert);
}

bool Checker::Convert(ExprPtr& expr, const Type& target, bool explicitCast)
{
    const Type from = expr->type;
    if (from.IsError() || target.IsError())
        return false;
    if (from == target)
        return true;
    const char* how = explicitCast ? "cannot convert from '" : "cannot implicitly convert from '";
    if (from.IsNumeric() && target.IsNumeric() && !from.arraySize && !target.arraySize)
    {
        const int have = from.Components();
        const int want = target.Components();
        if (from.kind != Type::Scalar && want > have)
        {
            mDiagnostics.Error(expr->pos, kCannotConvert, how + TypeName(from) + "' to '" + TypeName(target) + "'");
            return false;
        }
        if (from.kind != Type::Scalar && want < have && !explicitCast)
            mDiagnostics.Warning(expr->pos, kImplicitTruncation, "implicit truncation of vector type");
        Wrap(expr, target);
        return true;
    }
    if (from.kind == Type::Matrix)
        Unsupported(expr->pos, "a matrix value outside mul()");
    else if (from.kind == Type::Void)
        mDiagnostics.Error(expr->pos, kTypeMismatch, "void value used in an expression");
    else
        mDiagnostics.Error(expr->pos, kCannotConvert, how + TypeName(from) + "' to '" + TypeName(target) + "'");
    return false;
}

bool Checker::RequireNumeric(const Expr& expr)
{
    const Type& type = expr.type;
    if (type.IsError())
        return false;
    if (type.IsNumeric() && !type.arraySize)
        return true;
    if (type.kind == Type::Matrix && !type.arraySize)
        Unsupported(expr.pos, "a matrix value outside mul()");
    else if (type.kind == Type::Void)
        mDiagnostics.Error(expr.pos, kTypeMismatch, "void value used in an expression");
    else
        mDiagnostics.Error(expr.pos, kTypeMismatch, "type mismatch: '" + TypeName(type) + "' is not a numeric value");
    return false;
}

bool Checker::IsLValue(const Expr& expr)
{
    switch (expr.kind)
    {
    case ExprKind::Name:
        return expr.variable && (expr.variable->storage == Variable::Local || expr.variable->storage == Variable::Param) &&
               !expr.variable->isConst;
    case ExprKind::Member: return IsLValue(*expr.args[0]);
    case ExprKind::Swizzle:
        for (int i = 0; i < expr.swizzleCount; ++i)
            for (int j = i + 1; j < expr.swizzleCount; ++j)
                if (expr.swizzle[i] == expr.swizzle[j])
                    return false;
        return expr.args[0]->type.kind == Type::Vector && IsLValue(*expr.args[0]);
    case ExprKind::Index: return !expr.variable && IsLValue(*expr.args[0]);
    default: return false;
    }
}

Type Checker::CheckExpr(ExprPtr& expr, Access access)
{
    Expr& e = *expr;
    switch (e.kind)
    {
    case ExprKind::Literal: e.type = Type::MakeScalar(); break;
    case ExprKind::Name: e.type = CheckName(e, access); break;
    case ExprKind::Member:
    case ExprKind::Swizzle: return CheckMember(expr, access);
    case ExprKind::Index: e.type = CheckIndex(e, access); break;
    case ExprKind::Call: e.type = CheckCall(e, access); break;
    case ExprKind::Construct: e.type = CheckConstruct(e); break;
    case ExprKind::Cast: e.type = CheckCast(e); break;
    case ExprKind::Unary:
        CheckExpr(e.args[0]);
        e.type = RequireNumeric(*e.args[0]) ? e.args[0]->type : Type();
        break;
    case ExprKind::Binary: e.type = CheckBinary(e); break;
    case ExprKind::Convert: break;
    }
    return expr->type;
}

Type Checker::CheckName(Expr& e, Access access)
{
    Variable* variable = LookUp(e.name);
    if (!variable)
    {
        if (mFunctions.count(e.name) || FindIntrinsic(e.name))
            mDiagnostics.Error(e.pos, kTypeMismatch, "'" + e.name + "': a function cannot be used as a value");
        else
            mDiagnostics.Error(e.pos, kUndeclared, "undeclared identifier '" + e.name + "'");
        return Type();
    }
    e.variable = variable;
    switch (variable->storage)
    {
    case Variable::TextureObject:
        mDiagnostics.Error(e.pos, kTypeMismatch, "'" + e.name + "': a texture can only be used in a sampler_state");
        return Type();
    case Variable::SamplerObject:
        mDiagnostics.Error(e.pos, kTypeMismatch, "'" + e.name + "': a sampler can only be passed to tex2D");
        return Type();
    case Variable::Uniform:
        if (Writes(access))
        {
            mDiagnostics.Error(e.pos, kConstLValue,
                               "global variables are implicitly constant, enable compatibility mode to allow "
                               "modification");
            return Type();
        }
        mFunction->globals.insert(variable);
        break;
    default:
        if (Reads(access))
            mCurrentUsage->variableReads.emplace(variable, e.pos);
        if (Writes(access))
            mCurrentUsage->variableWrites.insert(variable);
        if (WritesWhole(access) && variable->type.kind == Type::Struct)
            mCurrentUsage->wholeWrites.insert(variable->type.structInfo);
        break;
    }
    if (variable->type.arraySize && access == Access::Read)
    {
        // Arrays are only read an element at a time; CheckIndex resolves them itself.
        mDiagnostics.Error(e.pos, kTypeMismatch, "'" + e.name + "': an array must be indexed");
        return Type();
    }
    return variable->type;
}

Type Checker::CheckMember(ExprPtr& expr, Access access)
{
    Expr& e = *expr;
    const Type base = CheckExpr(e.args[0], Partial(access));
    if (base.IsError())
        return e.type = Type();
    if (base.kind == Type::Struct && !base.arraySize)
    {
        const StructInfo& info = *base.structInfo;
        for (size_t i = 0; i < info.members.size(); ++i)
        {
            if (info.members[i].name != e.name)
                continue;
            const MemberKey key(&info, static_cast<int>(i));
            const Type& memberType = info.members[i].type;
            if (Reads(access))
                mCurrentUsage->memberReads.emplace(key, e.pos);
            // Part of a numeric member counts as writing it; part of a struct
            // member is recorded by the deeper access.
            if (WritesWhole(access) || (Writes(access) && memberType.kind != Type::Struct))
                mCurrentUsage->memberWrites.insert(key);
            if (WritesWhole(access) && memberType.kind == Type::Struct)
                mCurrentUsage->wholeWrites.insert(memberType.structInfo);
            e.memberIndex = static_cast<int>(i);
            return e.type = info.members[i].type;
        }
        mDiagnostics.Error(e.pos, kInvalidSubscript, "invalid subscript '" + e.name + "'");
        return e.type = Type();
    }
    if (base.IsNumeric() && !base.arraySize)
    {
        uint8_t components[4];
        int count = 0;
        if (!ParseSwizzle(e.name, base.Components(), components, count))
        {
            mDiagnostics.Error(e.pos, kInvalidSubscript, "invalid subscript '" + e.name + "'");
            return e.type = Type();
        }
        e.kind = ExprKind::Swizzle;
        e.swizzleCount = count;
        std::copy(components, components + count, e.swizzle);
        // A swizzle of a swizzle selects from the inner base directly.
        if (e.args[0]->kind == ExprKind::Swizzle)
        {
            ExprPtr inner = std::move(e.args[0]);
            for (int i = 0; i < count; ++i)
                e.swizzle[i] = inner->swizzle[e.swizzle[i]];
            e.args[0] = std::move(inner->args[0]);
        }
        return e.type = Type::MakeVector(count);
    }
    mDiagnostics.Error(e.pos, kInvalidSubscript, "invalid subscript '" + e.name + "'");
    return e.type = Type();
}

void Checker::CheckSubscript(Expr& e, uint32_t size)
{
    CheckExpr(e.args[1]);
    if (!RequireNumeric(*e.args[1]))
        return;
    Convert(e.args[1], Type::MakeScalar());
    const Expr& index = *e.args[1];
    if (index.kind == ExprKind::Literal && (index.value < 0 || index.value >= size))
        mDiagnostics.Error(index.pos, kIndexOutOfBounds, "array index out of bounds");
}

Type Checker::CheckIndex(Expr& e, Access access)
{
    Expr& base = *e.args[0];
    if (base.kind == ExprKind::Name)
    {
        Variable* variable = LookUp(base.name);
        if (variable && variable->storage == Variable::Uniform && variable->type.arraySize)
        {
            base.variable = variable;
            base.type = variable->type;
            e.variable = variable;
            if (Writes(access))
            {
                mDiagnostics.Error(e.pos, kConstLValue,
                                   "global variables are implicitly constant, enable compatibility mode to "
                                   "allow modification");
                return Type();
            }
            mFunction->globals.insert(variable);
            CheckSubscript(e, variable->type.arraySize);
            return variable->type.Element();
        }
    }
    const Type baseType = CheckExpr(e.args[0], Partial(access));
    if (baseType.IsError())
        return Type();
    if (baseType.kind == Type::Vector)
    {
        CheckSubscript(e, baseType.cols);
        return Type::MakeScalar();
    }
    if (baseType.kind == Type::Matrix)
    {
        Unsupported(e.pos, "indexing a matrix");
        return Type();
    }
    mDiagnostics.Error(e.pos, kIndexExpected,
                       "array, matrix, vector, or indexable object type expected in index expression");
    return Type();
}

Type Checker::CheckCall(Expr& e, Access access)
{
    (void)access;
    if (const IntrinsicInfo* info = FindIntrinsic(e.name))
    {
        e.intrinsic = info->intrinsic;
        if (static_cast<int>(e.args.size()) != info->arity)
        {
            for (ExprPtr& arg : e.args)
                CheckExpr(arg);
            mDiagnostics.Error(e.pos, kNoMatchingFunction,
                               "'" + e.name + "': no matching " + std::to_string(e.args.size()) +
                                   " parameter intrinsic function");
            return Type();
        }
        return CheckIntrinsic(e);
    }
    auto found = mFunctions.find(e.name);
    if (found != mFunctions.end() && found->second != mFunction)
        return CheckUserCall(e, *found->second);
    for (ExprPtr& arg : e.args)
        CheckExpr(arg);
    // Only functions defined earlier can be called, so calling itself is the
    // only way a function could recurse.
    if (found != mFunctions.end())
        mDiagnostics.Error(e.pos, kRecursion, "'" + e.name + "': recursive functions are not allowed");
    else if (LookUp(e.name))
        mDiagnostics.Error(e.pos, kNoMatchingFunction, "'" + e.name + "' is not a function");
    else
        mDiagnostics.Error(e.pos, kUndeclared, "undeclared identifier '" + e.name + "'");
    return Type();
}

Type Checker::CheckUserCall(Expr& e, FunctionDecl& callee)
{
    e.callee = &callee;
    mFunction->callees.insert(&callee);
    if (e.args.size() != callee.params.size())
    {
        for (ExprPtr& arg : e.args)
            CheckExpr(arg);
        mDiagnostics.Error(e.pos, kNoMatchingFunction,
                           "'" + e.name + "': no matching " + std::to_string(e.args.size()) + " parameter function");
        return Type();
    }
    for (size_t i = 0; i < e.args.size(); ++i)
    {
        const Variable& param = *callee.params[i];
        if (param.mode == Variable::In)
        {
            CheckExpr(e.args[i]);
            Convert(e.args[i], param.type);
            continue;
        }
        const Type type = CheckExpr(e.args[i], param.mode == Variable::Out ? Access::Write : Access::ReadWrite);
        if (type.IsError() || param.type.IsError())
            continue;
        if (!IsLValue(*e.args[i]))
            mDiagnostics.Error(e.args[i]->pos, kConstLValue, "l-value specifies const object");
        else if (type != param.type)
            mDiagnostics.Error(e.args[i]->pos, kCannotConvert,
                               "cannot convert from '" + TypeName(type) + "' to '" + TypeName(param.type) +
                                   "' for an out parameter");
    }
    return callee.returnType;
}

Type Checker::UnifyArguments(Expr& e, size_t first)
{
    int components = 0;
    for (size_t i = first; i < e.args.size(); ++i)
    {
        if (!RequireNumeric(*e.args[i]))
            return Type();
        const Type& type = e.args[i]->type;
        if (type.kind == Type::Vector && (components == 0 || type.cols < components))
            components = type.cols;
    }
    const Type common = Type::MakeVector(components);
    for (size_t i = first; i < e.args.size(); ++i)
        Convert(e.args[i], common);
    return common;
}

Type Checker::CheckIntrinsic(Expr& e)
{
    switch (e.intrinsic)
    {
    case Intrinsic::Mul: return CheckMul(e);
    case Intrinsic::Tex2D:
    {
        Expr& sampler = *e.args[0];
        Variable* variable = sampler.kind == ExprKind::Name ? LookUp(sampler.name) : nullptr;
        CheckExpr(e.args[1]);
        if (!variable || variable->storage != Variable::SamplerObject)
        {
            if (sampler.kind != ExprKind::Name)
                CheckExpr(e.args[0]);
            mDiagnostics.Error(e.pos, kNoMatchingFunction, "'tex2D': no matching 2 parameter intrinsic function");
            return Type();
        }
        sampler.variable = variable;
        sampler.type = variable->type;
        e.variable = variable;
        mFunction->globals.insert(variable);
        mFunction->samples.push_back(e.pos);
        if (!RequireNumeric(*e.args[1]) || !Convert(e.args[1], Type::MakeVector(2)))
            return Type();
        return Type::MakeVector(4);
    }
    default: break;
    }

    for (ExprPtr& arg : e.args)
        CheckExpr(arg);
    const Type common = UnifyArguments(e, 0);
    if (common.IsError())
        return Type();
    if (e.intrinsic == Intrinsic::Dot || e.intrinsic == Intrinsic::Length)
        return Type::MakeScalar();
    return common;
}

Type Checker::CheckMul(Expr& e)
{
    const Type a = CheckExpr(e.args[0]);
    const Type b = CheckExpr(e.args[1]);
    if (a.IsError() || b.IsError())
        return Type();
    const bool aMatrix = a.kind == Type::Matrix && !a.arraySize;
    const bool bMatrix = b.kind == Type::Matrix && !b.arraySize;
    if (aMatrix && bMatrix)
    {
        Unsupported(e.pos, "mul of two matrices");
        return Type();
    }
    if (!aMatrix && !bMatrix)
    {
        if (!RequireNumeric(*e.args[0]) || !RequireNumeric(*e.args[1]))
            return Type();
        if (a.kind == Type::Scalar || b.kind == Type::Scalar)
        {
            // A scalar operand makes mul a component-wise product.
            e.kind = ExprKind::Binary;
            e.name = "*";
            e.intrinsic = Intrinsic::None;
            return CheckBinary(e);
        }
        e.intrinsic = Intrinsic::Dot;
        UnifyArguments(e, 0);
        return Type::MakeScalar();
    }
    // One vector and one matrix. A longer vector is cut to the matrix; a
    // shorter one uses only as many rows (or columns) of the matrix.
    const size_t vectorArg = aMatrix ? 1 : 0;
    ExprPtr& matrix = e.args[1 - vectorArg];
    if (!RequireNumeric(*e.args[vectorArg]))
        return Type();
    const int length = e.args[vectorArg]->type.Components();
    int rows = matrix->type.rows;
    int cols = matrix->type.cols;
    int& inner = aMatrix ? cols : rows;
    if (length > inner)
        Convert(e.args[vectorArg], Type::MakeVector(inner));
    else if (length < inner)
    {
        if (length < 2)
        {
            mDiagnostics.Error(e.pos, kNoMatchingFunction, "'mul': no matching 2 parameter intrinsic function");
            return Type();
        }
        mDiagnostics.Warning(matrix->pos, kImplicitTruncation, "implicit truncation of vector type");
        inner = length;
        matrix->type.rows = static_cast<uint8_t>(rows);
        matrix->type.cols = static_cast<uint8_t>(cols);
    }
    return Type::MakeVector(aMatrix ? rows : cols);
}

Type Checker::CheckConstruct(Expr& e)
{
    const Type type = ResolveType(e.typeSpec);
    for (ExprPtr& arg : e.args)
        CheckExpr(arg);
    if (type.IsError())
        return Type();
    if (!type.IsNumeric())
    {
        if (type.kind == Type::Matrix)
            Unsupported(e.pos, "a matrix constructor");
        else
            mDiagnostics.Error(e.pos, kConstructorType, "constructors only defined for numeric base types");
        return Type();
    }
    int components = 0;
    for (const ExprPtr& arg : e.args)
    {
        if (!RequireNumeric(*arg))
            return Type();
        components += arg->type.Components();
    }
    const bool broadcast = e.args.size() == 1 && e.args[0]->type.kind == Type::Scalar;
    if (components != type.Components() && !broadcast)
    {
        mDiagnostics.Error(e.pos, kConstructorArgs, "incorrect number of arguments to numeric-type constructor");
        return Type();
    }
    return type;
}

Type Checker::CheckCast(Expr& e)
{
    const Type target = ResolveType(e.typeSpec);
    const Type from = CheckExpr(e.args[0]);
    if (target.IsError() || from.IsError())
        return Type();
    if (target.kind == Type::Struct)
    {
        // "(S)0" fills every member; any other source would be copied per member.
        if (from == target)
            return target;
        if (e.args[0]->kind == ExprKind::Literal)
        {
            // Each such cast is written out member by member.
            const bool wasOver = mFilledComponents > kMaxFilledComponents;
            mFilledComponents += target.structInfo->components;
            if (mFilledComponents > kMaxFilledComponents)
            {
                if (!wasOver)
                    mDiagnostics.Error(e.pos, kUnsupported, "too many struct casts: the program is too large");
                return Type();
            }
            mCurrentUsage->wholeWrites.insert(target.structInfo);
            return target;
        }
        mDiagnostics.Error(e.pos, kCannotConvert,
                           "cannot convert from '" + TypeName(from) + "' to '" + TypeName(target) + "'");
        return Type();
    }
    if (!target.IsNumeric())
    {
        mDiagnostics.Error(e.pos, kCannotConvert,
                           "cannot convert from '" + TypeName(from) + "' to '" + TypeName(target) + "'");
        return Type();
    }
    if (!RequireNumeric(*e.args[0]) || !Convert(e.args[0], target, true))
        return Type();
    // The conversion node is the cast's whole effect.
    return target;
}

Type Checker::CheckBinary(Expr& e)
{
    CheckExpr(e.args[0]);
    CheckExpr(e.args[1]);
    const bool leftOk = RequireNumeric(*e.args[0]);
    const bool rightOk = RequireNumeric(*e.args[1]);
    if (!leftOk || !rightOk)
        return Type();
    const Type& a = e.args[0]->type;
    const Type& b = e.args[1]->type;
    if (a.kind == Type::Scalar)
        return b;
    if (b.kind == Type::Scalar)
        return a;
    if (a.cols != b.cols)
    {
        const Type common = Type::MakeVector(std::min(a.cols, b.cols));
        Convert(e.args[0], common);
        Convert(e.args[1], common);
        return common;
    }
    return a;
}

// --- Entry point and profile rules ----------------------------------------

bool Checker::ValidSemantic(const std::string& base, int index, bool input) const
{
    if (mProfile == Profile::Pixel20 && !input)
        return base == "COLOR" && index == 0;
    if (base == "TEXCOORD")
        return index <= 7;
    if (base == "COLOR")
        return index <= 1;
    if (base == "POSITION")
        return index == 0;
    return false;
}

void Checker::CollectBindings(const FunctionDecl& entry, const Type& type, const Semantic& semantic, int param,
                              std::vector<int>& path, bool input, const std::string& what, CheckResult& out)
{
    if (type.IsError())
        return;
    if (type.kind == Type::Struct)
    {
        if (semantic.present)
        {
            Unsupported(semantic.pos, "a semantic on a struct value");
            return;
        }
        const StructInfo& info = *type.structInfo;
        for (size_t i = 0; i < info.members.size(); ++i)
        {
            path.push_back(static_cast<int>(i));
            CollectBindings(entry, info.members[i].type, info.members[i].semantic, param, path, input, what, out);
            path.pop_back();
        }
        return;
    }
    if (!semantic.present)
    {
        if (param < 0)
            mDiagnostics.Error(entry.pos, kOutputSemantic, "'" + entry.name + "': function return value missing semantics");
        else
            mDiagnostics.Error(entry.params[param]->pos, kInputSemantic,
                               "'" + entry.name + "': " + what + " '" + entry.params[param]->name + "' missing semantics");
        return;
    }
    if (!type.IsNumeric())
    {
        Unsupported(semantic.pos, "an entry point value of type '" + TypeName(type) + "'");
        return;
    }
    IoBinding binding;
    binding.param = param;
    binding.memberPath = path;
    binding.type = type;
    std::string upper = semantic.text;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    size_t digits = upper.size();
    while (digits > 0 && upper[digits - 1] >= '0' && upper[digits - 1] <= '9')
        --digits;
    binding.semantic = upper.substr(0, digits);
    const std::string index = upper.substr(digits);
    const bool indexOk = index.empty() || (IsDigitString(index) && index.size() <= 2);
    binding.index = indexOk && !index.empty() ? std::stoi(index) : 0;
    const std::string full = binding.semantic + std::to_string(binding.index);
    if (!indexOk || !ValidSemantic(binding.semantic, binding.index, input))
    {
        mDiagnostics.Error(semantic.pos, kInvalidSemantic,
                           std::string("invalid ") + ProfileName(mProfile) + (input ? " input" : " output") +
                               " semantic '" + upper + "'");
        return;
    }
    std::vector<IoBinding>& list = input ? out.inputs : out.outputs;
    for (const IoBinding& other : list)
    {
        if (other.semantic == binding.semantic && other.index == binding.index)
        {
            mDiagnostics.Error(semantic.pos, kOverlappingSemantic,
                               std::string("overlapping ") + (input ? "input" : "output") + " semantic '" + full + "'");
            return;
        }
    }
    list.push_back(binding);
}

bool Checker::IsWritten(const FunctionDecl& entry, const IoBinding& binding, const Usage& usage) const
{
    if (binding.param < 0 && binding.memberPath.empty())
        return true; // the return statement writes it
    Type type = binding.param < 0 ? entry.returnType : entry.params[binding.param]->type;
    if (binding.memberPath.empty())
        return usage.variableWrites.count(entry.params[binding.param]) != 0;
    for (int member : binding.memberPath)
    {
        const StructInfo* info = type.structInfo;
        if (usage.wholeWrites.count(info) || usage.memberWrites.count(MemberKey(info, member)))
            return true;
        type = info->members[member].type;
    }
    return false;
}

bool Checker::CheckEntry(FunctionDecl& entry, CheckResult& out)
{
    out.entry = &entry;
    const bool vertex = mProfile == Profile::Vertex11;

    // Functions can only call functions defined before them, so walking the
    // definitions backwards from the entry visits callers before callees.
    std::set<const FunctionDecl*> reachable = {&entry};
    for (auto it = mProgram.functions.rbegin(); it != mProgram.functions.rend(); ++it)
        if (reachable.count(it->get()))
            reachable.insert((*it)->callees.begin(), (*it)->callees.end());
    Usage usage;
    for (const auto& function : mProgram.functions)
    {
        if (!reachable.count(function.get()))
            continue;
        out.functions.push_back(function.get());
        for (Variable* global : function->globals)
            global->referenced = true;
        const Usage& part = mUsage[function.get()];
        for (const auto& read : part.variableReads)
            usage.variableReads.insert(read);
        usage.variableWrites.insert(part.variableWrites.begin(), part.variableWrites.end());
        for (const auto& read : part.memberReads)
            usage.memberReads.insert(read);
        usage.memberWrites.insert(part.memberWrites.begin(), part.memberWrites.end());
        usage.wholeWrites.insert(part.wholeWrites.begin(), part.wholeWrites.end());
        if (vertex && !function->samples.empty())
            mDiagnostics.Error(function->samples.front(), kCannotMap, "cannot map expression to vs_1_1 instruction set");
    }

    std::vector<int> path;
    for (size_t i = 0; i < entry.params.size(); ++i)
    {
        const Variable& param = *entry.params[i];
        if (param.mode != Variable::Out)
            CollectBindings(entry, param.type, param.semantic, static_cast<int>(i), path, true, "input parameter", out);
        if (param.mode != Variable::In)
            CollectBindings(entry, param.type, param.semantic, static_cast<int>(i), path, false, "output parameter",
                            out);
    }
    if (entry.returnType.kind != Type::Void)
        CollectBindings(entry, entry.returnType, entry.semantic, -1, path, false, "", out);
    else if (entry.semantic.present)
        mDiagnostics.Error(entry.semantic.pos, kOutputSemantic, "a void function cannot have a semantic");
    if (mDiagnostics.ErrorCount() > 0)
        return false;

    if (!vertex)
    {
        // A pixel shader may declare the vertex position (a struct shared with
        // the vertex shader) but ps_2_0 has no register to read it from.
        for (const IoBinding& input : out.inputs)
        {
            if (input.semantic != "POSITION")
                continue;
            const SourcePos* readAt = nullptr;
            if (input.memberPath.empty())
            {
                auto found = usage.variableReads.find(entry.params[input.param]);
                if (found != usage.variableReads.end())
                    readAt = &found->second;
            }
            else
            {
                const Variable& param = *entry.params[input.param];
                const StructInfo* info = param.type.structInfo;
                for (size_t i = 0; i + 1 < input.memberPath.size(); ++i)
                    info = info->members[input.memberPath[i]].type.structInfo;
                auto found = usage.memberReads.find(MemberKey(info, input.memberPath.back()));
                if (found != usage.memberReads.end())
                    readAt = &found->second;
            }
            if (readAt)
                mDiagnostics.Error(*readAt, kInvalidSemantic, "invalid ps_2_0 input semantic 'POSITION0': it cannot be read");
        }
    }

    const char* required = vertex ? "POSITION" : "COLOR";
    const IoBinding* result = nullptr;
    for (const IoBinding& output : out.outputs)
        if (output.semantic == required && output.index == 0)
            result = &output;
    if (vertex && (!result || result->type.Components() != 4 || !IsWritten(entry, *result, usage)))
        mDiagnostics.Error(entry.pos, kPositionNotWritten,
                           "vertex shader must minimally write all four components of POSITION");
    if (!vertex && (!result || !IsWritten(entry, *result, usage)))
        mDiagnostics.Error(entry.pos, kColorNotWritten, "pixel shader must write COLOR0");
    if (mDiagnostics.ErrorCount() > 0)
        return false;
    return AssignRegisters(out);
}

bool Checker::AssignRegisters(CheckResult& out)
{
    const int maxRegisters = mProfile == Profile::Vertex11 ? 96 : 32;
    const int maxSamplers = mProfile == Profile::Vertex11 ? 0 : 16;
    int registers = 0;
    int samplers = 0;
    for (const TopDecl& decl : mProgram.decls)
    {
        if (decl.kind != TopDecl::Global || !decl.variable->referenced)
            continue;
        Variable& variable = *decl.variable;
        if (variable.storage == Variable::Uniform)
        {
            const int perElement = variable.type.kind == Type::Matrix ? variable.type.cols : 1;
            const int count = perElement * static_cast<int>(std::max<uint32_t>(variable.type.arraySize, 1));
            if (count > maxRegisters - registers)
            {
                mDiagnostics.Error(variable.pos, kTooManyConstants,
                                   "'" + variable.name + "' needs more constant registers than " +
                                       ProfileName(mProfile) + " has (" + std::to_string(maxRegisters) + ")");
                return false;
            }
            variable.registerIndex = registers;
            variable.registerCount = count;
            registers += count;
        }
        else if (variable.storage == Variable::SamplerObject)
        {
            if (samplers >= maxSamplers)
            {
                mDiagnostics.Error(variable.pos, kTooManyConstants,
                                   std::string("too many samplers for ") + ProfileName(mProfile));
                return false;
            }
            variable.registerIndex = samplers;
            variable.registerCount = 1;
            out.samplerMask |= 1u << samplers;
            ++samplers;
        }
        else
            continue;
        out.constants.push_back(&variable);
    }
    out.constantRegisters = registers;
    return true;
}

} // namespace hlsl
} // namespace d3d9
