#include "Platform/D3D9/Hlsl/Compiler.h"

#include "Platform/D3D9/Hlsl/Checker.h"
#include "Platform/D3D9/Hlsl/GlslEmitter.h"
#include "Platform/D3D9/Hlsl/Lexer.h"
#include "Platform/D3D9/Hlsl/Parser.h"
#include "Platform/D3D9/ShaderBlob.h"

#include <cstdio>
#include <cstring>

namespace d3d9
{
namespace hlsl
{

namespace
{

constexpr size_t kMaxGlslBytes = 1u << 20;

// Names given by the caller are quoted in messages; keep them short and
// printable.
std::string Quoted(const std::string& name)
{
    std::string out;
    for (size_t i = 0; i < name.size() && i < 64; ++i)
    {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 0x20 && c < 0x7F)
            out += static_cast<char>(c);
        else
        {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
            out += buffer;
        }
    }
    return out;
}

ConstantInfo Describe(const Variable& variable)
{
    ConstantInfo info;
    info.name = variable.name;
    info.registerIndex = variable.registerIndex;
    info.registerCount = variable.registerCount;
    info.elements = variable.type.arraySize ? static_cast<int>(variable.type.arraySize) : 1;
    if (variable.storage == Variable::SamplerObject)
    {
        info.sampler = true;
        info.sampler2D = variable.type.sampler2D;
        info.valueClass = ConstantInfo::Object;
        info.bytes = 4;
        return info;
    }
    const Type& type = variable.type;
    switch (type.kind)
    {
    case Type::Matrix:
        info.valueClass = ConstantInfo::MatrixColumns;
        info.rows = type.rows;
        info.cols = type.cols;
        break;
    case Type::Vector:
        info.valueClass = ConstantInfo::Vector;
        info.cols = type.cols;
        break;
    default: info.valueClass = ConstantInfo::Scalar; break;
    }
    info.bytes = info.rows * info.cols * info.elements * 4;
    return info;
}

} // namespace

CompileResult Compile(const char* text, size_t length, const std::string& entry, const std::string& profileName)
{
    CompileResult result;
    Diagnostics diagnostics;
    Profile profile;
    if (profileName == "vs_1_1")
        profile = Profile::Vertex11;
    else if (profileName == "ps_2_0")
        profile = Profile::Pixel20;
    else
    {
        diagnostics.Error(SourcePos(), kBadTarget, "unsupported compilation target '" + Quoted(profileName) + "'");
        result.messages = diagnostics.Text();
        return result;
    }
    result.vertexShader = profile == Profile::Vertex11;

    if (!text)
        length = 0;
    else if (const void* nul = std::memchr(text, '\0', length))
        length = static_cast<size_t>(static_cast<const char*>(nul) - text);

    bool entryIsName = !entry.empty() && !(entry[0] >= '0' && entry[0] <= '9');
    for (char c : entry)
        entryIsName = entryIsName && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_');

    std::vector<Token> tokens;
    Program program;
    CheckResult checked;
    Lexer lexer(text ? text : "", length, diagnostics);
    Parser parser(tokens, diagnostics, program);
    Checker checker(program, diagnostics, profile);
    bool ok = lexer.Tokenize(tokens) && parser.Parse();
    if (ok && !entryIsName)
    {
        diagnostics.Error(SourcePos(), kEntryNotFound, "'" + Quoted(entry) + "': entrypoint not found");
        ok = false;
    }
    if (!ok || !checker.Check(entry, checked))
    {
        result.messages = diagnostics.Text();
        return result;
    }

    ShaderBlob blob;
    blob.version = profile == Profile::Vertex11 ? kBlobVersionVS11 : kBlobVersionPS20;
    blob.glsl = GlslEmitter(program, checked, profile).Emit();
    // The device refuses blobs past kBlobMaxTokens; fail here, with a message.
    if (blob.glsl.size() > kMaxGlslBytes)
    {
        diagnostics.Error(checked.entry->pos, kUnsupported, "the program is too large");
        result.messages = diagnostics.Text();
        return result;
    }
    blob.constantRegisters = static_cast<DWORD>(checked.constantRegisters);
    blob.samplerMask = checked.samplerMask;
    result.code = WriteShaderBlob(blob);
    for (const Variable* constant : checked.constants)
        result.constants.push_back(Describe(*constant));
    result.messages = diagnostics.Text();
    result.ok = true;
    return result;
}

} // namespace hlsl
} // namespace d3d9
