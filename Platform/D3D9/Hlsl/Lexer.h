#pragma once

// Splits HLSL text into tokens: identifiers, numbers, punctuation. Comments
// and white space are dropped; anything else is an error at its position.

#include "Platform/D3D9/Hlsl/Diagnostics.h"

#include <string>
#include <vector>

namespace d3d9
{
namespace hlsl
{

enum class TokenKind
{
    End,
    Identifier,
    Number,
    Punct,
};

struct Token
{
    TokenKind kind = TokenKind::End;
    std::string text;
    double number = 0.0;
    bool isFloat = false; // written with a point, an exponent or a float suffix
    SourcePos pos;
};

class Lexer
{
public:
    // Longer identifiers are refused; nothing needs them and they would only
    // inflate messages and generated code.
    static constexpr size_t kMaxIdentifier = 256;

    Lexer(const char* text, size_t length, Diagnostics& diagnostics);

    // The tokens, ending with one End token; false (with an error) when the
    // text holds something that is not a token.
    bool Tokenize(std::vector<Token>& out);

private:
    bool SkipSpaceAndComments();
    bool ReadNumber(Token& token);
    void ReadPunct(Token& token);
    char Peek(size_t ahead = 0) const;
    void Advance(size_t count = 1);

    const char* mText;
    size_t mLength;
    size_t mAt = 0;
    SourcePos mPos;
    Diagnostics& mDiagnostics;
};

} // namespace hlsl
} // namespace d3d9
