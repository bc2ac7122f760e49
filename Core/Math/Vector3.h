#pragma once

namespace math
{

// Three floats compared with a fixed tolerance of 0.0002 per component.
class Vector3
{
public:
    Vector3() = default;
    Vector3(float x, float y, float z) : x(x), y(y), z(z) {}
    Vector3(const float v[3]) : x(v[0]), y(v[1]), z(v[2]) {}

    Vector3& operator+=(const Vector3& v);
    Vector3& operator-=(const Vector3& v);
    Vector3& operator*=(float k);
    // Nothing happens for k = 0.
    Vector3& operator/=(float k);
    Vector3 operator+(const Vector3& v) const;
    Vector3 operator-(const Vector3& v) const;
    Vector3 operator*(float k) const;

    float Length() const;
    // Nothing happens for a vector of length 0.
    void Normalize();

    static bool IsEqual(const Vector3& a, const Vector3& b);
    // Also true when a difference is not a number.
    static bool IsNotEqual(const Vector3& a, const Vector3& b);

    float* Data() { return &x; }
    const float* Data() const { return &x; }

    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

class Vector4
{
public:
    Vector4() = default;
    Vector4(float x, float y, float z, float w) : x(x), y(y), z(z), w(w) {}

    Vector4& operator=(const float v[4]);

    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;
};

} // namespace math
