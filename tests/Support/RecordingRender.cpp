#include "RecordingRender.h"

#include "Core/Render/ImageData.h"

#include "Core/Math/Matrix4.h"
#include "Core/Render/VertexFormat.h"

#include <cstdio>
#include <sstream>

namespace bwtest
{
namespace
{

std::string Num(float value)
{
    char text[32];
    std::snprintf(text, sizeof(text), "%g", static_cast<double>(value));
    return text;
}

} // namespace

// --- Buffers ---------------------------------------------------------------------

MemoryVertexBuffer::MemoryVertexBuffer(RecordingRender* render) : MemoryBuffer(render)
{
    render->Name(this, "vb" + std::to_string(render->mVertexBuffersMade++));
}

BWResultEnum MemoryVertexBuffer::Create(const render::VertexFormat& format, uint32_t count, bool dynamic)
{
    mFormatId = format.mId;
    Allocate(format.mStride, count, dynamic);
    return BW_OK;
}

MemoryIndexBuffer::MemoryIndexBuffer(RecordingRender* render) : MemoryBuffer(render)
{
    render->Name(this, "ib" + std::to_string(render->mIndexBuffersMade++));
}

BWResultEnum MemoryIndexBuffer::Create(uint32_t indexSize, uint32_t count, bool dynamic)
{
    Allocate(indexSize, count, dynamic);
    return BW_OK;
}

// --- Shaders and textures ----------------------------------------------------------

BWResultEnum LoggingScalarVariable::SetMatrix(const math::Matrix4* matrix)
{
    return mRender->Log("SetMatrix(" + mName + "," + mRender->NameOf(matrix) + ")");
}

BWResultEnum LoggingTextureVariable::SetTexture(render::Texture* texture)
{
    return mRender->Log("SetTexture(" + mName + "," + mRender->NameOf(texture) + ")");
}

RecordingShaderImpl::RecordingShaderImpl(RecordingRender* render, std::string name)
    : ShaderImpl(render), mName(std::move(name)), mOwner(render)
{
    mOwner->Name(this, mName);
}

BWResultEnum RecordingShaderImpl::OnResetDevice()
{
    SetAllChanged();
    return BW_OK;
}

BWResultEnum RecordingShaderImpl::OnDeselect()
{
    SetAllChanged();
    return BW_OK;
}

render::ShaderScalarVariableImpl* RecordingShaderImpl::CreateScalarVariable(const std::string& name, uint32_t kind)
{
    (void)kind;
    return new LoggingScalarVariable(mOwner, mName + "." + name);
}

render::ShaderTextureVariableImpl* RecordingShaderImpl::CreateTextureVariable(const std::string& name)
{
    if (!mHasTextureSampler)
        return nullptr;
    return new LoggingTextureVariable(mOwner, mName + "." + name);
}

MemoryTexture::MemoryTexture(RecordingRender* render) : Texture(render), mOwner(render)
{
}

BWResultEnum MemoryTexture::Load(render::ImageData* image)
{
    if (!image || image->GetWidth() <= 0 || image->GetHeight() <= 0 || image->GetCompression() != 0)
        return BW_FAIL;
    mWidth = static_cast<uint32_t>(image->GetWidth());
    mHeight = static_cast<uint32_t>(image->GetHeight());
    mPixels.assign(static_cast<size_t>(mWidth) * mHeight, 0);
    mHitMask.Resize(mWidth, mHeight);
    return image->Read(mWidth * 4, 0, mPixels.data(), &mHitMask, 0);
}

BWResultEnum MemoryTexture::CreateRenderTarget(uint32_t width, uint32_t height)
{
    mWidth = width;
    mHeight = height;
    return BW_OK;
}

BWResultEnum MemoryTexture::CreateDynamic(uint32_t width, uint32_t height)
{
    mWidth = width;
    mHeight = height;
    return BW_OK;
}

BWResultEnum MemoryTexture::Restore()
{
    mReleased = false;
    return BW_OK;
}

BWResultEnum MemoryTexture::Release()
{
    mReleased = true;
    return BW_OK;
}

// --- Renderer -----------------------------------------------------------------------

RecordingRender::RecordingRender() = default;

RecordingRender::~RecordingRender()
{
    ReleaseResources();
}

BWResultEnum RecordingRender::Init(uint32_t width, uint32_t height)
{
    render::RenderInitParam param;
    param.mWidth = width;
    param.mHeight = height;
    return InitRender(nullptr, param);
}

BWResultEnum RecordingRender::Log(const std::string& call)
{
    mCalls.push_back(call);
    std::string name = call.substr(0, call.find('('));
    int occurrence = ++mCallCounts[name];
    if (!mFailCall.empty() && name == mFailCall && occurrence == mFailOccurrence)
        return BW_FAIL;
    return BW_OK;
}

std::string RecordingRender::NameOf(const void* object) const
{
    if (!object)
        return "null";
    auto it = mNames.find(object);
    if (it != mNames.end())
        return it->second;
    std::ostringstream text;
    text << object;
    return text.str();
}

BWResultEnum RecordingRender::CreateTexture(render::Texture** out)
{
    auto* texture = new MemoryTexture(this);
    texture->mName = "tex" + std::to_string(mTexturesMade++);
    Name(texture, texture->mName);
    *out = texture;
    return BW_OK;
}

BWResultEnum RecordingRender::CreateShader(const std::string& vertexText, const std::string& pixelText,
                                           render::ShaderImpl** out)
{
    if (vertexText.empty() || pixelText.empty())
        return BW_FAIL;
    *out = new RecordingShaderImpl(this, vertexText);
    return BW_OK;
}

BWResultEnum RecordingRender::CreateShaderGeom(render::ShaderImpl** out)
{
    if (mFailCreate == "geom")
        return BW_FAIL;
    auto* shader = new RecordingShaderImpl(this, "geom");
    shader->mHasTextureSampler = false;
    *out = shader;
    return BW_OK;
}

BWResultEnum RecordingRender::CreateShaderTexturedMult(render::ShaderImpl** out)
{
    if (mFailCreate == "mult")
        return BW_FAIL;
    *out = new RecordingShaderImpl(this, "mult");
    return BW_OK;
}

BWResultEnum RecordingRender::CreateShaderTexturedTint(render::ShaderImpl** out)
{
    if (mFailCreate == "tint")
        return BW_FAIL;
    *out = new RecordingShaderImpl(this, "tint");
    return BW_OK;
}

BWResultEnum RecordingRender::CreateVertexBuffer(const render::VertexFormat& format, uint32_t count, bool dynamic,
                                                 render::VertexBufferImpl** out)
{
    if (mFailCreate == "vertex")
        return BW_FAIL;
    auto* buffer = new MemoryVertexBuffer(this);
    buffer->Create(format, count, dynamic);
    *out = buffer;
    return BW_OK;
}

BWResultEnum RecordingRender::CreateIndexBuffer(uint32_t indexSize, uint32_t count, bool dynamic,
                                                render::IndexBufferImpl** out)
{
    if (mFailCreate == "index")
        return BW_FAIL;
    auto* buffer = new MemoryIndexBuffer(this);
    buffer->Create(indexSize, count, dynamic);
    *out = buffer;
    return BW_OK;
}

BWResultEnum RecordingRender::DoClear(uint32_t flags, const float color[4], float z, uint32_t stencil)
{
    // The device clips a clear to an enabled scissor.
    return Log("Clear(" + std::to_string(flags) + "," + Num(color[0]) + "," + Num(color[1]) + "," + Num(color[2]) +
               "," + Num(color[3]) + "," + Num(z) + "," + std::to_string(stencil) + ")" +
               (mScissorOn ? " clipped" : ""));
}

BWResultEnum RecordingRender::DoBeginScene()
{
    if (Log("BeginScene()") != BW_OK || mSceneOpen)
        return BW_FAIL;
    mSceneOpen = true;
    return BW_OK;
}

BWResultEnum RecordingRender::DoEndScene()
{
    if (Log("EndScene()") != BW_OK || !mSceneOpen)
        return BW_FAIL;
    mSceneOpen = false;
    return BW_OK;
}

BWResultEnum RecordingRender::CheckDraw(bool indexed, const std::string& call)
{
    if (Log(call) != BW_OK || !mSceneOpen || !mBoundShader || !mBoundVertexBuffer || !mFormatSet ||
        (indexed && !mBoundIndexBuffer))
        return BW_FAIL;
    return BW_OK;
}
BWResultEnum RecordingRender::DoPresent() { return Log("Present()"); }

BWResultEnum RecordingRender::DoSetRenderTarget(render::Texture* target)
{
    return Log("SetRenderTarget(" + NameOf(target) + ")");
}

BWResultEnum RecordingRender::DoSetShader(render::ShaderImpl* shader)
{
    if (Log("SetShader(" + NameOf(shader) + ")") != BW_OK)
        return BW_FAIL;
    mBoundShader = shader;
    return BW_OK;
}

BWResultEnum RecordingRender::DoSetVertexFormat(uint32_t formatId)
{
    if (Log("SetVertexFormat(" + std::to_string(formatId) + ")") != BW_OK || !render::VertexFormat::Find(formatId))
        return BW_FAIL;
    mFormatSet = true;
    return BW_OK;
}

BWResultEnum RecordingRender::DoSetVertexBuffer(render::VertexBufferImpl* buffer)
{
    if (Log("SetVertexBuffer(" + NameOf(buffer) + ")") != BW_OK)
        return BW_FAIL;
    mBoundVertexBuffer = buffer;
    return BW_OK;
}

BWResultEnum RecordingRender::DoSetIndexBuffer(render::IndexBufferImpl* buffer)
{
    if (Log("SetIndexBuffer(" + NameOf(buffer) + ")") != BW_OK)
        return BW_FAIL;
    mBoundIndexBuffer = buffer;
    return BW_OK;
}

BWResultEnum RecordingRender::DoSetBlendMode(uint32_t mode)
{
    return Log("SetBlendMode(" + std::to_string(mode) + ")");
}

BWResultEnum RecordingRender::DoEnableScissor(bool enable)
{
    if (Log(std::string("EnableScissor(") + (enable ? "1" : "0") + ")") != BW_OK)
        return BW_FAIL;
    mScissorOn = enable;
    return BW_OK;
}

BWResultEnum RecordingRender::DoSetScissorRect(const int rect[4])
{
    return Log("SetScissorRect(" + std::to_string(rect[0]) + "," + std::to_string(rect[1]) + "," +
               std::to_string(rect[2]) + "," + std::to_string(rect[3]) + ")");
}

BWResultEnum RecordingRender::DoSetDepthTest(bool enable, bool write)
{
    return Log(std::string("SetDepthTest(") + (enable ? "1" : "0") + "," + (write ? "1" : "0") + ")");
}

BWResultEnum RecordingRender::DoDrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount)
{
    return CheckDraw(false, "DrawPrimitive(" + std::to_string(type) + "," + std::to_string(startVertex) + "," +
               std::to_string(primitiveCount) + ")");
}

BWResultEnum RecordingRender::DoDrawIndexedPrimitive(uint32_t type, uint32_t bytesPerIndex, uint32_t startIndex,
                                                     uint32_t primitiveCount, uint32_t minVertexIndex,
                                                     uint32_t vertexCount)
{
    return CheckDraw(true, "DrawIndexedPrimitive(" + std::to_string(type) + "," + std::to_string(bytesPerIndex) + "," +
               std::to_string(startIndex) + "," + std::to_string(primitiveCount) + "," +
               std::to_string(minVertexIndex) + "," + std::to_string(vertexCount) + ")");
}

} // namespace bwtest
