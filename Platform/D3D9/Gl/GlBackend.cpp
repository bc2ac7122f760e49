#include "Platform/D3D9/ExecutionBackend.h"

#include "Platform/D3D9/Gl/GlFunctions.h"
#include "Platform/D3D9/Gl/GlShaderSource.h"
#include "Platform/D3D9/ShaderBlob.h"
#include "Platform/Win32/SdlGlue.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <utility>

namespace d3d9
{
namespace gl
{
namespace
{

class GlBackend;

// Attribute locations shared with the compiler's GLSL (ShaderBlob.h).
const char* const kAttributeNames[VertexLayout::SlotCount] = {
    "bw_POSITION0",  "bw_COLOR0",     "bw_COLOR1",     "bw_TEXCOORD0",  "bw_TEXCOORD1",
    "bw_TEXCOORD2",  "bw_TEXCOORD3",  "bw_TEXCOORD4",  "bw_TEXCOORD5",  "bw_TEXCOORD6",
    "bw_TEXCOORD7",
};

class GlBuffer final : public BackendBuffer
{
public:
    GlBuffer(GlBackend* owner, GLuint name) : owner(owner), name(name) {}
    ~GlBuffer() override;

    GlBackend* owner;
    GLuint name;
    bool allocated = false;
    // Byte ranges since the storage was last replaced: what was sent, and
    // what draws issued so far may read (everything sent before them). A
    // write outside the read range cannot disturb a pending draw.
    UINT sentBegin = 0;
    UINT sentEnd = 0;
    UINT readBegin = 0;
    UINT readEnd = 0;
};

class GlTexture final : public BackendTexture
{
public:
    GlTexture(GlBackend* owner, GLuint name) : owner(owner), name(name) {}
    ~GlTexture() override;

    GlBackend* owner;
    GLuint name;
    GLuint framebuffer = 0;
    D3DFORMAT format = D3DFMT_A8R8G8B8;
    UINT width = 0;
    UINT height = 0;
};

class GlShader final : public BackendShader
{
public:
    GlShader(GlBackend* owner, const ShaderBlob& blob, GLuint object) : owner(owner), blob(blob), object(object) {}
    ~GlShader() override;

    GlBackend* owner;
    ShaderBlob blob;
    GLuint object;
};

// A linked vertex and pixel shader pair, with the uniforms the device feeds.
struct Program
{
    GLuint name = 0; // 0: it did not link, draws with it are dropped
    GLuint extraVertexShader = 0;
    GLint vertexConstants = -1;
    GLint pixelConstants = -1;
    GLint pixelOffset = -1;
    GLsizei vertexConstantCount = 0;
    GLsizei pixelConstantCount = 0;
    uint64_t vertexConstantsVersion = 0;
    uint64_t pixelConstantsVersion = 0;
    float offsetX = -1.0f;
    float offsetY = -1.0f;
    float flipY = 0.0f;
};

GLenum CompressedFormat(D3DFORMAT format)
{
    switch (format)
    {
    case D3DFMT_DXT1:
        return GL_COMPRESSED_RGBA_S3TC_DXT1_EXT; // index 3 of a 3-colour block is transparent black
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
        return GL_COMPRESSED_RGBA_S3TC_DXT3_EXT;
    default:
        return GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
    }
}

GLenum PrimitiveMode(D3DPRIMITIVETYPE type)
{
    switch (type)
    {
    case D3DPT_POINTLIST:
        return GL_POINTS;
    case D3DPT_LINELIST:
        return GL_LINES;
    case D3DPT_LINESTRIP:
        return GL_LINE_STRIP;
    case D3DPT_TRIANGLESTRIP:
        return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN:
        return GL_TRIANGLE_FAN;
    default:
        return GL_TRIANGLES;
    }
}

GLenum BlendFactor(DWORD blend)
{
    switch (blend)
    {
    case D3DBLEND_ZERO:
        return GL_ZERO;
    case D3DBLEND_SRCCOLOR:
        return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
        return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
        return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
        return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
        return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
        return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
        return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT:
        return GL_SRC_ALPHA_SATURATE;
    default:
        return GL_ONE;
    }
}

GLenum BlendEquation(DWORD op)
{
    switch (op)
    {
    case D3DBLENDOP_SUBTRACT:
        return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT:
        return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN:
        return GL_MIN;
    case D3DBLENDOP_MAX:
        return GL_MAX;
    default:
        return GL_FUNC_ADD;
    }
}

GLenum CompareFunction(DWORD func)
{
    switch (func)
    {
    case D3DCMP_NEVER:
        return GL_NEVER;
    case D3DCMP_LESS:
        return GL_LESS;
    case D3DCMP_EQUAL:
        return GL_EQUAL;
    case D3DCMP_GREATER:
        return GL_GREATER;
    case D3DCMP_NOTEQUAL:
        return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL:
        return GL_GEQUAL;
    case D3DCMP_ALWAYS:
        return GL_ALWAYS;
    default:
        return GL_LEQUAL;
    }
}

// Keys of what is set on the GL context, so that unchanged state is not
// sent again with every draw.
template <size_t N>
struct StateKey
{
    GLint values[N];
    bool valid = false;

    // True (and remembered) when the values differ from what was applied.
    bool Change(const GLint (&next)[N])
    {
        if (valid && std::equal(next, next + N, values))
            return false;
        std::copy(next, next + N, values);
        valid = true;
        return true;
    }
};

class GlBackend final : public ExecutionBackend
{
public:
    ~GlBackend() override;

    HRESULT Open(SwapChainDesc* desc) override;
    HRESULT Reset(SwapChainDesc* desc) override;
    bool IsOccluded() override;

    std::unique_ptr<BackendBuffer> CreateBuffer(UINT length, bool index) override;
    void UploadBuffer(BackendBuffer* buffer, const uint8_t* contents, UINT length, UINT begin, UINT end,
                      bool orphan) override;
    std::unique_ptr<BackendTexture> CreateTexture(D3DFORMAT format, UINT width, UINT height, UINT levels,
                                                  bool renderTarget) override;
    void UploadTextureLevel(BackendTexture* texture, UINT level, const uint8_t* data) override;
    std::unique_ptr<BackendShader> CreateShader(const ShaderBlob& blob, std::string* error) override;

    void Clear(const DeviceState& state, const ClearCall& call) override;
    void Draw(const DeviceState& state, const DrawCall& call) override;
    HRESULT Present() override;
    bool ReadPixels(const TargetRef& target, std::vector<D3DCOLOR>* pixels) override;
    bool BackBufferInWindow() const override { return mDirect; }

    // For the back-end objects.
    void DeleteBuffer(GlBuffer* buffer);
    void DeleteTexture(GlTexture* texture);
    void ForgetShader(GlShader* shader);

private:
    static void MarkRead(GlBuffer* buffer);
    bool MakeCurrent();
    void InvalidateCaches();
    HRESULT ApplySwapChain(SwapChainDesc* desc);
    void ReadWindowFormat();
    void ChooseBackTarget();
    void BeginFrame();
    void LeaveWindow();
    bool IsWindow(const TargetRef& target) const { return !target.texture && mDirect; }
    bool SharesDepth(const TargetRef& target) const;
    GLuint CompileShader(GLenum stage, const std::string& source, std::string* error);
    Program* ProgramFor(GlShader* vertex, GlShader* pixel);
    void DeleteProgram(Program& program);
    GLuint FramebufferFor(const TargetRef& target);
    void BindTarget(const TargetRef& target);
    void ApplyRasterState(const DeviceState& state, const TargetRef& target);
    void ApplyProgram(const DeviceState& state, Program* program, bool window);
    void ApplyTextures(const DeviceState& state, const DrawCall& call);
    void ApplyVertexInput(const DeviceState& state, const DrawCall& call);

    HWND mHwnd = nullptr;
    SDL_Window* mWindow = nullptr;
    SDL_GLContext mContext = nullptr;
    Functions f;
    bool mAnisotropic = false;
    float mMaxAnisotropy = 1.0f;
    bool mMirrorClamp = false;

    GLuint mVertexArray = 0;
    GLuint mBackFramebuffer = 0;
    GLuint mBackColor = 0;
    GLuint mDepthStencil = 0;
    UINT mWidth = 0;
    UINT mHeight = 0;
    D3DFORMAT mFormat = D3DFMT_X8R8G8B8;
    bool mHasDepth = false;
    GLuint mSamplers[kSamplerCount] = {};

    // The back buffer is drawn straight into the window's framebuffer when
    // that has the back buffer's size and formats and Present need not keep
    // it; otherwise into mBackFramebuffer, which Present copies.
    bool mWindowColorFits[2] = {}; // [0] X8R8G8B8 and the like, [1] A8R8G8B8
    bool mWindowHasDepth = false;
    bool mDirectAllowed = false;
    bool mDirect = false;
    bool mLeftWindow = false; // until the next Reset
    bool mFrameOpen = false;

    std::map<std::pair<GlShader*, GlShader*>, Program> mPrograms;

    GLuint mBoundFramebuffer = 0;
    bool mFramebufferKnown = false;
    GLuint mProgramInUse = 0;
    bool mProgramKnown = false;
    StateKey<6> mViewportKey;
    StateKey<5> mScissorKey;
    StateKey<7> mBlendKey;
    StateKey<3> mDepthKey;
    StateKey<2> mCullKey;
    StateKey<1> mColorMaskKey;
    StateKey<5> mVertexKey;
    StateKey<1> mIndexKey;
    StateKey<1> mTextureKeys[kSamplerCount];
    StateKey<10> mSamplerKeys[kSamplerCount];
};

GlBuffer::~GlBuffer()
{
    owner->DeleteBuffer(this);
}

GlTexture::~GlTexture()
{
    owner->DeleteTexture(this);
}

GlShader::~GlShader()
{
    owner->ForgetShader(this);
}

// ---------------------------------------------------------------------------
// Context and swap chain
// ---------------------------------------------------------------------------

GlBackend::~GlBackend()
{
    if (mContext && MakeCurrent())
    {
        for (auto& entry : mPrograms)
            DeleteProgram(entry.second);
        f.DeleteSamplers(kSamplerCount, mSamplers);
        f.DeleteVertexArrays(1, &mVertexArray);
        f.DeleteFramebuffers(1, &mBackFramebuffer);
        f.DeleteRenderbuffers(1, &mBackColor);
        f.DeleteRenderbuffers(1, &mDepthStencil);
    }
    if (mContext)
        SDL_GL_DeleteContext(mContext);
}

bool GlBackend::MakeCurrent()
{
    // The window may be gone before the device; then nothing is drawn.
    SDL_Window* window = win32::SdlWindowFromHwnd(mHwnd);
    if (!window || !mContext)
        return false;
    if (SDL_GL_GetCurrentContext() != mContext || SDL_GL_GetCurrentWindow() != window)
    {
        if (SDL_GL_MakeCurrent(window, mContext) != 0)
            return false;
    }
    mWindow = window;
    return true;
}

void GlBackend::InvalidateCaches()
{
    mFramebufferKnown = false;
    mProgramKnown = false;
    mViewportKey.valid = false;
    mScissorKey.valid = false;
    mBlendKey.valid = false;
    mDepthKey.valid = false;
    mCullKey.valid = false;
    mColorMaskKey.valid = false;
    mVertexKey.valid = false;
    mIndexKey.valid = false;
    for (auto& key : mTextureKeys)
        key.valid = false;
    for (auto& key : mSamplerKeys)
        key.valid = false;
}

HRESULT GlBackend::Open(SwapChainDesc* desc)
{
    mHwnd = desc->window;
    SDL_Window* window = win32::SdlWindowFromHwnd(mHwnd);
    if (!window)
        return D3DERR_INVALIDCALL;
    if (!(SDL_GetWindowFlags(window) & SDL_WINDOW_OPENGL))
        return D3DERR_NOTAVAILABLE;

    // Ask for 3.3 core without disturbing what others asked SDL for.
    int major = 0, minor = 0, profile = 0;
    SDL_GL_GetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, &major);
    SDL_GL_GetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, &minor);
    SDL_GL_GetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, &profile);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
    // The context's configuration decides the window framebuffer's buffers:
    // the depth and stencil win32::CreateGlWindow asked the window for.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    mContext = SDL_GL_CreateContext(window);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16); // SDL's defaults
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, major);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, minor);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, profile);
    if (!mContext)
    {
        std::fprintf(stderr, "Direct3D 9 on OpenGL: no 3.3 core context: %s\n", SDL_GetError());
        return D3DERR_NOTAVAILABLE;
    }
    if (!MakeCurrent() || !f.Load())
        return D3DERR_NOTAVAILABLE;

    GLint extensions = 0;
    f.GetIntegerv(GL_NUM_EXTENSIONS, &extensions);
    for (GLint i = 0; i < extensions; ++i)
    {
        const char* name = reinterpret_cast<const char*>(f.GetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
        if (!name)
            continue;
        if (!std::strcmp(name, "GL_EXT_texture_filter_anisotropic") ||
            !std::strcmp(name, "GL_ARB_texture_filter_anisotropic"))
            mAnisotropic = true;
        if (!std::strcmp(name, "GL_ARB_texture_mirror_clamp_to_edge"))
            mMirrorClamp = true;
    }
    GLint glMajor = 0, glMinor = 0;
    f.GetIntegerv(GL_MAJOR_VERSION, &glMajor);
    f.GetIntegerv(GL_MINOR_VERSION, &glMinor);
    mMirrorClamp = mMirrorClamp || glMajor > 4 || (glMajor == 4 && glMinor >= 4);
    if (mAnisotropic)
        f.GetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY, &mMaxAnisotropy);

    f.GenVertexArrays(1, &mVertexArray);
    f.BindVertexArray(mVertexArray);
    f.GenSamplers(kSamplerCount, mSamplers);
    for (GLuint unit = 0; unit < kSamplerCount; ++unit)
        f.BindSampler(unit, mSamplers[unit]);
    f.GenFramebuffers(1, &mBackFramebuffer);
    f.GenRenderbuffers(1, &mBackColor);
    f.GenRenderbuffers(1, &mDepthStencil);
    f.Disable(GL_DITHER);
    f.FrontFace(GL_CCW);
    f.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
    f.PixelStorei(GL_PACK_ALIGNMENT, 4);
    ReadWindowFormat();
    return ApplySwapChain(desc);
}

void GlBackend::ReadWindowFormat()
{
    f.BindFramebuffer(GL_FRAMEBUFFER, 0);
    mFramebufferKnown = false;
    const auto bits = [this](GLenum attachment, GLenum size) {
        GLint type = GL_NONE;
        GLint value = 0;
        f.GetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment, GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE,
                                              &type);
        if (type != GL_NONE)
            f.GetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER, attachment, size, &value);
        return value;
    };
    const bool rgb8 = bits(GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_RED_SIZE) == 8 &&
                      bits(GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_GREEN_SIZE) == 8 &&
                      bits(GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_BLUE_SIZE) == 8;
    // Without alpha bits the window reads alpha as 1, as an X8R8G8B8 target does.
    const GLint alpha = bits(GL_BACK_LEFT, GL_FRAMEBUFFER_ATTACHMENT_ALPHA_SIZE);
    mWindowColorFits[0] = rgb8 && alpha == 0;
    mWindowColorFits[1] = rgb8 && alpha == 8;
    mWindowHasDepth = bits(GL_DEPTH, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE) == 24 &&
                      bits(GL_STENCIL, GL_FRAMEBUFFER_ATTACHMENT_STENCIL_SIZE) == 8;
    while (f.GetError() != GL_NO_ERROR)
    {
    }
}

void GlBackend::ChooseBackTarget()
{
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(mWindow, &width, &height);
    const bool direct = mDirectAllowed && !mLeftWindow && width == static_cast<int>(mWidth) &&
                        height == static_cast<int>(mHeight);
    if (direct != mDirect)
    {
        mDirect = direct;
        InvalidateCaches();
    }
}

// The target is chosen per frame: a discarding swap chain need not carry
// the back buffer's contents from one frame to the next.
void GlBackend::BeginFrame()
{
    if (mFrameOpen)
        return;
    mFrameOpen = true;
    ChooseBackTarget();
}

bool GlBackend::SharesDepth(const TargetRef& target) const
{
    return target.texture && mHasDepth && target.width <= mWidth && target.height <= mHeight;
}

// A render-target texture is about to use the depth buffer Direct3D shares
// with the back buffer, which the window's framebuffer cannot share: the
// back buffer moves offscreen with what it holds, until the next Reset.
void GlBackend::LeaveWindow()
{
    f.BindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    f.BindFramebuffer(GL_DRAW_FRAMEBUFFER, mBackFramebuffer);
    f.Disable(GL_SCISSOR_TEST);
    f.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    f.DepthMask(GL_TRUE);
    f.StencilMask(0xFF);
    const GLint w = static_cast<GLint>(mWidth);
    const GLint h = static_cast<GLint>(mHeight);
    f.BlitFramebuffer(0, 0, w, h, 0, h, w, 0, GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT,
                      GL_NEAREST);
    mDirect = false;
    mLeftWindow = true;
    InvalidateCaches();
}

HRESULT GlBackend::Reset(SwapChainDesc* desc)
{
    return ApplySwapChain(desc);
}

HRESULT GlBackend::ApplySwapChain(SwapChainDesc* desc)
{
    if (!MakeCurrent())
        return D3DERR_DRIVERINTERNALERROR;
    const Uint32 flags = SDL_GetWindowFlags(mWindow);
    if (!desc->windowed)
    {
        SDL_DisplayMode mode = {};
        mode.w = static_cast<int>(desc->width);
        mode.h = static_cast<int>(desc->height);
        mode.refresh_rate = static_cast<int>(desc->refreshRate);
        SDL_SetWindowDisplayMode(mWindow, &mode);
        if ((flags & SDL_WINDOW_FULLSCREEN_DESKTOP) != SDL_WINDOW_FULLSCREEN &&
            SDL_SetWindowFullscreen(mWindow, SDL_WINDOW_FULLSCREEN) != 0)
            return D3DERR_NOTAVAILABLE;
    }
    else if (flags & SDL_WINDOW_FULLSCREEN)
        SDL_SetWindowFullscreen(mWindow, 0);
    if (desc->width == 0 || desc->height == 0)
    {
        int w = 0, h = 0;
        SDL_GL_GetDrawableSize(mWindow, &w, &h);
        if (desc->width == 0)
            desc->width = w > 0 ? static_cast<UINT>(w) : 1;
        if (desc->height == 0)
            desc->height = h > 0 ? static_cast<UINT>(h) : 1;
    }
    SDL_GL_SetSwapInterval(desc->waitForVsync ? 1 : 0); // may fail (Xvfb); presenting works either way

    // The offscreen back buffer, for when the window's framebuffer will not do.
    mWidth = desc->width;
    mHeight = desc->height;
    mFormat = desc->format;
    mHasDepth = desc->depthStencil;
    f.BindRenderbuffer(GL_RENDERBUFFER, mBackColor);
    f.RenderbufferStorage(GL_RENDERBUFFER, mFormat == D3DFMT_A8R8G8B8 ? GL_RGBA8 : GL_RGB8,
                          static_cast<GLsizei>(mWidth), static_cast<GLsizei>(mHeight));
    f.BindRenderbuffer(GL_RENDERBUFFER, mDepthStencil);
    f.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, static_cast<GLsizei>(mWidth),
                          static_cast<GLsizei>(mHeight));
    f.BindFramebuffer(GL_FRAMEBUFFER, mBackFramebuffer);
    f.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, mBackColor);
    f.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                              mHasDepth ? mDepthStencil : 0);
    const GLenum status = f.CheckFramebufferStatus(GL_FRAMEBUFFER);
    InvalidateCaches();
    if (status != GL_FRAMEBUFFER_COMPLETE)
        return D3DERR_OUTOFVIDEOMEMORY;
    mDirectAllowed = !desc->keepContents && mWindowColorFits[mFormat == D3DFMT_A8R8G8B8 ? 1 : 0] &&
                     (!mHasDepth || mWindowHasDepth);
    mLeftWindow = false;
    mFrameOpen = false;
    ChooseBackTarget();
    return D3D_OK;
}

bool GlBackend::IsOccluded()
{
    // SDL minimises a full-screen window that loses the focus, which is when
    // Direct3D loses a full-screen device. A window not yet shown loses nothing.
    SDL_Window* window = win32::SdlWindowFromHwnd(mHwnd);
    return window && (SDL_GetWindowFlags(window) & SDL_WINDOW_MINIMIZED);
}

// ---------------------------------------------------------------------------
// Buffers and textures
// ---------------------------------------------------------------------------

std::unique_ptr<BackendBuffer> GlBackend::CreateBuffer(UINT, bool)
{
    GLuint name = 0;
    if (MakeCurrent())
        f.GenBuffers(1, &name);
    return std::make_unique<GlBuffer>(this, name);
}

void GlBackend::DeleteBuffer(GlBuffer* buffer)
{
    if (!buffer->name || !MakeCurrent())
        return;
    f.DeleteBuffers(1, &buffer->name);
    // A later buffer may get the same name.
    mVertexKey.valid = false;
    mIndexKey.valid = false;
}

void GlBackend::UploadBuffer(BackendBuffer* backend, const uint8_t* contents, UINT length, UINT begin, UINT end,
                             bool orphan)
{
    GlBuffer* buffer = static_cast<GlBuffer*>(backend);
    if (!buffer->name || !MakeCurrent())
        return;
    if (begin >= end)
        return;
    f.BindBuffer(GL_COPY_WRITE_BUFFER, buffer->name);
    if (orphan || !buffer->allocated)
    {
        // Fresh storage: draws already issued keep the old one.
        f.BufferData(GL_COPY_WRITE_BUFFER, length, nullptr, GL_DYNAMIC_DRAW);
        buffer->allocated = true;
        buffer->sentBegin = buffer->sentEnd = 0;
        buffer->readBegin = buffer->readEnd = 0;
    }
    if (begin < buffer->readEnd && end > buffer->readBegin)
    {
        // A pending draw may read these bytes: the driver orders the write after it.
        f.BufferSubData(GL_COPY_WRITE_BUFFER, begin, end - begin, contents + begin);
    }
    else
    {
        // No draw reads these bytes, so the driver need not wait for the
        // draws in flight (it would otherwise finish them first).
        void* mapped = f.MapBufferRange(GL_COPY_WRITE_BUFFER, begin, end - begin,
                                        GL_MAP_WRITE_BIT | GL_MAP_UNSYNCHRONIZED_BIT | GL_MAP_INVALIDATE_RANGE_BIT);
        if (mapped)
        {
            std::memcpy(mapped, contents + begin, end - begin);
            f.UnmapBuffer(GL_COPY_WRITE_BUFFER);
        }
        else
            f.BufferSubData(GL_COPY_WRITE_BUFFER, begin, end - begin, contents + begin);
    }
    if (buffer->sentBegin == buffer->sentEnd)
    {
        buffer->sentBegin = begin;
        buffer->sentEnd = end;
    }
    else
    {
        buffer->sentBegin = std::min(buffer->sentBegin, begin);
        buffer->sentEnd = std::max(buffer->sentEnd, end);
    }
}

void GlBackend::MarkRead(GlBuffer* buffer)
{
    // A draw reads at most what was sent before it.
    if (buffer->sentBegin == buffer->sentEnd)
        return;
    if (buffer->readBegin == buffer->readEnd)
    {
        buffer->readBegin = buffer->sentBegin;
        buffer->readEnd = buffer->sentEnd;
    }
    else
    {
        buffer->readBegin = std::min(buffer->readBegin, buffer->sentBegin);
        buffer->readEnd = std::max(buffer->readEnd, buffer->sentEnd);
    }
}

std::unique_ptr<BackendTexture> GlBackend::CreateTexture(D3DFORMAT format, UINT width, UINT height, UINT levels,
                                                         bool)
{
    auto texture = std::make_unique<GlTexture>(this, 0);
    texture->format = format;
    texture->width = width;
    texture->height = height;
    if (!MakeCurrent())
        return texture;
    f.GenTextures(1, &texture->name);
    mTextureKeys[0].valid = false;
    f.ActiveTexture(GL_TEXTURE0);
    f.BindTexture(GL_TEXTURE_2D, texture->name);
    // Without the level limit a texture with fewer levels than a full chain
    // is incomplete under mip filtering and samples black.
    f.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    f.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels) - 1);
    if (format == D3DFMT_X8R8G8B8)
        f.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
    std::vector<uint8_t> zeros;
    for (UINT level = 0; level < levels; ++level)
    {
        const GLsizei w = static_cast<GLsizei>(LevelExtent(width, level));
        const GLsizei h = static_cast<GLsizei>(LevelExtent(height, level));
        const size_t bytes = static_cast<size_t>(LevelPitch(format, static_cast<UINT>(w))) *
                             LevelRows(format, static_cast<UINT>(h));
        if (zeros.size() < bytes)
            zeros.assign(bytes, 0);
        if (IsCompressedFormat(format))
            f.CompressedTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), CompressedFormat(format), w, h, 0,
                                   static_cast<GLsizei>(bytes), zeros.data());
        else
            f.TexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), GL_RGBA8, w, h, 0, GL_BGRA,
                         GL_UNSIGNED_INT_8_8_8_8_REV, zeros.data());
    }
    return texture;
}

void GlBackend::UploadTextureLevel(BackendTexture* backend, UINT level, const uint8_t* data)
{
    GlTexture* texture = static_cast<GlTexture*>(backend);
    if (!texture->name || !MakeCurrent())
        return;
    const GLsizei w = static_cast<GLsizei>(LevelExtent(texture->width, level));
    const GLsizei h = static_cast<GLsizei>(LevelExtent(texture->height, level));
    f.ActiveTexture(GL_TEXTURE0);
    f.BindTexture(GL_TEXTURE_2D, texture->name);
    mTextureKeys[0].valid = false;
    if (IsCompressedFormat(texture->format))
    {
        const GLsizei bytes = static_cast<GLsizei>(LevelPitch(texture->format, static_cast<UINT>(w)) *
                                                   LevelRows(texture->format, static_cast<UINT>(h)));
        f.CompressedTexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), 0, 0, w, h,
                                  CompressedFormat(texture->format), bytes, data);
    }
    else
        f.TexSubImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), 0, 0, w, h, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                        data);
}

void GlBackend::DeleteTexture(GlTexture* texture)
{
    if (!texture->name || !MakeCurrent())
        return;
    if (texture->framebuffer)
    {
        f.DeleteFramebuffers(1, &texture->framebuffer);
        mFramebufferKnown = false;
    }
    f.DeleteTextures(1, &texture->name);
    for (auto& key : mTextureKeys)
        key.valid = false;
}

GLuint GlBackend::FramebufferFor(const TargetRef& target)
{
    if (!target.texture)
        return mDirect ? 0 : mBackFramebuffer;
    GlTexture* texture = static_cast<GlTexture*>(target.texture);
    if (!texture->framebuffer && texture->name)
    {
        f.GenFramebuffers(1, &texture->framebuffer);
        f.BindFramebuffer(GL_FRAMEBUFFER, texture->framebuffer);
        mBoundFramebuffer = texture->framebuffer;
        mFramebufferKnown = true;
        f.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture->name, 0);
        // The automatic depth buffer serves any target it covers, as in Direct3D.
        if (mHasDepth && texture->width <= mWidth && texture->height <= mHeight)
            f.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, mDepthStencil);
    }
    return texture->framebuffer;
}

void GlBackend::BindTarget(const TargetRef& target)
{
    const GLuint framebuffer = FramebufferFor(target);
    if (!mFramebufferKnown || mBoundFramebuffer != framebuffer)
    {
        f.BindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        mBoundFramebuffer = framebuffer;
        mFramebufferKnown = true;
    }
}

// ---------------------------------------------------------------------------
// Shaders and programs
// ---------------------------------------------------------------------------

GLuint GlBackend::CompileShader(GLenum stage, const std::string& source, std::string* error)
{
    GLuint shader = f.CreateShader(stage);
    const GLchar* text = source.c_str();
    f.ShaderSource(shader, 1, &text, nullptr);
    f.CompileShader(shader);
    GLint ok = 0;
    f.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok)
        return shader;
    GLint length = 0;
    f.GetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::string log(static_cast<size_t>(std::max(length, 1)), '\0');
    f.GetShaderInfoLog(shader, length, nullptr, &log[0]);
    if (error)
        *error = log.c_str();
    f.DeleteShader(shader);
    return 0;
}

std::unique_ptr<BackendShader> GlBackend::CreateShader(const ShaderBlob& blob, std::string* error)
{
    if (!MakeCurrent())
    {
        *error = "the window is gone";
        return nullptr;
    }
    const bool vertex = blob.IsVertexShader();
    const std::string source = vertex ? VertexShaderSource(blob, {}) : PixelShaderSource(blob);
    const GLuint object = CompileShader(vertex ? GL_VERTEX_SHADER : GL_FRAGMENT_SHADER, source, error);
    if (!object)
        return nullptr;
    return std::make_unique<GlShader>(this, blob, object);
}

void GlBackend::DeleteProgram(Program& program)
{
    if (program.name)
        f.DeleteProgram(program.name);
    if (program.extraVertexShader)
        f.DeleteShader(program.extraVertexShader);
    if (mProgramInUse == program.name)
        mProgramKnown = false;
    program = Program();
}

void GlBackend::ForgetShader(GlShader* shader)
{
    if (!MakeCurrent())
        return;
    for (auto it = mPrograms.begin(); it != mPrograms.end();)
    {
        if (it->first.first == shader || it->first.second == shader)
        {
            DeleteProgram(it->second);
            it = mPrograms.erase(it);
        }
        else
            ++it;
    }
    f.DeleteShader(shader->object);
}

Program* GlBackend::ProgramFor(GlShader* vertex, GlShader* pixel)
{
    const auto key = std::make_pair(vertex, pixel);
    auto found = mPrograms.find(key);
    if (found != mPrograms.end())
        return &found->second;

    Program& program = mPrograms[key];
    // Pixel inputs the vertex shader does not write would not link.
    std::vector<std::string> missing;
    const std::vector<std::string> written = DeclaredVaryings(vertex->blob.glsl, "out");
    for (const std::string& name : DeclaredVaryings(pixel->blob.glsl, "in"))
        if (std::find(written.begin(), written.end(), name) == written.end())
            missing.push_back(name);
    GLuint vertexObject = vertex->object;
    std::string error;
    if (!missing.empty())
    {
        program.extraVertexShader =
            CompileShader(GL_VERTEX_SHADER, VertexShaderSource(vertex->blob, missing), &error);
        vertexObject = program.extraVertexShader;
    }

    GLuint name = vertexObject ? f.CreateProgram() : 0;
    if (name)
    {
        f.AttachShader(name, vertexObject);
        f.AttachShader(name, pixel->object);
        for (GLuint slot = 0; slot < VertexLayout::SlotCount; ++slot)
            f.BindAttribLocation(name, slot, kAttributeNames[slot]);
        f.LinkProgram(name);
        GLint ok = 0;
        f.GetProgramiv(name, GL_LINK_STATUS, &ok);
        if (!ok)
        {
            char log[1024] = {};
            f.GetProgramInfoLog(name, sizeof log, nullptr, log);
            error = log;
            f.DeleteProgram(name);
            name = 0;
        }
    }
    if (!name)
    {
        std::fprintf(stderr, "Direct3D 9 on OpenGL: shaders do not link; their draws are dropped: %s\n",
                     error.c_str());
        return &program;
    }

    program.name = name;
    program.vertexConstants = f.GetUniformLocation(name, "bw_vc");
    program.pixelConstants = f.GetUniformLocation(name, "bw_pc");
    program.pixelOffset = f.GetUniformLocation(name, "bw_PixelOffset");
    program.vertexConstantCount =
        static_cast<GLsizei>(std::min<DWORD>(vertex->blob.constantRegisters, kVertexConstantRegisters));
    program.pixelConstantCount =
        static_cast<GLsizei>(std::min<DWORD>(pixel->blob.constantRegisters, kPixelConstantRegisters));
    f.UseProgram(name);
    mProgramInUse = name;
    mProgramKnown = true;
    for (GLint unit = 0; unit < static_cast<GLint>(kSamplerCount); ++unit)
    {
        const std::string sampler = "bw_s" + std::to_string(unit);
        const GLint location = f.GetUniformLocation(name, sampler.c_str());
        if (location >= 0)
            f.Uniform1i(location, unit);
    }
    return &program;
}

void GlBackend::ApplyProgram(const DeviceState& state, Program* program, bool window)
{
    if (!mProgramKnown || mProgramInUse != program->name)
    {
        f.UseProgram(program->name);
        mProgramInUse = program->name;
        mProgramKnown = true;
    }
    if (program->vertexConstants >= 0 && program->vertexConstantsVersion != state.vertexConstantsVersion)
    {
        f.Uniform4fv(program->vertexConstants, program->vertexConstantCount, state.vertexConstants);
        program->vertexConstantsVersion = state.vertexConstantsVersion;
    }
    if (program->pixelConstants >= 0 && program->pixelConstantsVersion != state.pixelConstantsVersion)
    {
        f.Uniform4fv(program->pixelConstants, program->pixelConstantCount, state.pixelConstants);
        program->pixelConstantsVersion = state.pixelConstantsVersion;
    }
    // Half a pixel in clip space moves Direct3D's pixel centres onto OpenGL's.
    const float x = state.viewport.Width ? 1.0f / static_cast<float>(state.viewport.Width) : 0.0f;
    const float y = state.viewport.Height ? 1.0f / static_cast<float>(state.viewport.Height) : 0.0f;
    const float flip = window ? -1.0f : 1.0f;
    if (program->pixelOffset >= 0 && (program->offsetX != x || program->offsetY != y || program->flipY != flip))
    {
        f.Uniform3f(program->pixelOffset, x, y, flip);
        program->offsetX = x;
        program->offsetY = y;
        program->flipY = flip;
    }
}

// ---------------------------------------------------------------------------
// Fixed-function state
// ---------------------------------------------------------------------------

void GlBackend::ApplyRasterState(const DeviceState& state, const TargetRef& target)
{
    const DWORD* rs = state.renderStates;
    const D3DVIEWPORT9& vp = state.viewport;
    // The window's framebuffer counts rows from the bottom.
    const bool window = IsWindow(target);
    const GLint top = window ? static_cast<GLint>(target.height) - static_cast<GLint>(vp.Y + vp.Height)
                             : static_cast<GLint>(vp.Y);
    const GLint viewport[6] = {static_cast<GLint>(vp.X), top, static_cast<GLint>(vp.Width),
                               static_cast<GLint>(vp.Height), static_cast<GLint>(vp.MinZ * 65536.0f),
                               static_cast<GLint>(vp.MaxZ * 65536.0f)};
    if (mViewportKey.Change(viewport))
    {
        f.Viewport(viewport[0], viewport[1], viewport[2], viewport[3]);
        f.DepthRange(std::clamp(vp.MinZ, 0.0f, 1.0f), std::clamp(vp.MaxZ, 0.0f, 1.0f));
    }

    // Scissor rectangles beyond the target are clipped to it here.
    GLint scissor[5] = {rs[D3DRS_SCISSORTESTENABLE] ? 1 : 0, 0, 0, 0, 0};
    if (scissor[0])
    {
        const LONG left = std::clamp<LONG>(state.scissor.left, 0, static_cast<LONG>(target.width));
        const LONG upper = std::clamp<LONG>(state.scissor.top, 0, static_cast<LONG>(target.height));
        const LONG right = std::clamp<LONG>(state.scissor.right, left, static_cast<LONG>(target.width));
        const LONG bottom = std::clamp<LONG>(state.scissor.bottom, upper, static_cast<LONG>(target.height));
        scissor[1] = left;
        scissor[2] = window ? static_cast<LONG>(target.height) - bottom : upper;
        scissor[3] = right - left;
        scissor[4] = bottom - upper;
    }
    if (mScissorKey.Change(scissor))
    {
        if (scissor[0])
        {
            f.Enable(GL_SCISSOR_TEST);
            f.Scissor(scissor[1], scissor[2], scissor[3], scissor[4]);
        }
        else
            f.Disable(GL_SCISSOR_TEST);
    }

    const bool separate = rs[D3DRS_SEPARATEALPHABLENDENABLE] != FALSE;
    const GLint blend[7] = {
        rs[D3DRS_ALPHABLENDENABLE] ? 1 : 0,
        static_cast<GLint>(BlendFactor(rs[D3DRS_SRCBLEND])),
        static_cast<GLint>(BlendFactor(rs[D3DRS_DESTBLEND])),
        static_cast<GLint>(BlendFactor(separate ? rs[D3DRS_SRCBLENDALPHA] : rs[D3DRS_SRCBLEND])),
        static_cast<GLint>(BlendFactor(separate ? rs[D3DRS_DESTBLENDALPHA] : rs[D3DRS_DESTBLEND])),
        static_cast<GLint>(BlendEquation(rs[D3DRS_BLENDOP])),
        static_cast<GLint>(BlendEquation(separate ? rs[D3DRS_BLENDOPALPHA] : rs[D3DRS_BLENDOP])),
    };
    if (mBlendKey.Change(blend))
    {
        if (blend[0])
        {
            f.Enable(GL_BLEND);
            f.BlendFuncSeparate(blend[1], blend[2], blend[3], blend[4]);
            f.BlendEquationSeparate(blend[5], blend[6]);
        }
        else
            f.Disable(GL_BLEND);
    }

    const GLint depth[3] = {rs[D3DRS_ZENABLE] != D3DZB_FALSE ? 1 : 0, rs[D3DRS_ZWRITEENABLE] ? 1 : 0,
                            static_cast<GLint>(CompareFunction(rs[D3DRS_ZFUNC]))};
    if (mDepthKey.Change(depth))
    {
        if (depth[0])
            f.Enable(GL_DEPTH_TEST);
        else
            f.Disable(GL_DEPTH_TEST);
        f.DepthMask(depth[1] ? GL_TRUE : GL_FALSE);
        f.DepthFunc(static_cast<GLenum>(depth[2]));
    }

    // With y flipped into OpenGL, Direct3D's clockwise is counter-clockwise;
    // in the window's framebuffer y is flipped twice.
    const GLint cull[2] = {static_cast<GLint>(rs[D3DRS_CULLMODE]), window ? 1 : 0};
    if (mCullKey.Change(cull))
    {
        f.FrontFace(window ? GL_CW : GL_CCW);
        if (cull[0] == D3DCULL_CCW || cull[0] == D3DCULL_CW)
        {
            f.Enable(GL_CULL_FACE);
            f.CullFace(cull[0] == D3DCULL_CCW ? GL_BACK : GL_FRONT);
        }
        else
            f.Disable(GL_CULL_FACE);
    }

    const GLint mask[1] = {static_cast<GLint>(rs[D3DRS_COLORWRITEENABLE] & 0xF)};
    if (mColorMaskKey.Change(mask))
        f.ColorMask((mask[0] & 1) != 0, (mask[0] & 2) != 0, (mask[0] & 4) != 0, (mask[0] & 8) != 0);
}

GLint AddressMode(DWORD mode, bool mirrorClamp)
{
    switch (mode)
    {
    case D3DTADDRESS_MIRROR:
        return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
        return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER:
        return GL_CLAMP_TO_BORDER;
    case D3DTADDRESS_MIRRORONCE:
        return mirrorClamp ? GL_MIRROR_CLAMP_TO_EDGE : GL_MIRRORED_REPEAT;
    default:
        return GL_REPEAT;
    }
}

void GlBackend::ApplyTextures(const DeviceState& state, const DrawCall& call)
{
    for (GLuint unit = 0; unit < kSamplerCount; ++unit)
    {
        GlTexture* texture = static_cast<GlTexture*>(call.textures[unit]);
        const GLint bound[1] = {texture ? static_cast<GLint>(texture->name) : 0};
        if (!texture && !mTextureKeys[unit].valid)
            continue; // never used: leave it alone
        if (mTextureKeys[unit].Change(bound))
        {
            f.ActiveTexture(GL_TEXTURE0 + unit);
            f.BindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound[0]));
        }
        if (!texture)
            continue;

        const DWORD* ss = state.samplerStates[unit];
        const GLint key[10] = {
            static_cast<GLint>(ss[D3DSAMP_MINFILTER]),  static_cast<GLint>(ss[D3DSAMP_MAGFILTER]),
            static_cast<GLint>(ss[D3DSAMP_MIPFILTER]),  static_cast<GLint>(ss[D3DSAMP_ADDRESSU]),
            static_cast<GLint>(ss[D3DSAMP_ADDRESSV]),   static_cast<GLint>(ss[D3DSAMP_BORDERCOLOR]),
            static_cast<GLint>(ss[D3DSAMP_MAXANISOTROPY]), static_cast<GLint>(ss[D3DSAMP_MAXMIPLEVEL]),
            static_cast<GLint>(ss[D3DSAMP_MIPMAPLODBIAS]), 0};
        if (!mSamplerKeys[unit].Change(key))
            continue;
        const GLuint sampler = mSamplers[unit];
        const bool minLinear = ss[D3DSAMP_MINFILTER] >= D3DTEXF_LINEAR;
        GLint minFilter = minLinear ? GL_LINEAR : GL_NEAREST;
        if (ss[D3DSAMP_MIPFILTER] == D3DTEXF_POINT)
            minFilter = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
        else if (ss[D3DSAMP_MIPFILTER] >= D3DTEXF_LINEAR)
            minFilter = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
        f.SamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, minFilter);
        f.SamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER,
                            ss[D3DSAMP_MAGFILTER] >= D3DTEXF_LINEAR ? GL_LINEAR : GL_NEAREST);
        f.SamplerParameteri(sampler, GL_TEXTURE_WRAP_S, AddressMode(ss[D3DSAMP_ADDRESSU], mMirrorClamp));
        f.SamplerParameteri(sampler, GL_TEXTURE_WRAP_T, AddressMode(ss[D3DSAMP_ADDRESSV], mMirrorClamp));
        const D3DCOLOR border = ss[D3DSAMP_BORDERCOLOR];
        const GLfloat borderColor[4] = {((border >> 16) & 0xFF) / 255.0f, ((border >> 8) & 0xFF) / 255.0f,
                                        (border & 0xFF) / 255.0f, (border >> 24) / 255.0f};
        f.SamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, borderColor);
        f.SamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, static_cast<float>(ss[D3DSAMP_MAXMIPLEVEL]));
        float bias;
        std::memcpy(&bias, &ss[D3DSAMP_MIPMAPLODBIAS], sizeof bias);
        f.SamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, bias == bias ? bias : 0.0f);
        if (mAnisotropic)
        {
            // ANISOTROPIC with MAXANISOTROPY 1 filters linearly, as Direct3D does.
            const bool anisotropic =
                ss[D3DSAMP_MINFILTER] == D3DTEXF_ANISOTROPIC || ss[D3DSAMP_MAGFILTER] == D3DTEXF_ANISOTROPIC;
            const float amount = anisotropic ? std::clamp(static_cast<float>(ss[D3DSAMP_MAXANISOTROPY]), 1.0f,
                                                          mMaxAnisotropy)
                                             : 1.0f;
            f.SamplerParameterf(sampler, GL_TEXTURE_MAX_ANISOTROPY, amount);
        }
    }
}

void GlBackend::ApplyVertexInput(const DeviceState& state, const DrawCall& call)
{
    GlBuffer* vertices = static_cast<GlBuffer*>(call.vertices);
    const GLint key[5] = {static_cast<GLint>(vertices->name), static_cast<GLint>(call.streamOffset),
                          static_cast<GLint>(call.stride), static_cast<GLint>(state.fvf), 0};
    if (mVertexKey.Change(key))
    {
        f.BindBuffer(GL_ARRAY_BUFFER, vertices->name);
        for (GLuint slot = 0; slot < VertexLayout::SlotCount; ++slot)
        {
            const VertexAttribute& a = call.layout.attributes[slot];
            if (!a.present)
            {
                f.DisableVertexAttribArray(slot);
                f.VertexAttrib4f(slot, 0.0f, 0.0f, 0.0f, 1.0f);
                continue;
            }
            const void* offset = reinterpret_cast<const void*>(static_cast<uintptr_t>(call.streamOffset + a.offset));
            // D3DCOLOR bytes are B,G,R,A in memory; the shader sees (r, g, b, a).
            if (a.color)
                f.VertexAttribPointer(slot, GL_BGRA, GL_UNSIGNED_BYTE, GL_TRUE, static_cast<GLsizei>(call.stride),
                                      offset);
            else
                f.VertexAttribPointer(slot, static_cast<GLint>(a.components), GL_FLOAT, GL_FALSE,
                                      static_cast<GLsizei>(call.stride), offset);
            f.EnableVertexAttribArray(slot);
        }
    }
    if (call.indexed)
    {
        const GLint index[1] = {static_cast<GLint>(static_cast<GlBuffer*>(call.indices)->name)};
        if (mIndexKey.Change(index))
            f.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLuint>(index[0]));
    }
}

// ---------------------------------------------------------------------------
// Clear, draw, present, read-back
// ---------------------------------------------------------------------------

void GlBackend::Clear(const DeviceState&, const ClearCall& call)
{
    if (!MakeCurrent())
        return;
    BeginFrame();
    if (mDirect && SharesDepth(call.target) && (call.flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)))
        LeaveWindow();
    BindTarget(call.target);
    GLbitfield bits = 0;
    if (call.flags & D3DCLEAR_TARGET)
    {
        bits |= GL_COLOR_BUFFER_BIT;
        f.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
        f.ClearColor(((call.color >> 16) & 0xFF) / 255.0f, ((call.color >> 8) & 0xFF) / 255.0f,
                     (call.color & 0xFF) / 255.0f, (call.color >> 24) / 255.0f);
        mColorMaskKey.valid = false;
    }
    if (call.flags & D3DCLEAR_ZBUFFER)
    {
        bits |= GL_DEPTH_BUFFER_BIT;
        f.DepthMask(GL_TRUE);
        f.ClearDepth(call.z);
        mDepthKey.valid = false;
    }
    if (call.flags & D3DCLEAR_STENCIL)
    {
        bits |= GL_STENCIL_BUFFER_BIT;
        f.StencilMask(0xFF);
        f.ClearStencil(static_cast<GLint>(call.stencil & 0xFF));
    }
    // A rectangle covering the whole target clears without the scissor:
    // drivers clear a whole target far faster than a scissored part.
    if (call.rects.size() == 1 && call.rects[0].left <= 0 && call.rects[0].top <= 0 &&
        call.rects[0].right >= static_cast<LONG>(call.target.width) &&
        call.rects[0].bottom >= static_cast<LONG>(call.target.height))
    {
        f.Disable(GL_SCISSOR_TEST);
        f.Clear(bits);
    }
    else
    {
        const bool window = IsWindow(call.target);
        f.Enable(GL_SCISSOR_TEST);
        for (const RECT& r : call.rects)
        {
            f.Scissor(r.left, window ? static_cast<LONG>(call.target.height) - r.bottom : r.top, r.right - r.left,
                      r.bottom - r.top);
            f.Clear(bits);
        }
    }
    mScissorKey.valid = false;
}

void GlBackend::Draw(const DeviceState& state, const DrawCall& call)
{
    if (!MakeCurrent())
        return;
    Program* program = ProgramFor(static_cast<GlShader*>(call.vertexShader), static_cast<GlShader*>(call.pixelShader));
    if (!program->name)
        return;
    BeginFrame();
    if (mDirect && SharesDepth(call.target) && state.renderStates[D3DRS_ZENABLE] != D3DZB_FALSE)
        LeaveWindow();
    BindTarget(call.target);
    ApplyRasterState(state, call.target);
    ApplyProgram(state, program, IsWindow(call.target));
    ApplyTextures(state, call);
    ApplyVertexInput(state, call);
    MarkRead(static_cast<GlBuffer*>(call.vertices));
    if (call.indexed)
        MarkRead(static_cast<GlBuffer*>(call.indices));
    const GLenum mode = PrimitiveMode(call.type);
    if (call.indexed)
        // With the range the device found, the driver can shade the vertices
        // once as a run rather than one index at a time through its cache.
        f.DrawRangeElementsBaseVertex(
            mode, call.lowestIndex, call.highestIndex, static_cast<GLsizei>(call.count),
            call.indexSize == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT,
            reinterpret_cast<const void*>(static_cast<uintptr_t>(call.startIndex) * call.indexSize), call.baseVertex);
    else
        f.DrawArrays(mode, static_cast<GLint>(call.startVertex), static_cast<GLsizei>(call.count));
}

HRESULT GlBackend::Present()
{
    if (!MakeCurrent())
        return D3D_OK; // the window is gone: nothing to show
    mFrameOpen = false;
    if (mDirect)
    {
        SDL_GL_SwapWindow(mWindow);
        return D3D_OK;
    }
    int width = 0, height = 0;
    SDL_GL_GetDrawableSize(mWindow, &width, &height);
    f.BindFramebuffer(GL_READ_FRAMEBUFFER, mBackFramebuffer);
    f.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    f.Disable(GL_SCISSOR_TEST);
    f.ColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    mScissorKey.valid = false;
    mColorMaskKey.valid = false;
    mFramebufferKnown = false;
    // Row 0 of the back buffer is the top of the window.
    const bool sameSize = width == static_cast<int>(mWidth) && height == static_cast<int>(mHeight);
    f.BlitFramebuffer(0, 0, static_cast<GLint>(mWidth), static_cast<GLint>(mHeight), 0, height, width, 0,
                      GL_COLOR_BUFFER_BIT, sameSize ? GL_NEAREST : GL_LINEAR);
    SDL_GL_SwapWindow(mWindow);
    return D3D_OK;
}

bool GlBackend::ReadPixels(const TargetRef& target, std::vector<D3DCOLOR>* pixels)
{
    if (!MakeCurrent())
        return false;
    while (f.GetError() != GL_NO_ERROR)
    {
    }
    BindTarget(target);
    pixels->assign(static_cast<size_t>(target.width) * target.height, 0);
    f.ReadPixels(0, 0, static_cast<GLsizei>(target.width), static_cast<GLsizei>(target.height), GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, pixels->data());
    if (IsWindow(target))
    {
        // Bottom row first: callers get the top row first, as from any target.
        const size_t width = target.width;
        for (size_t top = 0, bottom = target.height; top + 1 < bottom; ++top, --bottom)
            std::swap_ranges(pixels->begin() + top * width, pixels->begin() + (top + 1) * width,
                             pixels->begin() + (bottom - 1) * width);
    }
    const bool opaque = target.texture ? static_cast<GlTexture*>(target.texture)->format == D3DFMT_X8R8G8B8
                                       : mFormat == D3DFMT_X8R8G8B8;
    if (opaque)
        for (D3DCOLOR& p : *pixels)
            p |= 0xFF000000u;
    return f.GetError() == GL_NO_ERROR;
}

} // namespace
} // namespace gl

std::unique_ptr<ExecutionBackend> CreateGlBackend()
{
    return std::make_unique<gl::GlBackend>();
}

} // namespace d3d9
