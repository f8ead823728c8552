#include "game/HudMath.h"

#include <gtest/gtest.h>
#include <glm/glm.hpp>

#include <cmath>

namespace {

glm::vec4 translation(const Mat5& m) {
    return glm::vec4(m.at(4, 0), m.at(4, 1), m.at(4, 2), m.at(4, 3));
}

void expectNear(const glm::vec4& a, const glm::vec4& b, float eps = 1e-5f) {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(a[i], b[i], eps) << "component " << i;
}

TEST(HealthBar, FillFollowsHealthInWholeTexels) {
    EXPECT_EQ(hud::healthFill(100.0f), 48);
    EXPECT_EQ(hud::healthFill(37.5f), 18);
    EXPECT_EQ(hud::healthFill(2.0f), 0);
    EXPECT_EQ(hud::healthFill(0.0f), 0);
    // Out of range and broken values never draw outside the image.
    EXPECT_EQ(hud::healthFill(-30.0f), 0);
    EXPECT_EQ(hud::healthFill(250.0f), 48);
    EXPECT_EQ(hud::healthFill(std::nanf("")), 0);
}

TEST(HeldItem, AtRestSitsAtTheHandOffset) {
    Mat5 m = hud::heldItemMatrix({});
    expectNear(translation(m), glm::vec4(0.15f, -0.2f, -0.3f, 0.001f));
    // The item is only turned, not scaled.
    for (int c = 0; c < 4; ++c) {
        glm::vec4 axis(m.at(c, 0), m.at(c, 1), m.at(c, 2), m.at(c, 3));
        EXPECT_NEAR(glm::length(axis), 1.0f, 1e-5f);
    }
}

TEST(HeldItem, LagsBehindTheMotion) {
    hud::HandMotion walking;
    walking.velocity = glm::vec4(0, 0, 0.05f, 0);  // forward along +z with the start axes
    glm::vec4 offset = translation(hud::heldItemMatrix(walking)) - glm::vec4(0.15f, -0.2f, -0.3f, 0.001f);
    // The walking direction cross4(left, up, over) is +z for the start axes: walking ahead
    // moves the item back (camera z points backwards) by 0.4 of the speed.
    EXPECT_NEAR(offset.z, 0.02f, 1e-5f);
    EXPECT_NEAR(offset.x, 0.0f, 1e-6f);

    hud::HandMotion falling;
    falling.velocity = glm::vec4(0, -0.1f, 0, 0);
    offset = translation(hud::heldItemMatrix(falling)) - glm::vec4(0.15f, -0.2f, -0.3f, 0.001f);
    EXPECT_NEAR(offset.y, 0.04f, 1e-5f);  // falling lifts the item in view
}

TEST(HeldItem, SwingsWhileMining) {
    hud::HandMotion mining;
    mining.mining = true;
    mining.secondsSincePress = 0.05;
    Mat5 swung = hud::heldItemMatrix(mining);
    Mat5 still = hud::heldItemMatrix({});
    float difference = 0.0f;
    for (int i = 0; i < 25; ++i) difference += std::fabs(swung.m[i] - still.m[i]);
    EXPECT_GT(difference, 0.1f);
    // Half a swing later (t = 0.05 + pi / 10) the turn is the opposite one.
    mining.secondsSincePress = 0.05 + 3.14159265 / 10.0;
    Mat5 back = hud::heldItemMatrix(mining);
    EXPECT_GT(std::fabs(back.at(1, 2) - swung.at(1, 2)), 0.1f);
}

TEST(HeldItem, PlacementKickStaysBoundedRightAfterAPlacement) {
    hud::HandMotion kicked;
    for (double dt : {0.0, 1e-9, 0.05, 0.15}) {
        kicked.secondsSinceUse = dt;
        glm::vec4 t = translation(hud::heldItemMatrix(kicked));
        for (int i = 0; i < 4; ++i) EXPECT_TRUE(std::isfinite(t[i]));
        EXPECT_LT(glm::distance(t, glm::vec4(0.15f, -0.2f, -0.3f, 0.001f)), 0.15f) << dt;
    }
    kicked.secondsSinceUse = 0.2;  // the kick has ended
    expectNear(translation(hud::heldItemMatrix(kicked)), glm::vec4(0.15f, -0.2f, -0.3f, 0.001f));
}

}  // namespace
