#include "engine/Math4D.h"

#include <cmath>

void Bivector4::normalize() {
    const float length = std::sqrt(xy * xy + xz * xz + xw * xw + yz * yz + yw * yw + zw * zw);
    xy /= length;
    xz /= length;
    xw /= length;
    yz /= length;
    yw /= length;
    zw /= length;
}

Bivector4 wedge4(const glm::vec4& a, const glm::vec4& b) {
    Bivector4 p;
    p.xy = a.x * b.y - a.y * b.x;
    p.xz = a.x * b.z - a.z * b.x;
    p.xw = a.x * b.w - a.w * b.x;
    p.yz = a.y * b.z - a.z * b.y;
    p.yw = a.y * b.w - a.w * b.y;
    p.zw = a.z * b.w - a.w * b.z;
    p.normalize();
    return p;
}

glm::vec4 cross4(const glm::vec4& a, const glm::vec4& b, const glm::vec4& c) {
    // The 2x2 minors stay in single precision; the last step runs in double so the result
    // does not depend on the order the three products are summed in.
    const double mxy = b.x * c.y - c.x * b.y;
    const double mxz = b.x * c.z - b.z * c.x;
    const double mxw = b.x * c.w - b.w * c.x;
    const double myz = b.y * c.z - b.z * c.y;
    const double myw = b.y * c.w - b.w * c.y;
    const double mzw = b.z * c.w - b.w * c.z;
    const double ax = a.x, ay = a.y, az = a.z, aw = a.w;
    return glm::vec4(static_cast<float>(ay * mzw - az * myw + aw * myz),
                     static_cast<float>(az * mxw - ax * mzw - aw * mxz),
                     static_cast<float>(ax * myw - ay * mxw + aw * mxy),
                     static_cast<float>(ay * mxz - ax * myz - az * mxy));
}

Rotor4::Rotor4(const Bivector4& plane, float angle) {
    const float sine = std::sin(angle / 2);
    s = std::cos(angle / 2);
    xy = -sine * plane.xy;
    xz = -sine * plane.xz;
    xw = -sine * plane.xw;
    yz = -sine * plane.yz;
    yw = -sine * plane.yw;
    zw = -sine * plane.zw;
    xyzw = 0;
}

void Rotor4::multiply(const Rotor4& other) {
    // Copies of both operands: q may be this rotor itself.
    const Rotor4 a = *this;
    const Rotor4 q = other;
    s = a.s * q.s - a.xy * q.xy - a.xz * q.xz - a.xw * q.xw - a.yz * q.yz - a.yw * q.yw -
        a.zw * q.zw + a.xyzw * q.xyzw;
    xy = a.s * q.xy + a.xy * q.s - a.xz * q.yz - a.xw * q.yw + a.yz * q.xz + a.yw * q.xw -
         a.zw * q.xyzw - a.xyzw * q.zw;
    xz = a.s * q.xz + a.xy * q.yz + a.xz * q.s - a.xw * q.zw - a.yz * q.xy + a.yw * q.xyzw +
         a.zw * q.xw + a.xyzw * q.yw;
    xw = a.s * q.xw + a.xy * q.yw + a.xz * q.zw + a.xw * q.s - a.yz * q.xyzw - a.yw * q.xy -
         a.zw * q.xz - a.xyzw * q.yz;
    yz = a.s * q.yz - a.xy * q.xz + a.xz * q.xy - a.xw * q.xyzw + a.yz * q.s - a.yw * q.zw +
         a.zw * q.yw - a.xyzw * q.xw;
    yw = a.s * q.yw - a.xy * q.xw + a.xz * q.xyzw + a.xw * q.xy + a.yz * q.zw + a.yw * q.s -
         a.zw * q.yz + a.xyzw * q.xz;
    zw = a.s * q.zw - a.xy * q.xyzw - a.xz * q.xw + a.xw * q.xz - a.yz * q.yw + a.yw * q.yz +
         a.zw * q.s - a.xyzw * q.xy;
    xyzw = a.s * q.xyzw + a.xy * q.zw - a.xz * q.yw + a.xw * q.yz + a.yz * q.xw - a.yw * q.xz +
           a.zw * q.xy + a.xyzw * q.s;
}

glm::vec4 Rotor4::rotate(const glm::vec4& v) const {
    // t = R v: a vector part and a trivector part.
    const float tx = s * v.x + xy * v.y + xz * v.z + xw * v.w;
    const float ty = s * v.y - xy * v.x + yz * v.z + yw * v.w;
    const float tz = s * v.z - xz * v.x - yz * v.y + zw * v.w;
    const float tw = s * v.w - xw * v.x - yw * v.y - zw * v.z;
    const float txyz = xy * v.z - xz * v.y + yz * v.x + xyzw * v.w;
    const float txyw = xy * v.w - xw * v.y + yw * v.x - xyzw * v.z;
    const float txzw = xz * v.w - xw * v.z + zw * v.x + xyzw * v.y;
    const float tyzw = yz * v.w - yw * v.z + zw * v.y - xyzw * v.x;
    // t R~, keeping the vector part (the trivector part cancels for a rotor).
    return glm::vec4(
        s * tx + xy * ty + xz * tz + xw * tw + yz * txyz + yw * txyw + zw * txzw + xyzw * tyzw,
        s * ty - xy * tx + yz * tz + yw * tw - xz * txyz - xw * txyw + zw * tyzw - xyzw * txzw,
        s * tz - xz * tx - yz * ty + zw * tw + xy * txyz - xw * txzw - yw * tyzw + xyzw * txyw,
        s * tw - xw * tx - yw * ty - zw * tz + xy * txyw + xz * txzw + yz * tyzw - xyzw * txyz);
}

void Rotor4::normalize() {
    const float length = std::sqrt(s * s + xy * xy + xz * xz + xw * xw + yz * yz + yw * yw +
                                   zw * zw + xyzw * xyzw);
    s /= length;
    xy /= length;
    xz /= length;
    xw /= length;
    yz /= length;
    yw /= length;
    zw /= length;
    xyzw /= length;
}

Rotor4 rotorTurning(const glm::vec4& from, const glm::vec4& to) {
    const float length = std::sqrt(to.x * to.x + to.y * to.y + to.z * to.z + to.w * to.w);
    if (!(length > 0.0f)) return Rotor4();
    const glm::vec4 b = to / length, a = from;
    Rotor4 r(1.0f + b.x * a.x + b.y * a.y + b.z * a.z + b.w * a.w, b.x * a.y - b.y * a.x,
             b.x * a.z - b.z * a.x, b.x * a.w - b.w * a.x, b.y * a.z - b.z * a.y,
             b.y * a.w - b.w * a.y, b.z * a.w - b.w * a.z, 0.0f);
    const float norm = std::sqrt(r.s * r.s + r.xy * r.xy + r.xz * r.xz + r.xw * r.xw +
                                 r.yz * r.yz + r.yw * r.yw + r.zw * r.zw);
    if (norm > 1e-6f) {
        r.normalize();
        return r;
    }
    int least = 0;
    for (int i = 1; i < 4; ++i)
        if (std::fabs(a[i]) < std::fabs(a[least])) least = i;
    glm::vec4 side(0.0f);
    side[least] = 1.0f;
    side -= a * (side[least] * a[least]);
    return Rotor4(wedge4(side, a), 3.14159265f);
}

Mat5 Rotor4::toMat5() const {
    Mat5 result;
    for (int c = 0; c < 4; ++c) {
        glm::vec4 axis(0.0f);
        axis[c] = 1.0f;
        const glm::vec4 image = rotate(axis);
        for (int r = 0; r < 4; ++r) result.at(c, r) = image[r];
    }
    return result;
}

Mat5::Mat5() {
    for (int i = 0; i < 25; ++i) m[i] = 0.0f;
    for (int i = 0; i < 5; ++i) at(i, i) = 1.0f;
}

Mat5 Mat5::multiply(const Mat5& b) const {
    Mat5 result;
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < 5; ++r) {
            float sum = 0.0f;
            for (int k = 0; k < 5; ++k) sum += at(k, r) * b.at(c, k);
            result.at(c, r) = sum;
        }
    return result;
}

glm::vec4 Mat5::transform(const glm::vec4& v, float h) const {
    const float u[5] = {v.x, v.y, v.z, v.w, h};
    glm::vec4 result;
    for (int r = 0; r < 4; ++r) {
        float sum = 0.0f;
        for (int c = 0; c < 5; ++c) sum += at(c, r) * u[c];
        result[r] = sum;
    }
    return result;
}

Mat5 translate4(const glm::vec4& t) {
    Mat5 result;
    for (int r = 0; r < 4; ++r) result.at(4, r) = t[r];
    return result;
}

Mat5 scale4(const glm::vec4& s) {
    Mat5 result;
    for (int i = 0; i < 4; ++i) result.at(i, i) = s[i];
    return result;
}

Mat5 scale4(float s) { return scale4(glm::vec4(s)); }

Mat5 lookAt4(const glm::vec4& eye, const glm::vec4& rowZ, const glm::vec4& rowY,
             const glm::vec4& rowX, const glm::vec4& rowW) {
    Mat5 rows;
    const glm::vec4 linearRows[4] = {rowX, rowY, rowZ, rowW};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) rows.at(c, r) = linearRows[r][c];
    return rows.multiply(translate4(-eye));
}
