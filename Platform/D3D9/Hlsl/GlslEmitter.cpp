#include "Platform/D3D9/Hlsl/GlslEmitter.h"

#include <charconv>

namespace d3d9
{
namespace hlsl
{

namespace
{

// Every '_' gets a '9' before it: no two underscores meet, and the mapping
// stays one-to-one.
std::string Escape(const std::string& name)
{
    std::string out;
    out.reserve(name.size() * 2);
    for (char c : name)
    {
        if (c == '_')
            out += '9';
        out += c;
    }
    return out;
}

std::string FloatText(double value)
{
    char buffer[64];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<float>(value));
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".e") == std::string::npos)
        text += ".0";
    return text;
}

const char* const kComponents = "xyzw";

std::string Components(int count)
{
    return std::string(kComponents, count);
}

std::string Indent(int level)
{
    return std::string(static_cast<size_t>(level) * 4, ' ');
}

const char* IntrinsicName(Intrinsic intrinsic)
{
    switch (intrinsic)
    {
    case Intrinsic::Dot: return "dot";
    case Intrinsic::Length: return "length";
    case Intrinsic::Lerp: return "mix";
    case Intrinsic::Clamp: return "clamp";
    case Intrinsic::Min: return "min";
    case Intrinsic::Max: return "max";
    case Intrinsic::Pow: return "pow";
    case Intrinsic::Step: return "step";
    case Intrinsic::Abs: return "abs";
    case Intrinsic::Floor: return "floor";
    case Intrinsic::Ceil: return "ceil";
    case Intrinsic::Frac: return "fract";
    case Intrinsic::Sqrt: return "sqrt";
    case Intrinsic::Rsqrt: return "inversesqrt";
    case Intrinsic::Exp: return "exp";
    case Intrinsic::Exp2: return "exp2";
    case Intrinsic::Log: return "log";
    case Intrinsic::Log2: return "log2";
    case Intrinsic::Sin: return "sin";
    case Intrinsic::Cos: return "cos";
    case Intrinsic::Normalize: return "normalize";
    default: return "";
    }
}

} // namespace

GlslEmitter::GlslEmitter(const Program& program, const CheckResult& checked, Profile profile)
    : mProgram(program), mChecked(checked), mProfile(profile)
{
}

std::string GlslEmitter::TypeText(const Type& type) const
{
    switch (type.kind)
    {
    case Type::Scalar: return "float";
    case Type::Vector: return "vec" + std::to_string(type.cols);
    case Type::Struct: return StructName(*type.structInfo);
    default: return "void";
    }
}

std::string GlslEmitter::VariableName(const Variable& variable) const
{
    return "v" + std::to_string(variable.id) + "_" + Escape(variable.name);
}

std::string GlslEmitter::StructName(const StructInfo& info) const
{
    return "s_" + Escape(info.name);
}

std::string GlslEmitter::MemberName(const std::string& name) const
{
    return "m_" + Escape(name);
}

std::string GlslEmitter::FunctionName(const FunctionDecl& function) const
{
    return "f_" + Escape(function.name);
}

// --- Expressions ----------------------------------------------------------
// Operators come out in parentheses; names, calls, member and component
// selections do not, so that they stay l-values and take postfixes directly.

std::string GlslEmitter::EmitUniform(const Expr& expr, const std::string& registerExpr)
{
    const Type& type = expr.type;
    std::string text = "bw_c[" + registerExpr + "]";
    if (type.Components() < 4)
        text += "." + Components(type.Components());
    return text;
}

std::string GlslEmitter::EmitArrayElement(const Expr& expr, int perElement)
{
    const Variable& variable = *expr.variable;
    const std::string index = "clamp(int(" + EmitExpr(*expr.args[1]) + "), 0, " +
                              std::to_string(variable.type.arraySize - 1) + ")";
    std::string text = "(" + std::to_string(variable.registerIndex) + " + " + index;
    if (perElement != 1)
        text += " * " + std::to_string(perElement);
    return text + ")";
}

std::string GlslEmitter::EmitMatrix(const Expr& expr)
{
    const Type& type = expr.type;
    const Variable& variable = *expr.variable;
    const std::string base = expr.kind == ExprKind::Index ? EmitArrayElement(expr, variable.type.cols)
                                                          : std::to_string(variable.registerIndex);
    mMatrixShapes.emplace(type.rows, type.cols);
    return "bw_m" + std::to_string(type.rows) + "x" + std::to_string(type.cols) + "(" + base + ")";
}

std::string GlslEmitter::EmitStructFill(const StructInfo& info, const std::string& value) const
{
    std::string text = StructName(info) + "(";
    for (size_t i = 0; i < info.members.size(); ++i)
    {
        const Type& type = info.members[i].type;
        if (i)
            text += ", ";
        if (type.kind == Type::Struct)
            text += EmitStructFill(*type.structInfo, value);
        else if (type.kind == Type::Vector)
            text += TypeText(type) + "(" + value + ")";
        else
            text += value;
    }
    return text + ")";
}

std::string GlslEmitter::EmitIntrinsic(const Expr& expr)
{
    if (expr.intrinsic == Intrinsic::Mul)
    {
        const bool matrixFirst = expr.args[0]->type.kind == Type::Matrix;
        if (matrixFirst)
            return "(" + EmitMatrix(*expr.args[0]) + " * " + EmitExpr(*expr.args[1]) + ")";
        return "(" + EmitExpr(*expr.args[0]) + " * " + EmitMatrix(*expr.args[1]) + ")";
    }
    if (expr.intrinsic == Intrinsic::Tex2D)
        return "texture(bw_s" + std::to_string(expr.variable->registerIndex) + ", " + EmitExpr(*expr.args[1]) + ")";
    if (expr.intrinsic == Intrinsic::Saturate)
        return "clamp(" + EmitExpr(*expr.args[0]) + ", 0.0, 1.0)";
    std::string text = std::string(IntrinsicName(expr.intrinsic)) + "(";
    for (size_t i = 0; i < expr.args.size(); ++i)
        text += (i ? ", " : "") + EmitExpr(*expr.args[i]);
    return text + ")";
}

std::string GlslEmitter::EmitExpr(const Expr& expr)
{
    switch (expr.kind)
    {
    case ExprKind::Literal: return FloatText(expr.value);
    case ExprKind::Name:
        if (expr.variable->storage == Variable::Uniform)
            return EmitUniform(expr, std::to_string(expr.variable->registerIndex));
        return VariableName(*expr.variable);
    case ExprKind::Member: return EmitExpr(*expr.args[0]) + "." + MemberName(expr.name);
    case ExprKind::Swizzle:
    {
        const Expr& base = *expr.args[0];
        std::string letters;
        for (int i = 0; i < expr.swizzleCount; ++i)
            letters += kComponents[expr.swizzle[i]];
        if (base.type.kind == Type::Scalar)
            return expr.swizzleCount == 1 ? EmitExpr(base) : TypeText(expr.type) + "(" + EmitExpr(base) + ")";
        return EmitExpr(base) + "." + letters;
    }
    case ExprKind::Index:
        if (expr.variable)
            return EmitUniform(expr, EmitArrayElement(expr, 1));
        return EmitExpr(*expr.args[0]) + "[clamp(int(" + EmitExpr(*expr.args[1]) + "), 0, " +
               std::to_string(expr.args[0]->type.cols - 1) + ")]";
    case ExprKind::Call:
    {
        if (expr.intrinsic != Intrinsic::None)
            return EmitIntrinsic(expr);
        std::string text = FunctionName(*expr.callee) + "(";
        for (size_t i = 0; i < expr.args.size(); ++i)
            text += (i ? ", " : "") + EmitExpr(*expr.args[i]);
        return text + ")";
    }
    case ExprKind::Construct:
    {
        std::string text = TypeText(expr.type) + "(";
        for (size_t i = 0; i < expr.args.size(); ++i)
            text += (i ? ", " : "") + EmitExpr(*expr.args[i]);
        return text + ")";
    }
    case ExprKind::Cast:
        if (expr.type.kind == Type::Struct && expr.args[0]->kind == ExprKind::Literal)
            return EmitStructFill(*expr.type.structInfo, FloatText(expr.args[0]->value));
        return EmitExpr(*expr.args[0]);
    case ExprKind::Unary: return "(" + expr.name + EmitExpr(*expr.args[0]) + ")";
    case ExprKind::Binary:
        return "(" + EmitExpr(*expr.args[0]) + " " + expr.name + " " + EmitExpr(*expr.args[1]) + ")";
    case ExprKind::Convert:
    {
        const Type& from = expr.args[0]->type;
        const std::string inner = EmitExpr(*expr.args[0]);
        if (from == expr.type)
            return inner;
        if (from.kind == Type::Scalar)
            return TypeText(expr.type) + "(" + inner + ")";
        return inner + "." + Components(expr.type.Components());
    }
    }
    return "0.0";
}

// --- Statements and functions ---------------------------------------------

void GlslEmitter::EmitStatement(const Stmt& statement, int indent, std::string& out)
{
    switch (statement.kind)
    {
    case StmtKind::Block:
        out += Indent(indent) + "{\n";
        for (const StmtPtr& inner : statement.body)
            EmitStatement(*inner, indent + 1, out);
        out += Indent(indent) + "}\n";
        break;
    case StmtKind::Decl:
        for (const Declarator& declarator : statement.declarators)
        {
            out += Indent(indent) + TypeText(declarator.variable->type) + " " + VariableName(*declarator.variable);
            if (declarator.init)
                out += " = " + EmitExpr(*declarator.init);
            out += ";\n";
        }
        break;
    case StmtKind::Assign:
        out += Indent(indent) + EmitExpr(*statement.lhs) + " " + statement.op + " " + EmitExpr(*statement.rhs) + ";\n";
        break;
    case StmtKind::Expression: out += Indent(indent) + EmitExpr(*statement.lhs) + ";\n"; break;
    case StmtKind::Return:
        out += Indent(indent) + "return";
        if (statement.rhs)
            out += " " + EmitExpr(*statement.rhs);
        out += ";\n";
        break;
    case StmtKind::Empty: break;
    }
}

void GlslEmitter::EmitFunction(const FunctionDecl& function, std::string& out)
{
    out += TypeText(function.returnType) + " " + FunctionName(function) + "(";
    for (size_t i = 0; i < function.params.size(); ++i)
    {
        const Variable& param = *function.params[i];
        if (i)
            out += ", ";
        if (param.mode == Variable::Out)
            out += "out ";
        else if (param.mode == Variable::InOut)
            out += "inout ";
        out += TypeText(param.type) + " " + VariableName(param);
    }
    out += ")\n";
    EmitStatement(*function.body, 0, out);
}

std::string GlslEmitter::BindingPath(const IoBinding& binding) const
{
    const FunctionDecl& entry = *mChecked.entry;
    std::string path = binding.param < 0 ? "bw_r" : "bw_a" + std::to_string(binding.param);
    Type type = binding.param < 0 ? entry.returnType : entry.params[binding.param]->type;
    for (int member : binding.memberPath)
    {
        const StructMember& info = type.structInfo->members[member];
        path += "." + MemberName(info.name);
        type = info.type;
    }
    return path;
}

void GlslEmitter::EmitMain(std::string& out)
{
    const FunctionDecl& entry = *mChecked.entry;
    const bool vertex = mProfile == Profile::Vertex11;
    out += "void bw_main()\n{\n";
    for (size_t i = 0; i < entry.params.size(); ++i)
        out += Indent(1) + TypeText(entry.params[i]->type) + " bw_a" + std::to_string(i) + ";\n";
    for (const IoBinding& input : mChecked.inputs)
    {
        if (input.semantic == "POSITION" && !vertex)
            continue; // declared only; never read
        std::string source = (vertex ? "bw_" : "bw_v_") + input.semantic + std::to_string(input.index);
        if (input.type.Components() < 4)
            source += "." + Components(input.type.Components());
        out += Indent(1) + BindingPath(input) + " = " + source + ";\n";
    }
    std::string call = FunctionName(entry) + "(";
    for (size_t i = 0; i < entry.params.size(); ++i)
        call += (i ? ", bw_a" : "bw_a") + std::to_string(i);
    call += ")";
    if (entry.returnType.kind == Type::Void)
        out += Indent(1) + call + ";\n";
    else
        out += Indent(1) + TypeText(entry.returnType) + " bw_r = " + call + ";\n";
    for (const IoBinding& output : mChecked.outputs)
    {
        std::string target;
        if (output.semantic == "POSITION")
            target = "bw_Position";
        else if (!vertex)
            target = "bw_Color0";
        else
            target = "bw_v_" + output.semantic + std::to_string(output.index);
        std::string value = BindingPath(output);
        switch (output.type.Components())
        {
        case 1: value = "vec4(" + value + ", 0.0, 0.0, 1.0)"; break;
        case 2: value = "vec4(" + value + ", 0.0, 1.0)"; break;
        case 3: value = "vec4(" + value + ", 1.0)"; break;
        default: break;
        }
        out += Indent(1) + target + " = " + value + ";\n";
    }
    out += "}\n";
}

std::string GlslEmitter::Emit()
{
    const bool vertex = mProfile == Profile::Vertex11;

    // Functions first: they tell which matrix shapes need a helper.
    std::string functions;
    for (const FunctionDecl* function : mChecked.functions)
        EmitFunction(*function, functions);
    EmitMain(functions);

    std::string out;
    for (const auto& info : mProgram.structs)
    {
        out += "struct " + StructName(*info) + "\n{\n";
        for (const StructMember& member : info->members)
            out += Indent(1) + TypeText(member.type) + " " + MemberName(member.name) + ";\n";
        out += "};\n";
    }
    if (mChecked.constantRegisters > 0)
        out += "uniform vec4 bw_c[" + std::to_string(mChecked.constantRegisters) + "];\n";
    // Matrices are packed by columns, one register per column, so a column
    // is a register cut to the matrix's row count.
    for (const auto& shape : mMatrixShapes)
    {
        const int rows = shape.first;
        const int cols = shape.second;
        const std::string glslType =
            rows == cols ? "mat" + std::to_string(cols) : "mat" + std::to_string(cols) + "x" + std::to_string(rows);
        out += glslType + " bw_m" + std::to_string(rows) + "x" + std::to_string(cols) + "(int b)\n{\n" + Indent(1) +
               "return " + glslType + "(";
        for (int c = 0; c < cols; ++c)
        {
            out += (c ? ", bw_c[b + " : "bw_c[b + ") + std::to_string(c) + "]";
            if (rows < 4)
                out += "." + Components(rows);
        }
        out += ");\n}\n";
    }
    for (const Variable* constant : mChecked.constants)
        if (constant->storage == Variable::SamplerObject)
            out += "uniform sampler2D bw_s" + std::to_string(constant->registerIndex) + ";\n";
    for (const IoBinding& input : mChecked.inputs)
    {
        if (vertex)
            out += "in vec4 bw_" + input.semantic + std::to_string(input.index) + ";\n";
        else if (input.semantic != "POSITION")
            out += "in vec4 bw_v_" + input.semantic + std::to_string(input.index) + ";\n";
    }
    if (vertex)
    {
        for (const IoBinding& output : mChecked.outputs)
            if (output.semantic != "POSITION")
                out += "out vec4 bw_v_" + output.semantic + std::to_string(output.index) + ";\n";
        out += "vec4 bw_Position;\n";
    }
    else
        out += "vec4 bw_Color0;\n";
    return out + functions;
}

} // namespace hlsl
} // namespace d3d9
