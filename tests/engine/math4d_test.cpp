#include "engine/Math4D.h"

#include <gtest/gtest.h>
#include <glm/geometric.hpp>
#include <glm/mat4x4.hpp>
#include <glm/matrix.hpp>

#include <array>
#include <bit>
#include <cmath>
#include <random>
#include <vector>

namespace {

// A general multivector of 4D Euclidean geometric algebra: blade k is the product of the basis
// vectors whose bits are set in k (bit 0 = e1 = x ... bit 3 = e4 = w).
using Multivector = std::array<double, 16>;

Multivector product(const Multivector& a, const Multivector& b) {
    Multivector r{};
    for (unsigned i = 0; i < 16; ++i)
        for (unsigned j = 0; j < 16; ++j) {
            int swaps = 0;  // one minus per swap needed to sort the factors
            for (unsigned k = i >> 1; k != 0; k >>= 1) swaps += std::popcount(k & j);
            r[i ^ j] += (swaps & 1 ? -1 : 1) * a[i] * b[j];
        }
    return r;
}

Multivector reverse(Multivector a) {
    for (unsigned i = 0; i < 16; ++i)
        if (std::popcount(i) % 4 >= 2) a[i] = -a[i];  // grades 2 and 3 change sign
    return a;
}

constexpr unsigned X = 1, Y = 2, Z = 4, W = 8;
// The rotor's component order: s, xy, xz, xw, yz, yw, zw, xyzw.
constexpr unsigned rotorBlades[8] = {0, X | Y, X | Z, X | W, Y | Z, Y | W, Z | W, X | Y | Z | W};

std::array<float, 8> parts(const Rotor4& r) {
    return {r.s, r.xy, r.xz, r.xw, r.yz, r.yw, r.zw, r.xyzw};
}

Multivector fromRotor(const Rotor4& r) {
    Multivector m{};
    for (int i = 0; i < 8; ++i) m[rotorBlades[i]] = parts(r)[i];
    return m;
}

Multivector fromVector(const glm::vec4& v) {
    Multivector m{};
    for (int i = 0; i < 4; ++i) m[1u << i] = v[i];
    return m;
}

void expectVecNear(const glm::vec4& a, const glm::vec4& b, float tolerance = 1e-5f) {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(a[i], b[i], tolerance) << "component " << i;
}

void expectRotorNear(const Rotor4& r, const Multivector& expected) {
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(parts(r)[i], expected[rotorBlades[i]], 1e-5) << i;
}

class RandomRotors : public ::testing::Test {
protected:
    std::mt19937 rng{20240611u};
    std::uniform_real_distribution<float> unit{-1.0f, 1.0f};

    glm::vec4 vector() { return {unit(rng), unit(rng), unit(rng), unit(rng)}; }

    // A product of turns in several random planes: a general (double) rotation whose xyzw part
    // is not zero, so every term of the product formulas takes part.
    Rotor4 rotor() {
        Rotor4 r;
        for (int i = 0; i < 3; ++i)
            r.multiply(Rotor4(wedge4(vector(), vector()), 3.0f * unit(rng)));
        return r;
    }
};

TEST_F(RandomRotors, MultiplyIsTheGeometricProduct) {
    for (int n = 0; n < 50; ++n) {
        // Unnormalised operands too: multiply must not assume unit rotors.
        const glm::vec4 u = vector(), v = vector();
        Rotor4 a(u.x, u.y, u.z, u.w, v.x, v.y, v.z, v.w);
        const Rotor4 b = rotor();
        const Multivector expected = product(fromRotor(a), fromRotor(b));
        a.multiply(b);
        expectRotorNear(a, expected);
    }
    Rotor4 self = rotor();  // by itself: every component from the old values
    const Multivector square = product(fromRotor(self), fromRotor(self));
    self.multiply(self);
    expectRotorNear(self, square);
}

TEST_F(RandomRotors, RotateAndTheMatrixAreTheSandwichProduct) {
    for (int n = 0; n < 50; ++n) {
        const Rotor4 r = rotor();
        const glm::vec4 v = vector();
        const Multivector m = fromRotor(r);
        const Multivector expected = product(product(m, fromVector(v)), reverse(m));
        const glm::vec4 rotated(expected[X], expected[Y], expected[Z], expected[W]);
        expectVecNear(r.rotate(v), rotated);
        expectVecNear(r.toMat5().transform(v, 1.0f), rotated);  // and moves nothing
    }
}

TEST_F(RandomRotors, RotationsKeepLengthsAndDotsAndComposeAsTheirMatrices) {
    for (int n = 0; n < 50; ++n) {
        const Rotor4 r1 = rotor(), r2 = rotor();
        const glm::vec4 a = vector(), b = vector();
        EXPECT_NEAR(glm::length(r1.rotate(a)), glm::length(a), 1e-5f);
        EXPECT_NEAR(glm::dot(r1.rotate(a), r1.rotate(b)), glm::dot(a, b), 1e-5f);
        Rotor4 both = r1;
        both.multiply(r2);
        const Mat5 expected = r1.toMat5() * r2.toMat5(), got = both.toMat5();
        for (int i = 0; i < 25; ++i) EXPECT_NEAR(got.m[i], expected.m[i], 1e-5f) << i;
    }
}

TEST_F(RandomRotors, AnglesInOnePlaneAdd) {
    for (int n = 0; n < 20; ++n) {
        const Bivector4 p = wedge4(vector(), vector());
        const float a = 2.0f * unit(rng), b = 2.0f * unit(rng);
        Rotor4 r(p, a);
        r.multiply(Rotor4(p, b));
        expectRotorNear(r, fromRotor(Rotor4(p, a + b)));
    }
}

TEST_F(RandomRotors, Cross4IsOrthogonalToItsInputsAndIsTheDeterminant) {
    for (int n = 0; n < 50; ++n) {
        const glm::vec4 a = vector(), b = vector(), c = vector();
        const glm::vec4 d = cross4(a, b, c);
        EXPECT_NEAR(glm::dot(d, a), 0.0f, 1e-5f);
        EXPECT_NEAR(glm::dot(d, b), 0.0f, 1e-5f);
        EXPECT_NEAR(glm::dot(d, c), 0.0f, 1e-5f);
        // det[d; a; b; c] = |d|^2 by cofactor expansion along the first row.
        EXPECT_NEAR(glm::determinant(glm::mat4(d, a, b, c)), glm::dot(d, d), 1e-4f);
    }
    expectVecNear(cross4({1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}), {0, 0, 0, -1}, 0.0f);
}

TEST_F(RandomRotors, WedgeIsTheNormalisedOuterProduct) {
    const glm::vec4 a = vector(), b = vector();
    const Multivector ab = product(fromVector(a), fromVector(b));
    const Multivector ba = product(fromVector(b), fromVector(a));
    double expected[6], length = 0;
    for (int i = 0; i < 6; ++i) {
        expected[i] = (ab[rotorBlades[i + 1]] - ba[rotorBlades[i + 1]]) / 2;
        length += expected[i] * expected[i];
    }
    const Bivector4 p = wedge4(a, b);
    const float got[6] = {p.xy, p.xz, p.xw, p.yz, p.yw, p.zw};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(got[i], expected[i] / std::sqrt(length), 1e-5) << i;
}

// The spider faces its direction this way: z onto any horizontal direction, including exactly
// backwards (-z, where the turn's plane vanishes) and none at all.
TEST_F(RandomRotors, RotorTurningCarriesOneDirectionOntoAnotherByTheShortestTurn) {
    const glm::vec4 y(0, 1, 0, 0), z(0, 0, 1, 0);
    std::vector<glm::vec4> directions = {z, -z, {1e-4f, 0, -1, 0}, {0, 0, -1, 1e-4f}, {3, 0, 0, 0}};
    for (int n = 0; n < 40; ++n) directions.push_back({unit(rng), 0.0f, unit(rng), unit(rng)});
    for (const glm::vec4& d : directions) {
        SCOPED_TRACE(testing::Message() << d.x << " " << d.y << " " << d.z << " " << d.w);
        const Rotor4 r = rotorTurning(z, d);
        float norm = 0.0f;
        for (float part : parts(r)) norm += part * part;
        EXPECT_NEAR(norm, 1.0f, 1e-5f);
        expectVecNear(r.rotate(z), glm::normalize(d), 1e-4f);
        expectVecNear(r.rotate(y), y, 1e-4f);  // a horizontal turn keeps the body upright
        const Mat5 m = r.toMat5();
        for (float v : m.m) ASSERT_TRUE(std::isfinite(v));
    }
    // The shortest turn leaves what is orthogonal to both directions alone; a zero direction turns
    // nothing; a longer vector is only a direction.
    expectVecNear(rotorTurning(y, {0.5f, 0, 0.25f, 0}).rotate({0, 0, 0, 1}), {0, 0, 0, 1});
    expectVecNear(rotorTurning(y, {0.5f, 0, 0.25f, 0}).rotate(y), glm::normalize(glm::vec4(0.5f, 0, 0.25f, 0)));
    expectVecNear(rotorTurning(z, glm::vec4(0.0f)).rotate({0.3f, 0.1f, 0.7f, 0.2f}), {0.3f, 0.1f, 0.7f, 0.2f});
}

TEST_F(RandomRotors, LookAtMapsTheEyeToTheOriginAndPointsIntoTheBasisRows) {
    const Mat5 basis = rotor().toMat5();
    glm::vec4 row[4];  // x, y, z, w: the rotated axes, an orthonormal basis
    for (int i = 0; i < 4; ++i)
        row[i] = glm::vec4(basis.at(i, 0), basis.at(i, 1), basis.at(i, 2), basis.at(i, 3));
    const glm::vec4 eye = 5.0f * vector(), p = 5.0f * vector(), d = p - eye;
    const Mat5 view = lookAt4(eye, row[2], row[1], row[0], row[3]);
    expectVecNear(view.transform(eye, 1.0f), glm::vec4(0.0f));
    expectVecNear(view.transform(p, 1.0f), {glm::dot(row[0], d), glm::dot(row[1], d),
                                            glm::dot(row[2], d), glm::dot(row[3], d)});
    for (int c = 0; c < 4; ++c) EXPECT_EQ(view.at(c, 4), 0.0f);
    EXPECT_FLOAT_EQ(view.at(4, 4), 1.0f);
}

TEST(Rotor4, IsCosMinusSinTimesThePlaneAndTurnsTheFirstAxisTowardTheSecond) {
    const float c = std::cos(0.5f), s = std::sin(0.5f);
    const Rotor4 r(Bivector4{0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f}, 1.0f);
    const float expected[8] = {c,         -0.1f * s, -0.2f * s, -0.3f * s,
                               -0.4f * s, -0.5f * s, -0.6f * s, 0};
    for (int i = 0; i < 8; ++i) EXPECT_FLOAT_EQ(parts(r)[i], expected[i]) << i;
    expectVecNear(Rotor4(Bivector4{1, 0, 0, 0, 0, 0}, 1.0f).rotate({1, 0, 0, 0}),
                  {std::cos(1.0f), std::sin(1.0f), 0, 0});
}

TEST(Math4D, NormalizeDividesByTheLength) {
    Bivector4 p{3, 0, 0, 0, 0, 4};
    p.normalize();
    EXPECT_FLOAT_EQ(p.xy, 0.6f);
    EXPECT_FLOAT_EQ(p.zw, 0.8f);
    Rotor4 q(1, 1, 1, 1, 1, 1, 1, 1);
    q.normalize();
    for (float c : parts(q)) EXPECT_FLOAT_EQ(c, 1.0f / std::sqrt(8.0f));
}

TEST(Mat5, IsColumnMajorWithTheTranslationInColumnFour) {
    Mat5 m;  // the identity
    m.column(4)[2] = 7.0f;
    EXPECT_EQ(m.m[22], 7.0f);
    expectVecNear(m.transform({1, 2, 3, 4}, 1.0f), {1, 2, 10, 4}, 0.0f);
    // A product applies its factors right to left; h = 0 ignores the translation.
    const Mat5 t = translate4({10, 20, 30, 40}) * scale4({1, 2, 3, 4});
    expectVecNear(t.transform({1, 1, 1, 1}, 1.0f), {11, 22, 33, 44}, 0.0f);
    expectVecNear(t.transform({1, 1, 1, 1}, 0.0f), {1, 2, 3, 4}, 0.0f);
    const Mat5 scaledMove = scale4(2.0f) * translate4({1, 2, 3, 4});
    expectVecNear(scaledMove.transform({0, 0, 0, 0}, 1.0f), {2, 4, 6, 8}, 0.0f);
}

}  // namespace
