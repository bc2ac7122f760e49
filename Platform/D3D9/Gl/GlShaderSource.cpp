#include "Platform/D3D9/Gl/GlShaderSource.h"

#include <cctype>

namespace d3d9
{
namespace gl
{
namespace
{

bool IsIdentifierChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Identifiers and single punctuation characters, comments skipped.
std::vector<std::string> Tokens(const std::string& text)
{
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < text.size())
    {
        const char c = text[i];
        if (c == '/' && i + 1 < text.size() && text[i + 1] == '/')
        {
            while (i < text.size() && text[i] != '\n')
                ++i;
        }
        else if (c == '/' && i + 1 < text.size() && text[i + 1] == '*')
        {
            const size_t end = text.find("*/", i + 2);
            i = end == std::string::npos ? text.size() : end + 2;
        }
        else if (IsIdentifierChar(c))
        {
            const size_t start = i;
            while (i < text.size() && IsIdentifierChar(text[i]))
                ++i;
            tokens.push_back(text.substr(start, i - start));
        }
        else
        {
            if (!std::isspace(static_cast<unsigned char>(c)))
                tokens.push_back(std::string(1, c));
            ++i;
        }
    }
    return tokens;
}

} // namespace

std::vector<std::string> DeclaredVaryings(const std::string& body, const char* qualifier)
{
    std::vector<std::string> names;
    const std::vector<std::string> tokens = Tokens(body);
    for (size_t i = 0; i + 2 < tokens.size(); ++i)
        if (tokens[i] == qualifier && tokens[i + 1] == "vec4" && tokens[i + 2].compare(0, 5, "bw_v_") == 0)
            names.push_back(tokens[i + 2]);
    return names;
}

std::string VertexShaderSource(const ShaderBlob& blob, const std::vector<std::string>& extraOutputs)
{
    std::string s = "#version 330 core\n#define bw_c bw_vc\n#line 1\n";
    s += blob.glsl;
    s += "\n#undef bw_c\nuniform vec3 bw_PixelOffset;\n";
    for (const std::string& name : extraOutputs)
        s += "out vec4 " + name + ";\n";
    s += "void main()\n{\n";
    for (const std::string& name : extraOutputs)
        s += "    " + name + " = vec4(0.0);\n";
    s += "    bw_main();\n";
    // vs_1_1 saturates its colour outputs.
    for (const std::string& name : DeclaredVaryings(blob.glsl, "out"))
        if (name.compare(0, 10, "bw_v_COLOR") == 0)
            s += "    " + name + " = clamp(" + name + ", 0.0, 1.0);\n";
    // Direct3D's clip space to OpenGL's: row 0 of a target is the top row
    // (so viewport and scissor rectangles need no conversion), pixel centres
    // lie on integer coordinates, and depth runs from 0 to 1. The window's
    // own framebuffer has row 0 at the bottom: there z is -1 and flips y back.
    s += "    vec4 p = bw_Position;\n"
         "    p.y = -p.y;\n"
         "    p.xy += p.w * bw_PixelOffset.xy;\n"
         "    p.y *= bw_PixelOffset.z;\n"
         "    p.z = 2.0 * p.z - p.w;\n"
         "    gl_Position = p;\n"
         "}\n";
    return s;
}

std::string PixelShaderSource(const ShaderBlob& blob)
{
    std::string s = "#version 330 core\n#define bw_c bw_pc\n#line 1\n";
    s += blob.glsl;
    s += "\n#undef bw_c\n"
         "layout(location = 0) out vec4 bw_FragColor;\n"
         "void main()\n{\n    bw_main();\n    bw_FragColor = bw_Color0;\n}\n";
    return s;
}

} // namespace gl
} // namespace d3d9
