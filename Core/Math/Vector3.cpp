#include "Core/Math/Vector3.h"

#include "Core/Math/MathFunctions.h"

namespace math
{

namespace
{
const float Tolerance = 0.0002f;
}

Vector3& Vector3::operator+=(const Vector3& v)
{
    x += v.x;
    y += v.y;
    z += v.z;
    return *this;
}

Vector3& Vector3::operator-=(const Vector3& v)
{
    x -= v.x;
    y -= v.y;
    z -= v.z;
    return *this;
}

Vector3& Vector3::operator*=(float k)
{
    x *= k;
    y *= k;
    z *= k;
    return *this;
}

Vector3& Vector3::operator/=(float k)
{
    if (k == 0.0f)
        return *this;
    return *this *= 1.0f / k;
}

Vector3 Vector3::operator+(const Vector3& v) const
{
    Vector3 r(*this);
    return r += v;
}

Vector3 Vector3::operator-(const Vector3& v) const
{
    Vector3 r(*this);
    return r -= v;
}

Vector3 Vector3::operator*(float k) const
{
    Vector3 r(*this);
    return r *= k;
}

float Vector3::Length() const
{
    return Sqrt(x * x + y * y + z * z);
}

void Vector3::Normalize()
{
    float length = Length();
    if (length == 0.0f)
        return;
    *this *= 1.0f / length;
}

bool Vector3::IsEqual(const Vector3& a, const Vector3& b)
{
    return Abs(a.x - b.x) <= Tolerance && Abs(a.y - b.y) <= Tolerance && Abs(a.z - b.z) <= Tolerance;
}

bool Vector3::IsNotEqual(const Vector3& a, const Vector3& b)
{
    return !(Abs(a.x - b.x) <= Tolerance) || !(Abs(a.y - b.y) <= Tolerance) || !(Abs(a.z - b.z) <= Tolerance);
}

Vector4& Vector4::operator=(const float v[4])
{
    if (v != &x)
    {
        x = v[0];
        y = v[1];
        z = v[2];
        w = v[3];
    }
    return *this;
}

} // namespace math
