#pragma once

// A draw is an object. Graphics hands out a pending draw-parameter object;
// the caller may adjust it or turn it into a translated or transformed
// variant; when it is destroyed while still pending, it draws. Only one
// object of a chain is pending at a time, so each draw happens once.
//
//   graphics.DrawImage(image);                         // drawn at the ';'
//   const float at[2] = {100, 50};
//   graphics.DrawImage(image).Translate(at);           // drawn moved
//   auto draw = graphics.DrawImage(image);
//   draw->mHAnchor = 2;                                // centred
//   const float twice[2] = {2, 2};
//   auto big = draw.Scale(twice);                      // only `big` draws
//   big.GetTransform().Rotate(0.5f);

#include "Core/Base/BWResult.h"
#include "Core/Render/Transform2D.h"
#include "Core/Render/VertexFormat.h"

#include <cstdint>
#include <cstring>
#include <utility>

namespace render
{

struct TagUntransformed
{
};
// Selects the constructors that make the parameter record in place.
struct InPlace
{
};
struct TagTranslate2D
{
};
struct TagTransform2D
{
};

class DrawParam
{
public:
    // The owner's own move of the vertices a draw has written.
    virtual BWResultEnum TransformVertices(void* vertices, const VertexFormat& format, uint32_t count) = 0;
    virtual ~DrawParam() = default;
};

template <class Tag, class P>
class DrawParamInterface
{
public:
    typedef Tag TagType;
    typedef P ParamType;
};

// What every concrete draw object holds: the pending flag, a pointer to its
// own parameter record, the record.
template <class Tag, class P>
class DrawParamHolder : public DrawParam, public DrawParamInterface<Tag, P>
{
public:
    DrawParamHolder(const P& param, bool pending) : mPending(pending ? 1 : 0), mParam(&mValue), mValue(param) {}
    // The record made in place from args, pending.
    template <class... Args>
    explicit DrawParamHolder(InPlace, Args&&... args)
        : mPending(1), mParam(&mValue), mValue(std::forward<Args>(args)...)
    {
    }
    // The pending draw moves with the object.
    DrawParamHolder(DrawParamHolder&& other) : mPending(other.mPending), mParam(&mValue), mValue(other.mValue)
    {
        other.mPending = 0;
    }
    DrawParamHolder(const DrawParamHolder&) = delete;
    DrawParamHolder& operator=(const DrawParamHolder&) = delete;

    P* operator->() { return mParam; }
    P& GetParam() { return *mParam; }
    bool IsPending() const { return mPending != 0; }

    // Draws now when still pending and reports the result; the destructor
    // then does nothing.
    BWResultEnum DrawNow()
    {
        if (!mPending)
            return BW_OK;
        mPending = 0;
        return mParam->Draw(this);
    }
    // Nothing will be drawn.
    void Cancel() { mPending = 0; }

protected:
    // Run by each concrete destructor, while the object is still whole.
    void DrawIfPending()
    {
        if (mPending)
        {
            mPending = 0;
            mParam->Draw(this);
        }
    }

    uint32_t mPending;
    P* mParam;
    P mValue;
};

template <class P>
class DrawTranslate2DParam;
template <class P>
class DrawTransform2DParam;

template <class P>
class DrawUntransformedParam : public DrawParamHolder<TagUntransformed, P>
{
public:
    explicit DrawUntransformedParam(const P& param, bool pending = true)
        : DrawParamHolder<TagUntransformed, P>(param, pending)
    {
    }
    template <class... Args>
    explicit DrawUntransformedParam(InPlace tag, Args&&... args)
        : DrawParamHolder<TagUntransformed, P>(tag, std::forward<Args>(args)...)
    {
    }
    DrawUntransformedParam(DrawUntransformedParam&& other) = default;
    ~DrawUntransformedParam() override { this->DrawIfPending(); }

    BWResultEnum TransformVertices(void*, const VertexFormat&, uint32_t) override { return BW_OK; }

    // The same draw moved by t; this object no longer draws.
    DrawTranslate2DParam<P> Translate(const float t[2]);
    // The same draw scaled by s about its anchor; this object no longer draws.
    DrawTransform2DParam<P> Scale(const float s[2]);
};

template <class P>
class DrawTranslate2DParam : public DrawParamHolder<TagTranslate2D, P>
{
public:
    DrawTranslate2DParam(const P& param, bool pending, const float t[2])
        : DrawParamHolder<TagTranslate2D, P>(param, pending), mTranslate{t[0], t[1]}
    {
    }
    DrawTranslate2DParam(DrawTranslate2DParam&& other) = default;
    ~DrawTranslate2DParam() override { this->DrawIfPending(); }

    BWResultEnum TransformVertices(void* vertices, const VertexFormat& format, uint32_t count) override
    {
        // Only x and y change: the third and fourth components get 0 added.
        uint8_t* position = static_cast<uint8_t*>(vertices) + format.mPosition.mOffset;
        for (uint32_t i = 0; i < count; ++i, position += format.mStride)
        {
            float xy[2];
            std::memcpy(xy, position, sizeof(xy));
            xy[0] += mTranslate[0];
            xy[1] += mTranslate[1];
            std::memcpy(position, xy, sizeof(xy));
        }
        return BW_OK;
    }

    float mTranslate[2];
};

template <class P>
class DrawTransform2DParam : public DrawParamHolder<TagTransform2D, P>
{
public:
    DrawTransform2DParam(const P& param, bool pending, const Transform2D& transform)
        : DrawParamHolder<TagTransform2D, P>(param, pending), mTransform(transform)
    {
    }
    // Scaled by s; the transform made in place rather than copied.
    DrawTransform2DParam(const P& param, bool pending, float sx, float sy)
        : DrawParamHolder<TagTransform2D, P>(param, pending)
    {
        mTransform.Scale(sx, sy);
    }
    DrawTransform2DParam(DrawTransform2DParam&& other) = default;
    ~DrawTransform2DParam() override { this->DrawIfPending(); }

    BWResultEnum TransformVertices(void* vertices, const VertexFormat& format, uint32_t count) override
    {
        mTransform.TransformPoints(static_cast<uint8_t*>(vertices) + format.mPosition.mOffset, format.mStride, count);
        return BW_OK;
    }

    Transform2D& GetTransform() { return mTransform; }

    Transform2D mTransform;
};

template <class P>
DrawTranslate2DParam<P> DrawUntransformedParam<P>::Translate(const float t[2])
{
    const bool pending = this->mPending != 0;
    this->mPending = 0;
    return DrawTranslate2DParam<P>(*this->mParam, pending, t);
}

template <class P>
DrawTransform2DParam<P> DrawUntransformedParam<P>::Scale(const float s[2])
{
    const bool pending = this->mPending != 0;
    this->mPending = 0;
    return DrawTransform2DParam<P>(*this->mParam, pending, s[0], s[1]);
}

} // namespace render
