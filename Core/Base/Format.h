#pragma once

// printf-like formatting with two argument kinds, an unsigned 32-bit integer
// and a text:
//
//   base::Format<wchar_t> f(L"%d/%d");
//   f % done % goal;
//   f.AppendTail();
//   std::wstring text = f.GetResult();
//
// Flags ' ', '#', '+', '-' (left), '=' (centred), '0'; width; precision;
// length letters h, l, L; conversions d i u c n p s, x X (hexadecimal), o
// (octal), b (binary), e E f g G (parsed, printed as integers). Precision and
// the '+' and ' ' flags are parsed and have no effect.

#include <cstdint>
#include <string>
#include <type_traits>

namespace base
{

// The conversion being filled; reset before each search for the next one.
struct FormatSpec
{
    uint32_t mWidth = 0;
    uint32_t mPrecision = 0;
    uint8_t mZero = 0;
    uint8_t mPlus = 0;
    uint8_t mSpace = 0;
    uint8_t mUpperCase = 0;
    uint8_t mAlternate = 0;
    uint32_t mFloatStyle = 0; // 0 general, 1 exponent, 2 fixed
    uint32_t mAlignment = 0;  // 0 right, 1 left, 2 centred
    uint32_t mBase = 0;       // 0 decimal, 1 hexadecimal, 2 octal, 3 binary
};

// A width read from the format is capped here: formats can come from outside
// text (compiler messages in log lines), and "%4000000000d" must not ask for
// gigabytes of padding.
const uint32_t FormatMaxWidth = 1024;

template <class C>
class Format : protected FormatSpec
{
public:
    typedef std::basic_string<C> String;

    explicit Format(const C* format);
    explicit Format(const String& format);
    Format(const Format&) = delete;
    Format& operator=(const Format&) = delete;

    // Fills the current conversion with an integer; ignored once the format
    // is exhausted.
    Format& operator%(const uint32_t& value);
    // Fills the current conversion with a text, padded to its width.
    Format& operator%(const String& text);

    // Appends the text padded to the conversion's width (spaces only).
    void AppendPadded(const C* text, size_t count);
    // Appends the rest of the format unchanged; call it after the last argument.
    void AppendTail();

    const String& GetResult() const { return mResultString; }
    bool IsBadFormat() const { return mBadFormat != 0; }
    bool IsExhausted() const { return mExhausted != 0; }

protected:
    // Copies literal text up to the next complete conversion; answers true
    // when the format holds none.
    bool ParseNext();
    void FormatArg(uint32_t value);

private:
    // Kept while one conversion is parsed; cleared at each '%'.
    struct ParseState
    {
        uint32_t mPreviousRank = 0;
        bool mDigitSeen = false;
        uint32_t mWidth = 0;
        bool mDotSeen = false;
        uint32_t mPrecision = 0;
        C mCurrent = 0;
        bool mAlternate = false;
    };

    enum Rank : uint32_t
    {
        RankReject = 0,
        RankFlag = 1,
        RankWidth = 2,
        RankLength = 4,
        RankConversion = 5,
    };

    typedef uint32_t (*Handler)(Format& format, ParseState& state);

    static void BuildTable();
    static uint32_t Reject(Format&, ParseState&) { return RankReject; }
    static uint32_t Digit(Format& format, ParseState& state);
    static uint32_t Zero(Format& format, ParseState& state);
    static uint32_t Dot(Format& format, ParseState& state);

    void Start();

    static Handler sTable[128];
    static bool sTableBuilt;

protected:
    String mFormat;
    uint32_t mPosition = 0;
    uint8_t mBadFormat = 0;
    uint8_t mExhausted = 0;
    String mResultString;
};

template <class C>
typename Format<C>::Handler Format<C>::sTable[128];
template <class C>
bool Format<C>::sTableBuilt = false;

template <class C>
Format<C>::Format(const C* format) : mFormat(format ? format : String())
{
    Start();
}

template <class C>
Format<C>::Format(const String& format) : mFormat(format)
{
    Start();
}

template <class C>
void Format<C>::Start()
{
    // Formats longer than 32 bits of positions are not parsed past that point.
    if (mFormat.size() > 0xFFFFFFF0u)
        mFormat.resize(0xFFFFFFF0u);
    mExhausted = ParseNext() ? 1 : 0;
}

template <class C>
Format<C>& Format<C>::operator%(const uint32_t& value)
{
    if (!mExhausted)
    {
        FormatArg(value);
        mExhausted = ParseNext() ? 1 : 0;
    }
    return *this;
}

template <class C>
Format<C>& Format<C>::operator%(const String& text)
{
    if (!mExhausted)
    {
        AppendPadded(text.data(), text.size());
        mExhausted = ParseNext() ? 1 : 0;
    }
    return *this;
}

template <class C>
uint32_t Format<C>::Digit(Format&, ParseState& state)
{
    state.mDigitSeen = true;
    const uint32_t digit = static_cast<uint32_t>(state.mCurrent - C('0'));
    uint32_t& accumulator = state.mDotSeen ? state.mPrecision : state.mWidth;
    // Saturate instead of wrapping; the width is capped again when copied.
    const uint64_t next = static_cast<uint64_t>(accumulator) * 10 + digit;
    accumulator = next > FormatMaxWidth ? FormatMaxWidth : static_cast<uint32_t>(next);
    return RankWidth;
}

template <class C>
uint32_t Format<C>::Zero(Format& format, ParseState& state)
{
    if (!state.mDigitSeen)
    {
        format.mZero = 1;
        return RankFlag;
    }
    return Digit(format, state);
}

template <class C>
uint32_t Format<C>::Dot(Format&, ParseState& state)
{
    state.mDigitSeen = true;
    if (state.mDotSeen)
        return RankReject;
    state.mDotSeen = true;
    return RankWidth;
}

template <class C>
void Format<C>::BuildTable()
{
    for (Handler& handler : sTable)
        handler = &Reject;
    auto at = [](char c) -> Handler& { return sTable[static_cast<unsigned char>(c)]; };
    at(' ') = [](Format& f, ParseState&) -> uint32_t { f.mSpace = 1; return RankFlag; };
    at('#') = [](Format&, ParseState& s) -> uint32_t { s.mAlternate = true; return RankFlag; };
    at('+') = [](Format& f, ParseState&) -> uint32_t { f.mPlus = 1; return RankFlag; };
    at('-') = [](Format& f, ParseState&) -> uint32_t { f.mAlignment = 1; return RankFlag; };
    at('=') = [](Format& f, ParseState&) -> uint32_t { f.mAlignment = 2; return RankFlag; };
    at('0') = &Zero;
    for (char c = '1'; c <= '9'; ++c)
        at(c) = &Digit;
    at('.') = &Dot;
    for (char c : {'h', 'l', 'L'})
        at(c) = [](Format&, ParseState&) -> uint32_t { return RankLength; };
    for (char c : {'c', 'd', 'i', 'n', 'p', 's', 'u'})
        at(c) = [](Format&, ParseState&) -> uint32_t { return RankConversion; };
    at('e') = [](Format& f, ParseState&) -> uint32_t { f.mFloatStyle = 1; return RankConversion; };
    at('E') = [](Format& f, ParseState&) -> uint32_t {
        f.mFloatStyle = 1;
        f.mUpperCase = 1;
        return RankConversion;
    };
    at('f') = [](Format& f, ParseState&) -> uint32_t { f.mFloatStyle = 2; return RankConversion; };
    at('g') = [](Format& f, ParseState&) -> uint32_t { f.mFloatStyle = 0; return RankConversion; };
    at('G') = [](Format& f, ParseState&) -> uint32_t {
        f.mFloatStyle = 0;
        f.mUpperCase = 1;
        return RankConversion;
    };
    at('o') = [](Format& f, ParseState&) -> uint32_t { f.mBase = 2; return RankConversion; };
    at('b') = [](Format& f, ParseState&) -> uint32_t { f.mBase = 3; return RankConversion; };
    at('x') = [](Format& f, ParseState&) -> uint32_t { f.mBase = 1; return RankConversion; };
    at('X') = [](Format& f, ParseState&) -> uint32_t {
        f.mBase = 1;
        f.mUpperCase = 1;
        return RankConversion;
    };
    sTableBuilt = true;
}

template <class C>
bool Format<C>::ParseNext()
{
    if (!sTableBuilt)
        BuildTable();
    static_cast<FormatSpec&>(*this) = FormatSpec();

    typedef typename std::make_unsigned<C>::type Code;
    const uint32_t end = static_cast<uint32_t>(mFormat.size());
    while (mPosition < end)
    {
        C c = mFormat[mPosition];
        if (c == C('%'))
        {
            ++mPosition;
            ParseState state;
            state.mCurrent = c;
            if (mPosition < end)
            {
                bool ranOut = false;
                for (;;)
                {
                    state.mCurrent = mFormat[mPosition];
                    // Indexed unsigned: a narrow byte above 0x7F must not index
                    // below the table.
                    const auto code = static_cast<Code>(state.mCurrent);
                    if (code == 0 || code >= 128)
                        break;
                    const uint32_t rank = sTable[code](*this, state);
                    if (rank == RankConversion)
                    {
                        ++mPosition;
                        mWidth = state.mWidth > FormatMaxWidth ? FormatMaxWidth : state.mWidth;
                        mPrecision = state.mPrecision;
                        mAlternate = state.mAlternate ? 1 : 0;
                        return false;
                    }
                    if (rank == RankReject || rank < state.mPreviousRank)
                        break;
                    ++mPosition;
                    state.mPreviousRank = rank;
                    if (mPosition >= end)
                    {
                        ranOut = true;
                        break;
                    }
                }
                if (!ranOut && state.mCurrent != C('%'))
                    mBadFormat = 1;
            }
            c = state.mCurrent;
        }
        mResultString.push_back(c);
        ++mPosition;
    }
    return true;
}

template <class C>
void Format<C>::FormatArg(uint32_t value)
{
    // Least significant digit first, prefix last, so that the reversed
    // buffer reads naturally.
    C buffer[260];
    size_t length = 0;
    const char* digits = mUpperCase ? "0123456789ABCDEF" : "0123456789abcdef";
    const uint32_t radix = mBase == 1 ? 16 : mBase == 2 ? 8 : mBase == 3 ? 2 : 10;
    do
    {
        buffer[length++] = static_cast<C>(digits[value % radix]);
        value /= radix;
    } while (value != 0);
    if (mAlternate && mBase == 1)
    {
        buffer[length++] = static_cast<C>(mUpperCase ? 'X' : 'x');
        buffer[length++] = C('0');
    }
    else if (mAlternate && mBase == 2)
        buffer[length++] = C('0');

    C text[260];
    for (size_t i = 0; i < length; ++i)
        text[i] = buffer[length - 1 - i];

    if (mWidth <= length)
        mResultString.append(text, length);
    else if (!mZero)
        AppendPadded(text, length);
    else
    {
        size_t start = 0;
        if (length >= 3 && text[0] == C('0') && (text[1] == C('x') || text[1] == C('X')))
        {
            mResultString.push_back(C('0'));
            mResultString.push_back(C('x'));
            start = 2;
        }
        mResultString.append(mWidth - length, C('0'));
        mResultString.append(text + start, length - start);
    }
}

template <class C>
void Format<C>::AppendPadded(const C* text, size_t count)
{
    if (mWidth <= count)
    {
        mResultString.append(text, count);
        return;
    }
    const size_t pad = mWidth - count;
    if (mAlignment == 1)
    {
        mResultString.append(text, count);
        mResultString.append(pad, C(' '));
    }
    else if (mAlignment == 2)
    {
        mResultString.append(pad / 2, C(' '));
        mResultString.append(text, count);
        mResultString.append(pad - pad / 2, C(' '));
    }
    else
    {
        mResultString.append(pad, C(' '));
        mResultString.append(text, count);
    }
}

template <class C>
void Format<C>::AppendTail()
{
    if (mPosition < mFormat.size())
        mResultString.append(mFormat, mPosition, String::npos);
    mPosition = static_cast<uint32_t>(mFormat.size());
}

} // namespace base
