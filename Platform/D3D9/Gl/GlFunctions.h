#pragma once

// The OpenGL 3.3 core entry points the back end calls, loaded through SDL
// for the context that is current.

#include <GL/glcorearb.h>

namespace d3d9
{
namespace gl
{

#define BW_GL_FUNCTIONS(X)                                                                                          \
    X(PFNGLGETERRORPROC, GetError)                                                                                  \
    X(PFNGLGETINTEGERVPROC, GetIntegerv)                                                                            \
    X(PFNGLGETFLOATVPROC, GetFloatv)                                                                                \
    X(PFNGLGETSTRINGIPROC, GetStringi)                                                                              \
    X(PFNGLENABLEPROC, Enable)                                                                                      \
    X(PFNGLDISABLEPROC, Disable)                                                                                    \
    X(PFNGLVIEWPORTPROC, Viewport)                                                                                  \
    X(PFNGLDEPTHRANGEPROC, DepthRange)                                                                              \
    X(PFNGLSCISSORPROC, Scissor)                                                                                    \
    X(PFNGLCLEARCOLORPROC, ClearColor)                                                                              \
    X(PFNGLCLEARDEPTHPROC, ClearDepth)                                                                              \
    X(PFNGLCLEARSTENCILPROC, ClearStencil)                                                                          \
    X(PFNGLCLEARPROC, Clear)                                                                                        \
    X(PFNGLCOLORMASKPROC, ColorMask)                                                                                \
    X(PFNGLDEPTHMASKPROC, DepthMask)                                                                                \
    X(PFNGLDEPTHFUNCPROC, DepthFunc)                                                                                \
    X(PFNGLSTENCILMASKPROC, StencilMask)                                                                            \
    X(PFNGLBLENDFUNCSEPARATEPROC, BlendFuncSeparate)                                                                \
    X(PFNGLBLENDEQUATIONSEPARATEPROC, BlendEquationSeparate)                                                        \
    X(PFNGLCULLFACEPROC, CullFace)                                                                                  \
    X(PFNGLFRONTFACEPROC, FrontFace)                                                                                \
    X(PFNGLPIXELSTOREIPROC, PixelStorei)                                                                            \
    X(PFNGLREADPIXELSPROC, ReadPixels)                                                                              \
    X(PFNGLGENBUFFERSPROC, GenBuffers)                                                                              \
    X(PFNGLDELETEBUFFERSPROC, DeleteBuffers)                                                                        \
    X(PFNGLBINDBUFFERPROC, BindBuffer)                                                                              \
    X(PFNGLBUFFERDATAPROC, BufferData)                                                                              \
    X(PFNGLBUFFERSUBDATAPROC, BufferSubData)                                                                        \
    X(PFNGLMAPBUFFERRANGEPROC, MapBufferRange)                                                                      \
    X(PFNGLUNMAPBUFFERPROC, UnmapBuffer)                                                                            \
    X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays)                                                                    \
    X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays)                                                              \
    X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray)                                                                    \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray)                                                    \
    X(PFNGLDISABLEVERTEXATTRIBARRAYPROC, DisableVertexAttribArray)                                                  \
    X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer)                                                            \
    X(PFNGLVERTEXATTRIB4FPROC, VertexAttrib4f)                                                                      \
    X(PFNGLGENTEXTURESPROC, GenTextures)                                                                            \
    X(PFNGLDELETETEXTURESPROC, DeleteTextures)                                                                      \
    X(PFNGLBINDTEXTUREPROC, BindTexture)                                                                            \
    X(PFNGLACTIVETEXTUREPROC, ActiveTexture)                                                                        \
    X(PFNGLTEXIMAGE2DPROC, TexImage2D)                                                                              \
    X(PFNGLTEXSUBIMAGE2DPROC, TexSubImage2D)                                                                        \
    X(PFNGLCOMPRESSEDTEXIMAGE2DPROC, CompressedTexImage2D)                                                          \
    X(PFNGLCOMPRESSEDTEXSUBIMAGE2DPROC, CompressedTexSubImage2D)                                                    \
    X(PFNGLTEXPARAMETERIPROC, TexParameteri)                                                                        \
    X(PFNGLGENSAMPLERSPROC, GenSamplers)                                                                            \
    X(PFNGLDELETESAMPLERSPROC, DeleteSamplers)                                                                      \
    X(PFNGLBINDSAMPLERPROC, BindSampler)                                                                            \
    X(PFNGLSAMPLERPARAMETERIPROC, SamplerParameteri)                                                                \
    X(PFNGLSAMPLERPARAMETERFPROC, SamplerParameterf)                                                                \
    X(PFNGLSAMPLERPARAMETERFVPROC, SamplerParameterfv)                                                              \
    X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers)                                                                    \
    X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers)                                                              \
    X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer)                                                                    \
    X(PFNGLFRAMEBUFFERTEXTURE2DPROC, FramebufferTexture2D)                                                          \
    X(PFNGLFRAMEBUFFERRENDERBUFFERPROC, FramebufferRenderbuffer)                                                    \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus)                                                      \
    X(PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVPROC, GetFramebufferAttachmentParameteriv)                            \
    X(PFNGLBLITFRAMEBUFFERPROC, BlitFramebuffer)                                                                    \
    X(PFNGLGENRENDERBUFFERSPROC, GenRenderbuffers)                                                                  \
    X(PFNGLDELETERENDERBUFFERSPROC, DeleteRenderbuffers)                                                            \
    X(PFNGLBINDRENDERBUFFERPROC, BindRenderbuffer)                                                                  \
    X(PFNGLRENDERBUFFERSTORAGEPROC, RenderbufferStorage)                                                            \
    X(PFNGLCREATESHADERPROC, CreateShader)                                                                          \
    X(PFNGLSHADERSOURCEPROC, ShaderSource)                                                                          \
    X(PFNGLCOMPILESHADERPROC, CompileShader)                                                                        \
    X(PFNGLGETSHADERIVPROC, GetShaderiv)                                                                            \
    X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog)                                                                  \
    X(PFNGLDELETESHADERPROC, DeleteShader)                                                                          \
    X(PFNGLCREATEPROGRAMPROC, CreateProgram)                                                                        \
    X(PFNGLATTACHSHADERPROC, AttachShader)                                                                          \
    X(PFNGLBINDATTRIBLOCATIONPROC, BindAttribLocation)                                                              \
    X(PFNGLLINKPROGRAMPROC, LinkProgram)                                                                            \
    X(PFNGLGETPROGRAMIVPROC, GetProgramiv)                                                                          \
    X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog)                                                                \
    X(PFNGLDELETEPROGRAMPROC, DeleteProgram)                                                                        \
    X(PFNGLUSEPROGRAMPROC, UseProgram)                                                                              \
    X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation)                                                              \
    X(PFNGLUNIFORM1IPROC, Uniform1i)                                                                                \
    X(PFNGLUNIFORM3FPROC, Uniform3f)                                                                                \
    X(PFNGLUNIFORM4FVPROC, Uniform4fv)                                                                              \
    X(PFNGLDRAWARRAYSPROC, DrawArrays)                                                                              \
    X(PFNGLDRAWRANGEELEMENTSBASEVERTEXPROC, DrawRangeElementsBaseVertex)

struct Functions
{
#define BW_GL_DECLARE(type, name) type name = nullptr;
    BW_GL_FUNCTIONS(BW_GL_DECLARE)
#undef BW_GL_DECLARE

    // False when any entry point is missing.
    bool Load();
};

} // namespace gl
} // namespace d3d9
