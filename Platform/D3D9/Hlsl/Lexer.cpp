#include "Platform/D3D9/Hlsl/Lexer.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace d3d9
{
namespace hlsl
{

namespace
{

bool IsIdentStart(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsHexDigit(char c)
{
    return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsIdentChar(char c)
{
    return IsIdentStart(c) || IsDigit(c);
}

std::string Printable(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F)
        return std::string(1, c);
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "\\x%02X", u);
    return buffer;
}

} // namespace

Lexer::Lexer(const char* text, size_t length, Diagnostics& diagnostics)
    : mText(text), mLength(length), mDiagnostics(diagnostics)
{
}

char Lexer::Peek(size_t ahead) const
{
    return mAt + ahead < mLength ? mText[mAt + ahead] : '\0';
}

void Lexer::Advance(size_t count)
{
    for (; count > 0 && mAt < mLength; --count, ++mAt)
    {
        if (mText[mAt] == '\n')
        {
            ++mPos.line;
            mPos.col = 1;
        }
        else
            ++mPos.col;
    }
}

bool Lexer::SkipSpaceAndComments()
{
    while (mAt < mLength)
    {
        const char c = Peek();
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v')
            Advance();
        else if (c == '/' && Peek(1) == '/')
        {
            while (mAt < mLength && Peek() != '\n')
                Advance();
        }
        else if (c == '/' && Peek(1) == '*')
        {
            const SourcePos start = mPos;
            Advance(2);
            while (mAt < mLength && !(Peek() == '*' && Peek(1) == '/'))
                Advance();
            if (mAt >= mLength)
            {
                mDiagnostics.Error(start, kSyntaxError, "syntax error: unterminated comment");
                return false;
            }
            Advance(2);
        }
        else
            break;
    }
    return true;
}

bool Lexer::ReadNumber(Token& token)
{
    const size_t start = mAt;
    token.kind = TokenKind::Number;
    double value = 0.0;
    bool ok = true;

    if (Peek() == '0' && (Peek(1) == 'x' || Peek(1) == 'X'))
    {
        Advance(2);
        if (!IsHexDigit(Peek()))
            ok = false;
        while (IsHexDigit(Peek()))
        {
            const char c = Peek();
            const int digit = IsDigit(c) ? c - '0' : (c | 0x20) - 'a' + 10;
            value = value * 16.0 + digit;
            Advance();
        }
        while (Peek() == 'u' || Peek() == 'U' || Peek() == 'l' || Peek() == 'L')
            Advance();
    }
    else
    {
        while (IsDigit(Peek()))
            Advance();
        if (Peek() == '.')
        {
            token.isFloat = true;
            Advance();
            while (IsDigit(Peek()))
                Advance();
        }
        if ((Peek() == 'e' || Peek() == 'E') &&
            (IsDigit(Peek(1)) || ((Peek(1) == '+' || Peek(1) == '-') && IsDigit(Peek(2)))))
        {
            token.isFloat = true;
            Advance(2);
            while (IsDigit(Peek()))
                Advance();
        }
        const size_t end = mAt;
        const std::from_chars_result parsed =
            std::from_chars(mText + start, mText + end, value, std::chars_format::general);
        if (parsed.ec != std::errc() || parsed.ptr != mText + end)
            ok = false;
        const char suffix = Peek();
        if (suffix == 'f' || suffix == 'F' || suffix == 'h' || suffix == 'H')
        {
            token.isFloat = true;
            Advance();
        }
        else if (!token.isFloat && (suffix == 'u' || suffix == 'U' || suffix == 'l' || suffix == 'L'))
            Advance();
    }

    token.text.assign(mText + start, mAt - start);
    if (IsIdentChar(Peek()) || Peek() == '.')
        ok = false;
    if (ok && !(std::isfinite(value) && value <= FLT_MAX))
    {
        mDiagnostics.Error(token.pos, kSyntaxError, "numeric literal '" + token.text + "' is out of range");
        return false;
    }
    if (!ok)
    {
        mDiagnostics.Error(token.pos, kSyntaxError, "syntax error: invalid numeric literal");
        return false;
    }
    token.number = value;
    return true;
}

void Lexer::ReadPunct(Token& token)
{
    static const char* const kTwoChar[] = {"+=", "-=", "*=", "/=", "%=", "==", "!=", "<=", ">=",
                                           "&&", "||", "++", "--", "<<", ">>", "::", "->"};
    token.kind = TokenKind::Punct;
    for (const char* two : kTwoChar)
    {
        if (Peek() == two[0] && Peek(1) == two[1])
        {
            token.text = two;
            Advance(2);
            return;
        }
    }
    token.text.assign(1, Peek());
    Advance();
}

bool Lexer::Tokenize(std::vector<Token>& out)
{
    static const std::string kPunct = "{}()[];,.:=<>+-*/%!?&|^~";
    out.clear();
    for (;;)
    {
        if (!SkipSpaceAndComments())
            return false;
        Token token;
        token.pos = mPos;
        if (mAt >= mLength)
        {
            out.push_back(token);
            return true;
        }
        const char c = Peek();
        if (IsIdentStart(c))
        {
            const size_t start = mAt;
            while (IsIdentChar(Peek()))
                Advance();
            if (mAt - start > kMaxIdentifier)
            {
                mDiagnostics.Error(token.pos, kSyntaxError, "syntax error: identifier too long");
                return false;
            }
            token.kind = TokenKind::Identifier;
            token.text.assign(mText + start, mAt - start);
        }
        else if (IsDigit(c) || (c == '.' && IsDigit(Peek(1))))
        {
            if (!ReadNumber(token))
                return false;
        }
        else if (c == '#')
        {
            mDiagnostics.Error(token.pos, kSyntaxError, "syntax error: preprocessor directives are not supported");
            return false;
        }
        else if (kPunct.find(c) != std::string::npos)
            ReadPunct(token);
        else
        {
            mDiagnostics.Error(token.pos, kSyntaxError, "syntax error: unexpected character '" + Printable(c) + "'");
            return false;
        }
        out.push_back(std::move(token));
    }
}

} // namespace hlsl
} // namespace d3d9
