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

    const String& GetResult() const
    {
        Flush();
        return mResultString;
    }
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

    void Start(const C* text, size_t length);

    // Output goes through a fixed buffer first, so that a short result costs
    // one allocation at most instead of one per growth step.
    void Put(C c)
    {
        if (mPendingLength == kPending)
            Flush();
        mPending[mPendingLength++] = c;
    }
    void Put(const C* text, size_t count);
    void PutFill(size_t count, C c);
    void Flush() const;

    static Handler sTable[128];
    static bool sTableBuilt;

    // Short formats are kept inline: most are a few characters.
    static const uint32_t kInlineFormat = 32;
    static const uint32_t kPending = 64;
    C mInlineFormat[kInlineFormat];
    String mLongFormat;
    mutable C mPending[kPending];
    mutable uint32_t mPendingLength = 0;

protected:
    const C* mFormat = nullptr;
    uint32_t mLength = 0;
    uint32_t mPosition = 0;
    uint8_t mBadFormat = 0;
    uint8_t mExhausted = 0;
    mutable String mResultString;
};

template <class C>
typename Format<C>::Handler Format<C>::sTable[128];
template <class C>
bool Format<C>::sTableBuilt = false;

template <class C>
Format<C>::Format(const C* format)
{
    Start(format, format ? std::char_traits<C>::length(format) : 0);
}

template <class C>
Format<C>::Format(const String& format)
{
    Start(format.data(), format.size());
}

template <class C>
void Format<C>::Start(const C* text, size_t length)
{
    // Formats longer than 32 bits of positions are not parsed past that point.
    if (length > 0xFFFFFFF0u)
        length = 0xFFFFFFF0u;
    if (length < kInlineFormat)
    {
        for (size_t i = 0; i < length; ++i)
            mInlineFormat[i] = text[i];
        mFormat = mInlineFormat;
    }
    else
    {
        mLongFormat.assign(text, length);
        mFormat = mLongFormat.data();
    }
    mLength = static_cast<uint32_t>(length);
    mExhausted = ParseNext() ? 1 : 0;
}

template <class C>
void Format<C>::Put(const C* text, size_t count)
{
    if (count > kPending - mPendingLength)
    {
        Flush();
        if (count > kPending)
        {
            mResultString.append(text, count);
            return;
        }
    }
    // A plain loop: the pieces are a few characters, below what a library
    // copy call pays off for.
    C* to = mPending + mPendingLength;
    for (size_t i = 0; i < count; ++i)
        to[i] = text[i];
    mPendingLength += static_cast<uint32_t>(count);
}

template <class C>
void Format<C>::PutFill(size_t count, C c)
{
    if (count > kPending - mPendingLength)
    {
        Flush();
        if (count > kPending)
        {
            mResultString.append(count, c);
            return;
        }
    }
    C* to = mPending + mPendingLength;
    for (size_t i = 0; i < count; ++i)
        to[i] = c;
    mPendingLength += static_cast<uint32_t>(count);
}

template <class C>
void Format<C>::Flush() const
{
    if (mPendingLength == 0)
        return;
    mResultString.append(mPending, mPendingLength);
    mPendingLength = 0;
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
    const uint32_t end = mLength;
    while (mPosition < end)
    {
        // Literal text up to the next '%' goes out in one piece.
        const uint32_t literal = mPosition;
        while (mPosition < end && mFormat[mPosition] != C('%'))
            ++mPosition;
        if (mPosition > literal)
            Put(mFormat + literal, mPosition - literal);
        if (mPosition >= end)
            break;
        C c = mFormat[mPosition];
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
        Put(state.mCurrent);
        ++mPosition;
    }
    return true;
}

template <class C>
void Format<C>::FormatArg(uint32_t value)
{
    // Written from the end backwards: least significant digit first, prefix
    // last. 32 binary digits and a prefix fit.
    C text[40];
    C* const textEnd = text + 40;
    C* p = textEnd;
    const char* digits = mUpperCase ? "0123456789ABCDEF" : "0123456789abcdef";
    if (mBase == 0)
    {
        do
        {
            *--p = static_cast<C>('0' + value % 10);
            value /= 10;
        } while (value != 0);
    }
    else
    {
        const uint32_t shift = mBase == 1 ? 4 : mBase == 2 ? 3 : 1;
        const uint32_t mask = (1u << shift) - 1;
        do
        {
            *--p = static_cast<C>(digits[value & mask]);
            value >>= shift;
        } while (value != 0);
    }
    if (mAlternate && mBase == 1)
    {
        *--p = static_cast<C>(mUpperCase ? 'X' : 'x');
        *--p = C('0');
    }
    else if (mAlternate && mBase == 2)
        *--p = C('0');
    const size_t length = static_cast<size_t>(textEnd - p);

    if (mWidth <= length)
        Put(p, length);
    else if (!mZero)
        AppendPadded(p, length);
    else
    {
        size_t start = 0;
        if (length >= 3 && p[0] == C('0') && (p[1] == C('x') || p[1] == C('X')))
        {
            Put(C('0'));
            Put(C('x'));
            start = 2;
        }
        PutFill(mWidth - length, C('0'));
        Put(p + start, length - start);
    }
}

template <class C>
void Format<C>::AppendPadded(const C* text, size_t count)
{
    if (mWidth <= count)
    {
        Put(text, count);
        return;
    }
    const size_t pad = mWidth - count;
    if (mAlignment == 1)
    {
        Put(text, count);
        PutFill(pad, C(' '));
    }
    else if (mAlignment == 2)
    {
        PutFill(pad / 2, C(' '));
        Put(text, count);
        PutFill(pad - pad / 2, C(' '));
    }
    else
    {
        PutFill(pad, C(' '));
        Put(text, count);
    }
}

template <class C>
void Format<C>::AppendTail()
{
    if (mPosition < mLength)
        Put(mFormat + mPosition, mLength - mPosition);
    mPosition = mLength;
}

} // namespace base
