// Recording of state and draws into the command buffer, batching of draws
// that continue each other, and the replay onto the device.

#include "Core/Base/StreamFields.h"
#include "Core/Render/Buffer.h"
#include "Core/Render/Render.h"
#include "Core/Render/ShaderImpl.h"

#include <algorithm>

namespace render
{
namespace
{

// Vertices or indices per primitive of the list types; 0 for the types that
// are never merged (strips and fans).
uint32_t ElementsPerPrimitive(uint32_t type)
{
    switch (type)
    {
    case PointList: return 1;
    case LineList: return 2;
    case TriangleList: return 3;
    default: return 0;
    }
}

bool SameRect(const float a[4], const float b[4])
{
    return a[0] == b[0] && a[1] == b[1] && a[2] == b[2] && a[3] == b[3];
}

} // namespace

bool Render::IsStateDirty() const
{
    return mStateDirty || (mRequestedState.mShader && mRequestedState.mShader->HasChangedVariables());
}

BWResultEnum Render::ApplyState()
{
    BWResultEnum result;
    RenderState& req = mRequestedState;
    RenderState& cur = mCurrentState;

    if (mStateDirty)
    {
        if (req.mTarget != mRecordedTarget && (result = RecordTarget(req.mTarget)) != BW_OK)
            return result;
        const bool targetChanged = cur.mTarget != req.mTarget;
        cur.SetTargetDesc(req.GetTargetDesc());
        mRecordedTarget = req.mTarget;

        if (req.mShader != cur.mShader)
        {
            if ((result = CommandRecord(CmdSetShader).Ptr(req.mShader).WriteTo(&mCommands)) != BW_OK)
                return result;
            // The shader left behind sends all its variables when it returns.
            if (cur.mShader)
                cur.mShader->OnDeselect();
            if (req.mShader)
                req.mShader->OnSelect();
            cur.mShader = req.mShader;
        }

        if (req.mVertexBuffer != cur.mVertexBuffer)
        {
            if (req.mVertexBuffer &&
                !(cur.mVertexBuffer && cur.mVertexBuffer->GetFormatId() == req.mVertexBuffer->GetFormatId()))
            {
                result = CommandRecord(CmdSetVertexFormat).U32(req.mVertexBuffer->GetFormatId()).WriteTo(&mCommands);
                if (result != BW_OK)
                    return result;
            }
            if ((result = CommandRecord(CmdSetVertexBuffer).Ptr(req.mVertexBuffer).WriteTo(&mCommands)) != BW_OK)
                return result;
            cur.mVertexBuffer = req.mVertexBuffer;
        }

        if (req.mIndexBuffer != cur.mIndexBuffer)
        {
            if ((result = CommandRecord(CmdSetIndexBuffer).Ptr(req.mIndexBuffer).WriteTo(&mCommands)) != BW_OK)
                return result;
            cur.mIndexBuffer = req.mIndexBuffer;
        }

        if (req.mBlendMode != cur.mBlendMode)
        {
            if ((result = CommandRecord(CmdSetBlendMode).U32(req.mBlendMode).WriteTo(&mCommands)) != BW_OK)
                return result;
            cur.mBlendMode = req.mBlendMode;
        }

        // Setting a render target resets the device's scissor rectangle, so
        // both scissor commands follow a target change.
        if (req.mScissorEnabled != cur.mScissorEnabled || targetChanged)
        {
            if ((result = CommandRecord(CmdEnableScissor).U8(req.mScissorEnabled).WriteTo(&mCommands)) != BW_OK)
                return result;
            cur.mScissorEnabled = req.mScissorEnabled;
        }

        if ((req.mScissorEnabled && !SameRect(req.mScissorRect, cur.mScissorRect)) || targetChanged)
        {
            int rect[4];
            ToScreenRect(req.mScissorRect, rect);
            result = CommandRecord(CmdSetScissorRect).I32(rect[0]).I32(rect[1]).I32(rect[2]).I32(rect[3]).WriteTo(
                &mCommands);
            if (result != BW_OK)
                return result;
            std::copy(req.mScissorRect, req.mScissorRect + 4, cur.mScissorRect);
        }

        if (req.mDepthTest != cur.mDepthTest || (req.mDepthTest && req.mDepthWrite != cur.mDepthWrite))
        {
            CommandRecord record(CmdSetDepthTest);
            record.U8(req.mDepthTest);
            if (req.mDepthTest)
                record.U8(req.mDepthWrite);
            if ((result = record.WriteTo(&mCommands)) != BW_OK)
                return result;
            cur.mDepthTest = req.mDepthTest;
            cur.mDepthWrite = req.mDepthWrite;
        }

        mStateDirty = 0;
    }

    ShaderImpl* shader = req.mShader;
    if (shader && shader->HasChangedVariables())
    {
        if ((result = CommandRecord(CmdSetShaderVariables).Ptr(shader).WriteTo(&mCommands)) != BW_OK)
            return result;
        if ((result = shader->WriteChangedVariables(&mCommands)) != BW_OK)
            return result;
    }
    return BW_OK;
}

BWResultEnum Render::FlushBatch()
{
    BWResultEnum result = BW_OK;
    if (mBatchCount != 0)
    {
        if (mBatchIndexed)
        {
            IndexBufferImpl* indices = mCurrentState.mIndexBuffer;
            result = CommandRecord(CmdDrawIndexedPrimitive)
                         .U32(mBatchType)
                         .U32(indices ? indices->GetElementSize() : 0)
                         .U32(mBatchStart)
                         .U32(mBatchCount)
                         .U32(mBatchMinVertex)
                         .U32(mBatchVertexCount)
                         .WriteTo(&mCommands);
        }
        else
        {
            result = CommandRecord(CmdDrawPrimitive).U32(mBatchType).U32(mBatchStart).U32(mBatchCount).WriteTo(
                &mCommands);
        }
    }
    ClearBatch();
    return result;
}

bool Render::ContinuesBatch(bool indexed, uint32_t type, uint32_t start) const
{
    const uint32_t k = ElementsPerPrimitive(type);
    return (mBatchIndexed != 0) == indexed && mBatchType == type && mBatchCount != 0 && k != 0 &&
           start == mBatchStart + mBatchCount * k && !IsStateDirty();
}

BWResultEnum Render::StartBatch(bool indexed, uint32_t type, uint32_t start, uint32_t primitiveCount,
                                uint32_t minVertexIndex, uint32_t vertexCount)
{
    BWResultEnum result = FlushBatch();
    if (result != BW_OK)
        return result;
    if (IsStateDirty() && (result = ApplyState()) != BW_OK)
        return result;
    mBatchIndexed = indexed ? 1 : 0;
    mBatchType = type;
    mBatchStart = start;
    mBatchCount = primitiveCount;
    mBatchMinVertex = minVertexIndex;
    mBatchVertexCount = vertexCount;
    return BW_OK;
}

BWResultEnum Render::DrawPrimitive(uint32_t type, uint32_t startVertex, uint32_t primitiveCount)
{
    if (!ContinuesBatch(false, type, startVertex))
        return StartBatch(false, type, startVertex, primitiveCount, 0, 0);
    mBatchCount += primitiveCount;
    return BW_OK;
}

BWResultEnum Render::DrawIndexedPrimitive(uint32_t type, uint32_t startIndex, uint32_t primitiveCount,
                                          uint32_t minVertexIndex, uint32_t vertexCount)
{
    if (!ContinuesBatch(true, type, startIndex))
        return StartBatch(true, type, startIndex, primitiveCount, minVertexIndex, vertexCount);
    const uint32_t end = std::max(mBatchMinVertex + mBatchVertexCount, minVertexIndex + vertexCount);
    mBatchCount += primitiveCount;
    mBatchMinVertex = std::min(mBatchMinVertex, minVertexIndex);
    mBatchVertexCount = end - mBatchMinVertex;
    return BW_OK;
}

BWResultEnum Render::ExecuteCommands()
{
    BWResultEnum result = CommandRecord(CmdEnd).WriteTo(&mCommands);
    if (result == BW_OK)
        result = mCommands.Rewind();
    if (result == BW_OK)
        result = ReplayCommands();
    // Rewound whatever happened, so the next frame starts clean; after a
    // failure the device state is unknown.
    if (mCommands.Rewind() != BW_OK && result == BW_OK)
        result = BW_FAIL;
    if (result != BW_OK)
    {
        // A scene the replay began and did not end would make the device
        // refuse every later BeginScene; when ending it fails too, the next
        // failed frame tries again.
        if (mDeviceInScene && DoEndScene() == BW_OK)
            mDeviceInScene = 0;
        ForgetDeviceState();
    }
    return result;
}

BWResultEnum Render::ReplayCommands()
{
    base::Stream* s = &mCommands;
    for (;;)
    {
        uint32_t code = 0;
        if (base::ReadUInt32(s, &code) != BW_OK)
            return BW_FAIL;

        BWResultEnum result = BW_OK;
        switch (code)
        {
        case CmdClear:
        {
            uint32_t flags = 0, stencil = 0;
            float color[4] = {0, 0, 0, 0}, z = 0;
            if (base::ReadUInt32(s, &flags) || base::ReadFloat(s, &color[0]) || base::ReadFloat(s, &color[1]) ||
                base::ReadFloat(s, &color[2]) || base::ReadFloat(s, &color[3]) || base::ReadFloat(s, &z) ||
                base::ReadUInt32(s, &stencil))
                return BW_FAIL;
            result = DoClear(flags, color, z, stencil);
            break;
        }
        case CmdBeginScene:
            result = DoBeginScene();
            if (result == BW_OK)
                mDeviceInScene = 1;
            break;
        case CmdEndScene:
            result = DoEndScene();
            if (result == BW_OK)
                mDeviceInScene = 0;
            break;
        case CmdPresent: result = DoPresent(); break;
        case CmdSetRenderTarget:
        {
            void* target = nullptr;
            if (base::ReadPointer(s, &target))
                return BW_FAIL;
            result = DoSetRenderTarget(static_cast<Texture*>(target));
            break;
        }
        case CmdResetRenderTarget: result = DoSetRenderTarget(nullptr); break;
        case CmdSetShader:
        {
            void* shader = nullptr;
            if (base::ReadPointer(s, &shader))
                return BW_FAIL;
            result = DoSetShader(static_cast<ShaderImpl*>(shader));
            break;
        }
        case CmdSetShaderVariables:
        {
            void* shader = nullptr;
            if (base::ReadPointer(s, &shader) || !shader)
                return BW_FAIL;
            result = static_cast<ShaderImpl*>(shader)->ReadVariables(s);
            break;
        }
        case CmdSetVertexFormat:
        {
            uint32_t id = 0;
            if (base::ReadUInt32(s, &id))
                return BW_FAIL;
            result = DoSetVertexFormat(id);
            break;
        }
        case CmdSetVertexBuffer:
        {
            void* buffer = nullptr;
            if (base::ReadPointer(s, &buffer))
                return BW_FAIL;
            result = DoSetVertexBuffer(static_cast<VertexBufferImpl*>(buffer));
            break;
        }
        case CmdSetIndexBuffer:
        {
            void* buffer = nullptr;
            if (base::ReadPointer(s, &buffer))
                return BW_FAIL;
            result = DoSetIndexBuffer(static_cast<IndexBufferImpl*>(buffer));
            break;
        }
        case CmdSetBlendMode:
        {
            uint32_t mode = 0;
            if (base::ReadUInt32(s, &mode))
                return BW_FAIL;
            result = DoSetBlendMode(mode);
            break;
        }
        case CmdEnableScissor:
        {
            uint8_t enable = 0;
            if (base::ReadUInt8(s, &enable))
                return BW_FAIL;
            result = DoEnableScissor(enable != 0);
            break;
        }
        case CmdSetScissorRect:
        {
            int32_t rect[4] = {0, 0, 0, 0};
            if (base::ReadInt32(s, &rect[0]) || base::ReadInt32(s, &rect[1]) || base::ReadInt32(s, &rect[2]) ||
                base::ReadInt32(s, &rect[3]))
                return BW_FAIL;
            int r[4] = {rect[0], rect[1], rect[2], rect[3]};
            result = DoSetScissorRect(r);
            break;
        }
        case CmdSetDepthTest:
        {
            uint8_t enable = 0, write = 0;
            if (base::ReadUInt8(s, &enable))
                return BW_FAIL;
            if (enable && base::ReadUInt8(s, &write))
                return BW_FAIL;
            result = DoSetDepthTest(enable != 0, write != 0);
            break;
        }
        case CmdDrawPrimitive:
        {
            uint32_t type = 0, start = 0, count = 0;
            if (base::ReadUInt32(s, &type) || base::ReadUInt32(s, &start) || base::ReadUInt32(s, &count))
                return BW_FAIL;
            result = DoDrawPrimitive(type, start, count);
            break;
        }
        case CmdDrawIndexedPrimitive:
        {
            uint32_t w[6] = {0, 0, 0, 0, 0, 0};
            for (uint32_t& word : w)
                if (base::ReadUInt32(s, &word))
                    return BW_FAIL;
            result = DoDrawIndexedPrimitive(w[0], w[1], w[2], w[3], w[4], w[5]);
            break;
        }
        case CmdEnd: return BW_OK;
        default: break; // 15 and unknown codes carry no payload
        }
        if (result != BW_OK)
            return result;
    }
}

} // namespace render
