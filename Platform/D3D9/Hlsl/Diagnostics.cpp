#include "Platform/D3D9/Hlsl/Diagnostics.h"

namespace d3d9
{
namespace hlsl
{

void Diagnostics::Error(SourcePos pos, int code, const std::string& text)
{
    ++mErrors;
    Add(pos, "error", code, text);
}

void Diagnostics::Warning(SourcePos pos, int code, const std::string& text)
{
    Add(pos, "warning", code, text);
}

void Diagnostics::Add(SourcePos pos, const char* kind, int code, const std::string& text)
{
    if (mMessages >= kMaxMessages)
        return;
    ++mMessages;
    mText += "memory(" + std::to_string(pos.line) + "," + std::to_string(pos.col) + "): " + kind + " X" +
             std::to_string(code) + ": " + text + "\n";
}

} // namespace hlsl
} // namespace d3d9
