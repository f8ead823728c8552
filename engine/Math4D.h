#pragma once

#include <glm/vec4.hpp>

// Four-dimensional maths: the world's axes are x, y, z, w (y is up), every basis vector
// squares to +1. Orientations are rotors, planes of rotation bivectors, and transforms handed
// to the shaders are 5x5 matrices (a 4D linear part and a translation).

// A plane: coefficients of e12, e13, e14, e23, e24, e34.
struct Bivector4 {
    float xy = 0, xz = 0, xw = 0, yz = 0, yw = 0, zw = 0;

    void normalize();
};

// The outer product a ^ b, normalised; a and b must not be parallel.
Bivector4 wedge4(const glm::vec4& a, const glm::vec4& b);
// The vector orthogonal to a, b and c (component i = det[e_i; a; b; c]).
glm::vec4 cross4(const glm::vec4& a, const glm::vec4& b, const glm::vec4& c);

struct Mat5;

// An even multivector: coefficients of 1, e12, e13, e14, e23, e24, e34, e1234.
struct Rotor4 {
    float s = 1, xy = 0, xz = 0, xw = 0, yz = 0, yw = 0, zw = 0, xyzw = 0;

    Rotor4() = default;
    Rotor4(float s, float xy, float xz, float xw, float yz, float yw, float zw, float xyzw)
        : s(s), xy(xy), xz(xz), xw(xw), yz(yz), yw(yw), zw(zw), xyzw(xyzw) {}
    // The turn by angle (radians) in a unit plane: cos(a/2) - sin(a/2) P.
    Rotor4(const Bivector4& plane, float angle);

    // this = this q (geometric product, not renormalised).
    void multiply(const Rotor4& q);
    // R v R~, the vector part.
    glm::vec4 rotate(const glm::vec4& v) const;
    void normalize();
    // Columns 0 to 3 are the rotated unit axes; column 4 is (0, 0, 0, 0, 1).
    Mat5 toMat5() const;
};

// The shortest turn that carries the unit vector `from` onto the direction of `to`: the rotor
// 1 + to from (scalar to.from, plane to ^ from, unnormalised) made unit. When `to` points
// exactly against `from` the turn has no plane of its own: a half turn in the plane of `from`
// and the axis least aligned with it. A zero `to` gives the identity.
Rotor4 rotorTurning(const glm::vec4& from, const glm::vec4& to);

// A 4D affine transform, 25 floats column-major (m[c*5 + r]); translation in column 4.
// Default-constructed it is the identity. Uploaded to shaders as `uniform float MV[25]`.
struct Mat5 {
    float m[25];

    Mat5();

    float& at(int column, int row) { return m[column * 5 + row]; }
    float at(int column, int row) const { return m[column * 5 + row]; }
    float* column(int i) { return m + i * 5; }
    const float* column(int i) const { return m + i * 5; }
    const float* data() const { return m; }

    // this x b
    Mat5 multiply(const Mat5& b) const;
    Mat5 operator*(const Mat5& b) const { return multiply(b); }
    // Rows 0 to 3 of this x (v, h): h = 1 transforms a point, h = 0 a direction.
    glm::vec4 transform(const glm::vec4& v, float h) const;
};

// The identity with column 4 = (t, 1).
Mat5 translate4(const glm::vec4& t);
// A diagonal scale on the four axes.
Mat5 scale4(const glm::vec4& s);
Mat5 scale4(float s);

// The 4D view matrix: rows 0..3 of the linear part are rowX, rowY, rowZ, rowW, applied after
// moving eye to the origin. The caller supplies an orthonormal basis.
Mat5 lookAt4(const glm::vec4& eye, const glm::vec4& rowZ, const glm::vec4& rowY,
             const glm::vec4& rowX, const glm::vec4& rowW);
