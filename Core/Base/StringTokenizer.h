#pragma once

#include <string>

// Splits a narrow text at any of a set of delimiter characters.
class StringTokenizer
{
public:
    StringTokenizer(const std::string& text, const std::string& delimiters, bool skipEmpty);

    // The text up to the next delimiter (or the end); false once the text is
    // used up. With skipEmpty, tokens between adjacent delimiters are dropped.
    bool Next(std::string& token);

    // The next token as a number, read as the C library's atoi / atof read it
    // (0 when it does not start with one). Without a token, out is unchanged.
    StringTokenizer& ReadInt(int& out);
    StringTokenizer& ReadFloat(float& out);

private:
    std::string mText;
    std::string mDelimiters;
    bool mSkipEmpty;
    size_t mPosition;
};
