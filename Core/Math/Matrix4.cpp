#include "Core/Math/Matrix4.h"

#include <cmath>
#include <cstring>

namespace math
{

Matrix4::Matrix4()
{
    SetIdentity();
}

Matrix4::Matrix4(bool identity)
{
    if (identity)
        SetIdentity();
}

Matrix4::Matrix4(const Matrix4& other)
{
    std::memcpy(m, other.m, sizeof(m));
}

Matrix4& Matrix4::operator=(const Matrix4& other)
{
    if (this != &other)
        std::memcpy(m, other.m, sizeof(m));
    return *this;
}

void Matrix4::SetIdentity()
{
    for (int i = 0; i < 16; ++i)
        m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

Matrix4 Matrix4::operator*(const Matrix4& rhs) const
{
    Matrix4 c(false);
    for (int i = 0; i < 4; ++i)
    {
        for (int j = 0; j < 4; ++j)
        {
            float sum = m[4 * i] * rhs.m[j];
            for (int k = 1; k < 4; ++k)
                sum += m[4 * i + k] * rhs.m[4 * k + j];
            c.m[4 * i + j] = sum;
        }
    }
    return c;
}

void Matrix4::Multiply(const Matrix4& rhs)
{
    const Matrix4 left(*this);
    *this = left * rhs;
}

void Matrix4::SetTranslation(const float v[3])
{
    m[12] = v[0];
    m[13] = v[1];
    m[14] = v[2];
}

void Matrix4::Translate(const float v[3])
{
    m[12] += v[0];
    m[13] += v[1];
    m[14] += v[2];
}

void Matrix4::SetScale(const float s[3])
{
    m[0] = s[0];
    m[5] = s[1];
    m[10] = s[2];
}

void Matrix4::Scale(const float s[3])
{
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            m[4 * r + c] *= s[c];
}

void Matrix4::SetRotationHPB(const float angles[3])
{
    const double p = angles[0], h = angles[1], b = angles[2];
    const float sp = static_cast<float>(std::sin(p)), cp = static_cast<float>(std::cos(p));
    const float sh = static_cast<float>(std::sin(h)), ch = static_cast<float>(std::cos(h));
    const float sb = static_cast<float>(std::sin(b)), cb = static_cast<float>(std::cos(b));
    m[0] = cb * ch + sb * sp * sh;
    m[1] = sb * cp;
    m[2] = sb * sp * ch - cb * sh;
    m[4] = cb * sp * sh - sb * ch;
    m[5] = cb * cp;
    m[6] = sb * sh + cb * sp * ch;
    m[8] = sh * cp;
    m[9] = -sp;
    m[10] = ch * cp;
}

void Matrix4::Rotate(const float angles[3])
{
    Matrix4 r;
    r.SetRotationHPB(angles);
    for (int row = 0; row < 4; ++row)
    {
        const float x = m[4 * row], y = m[4 * row + 1], z = m[4 * row + 2];
        for (int c = 0; c < 3; ++c)
            m[4 * row + c] = x * r.m[c] + y * r.m[4 + c] + z * r.m[8 + c];
    }
}

void Matrix4::TransformPoint(const float in[3], float out[3]) const
{
    const float x = in[0], y = in[1], z = in[2];
    for (int c = 0; c < 3; ++c)
        out[c] = x * m[c] + y * m[4 + c] + z * m[8 + c] + m[12 + c];
}

void Matrix4::TransformPointInPlace(float p[3]) const
{
    TransformPoint(p, p);
}

} // namespace math
