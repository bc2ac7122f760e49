#include "Platform/D3D9/Hlsl/Parser.h"

#include <cstring>

namespace d3d9
{
namespace hlsl
{

namespace
{

// Words that cannot name a variable, function or member here; those that
// start a construct outside the subset are refused where they appear.
const char* const kReserved[] = {
    "if", "else", "for", "while", "do", "switch", "case", "default", "break", "continue", "return",
    "discard", "struct", "static", "const", "in", "out", "inout", "uniform", "extern", "shared",
    "volatile", "typedef", "true", "false", "sampler_state", "register", "packoffset", "technique",
    "pass", "compile", "row_major", "column_major", "inline", "linear", "centroid", "nointerpolation",
    "noperspective", "cbuffer", "tbuffer", "namespace", "class", "interface", "asm",
};

bool IsReserved(const std::string& word)
{
    for (const char* reserved : kReserved)
        if (word == reserved)
            return true;
    return false;
}

bool EqualsNoCase(const std::string& a, const char* b)
{
    if (a.size() != std::strlen(b))
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if ((a[i] | 0x20) != (b[i] | 0x20))
            return false;
    return true;
}

} // namespace

// Counts one level of nesting for as long as a parse function runs.
struct Parser::Nest
{
    explicit Nest(Parser& parser) : mParser(parser) { ++mParser.mNesting; }
    ~Nest() { --mParser.mNesting; }
    Parser& mParser;
};

Parser::Parser(const std::vector<Token>& tokens, Diagnostics& diagnostics, Program& program)
    : mTokens(tokens), mDiagnostics(diagnostics), mProgram(program)
{
}

bool Parser::IsBuiltinTypeName(const std::string& name)
{
    static const char* const kObjects[] = {"void", "texture", "texture1D", "texture2D", "texture3D",
                                           "textureCUBE", "sampler", "sampler1D", "sampler2D",
                                           "sampler3D", "samplerCUBE", "matrix", "vector", "string"};
    for (const char* object : kObjects)
        if (name == object)
            return true;
    static const char* const kScalars[] = {"float", "half", "double", "int", "uint", "bool", "dword",
                                           "min16float", "min10float", "min16int", "min12int", "min16uint"};
    for (const char* scalar : kScalars)
    {
        const size_t length = std::strlen(scalar);
        if (name.compare(0, length, scalar) != 0)
            continue;
        const std::string rest = name.substr(length);
        auto dim = [](char c) { return c >= '1' && c <= '4'; };
        if (rest.empty() || (rest.size() == 1 && dim(rest[0])) ||
            (rest.size() == 3 && dim(rest[0]) && rest[1] == 'x' && dim(rest[2])))
            return true;
    }
    return false;
}

const Token& Parser::Peek(size_t ahead) const
{
    const size_t at = mAt + ahead;
    return at < mTokens.size() ? mTokens[at] : mTokens.back();
}

const Token& Parser::Next()
{
    const Token& token = Peek();
    if (mAt + 1 < mTokens.size())
        ++mAt;
    return token;
}

bool Parser::IsPunct(const char* text, size_t ahead) const
{
    const Token& token = Peek(ahead);
    return token.kind == TokenKind::Punct && token.text == text;
}

bool Parser::IsWord(const char* text, size_t ahead) const
{
    const Token& token = Peek(ahead);
    return token.kind == TokenKind::Identifier && token.text == text;
}

bool Parser::IsTypeName(const Token& token) const
{
    return token.kind == TokenKind::Identifier &&
           (IsBuiltinTypeName(token.text) || mStructNames.count(token.text) != 0);
}

bool Parser::Accept(const char* punct)
{
    if (!IsPunct(punct))
        return false;
    Next();
    return true;
}

bool Parser::Expect(const char* punct)
{
    if (Accept(punct))
        return true;
    return Fail(Peek());
}

bool Parser::Refuse(SourcePos pos, int code, const std::string& text)
{
    if (!mFailed)
        mDiagnostics.Error(pos, code, text);
    mFailed = true;
    return false;
}

bool Parser::Fail(const Token& at)
{
    if (at.kind == TokenKind::End)
        return Refuse(at.pos, kSyntaxError, "syntax error: unexpected end of file");
    return Refuse(at.pos, kSyntaxError, "syntax error: unexpected token '" + at.text + "'");
}

bool Parser::Unsupported(const Token& at, const std::string& what)
{
    return Refuse(at.pos, kUnsupported, what + " is not supported");
}

bool Parser::EnterNest(const Token& at)
{
    if (mNesting <= kMaxNesting)
        return true;
    return Refuse(at.pos, kSyntaxError, "syntax error: nesting too deep");
}

bool Parser::Finish(Expr& expr)
{
    int depth = 0;
    for (const ExprPtr& arg : expr.args)
        if (arg && arg->depth > depth)
            depth = arg->depth;
    expr.depth = depth + 1;
    if (expr.depth <= kMaxExprDepth)
        return true;
    return Refuse(expr.pos, kSyntaxError, "syntax error: expression too complex");
}

bool Parser::Parse()
{
    while (Peek().kind != TokenKind::End)
        if (!ParseTopLevel())
            return false;
    return !mFailed;
}

bool Parser::ParseTopLevel()
{
    if (Accept(";"))
        return true;
    if (IsWord("struct"))
        return ParseStruct();
    return ParseGlobalOrFunction();
}

bool Parser::ParseIdentifier(std::string& name, SourcePos& pos)
{
    const Token& token = Peek();
    if (token.kind != TokenKind::Identifier || IsReserved(token.text) || IsTypeName(token))
        return Fail(token);
    name = token.text;
    pos = token.pos;
    Next();
    return true;
}

bool Parser::ParseTypeSpec(TypeSpec& out)
{
    const Token& token = Peek();
    if (!IsTypeName(token))
    {
        if (token.kind == TokenKind::Identifier && !IsReserved(token.text))
            return Refuse(token.pos, kSyntaxError, "unrecognized identifier '" + token.text + "'");
        return Fail(token);
    }
    out.name = token.text;
    out.pos = token.pos;
    Next();
    if (IsPunct("<"))
        return Unsupported(Peek(), "template type syntax");
    return true;
}

bool Parser::ParseSemantic(Semantic& out)
{
    if (!Accept(":"))
        return true;
    const Token& token = Peek();
    if (token.kind != TokenKind::Identifier)
        return Fail(token);
    if (token.text == "register" || token.text == "packoffset")
        return Unsupported(token, "'" + token.text + "'");
    out.text = token.text;
    out.pos = token.pos;
    out.present = true;
    Next();
    return true;
}

bool Parser::ParseArraySize(uint32_t& size)
{
    const Token& open = Peek();
    if (!Accept("["))
        return true;
    const Token& count = Peek();
    if (count.kind != TokenKind::Number || count.isFloat || count.number < 1 || count.number > 65536)
    {
        if (count.kind == TokenKind::Number)
            return Refuse(count.pos, kSyntaxError, "array dimension must be between 1 and 65536");
        return Fail(count);
    }
    (void)open;
    size = static_cast<uint32_t>(count.number);
    Next();
    return Expect("]");
}

bool Parser::ParseStruct()
{
    Next(); // struct
    auto info = std::make_unique<StructInfo>();
    if (!ParseIdentifier(info->name, info->pos) || !Expect("{"))
        return false;
    while (!IsPunct("}"))
    {
        TypeSpec typeSpec;
        if (!ParseTypeSpec(typeSpec))
            return false;
        do
        {
            StructMember member;
            member.typeSpec = typeSpec;
            if (!ParseIdentifier(member.name, member.pos))
                return false;
            if (IsPunct("["))
                return Unsupported(Peek(), "an array member");
            if (!ParseSemantic(member.semantic))
                return false;
            info->members.push_back(std::move(member));
        } while (Accept(","));
        if (!Expect(";"))
            return false;
    }
    const Token& close = Peek();
    Next();
    if (info->members.empty())
        return Refuse(close.pos, kSyntaxError, "struct '" + info->name + "' has no members");
    if (!Expect(";"))
        return false;
    mStructNames.insert(info->name);
    TopDecl decl;
    decl.kind = TopDecl::Struct;
    decl.structInfo = info.get();
    mProgram.structs.push_back(std::move(info));
    mProgram.decls.push_back(decl);
    return true;
}

bool Parser::ParseGlobalOrFunction()
{
    bool isConst = false;
    for (;;)
    {
        const Token& token = Peek();
        if (token.kind != TokenKind::Identifier)
            break;
        if (token.text == "uniform" || token.text == "extern")
            Next();
        else if (token.text == "const")
        {
            isConst = true;
            Next();
        }
        else if (token.text == "static" || token.text == "shared" || token.text == "volatile" ||
                 token.text == "row_major" || token.text == "column_major" || token.text == "inline")
            return Unsupported(token, "'" + token.text + "'");
        else
            break;
    }
    TypeSpec typeSpec;
    if (!ParseTypeSpec(typeSpec))
        return false;
    const Token& nameToken = Peek();
    std::string name;
    SourcePos pos;
    if (!ParseIdentifier(name, pos))
        return false;
    if (IsPunct("("))
    {
        if (isConst)
            return Fail(Peek());
        return ParseFunctionRest(typeSpec, nameToken);
    }
    return ParseGlobalRest(typeSpec, isConst, nameToken);
}

bool Parser::ParseGlobalRest(const TypeSpec& typeSpec, bool isConst, const Token& firstName)
{
    const Token* nameToken = &firstName;
    for (;;)
    {
        Variable* variable = mProgram.NewVariable();
        variable->storage = Variable::Uniform; // the checker settles the kind from the type
        variable->name = nameToken->text;
        variable->pos = nameToken->pos;
        variable->typeSpec = typeSpec;
        variable->isConst = isConst;
        if (!ParseArraySize(variable->typeSpec.arraySize) || !ParseSemantic(variable->semantic))
            return false;
        if (IsPunct("<"))
            return Unsupported(Peek(), "an annotation");
        if (Accept("="))
        {
            if (!IsWord("sampler_state"))
                return Unsupported(Peek(), "an initializer on a global variable");
            if (!ParseSamplerState(*variable))
                return false;
        }
        TopDecl decl;
        decl.kind = TopDecl::Global;
        decl.variable = variable;
        mProgram.decls.push_back(decl);
        if (!Accept(","))
            break;
        nameToken = &Peek();
        std::string name;
        SourcePos pos;
        if (!ParseIdentifier(name, pos))
            return false;
    }
    return Expect(";");
}

bool Parser::ParseSamplerState(Variable& sampler)
{
    Next(); // sampler_state
    if (!Expect("{"))
        return false;
    while (!Accept("}"))
    {
        const Token& key = Peek();
        if (key.kind != TokenKind::Identifier)
            return Fail(key);
        Next();
        if (!Expect("="))
            return false;
        SamplerStateEntry entry;
        entry.key = key.text;
        entry.pos = key.pos;
        const bool bracketed = IsPunct("<") || IsPunct("(");
        const char* close = IsPunct("<") ? ">" : ")";
        if (bracketed)
            Next();
        const Token& value = Peek();
        const bool isName = value.kind == TokenKind::Identifier;
        entry.textureRef = EqualsNoCase(entry.key, "texture");
        if (isName)
            entry.value = value.text;
        else if (!bracketed && !entry.textureRef && value.kind == TokenKind::Number)
            entry.value = value.text;
        else if (!bracketed && !entry.textureRef && IsPunct("-") && Peek(1).kind == TokenKind::Number)
        {
            Next();
            entry.value = "-" + Peek().text;
        }
        else
            return Fail(value);
        entry.pos = Peek().pos;
        Next();
        if (bracketed && !Expect(close))
            return false;
        sampler.samplerState.push_back(entry);
        if (!Expect(";"))
            return false;
    }
    return true;
}

bool Parser::ParseFunctionRest(const TypeSpec& returnSpec, const Token& nameToken)
{
    auto function = std::make_unique<FunctionDecl>();
    function->name = nameToken.text;
    function->pos = nameToken.pos;
    function->returnSpec = returnSpec;
    function->id = static_cast<int>(mProgram.functions.size() + 1);
    Next(); // (
    if (IsWord("void") && IsPunct(")", 1))
        Next();
    if (!IsPunct(")"))
    {
        do
        {
            if (!ParseParameter(*function))
                return false;
        } while (Accept(","));
    }
    if (!Expect(")") || !ParseSemantic(function->semantic))
        return false;
    if (IsPunct(";"))
        return Unsupported(Peek(), "a function declaration without a body");
    if (!IsPunct("{"))
        return Fail(Peek());
    function->body = ParseBlock();
    if (!function->body)
        return false;
    TopDecl decl;
    decl.kind = TopDecl::Function;
    decl.function = function.get();
    mProgram.functions.push_back(std::move(function));
    mProgram.decls.push_back(decl);
    return true;
}

bool Parser::ParseParameter(FunctionDecl& function)
{
    Variable* param = mProgram.NewVariable();
    param->storage = Variable::Param;
    for (;;)
    {
        const Token& token = Peek();
        if (token.kind != TokenKind::Identifier)
            break;
        if (token.text == "in")
            param->mode = Variable::In;
        else if (token.text == "out")
            param->mode = Variable::Out;
        else if (token.text == "inout")
            param->mode = Variable::InOut;
        else if (token.text == "const")
            param->isConst = true;
        else if (token.text == "uniform")
            return Unsupported(token, "a uniform parameter");
        else
            break;
        Next();
    }
    if (param->isConst && param->mode != Variable::In)
        return Fail(Peek());
    if (!ParseTypeSpec(param->typeSpec) || !ParseIdentifier(param->name, param->pos))
        return false;
    if (IsPunct("["))
        return Unsupported(Peek(), "an array parameter");
    if (!ParseSemantic(param->semantic))
        return false;
    if (IsPunct("="))
        return Unsupported(Peek(), "a default parameter value");
    function.params.push_back(param);
    return true;
}

StmtPtr Parser::ParseBlock()
{
    Nest nest(*this);
    if (!EnterNest(Peek()))
        return nullptr;
    auto block = std::make_unique<Stmt>();
    block->kind = StmtKind::Block;
    block->pos = Peek().pos;
    if (!Expect("{"))
        return nullptr;
    while (!Accept("}"))
    {
        if (Peek().kind == TokenKind::End)
        {
            Fail(Peek());
            return nullptr;
        }
        StmtPtr statement = ParseStatement();
        if (!statement)
            return nullptr;
        block->body.push_back(std::move(statement));
    }
    return block;
}

StmtPtr Parser::ParseStatement()
{
    const Token& first = Peek();
    if (IsPunct("{"))
        return ParseBlock();
    auto statement = std::make_unique<Stmt>();
    statement->pos = first.pos;
    if (Accept(";"))
        return statement;
    if (IsWord("return"))
    {
        Next();
        statement->kind = StmtKind::Return;
        if (!IsPunct(";"))
        {
            statement->rhs = ParseExpr();
            if (!statement->rhs)
                return nullptr;
        }
        if (!Expect(";"))
            return nullptr;
        return statement;
    }
    if (IsWord("const") || (IsTypeName(first) && Peek(1).kind == TokenKind::Identifier))
        return ParseDeclaration();
    if (first.kind == TokenKind::Identifier && IsReserved(first.text))
    {
        Fail(first);
        return nullptr;
    }

    ExprPtr target = ParseExpr();
    if (!target)
        return nullptr;
    const Token& op = Peek();
    if (op.kind == TokenKind::Punct && (op.text == "=" || op.text == "+=" || op.text == "-=" || op.text == "*=" ||
                                        op.text == "/="))
    {
        Next();
        statement->kind = StmtKind::Assign;
        statement->op = op.text;
        statement->pos = op.pos;
        statement->lhs = std::move(target);
        statement->rhs = ParseExpr();
        if (!statement->rhs)
            return nullptr;
    }
    else
    {
        statement->kind = StmtKind::Expression;
        statement->lhs = std::move(target);
    }
    if (!Expect(";"))
        return nullptr;
    return statement;
}

StmtPtr Parser::ParseDeclaration()
{
    auto statement = std::make_unique<Stmt>();
    statement->kind = StmtKind::Decl;
    statement->pos = Peek().pos;
    if (IsWord("const"))
    {
        statement->isConst = true;
        Next();
    }
    if (IsWord("static"))
    {
        Unsupported(Peek(), "'static'");
        return nullptr;
    }
    if (!ParseTypeSpec(statement->typeSpec))
        return nullptr;
    do
    {
        Declarator declarator;
        if (!ParseIdentifier(declarator.name, declarator.pos))
            return nullptr;
        if (IsPunct("["))
        {
            Unsupported(Peek(), "a local array");
            return nullptr;
        }
        if (IsPunct(":"))
        {
            Unsupported(Peek(), "a semantic on a local variable");
            return nullptr;
        }
        if (Accept("="))
        {
            if (IsPunct("{"))
            {
                Unsupported(Peek(), "an initializer list");
                return nullptr;
            }
            declarator.init = ParseExpr();
            if (!declarator.init)
                return nullptr;
        }
        statement->declarators.push_back(std::move(declarator));
    } while (Accept(","));
    if (!Expect(";"))
        return nullptr;
    return statement;
}

ExprPtr Parser::ParseExpr()
{
    Nest nest(*this);
    if (!EnterNest(Peek()))
        return nullptr;
    return ParseBinary(&Parser::ParseMultiplicative, "+", "-");
}

ExprPtr Parser::ParseMultiplicative()
{
    return ParseBinary(&Parser::ParseUnary, "*", "/");
}

ExprPtr Parser::ParseBinary(ExprPtr (Parser::*operand)(), const char* op1, const char* op2)
{
    ExprPtr left = (this->*operand)();
    while (left && (IsPunct(op1) || IsPunct(op2)))
    {
        auto binary = std::make_unique<Expr>();
        binary->kind = ExprKind::Binary;
        binary->pos = left->pos;
        binary->name = Next().text;
        binary->args.push_back(std::move(left));
        left = WithOperand(std::move(binary), (this->*operand)());
    }
    return left;
}

ExprPtr Parser::WithOperand(ExprPtr expr, ExprPtr operand)
{
    if (!operand)
        return nullptr;
    expr->args.push_back(std::move(operand));
    if (!Finish(*expr))
        return nullptr;
    return expr;
}

ExprPtr Parser::ParseUnary()
{
    Nest nest(*this);
    if (!EnterNest(Peek()))
        return nullptr;
    const Token& first = Peek();
    if (IsPunct("-") || IsPunct("+"))
    {
        Next();
        auto unary = std::make_unique<Expr>();
        unary->kind = ExprKind::Unary;
        unary->pos = first.pos;
        unary->name = first.text;
        return WithOperand(std::move(unary), ParseUnary());
    }
    if (IsPunct("(") && IsTypeName(Peek(1)) && (IsPunct(")", 2) || IsPunct("<", 2) || IsPunct("[", 2)))
    {
        if (!IsPunct(")", 2))
        {
            Unsupported(Peek(2), "this cast");
            return nullptr;
        }
        auto cast = std::make_unique<Expr>();
        cast->kind = ExprKind::Cast;
        cast->pos = first.pos;
        Next();
        ParseTypeSpec(cast->typeSpec);
        Next(); // )
        return WithOperand(std::move(cast), ParseUnary());
    }
    return ParsePostfix();
}

ExprPtr Parser::ParsePostfix()
{
    ExprPtr base = ParsePrimary();
    while (base)
    {
        if (IsPunct("."))
        {
            Next();
            const Token& member = Peek();
            if (member.kind != TokenKind::Identifier)
            {
                Fail(member);
                return nullptr;
            }
            Next();
            auto access = std::make_unique<Expr>();
            access->kind = ExprKind::Member; // the checker tells members from swizzles
            access->pos = member.pos;
            access->name = member.text;
            access->args.push_back(std::move(base));
            if (!Finish(*access))
                return nullptr;
            base = std::move(access);
        }
        else if (IsPunct("["))
        {
            const Token& open = Next();
            auto index = std::make_unique<Expr>();
            index->kind = ExprKind::Index;
            index->pos = open.pos;
            index->args.push_back(std::move(base));
            ExprPtr subscript = ParseExpr();
            if (!subscript || !Expect("]"))
                return nullptr;
            index->args.push_back(std::move(subscript));
            if (!Finish(*index))
                return nullptr;
            base = std::move(index);
        }
        else
            break;
    }
    return base;
}

ExprPtr Parser::ParsePrimary()
{
    const Token& token = Peek();
    auto expr = std::make_unique<Expr>();
    expr->pos = token.pos;
    if (token.kind == TokenKind::Number)
    {
        expr->kind = ExprKind::Literal;
        expr->value = token.number;
        Next();
        return expr;
    }
    if (IsPunct("("))
    {
        Next();
        ExprPtr inner = ParseExpr();
        if (!inner || !Expect(")"))
            return nullptr;
        return inner;
    }
    if (token.kind != TokenKind::Identifier || IsReserved(token.text))
    {
        Fail(token);
        return nullptr;
    }
    if (IsTypeName(token))
    {
        if (!IsPunct("(", 1))
        {
            Fail(Peek(1));
            return nullptr;
        }
        expr->kind = ExprKind::Construct;
        expr->typeSpec.name = token.text;
        expr->typeSpec.pos = token.pos;
        Next();
        if (!ParseArguments(*expr))
            return nullptr;
        return expr;
    }
    expr->name = token.text;
    Next();
    if (IsPunct("("))
    {
        expr->kind = ExprKind::Call;
        if (!ParseArguments(*expr))
            return nullptr;
        return expr;
    }
    expr->kind = ExprKind::Name;
    return expr;
}

bool Parser::ParseArguments(Expr& call)
{
    Next(); // (
    if (!Accept(")"))
    {
        do
        {
            ExprPtr arg = ParseExpr();
            if (!arg)
                return false;
            call.args.push_back(std::move(arg));
        } while (Accept(","));
        if (!Expect(")"))
            return false;
    }
    return Finish(call);
}

} // namespace hlsl
} // namespace d3d9
