#pragma once

namespace math
{

// 4x4 float matrix for row vectors: a point (x, y, z, 1) multiplies from the
// left, the translation sits in the last row (m[12..14]), and A * B applies A
// first. Element (r, c) is m[4 * r + c].
class Matrix4
{
public:
    // Identity.
    Matrix4();
    // Identity when true; otherwise the elements are left unset.
    explicit Matrix4(bool identity);
    Matrix4(const Matrix4& other);
    Matrix4& operator=(const Matrix4& other);

    Matrix4 operator*(const Matrix4& rhs) const;
    // this = this * rhs; rhs may be this.
    void Multiply(const Matrix4& rhs);

    void SetIdentity();
    void SetTranslation(const float v[3]);
    void Translate(const float v[3]);
    // Sets the diagonal; other elements unchanged.
    void SetScale(const float s[3]);
    // this = this * scale.
    void Scale(const float s[3]);
    // The upper 3x3 block from pitch (x), heading (y) and bank (z), in
    // radians: bank about z, then pitch about x, then heading about y.
    void SetRotationHPB(const float angles[3]);
    // Turns every row, the translation included, by the rotation.
    void Rotate(const float angles[3]);

    void TransformPoint(const float in[3], float out[3]) const;
    void TransformPointInPlace(float p[3]) const;

    float& operator()(int row, int column) { return m[4 * row + column]; }
    float operator()(int row, int column) const { return m[4 * row + column]; }

    float m[16];
};

} // namespace math
