#include "Core/Base/StringTokenizer.h"

#include "Core/Base/ParseText.h"

StringTokenizer::StringTokenizer(const std::string& text, const std::string& delimiters, bool skipEmpty)
    : mText(text), mDelimiters(delimiters), mSkipEmpty(skipEmpty), mPosition(0)
{
}

bool StringTokenizer::Next(std::string& token)
{
    while (mPosition <= mText.size())
    {
        // A text that ends on a delimiter has no empty token after it.
        if (mPosition == mText.size() && (mText.empty() || mDelimiters.find(mText.back()) != std::string::npos))
            break;
        size_t end = mText.find_first_of(mDelimiters, mPosition);
        if (end == std::string::npos)
            end = mText.size();
        std::string found = mText.substr(mPosition, end - mPosition);
        mPosition = end + 1;
        if (found.empty() && mSkipEmpty)
            continue;
        token = found;
        return true;
    }
    mPosition = mText.size() + 1;
    return false;
}

StringTokenizer& StringTokenizer::ReadInt(int& out)
{
    std::string token;
    if (Next(token))
        out = base::ParseInt(token.c_str());
    return *this;
}

StringTokenizer& StringTokenizer::ReadFloat(float& out)
{
    std::string token;
    if (Next(token))
        out = static_cast<float>(base::ParseDouble(token.c_str()));
    return *this;
}
