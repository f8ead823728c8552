#include "engine/Math4D.h"

#include <gtest/gtest.h>
#include <glm/geometric.hpp>
#include <glm/mat4x4.hpp>
#include <glm/matrix.hpp>

#include <array>
#include <bit>
#include <cmath>
#include <random>

namespace {

constexpr float pi = 3.14159265358979f;

// A general multivector of 4D Euclidean geometric algebra: blade k is the product of the basis
// vectors whose bits are set in k (bit 0 = e1 = x ... bit 3 = e4 = w).
using Multivector = std::array<double, 16>;

// Sign of the product of two basis blades: one minus per swap needed to sort the factors.
int bladeSign(unsigned a, unsigned b) {
    int swaps = 0;
    for (a >>= 1; a != 0; a >>= 1) swaps += std::popcount(a & b);
    return (swaps & 1) ? -1 : 1;
}

Multivector product(const Multivector& a, const Multivector& b) {
    Multivector r{};
    for (unsigned i = 0; i < 16; ++i)
        for (unsigned j = 0; j < 16; ++j) r[i ^ j] += bladeSign(i, j) * a[i] * b[j];
    return r;
}

Multivector reverse(Multivector a) {
    for (unsigned i = 0; i < 16; ++i) {
        const int grade = std::popcount(i);
        if ((grade * (grade - 1) / 2) & 1) a[i] = -a[i];
    }
    return a;
}

constexpr unsigned X = 1, Y = 2, Z = 4, W = 8;
// The rotor's component order: s, xy, xz, xw, yz, yw, zw, xyzw.
constexpr unsigned rotorBlades[8] = {0, X | Y, X | Z, X | W, Y | Z, Y | W, Z | W, X | Y | Z | W};

Multivector fromRotor(const Rotor4& r) {
    const float parts[8] = {r.s, r.xy, r.xz, r.xw, r.yz, r.yw, r.zw, r.xyzw};
    Multivector m{};
    for (int i = 0; i < 8; ++i) m[rotorBlades[i]] = parts[i];
    return m;
}

Multivector fromVector(const glm::vec4& v) {
    Multivector m{};
    m[X] = v.x;
    m[Y] = v.y;
    m[Z] = v.z;
    m[W] = v.w;
    return m;
}

std::array<float, 8> parts(const Rotor4& r) {
    return {r.s, r.xy, r.xz, r.xw, r.yz, r.yw, r.zw, r.xyzw};
}

void expectVecNear(const glm::vec4& a, const glm::vec4& b, float tolerance = 1e-5f) {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(a[i], b[i], tolerance) << "component " << i;
}

void expectMatNear(const Mat5& a, const Mat5& b, float tolerance = 1e-5f) {
    for (int i = 0; i < 25; ++i) EXPECT_NEAR(a.m[i], b.m[i], tolerance) << "element " << i;
}

Bivector4 plane(float xy, float xz, float xw, float yz, float yw, float zw) {
    Bivector4 p;
    p.xy = xy;
    p.xz = xz;
    p.xw = xw;
    p.yz = yz;
    p.yw = yw;
    p.zw = zw;
    return p;
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
        for (int i = 0; i < 3; ++i) {
            Bivector4 p = wedge4(vector(), vector());
            r.multiply(Rotor4(p, 3.0f * unit(rng)));
        }
        return r;
    }
};

TEST_F(RandomRotors, MultiplyIsTheGeometricProduct) {
    for (int n = 0; n < 50; ++n) {
        // Unnormalised operands too: multiply must not assume unit rotors.
        Rotor4 a(unit(rng), unit(rng), unit(rng), unit(rng), unit(rng), unit(rng), unit(rng),
                 unit(rng));
        const Rotor4 b(unit(rng), unit(rng), unit(rng), unit(rng), unit(rng), unit(rng),
                       unit(rng), unit(rng));
        const Multivector expected = product(fromRotor(a), fromRotor(b));
        a.multiply(b);
        const std::array<float, 8> got = parts(a);
        for (int i = 0; i < 8; ++i) EXPECT_NEAR(got[i], expected[rotorBlades[i]], 1e-5) << i;
    }
}

TEST_F(RandomRotors, MultiplyBySelfUsesTheOldValues) {
    Rotor4 a = rotor();
    const Multivector expected = product(fromRotor(a), fromRotor(a));
    a.multiply(a);
    const std::array<float, 8> got = parts(a);
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(got[i], expected[rotorBlades[i]], 1e-5) << i;
}

TEST_F(RandomRotors, RotateIsTheSandwichProduct) {
    for (int n = 0; n < 50; ++n) {
        const Rotor4 r = rotor();
        const glm::vec4 v = vector();
        const Multivector m = fromRotor(r);
        const Multivector expected = product(product(m, fromVector(v)), reverse(m));
        expectVecNear(r.rotate(v), glm::vec4(expected[X], expected[Y], expected[Z], expected[W]));
        for (unsigned blade : {X | Y | Z, X | Y | W, X | Z | W, Y | Z | W})
            EXPECT_NEAR(expected[blade], 0.0, 1e-5) << "a rotor leaves no trivector part";
    }
}

TEST_F(RandomRotors, MatrixOfAProductIsTheProductOfMatrices) {
    for (int n = 0; n < 20; ++n) {
        const Rotor4 r1 = rotor(), r2 = rotor();
        Rotor4 both = r1;
        both.multiply(r2);
        expectMatNear(both.toMat5(), r1.toMat5() * r2.toMat5());
    }
}

TEST_F(RandomRotors, MatrixRotatesLikeTheRotorAndMovesNothing) {
    const Rotor4 r = rotor();
    const Mat5 m = r.toMat5();
    for (int c = 0; c < 4; ++c) EXPECT_EQ(m.at(c, 4), 0.0f);
    for (int row = 0; row < 4; ++row) EXPECT_EQ(m.at(4, row), 0.0f);
    EXPECT_EQ(m.at(4, 4), 1.0f);
    for (int n = 0; n < 10; ++n) {
        const glm::vec4 v = vector();
        expectVecNear(m.transform(v, 1.0f), r.rotate(v));
    }
}

TEST_F(RandomRotors, RotationsKeepLengthsAndDotProducts) {
    for (int n = 0; n < 50; ++n) {
        const Rotor4 r = rotor();
        const glm::vec4 a = vector(), b = vector();
        EXPECT_NEAR(glm::length(r.rotate(a)), glm::length(a), 1e-5f);
        EXPECT_NEAR(glm::dot(r.rotate(a), r.rotate(b)), glm::dot(a, b), 1e-5f);
    }
}

TEST_F(RandomRotors, AnglesInOnePlaneAdd) {
    for (int n = 0; n < 20; ++n) {
        const Bivector4 p = wedge4(vector(), vector());
        const float a = 2.0f * unit(rng), b = 2.0f * unit(rng);
        Rotor4 r(p, a);
        r.multiply(Rotor4(p, b));
        const std::array<float, 8> got = parts(r), expected = parts(Rotor4(p, a + b));
        for (int i = 0; i < 8; ++i) EXPECT_NEAR(got[i], expected[i], 1e-5f) << i;
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
        const glm::mat4 rows(d, a, b, c);
        EXPECT_NEAR(glm::determinant(rows), glm::dot(d, d), 1e-4f);
    }
}

TEST_F(RandomRotors, WedgeIsTheNormalisedOuterProduct) {
    const glm::vec4 a = vector(), b = vector();
    const Multivector ab = product(fromVector(a), fromVector(b));
    const Multivector ba = product(fromVector(b), fromVector(a));
    double expected[6], length = 0;
    for (int i = 0; i < 6; ++i) {
        const unsigned blade = rotorBlades[i + 1];
        expected[i] = (ab[blade] - ba[blade]) / 2;
        length += expected[i] * expected[i];
    }
    const Bivector4 p = wedge4(a, b);
    const float got[6] = {p.xy, p.xz, p.xw, p.yz, p.yw, p.zw};
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(got[i], expected[i] / std::sqrt(length), 1e-5) << i;
}

TEST_F(RandomRotors, LookAtMapsPointsIntoTheCameraBasis) {
    const Mat5 basis = rotor().toMat5();
    const glm::vec4 rowX(basis.column(0)[0], basis.column(0)[1], basis.column(0)[2],
                         basis.column(0)[3]);
    const glm::vec4 rowY(basis.column(1)[0], basis.column(1)[1], basis.column(1)[2],
                         basis.column(1)[3]);
    const glm::vec4 rowZ(basis.column(2)[0], basis.column(2)[1], basis.column(2)[2],
                         basis.column(2)[3]);
    const glm::vec4 rowW(basis.column(3)[0], basis.column(3)[1], basis.column(3)[2],
                         basis.column(3)[3]);
    const glm::vec4 eye = 5.0f * vector();
    const Mat5 view = lookAt4(eye, rowZ, rowY, rowX, rowW);
    expectVecNear(view.transform(eye, 1.0f), glm::vec4(0.0f));
    const glm::vec4 p = 5.0f * vector();
    const glm::vec4 d = p - eye;
    expectVecNear(view.transform(p, 1.0f),
                  glm::vec4(glm::dot(rowX, d), glm::dot(rowY, d), glm::dot(rowZ, d),
                            glm::dot(rowW, d)));
    for (int c = 0; c < 4; ++c) EXPECT_EQ(view.at(c, 4), 0.0f);
    EXPECT_FLOAT_EQ(view.at(4, 4), 1.0f);
}

TEST(Wedge4, UnitAxesGiveTheUnitPlaneAndSwappingNegates) {
    const Bivector4 p = wedge4({1, 0, 0, 0}, {0, 1, 0, 0});
    EXPECT_FLOAT_EQ(p.xy, 1.0f);
    EXPECT_EQ(p.xz, 0.0f);
    EXPECT_EQ(p.xw, 0.0f);
    EXPECT_EQ(p.yz, 0.0f);
    EXPECT_EQ(p.yw, 0.0f);
    EXPECT_EQ(p.zw, 0.0f);
    const Bivector4 q = wedge4({0, 1, 0, 0}, {1, 0, 0, 0});
    EXPECT_FLOAT_EQ(q.xy, -1.0f);
    const Bivector4 r = wedge4({0, 0, 3, 0}, {0, 0, 1, 2});
    EXPECT_FLOAT_EQ(r.zw, 1.0f);
}

TEST(Bivector4Normalize, DividesByTheLength) {
    Bivector4 p = plane(3, 0, 0, 0, 0, 4);
    p.normalize();
    EXPECT_FLOAT_EQ(p.xy, 0.6f);
    EXPECT_FLOAT_EQ(p.zw, 0.8f);
}

TEST(Cross4, UnitAxesXYZGiveMinusW) {
    expectVecNear(cross4({1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}), {0, 0, 0, -1}, 0.0f);
    expectVecNear(cross4({0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}), {1, 0, 0, 0}, 0.0f);
}

TEST(Rotor4, QuarterTurnInXYTakesXToYAndKeepsZAndW) {
    const Rotor4 r(plane(1, 0, 0, 0, 0, 0), pi / 2);
    expectVecNear(r.rotate({1, 0, 0, 0}), {0, 1, 0, 0});
    expectVecNear(r.rotate({0, 1, 0, 0}), {-1, 0, 0, 0});
    expectVecNear(r.rotate({0, 0, 1, 0}), {0, 0, 1, 0});
    expectVecNear(r.rotate({0, 0, 0, 1}), {0, 0, 0, 1});
}

TEST(Rotor4, ComponentsAreCosMinusSinTimesThePlane) {
    const Rotor4 r(plane(0, 0, 0.6f, 0, 0.8f, 0), 1.0f);
    EXPECT_FLOAT_EQ(r.s, std::cos(0.5f));
    EXPECT_FLOAT_EQ(r.xw, -0.6f * std::sin(0.5f));
    EXPECT_FLOAT_EQ(r.yw, -0.8f * std::sin(0.5f));
    EXPECT_EQ(r.xy, 0.0f);
    EXPECT_EQ(r.xyzw, 0.0f);
    // Positive angles turn the first axis of the plane toward the second, in every plane.
    const float t = 0.3f;
    expectVecNear(Rotor4(plane(0, 0, 0, 0, 0, 1), t).rotate({0, 0, 1, 0}),
                  {0, 0, std::cos(t), std::sin(t)});
    expectVecNear(Rotor4(plane(0, 1, 0, 0, 0, 0), t).rotate({1, 0, 0, 0}),
                  {std::cos(t), 0, std::sin(t), 0});
}

TEST(Rotor4, MultiplyingByTheIdentityChangesNothing) {
    Rotor4 r(plane(0, 0.6f, 0, 0, 0.8f, 0), 1.2f);
    r.multiply(Rotor4(plane(0, 0, 0, 1, 0, 0), 0.7f));
    const std::array<float, 8> before = parts(r);
    r.multiply(Rotor4());
    EXPECT_EQ(parts(r), before);
    Rotor4 identity;
    identity.multiply(r);
    EXPECT_EQ(parts(identity), before);
}

TEST(Rotor4, TurnsInTwoOrthogonalPlanesMakeAnXYZWPart) {
    Rotor4 r(plane(1, 0, 0, 0, 0, 0), pi / 2);
    r.multiply(Rotor4(plane(0, 0, 0, 0, 0, 1), pi / 2));
    EXPECT_NEAR(r.xyzw, 0.5f, 1e-6f);
    expectVecNear(r.rotate({1, 0, 0, 0}), {0, 1, 0, 0});
    expectVecNear(r.rotate({0, 0, 1, 0}), {0, 0, 0, 1});
}

TEST(Rotor4, NormalizeGivesUnitLength) {
    Rotor4 r(2, 0, 0, 0, 0, 0, 0, 0);
    r.normalize();
    EXPECT_FLOAT_EQ(r.s, 1.0f);
    Rotor4 q(1, 1, 1, 1, 1, 1, 1, 1);
    q.normalize();
    for (float c : parts(q)) EXPECT_FLOAT_EQ(c, 1.0f / std::sqrt(8.0f));
}

TEST(Mat5, DefaultIsTheIdentity) {
    const Mat5 m;
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < 5; ++r) EXPECT_EQ(m.at(c, r), c == r ? 1.0f : 0.0f);
}

TEST(Mat5, MultiplyIsTheMatrixProductInColumnMajorOrder) {
    Mat5 a, b;
    for (int i = 0; i < 25; ++i) {
        a.m[i] = static_cast<float>(i % 7) - 3.0f;
        b.m[i] = static_cast<float>((i * 5) % 11) - 5.0f;
    }
    const Mat5 p = a * b;
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < 5; ++r) {
            float sum = 0;
            for (int k = 0; k < 5; ++k) sum += a.m[k * 5 + r] * b.m[c * 5 + k];
            EXPECT_EQ(p.m[c * 5 + r], sum);
        }
    // Applying a product equals applying its factors right to left.
    const glm::vec4 v(1, -2, 3, 0.5f);
    const Mat5 t = translate4({1, 2, 3, 4}) * scale4(2.0f);
    expectVecNear(t.transform(v, 1.0f), {3, -2, 9, 5});
}

TEST(Mat5, TransformWithHZeroIgnoresTheTranslation) {
    const Mat5 m = translate4({10, 20, 30, 40}) * scale4({1, 2, 3, 4});
    expectVecNear(m.transform({1, 1, 1, 1}, 0.0f), {1, 2, 3, 4});
    expectVecNear(m.transform({1, 1, 1, 1}, 1.0f), {11, 22, 33, 44});
}

TEST(Mat5, ColumnIsWritableAndTranslationSitsInColumnFour) {
    Mat5 m;
    m.column(4)[2] = 7.0f;
    EXPECT_EQ(m.m[22], 7.0f);
    expectVecNear(m.transform({0, 0, 0, 0}, 1.0f), {0, 0, 7, 0});
    const Mat5 t = translate4({1, 2, 3, 4});
    EXPECT_EQ(t.at(4, 0), 1.0f);
    EXPECT_EQ(t.at(4, 3), 4.0f);
    EXPECT_EQ(t.at(4, 4), 1.0f);
}

TEST(LookAt4, UnitBasisMapsTheEyeToTheOrigin) {
    const glm::vec4 eye(1, 2, 3, 4);
    const Mat5 view = lookAt4(eye, {0, 0, 1, 0}, {0, 1, 0, 0}, {1, 0, 0, 0}, {0, 0, 0, 1});
    expectVecNear(view.transform(eye, 1.0f), glm::vec4(0.0f), 0.0f);
    expectVecNear(view.transform({2, 2, 3, 4}, 1.0f), {1, 0, 0, 0}, 0.0f);
}

TEST(LookAt4, RowsAreTakenInTheOrderXYZW) {
    // Arguments come in the order z, y, x, w; rows 0..3 of the result are x, y, z, w.
    const Mat5 view = lookAt4(glm::vec4(0.0f), {0, 0, 0, 1}, {1, 0, 0, 0}, {0, 1, 0, 0},
                              {0, 0, 1, 0});
    expectVecNear(view.transform({1, 2, 3, 4}, 1.0f), {2, 1, 4, 3}, 0.0f);
}

}  // namespace
