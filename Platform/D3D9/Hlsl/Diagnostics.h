#pragma once

// Messages in the shape Direct3D's compiler prints them:
//   memory(12,5): error X3004: undeclared identifier 'foo'
// one per line, in the order they were found.

#include <string>

namespace d3d9
{
namespace hlsl
{

struct SourcePos
{
    int line = 1;
    int col = 1;
};

class Diagnostics
{
public:
    // Messages past this many are dropped: bad input must not make the
    // message buffer grow without bound.
    static constexpr int kMaxMessages = 64;

    void Error(SourcePos pos, int code, const std::string& text);
    void Warning(SourcePos pos, int code, const std::string& text);

    int ErrorCount() const { return mErrors; }
    const std::string& Text() const { return mText; }

private:
    void Add(SourcePos pos, const char* kind, int code, const std::string& text);

    std::string mText;
    int mErrors = 0;
    int mMessages = 0;
};

// Error and warning numbers, as Direct3D's compiler numbers them where it
// has a matching message.
enum Code
{
    kSyntaxError = 3000,
    kRedefinition = 3003,
    kUndeclared = 3004,
    kNoMatchingFunction = 3013,
    kConstructorArgs = 3014,
    kCannotConvert = 3017,
    kInvalidSubscript = 3018,
    kTypeMismatch = 3020,
    kConstLValue = 3025,
    kConstructorType = 3037,
    kMissingReturn = 3080,
    kUnsupported = 3087,
    kIndexExpected = 3121,
    kImplicitTruncation = 3206,
    kRecursion = 3500,
    kEntryNotFound = 3501,
    kInputSemantic = 3502,
    kOutputSemantic = 3503,
    kIndexOutOfBounds = 3504,
    kBadTarget = 3539,
    kInvalidSemantic = 4502,
    kOverlappingSemantic = 4504,
    kCannotMap = 4532,
    kPositionNotWritten = 4541,
    kColorNotWritten = 4576,
    kTooManyConstants = 5589,
};

} // namespace hlsl
} // namespace d3d9
