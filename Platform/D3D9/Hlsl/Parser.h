#pragma once

// Recursive-descent parser for the HLSL subset. It stops at the first syntax
// error; nesting is bounded so that no input can exhaust the stack of the
// parser or of the passes that walk the tree after it.

#include "Platform/D3D9/Hlsl/Ast.h"
#include "Platform/D3D9/Hlsl/Lexer.h"

#include <set>
#include <string>
#include <vector>

namespace d3d9
{
namespace hlsl
{

class Parser
{
public:
    // Blocks, parentheses and unary operators nested deeper than this are
    // refused, as is an expression tree higher than kMaxExprDepth.
    static constexpr int kMaxNesting = 256;
    static constexpr int kMaxExprDepth = 128;

    Parser(const std::vector<Token>& tokens, Diagnostics& diagnostics, Program& program);

    bool Parse();

    // Names that start a type in this subset or that HLSL reserves for types
    // it does not support (the checker reports those).
    static bool IsBuiltinTypeName(const std::string& name);

private:
    struct Nest;

    const Token& Peek(size_t ahead = 0) const;
    const Token& Next();
    bool IsPunct(const char* text, size_t ahead = 0) const;
    bool IsWord(const char* text, size_t ahead = 0) const;
    bool IsTypeName(const Token& token) const;
    bool Accept(const char* punct);
    bool Expect(const char* punct);
    // Reports the first error only; false, so that callers can return it.
    bool Refuse(SourcePos pos, int code, const std::string& text);
    bool Fail(const Token& at);
    bool Unsupported(const Token& at, const std::string& what);
    bool EnterNest(const Token& at);

    bool ParseTopLevel();
    bool ParseStruct();
    bool ParseGlobalOrFunction();
    bool ParseGlobalRest(const TypeSpec& typeSpec, bool isConst, const Token& nameToken);
    bool ParseFunctionRest(const TypeSpec& returnSpec, const Token& nameToken);
    bool ParseParameter(FunctionDecl& function);
    bool ParseTypeSpec(TypeSpec& out);
    bool ParseIdentifier(std::string& name, SourcePos& pos);
    bool ParseSemantic(Semantic& out);
    bool ParseSamplerState(Variable& sampler);
    bool ParseArraySize(uint32_t& size);

    StmtPtr ParseBlock();
    StmtPtr ParseStatement();
    StmtPtr ParseDeclaration();

    ExprPtr ParseExpr();
    ExprPtr ParseMultiplicative();
    // A left-associative chain of op1 and op2 over what operand parses.
    ExprPtr ParseBinary(ExprPtr (Parser::*operand)(), const char* op1, const char* op2);
    // Adds the last operand and checks the depth; null when either failed.
    ExprPtr WithOperand(ExprPtr expr, ExprPtr operand);
    ExprPtr ParseUnary();
    ExprPtr ParsePostfix();
    ExprPtr ParsePrimary();
    bool ParseArguments(Expr& call);
    // Sets the node's depth from its operands; false when it is too deep.
    bool Finish(Expr& expr);

    const std::vector<Token>& mTokens;
    size_t mAt = 0;
    Diagnostics& mDiagnostics;
    Program& mProgram;
    std::set<std::string> mStructNames;
    int mNesting = 0;
    bool mFailed = false;
};

} // namespace hlsl
} // namespace d3d9
