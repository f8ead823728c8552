#include "game/DayCycle.h"
#include "game/GameRules.h"
#include "game/HudMath.h"
#include "game/TesseractEdges.h"

#include <glm/glm.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>

// The game screen's sums that need no window: the day, the orbits, the sky box, the streaming
// trigger, the crack stage, the wheel, the health bar and the held item's hand.

namespace {

void expectNear(const glm::vec4& actual, const glm::vec4& expected, float eps = 1e-5f) {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(actual[i], expected[i], eps) << "component " << i;
}

glm::vec4 translation(const Mat5& m) { return glm::vec4(m.at(4, 0), m.at(4, 1), m.at(4, 2), m.at(4, 3)); }

TEST(DayCycle, LightFactorsThroughTheDay) {
    // Daylight ramps across dawn (t 0.2..0.3) and dusk (0.7..0.8); plainness is 0 mid-dawn and 1
    // once the daylight is 0.3 from the middle.
    const struct {
        float t, daylight, plainness;
    } cases[] = {{0.0f, 0, 1},       {0.19f, 0, 1},        {0.21f, 0.1f, 1}, {0.225f, 0.25f, 0.8333f},
                 {0.235f, 0.35f, 0.5f}, {0.25f, 0.5f, 0},   {0.31f, 1, 1},     {0.5f, 1, 1},
                 {0.775f, 0.25f, 0.8333f}, {0.85f, 0, 1}};
    for (const auto& c : cases) {
        const daycycle::Light light = daycycle::lightAt(c.t);
        EXPECT_NEAR(light.daylight, c.daylight, 1e-4f) << c.t;
        EXPECT_NEAR(light.plainness, c.plainness, 1e-4f) << c.t;
    }
}

TEST(DayCycle, SkyAndCloudColoursAtNightNoonAndDawn) {
    const struct {
        float t;
        glm::vec4 sky, clouds;
    } cases[] = {{0.0f, daycycle::nightSky, {0.7f, 0.7f, 1.0f, 0.5f}},
                 {0.5f, daycycle::daySky, {1.0f, 1.0f, 1.0f, 0.5f}},
                 {0.25f, glm::vec4(daycycle::twilight, 0.5f), {1.0f, 0.7f, 0.9f, 1.0f}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.t);
        expectNear(daycycle::skyColor(daycycle::lightAt(c.t)), c.sky);
        expectNear(daycycle::cloudColor(daycycle::lightAt(c.t)), c.clouds);
    }
    // The day palette is mixed in only past mid-dawn.
    EXPECT_LT(daycycle::skyColor(daycycle::lightAt(0.245f)).g, daycycle::twilight.g);
    EXPECT_GT(daycycle::skyColor(daycycle::lightAt(0.255f)).g, daycycle::twilight.g * 0.99f);
}

TEST(DayCycle, TimeAdvancesOneStepAndWrapsOnlyPastOne) {
    bool wrapped = true;
    EXPECT_FLOAT_EQ(daycycle::advance(0.45f, wrapped), float(double(0.45f) + 0.00004));
    EXPECT_FALSE(wrapped);
    // The last step that stays below 1.0 keeps the day; from 1.0 itself the next step wraps.
    const float lastOfDay = std::nextafter(float(1.0 - 0.00004), 0.0f);
    ASSERT_LE(double(lastOfDay) + 0.00004, 1.0);
    EXPECT_GT(daycycle::advance(lastOfDay, wrapped), 0.9999f);
    EXPECT_FALSE(wrapped);
    EXPECT_NEAR(daycycle::advance(1.0f, wrapped), 0.00004f, 1e-7f);
    EXPECT_TRUE(wrapped);
}

TEST(DayCycle, SunAndMoonOrbitOppositeAsScaledRotations) {
    expectNear(translation(daycycle::sunOrbit(0.5f)), glm::normalize(glm::vec4(0, 1, 0, 0.3f)) * 10.0f, 1e-4f);
    EXPECT_LT(translation(daycycle::moonOrbit(0.5f)).y, -9.0f);
    EXPECT_GT(translation(daycycle::moonOrbit(0.0f)).y, 9.9f);
    EXPECT_LT(translation(daycycle::sunOrbit(0.0f)).y, -9.0f);
    expectNear(translation(daycycle::sunOrbit(0.25f)), {0, 0, 10, 0}, 1e-4f);  // sunrise at +z
    for (float t : {0.1f, 0.37f, 0.8f}) {
        const Mat5 sun = daycycle::sunOrbit(t), moon = daycycle::moonOrbit(t);
        EXPECT_NEAR(glm::length(translation(moon)), 10.0f, 1e-4f);
        for (int a = 0; a < 4; ++a)
            for (int b = 0; b < 4; ++b) {
                float sunDot = 0, moonDot = 0;
                for (int r = 0; r < 4; ++r) {
                    sunDot += sun.at(a, r) * sun.at(b, r);
                    moonDot += moon.at(a, r) * moon.at(b, r);
                }
                EXPECT_NEAR(sunDot, a == b ? 9.0f : 0.0f, 1e-4f);
                EXPECT_NEAR(moonDot, a == b ? 1.0f : 0.0f, 1e-5f);
            }
    }
}

TEST(DayCycle, SkyboxLooksAlongZAndStaysFiniteAtThePitchLimit) {
    EXPECT_NEAR((daycycle::skyboxView(0.0f) * glm::vec4(0, 0, 1, 0)).z, -1.0f, 1e-6f);
    for (float fy : {1.0f, -1.0f, 1.0000001f, -1.0000002f}) {
        const glm::mat4 view = daycycle::skyboxView(fy);
        for (int i = 0; i < 16; ++i) EXPECT_TRUE(std::isfinite((&view[0][0])[i])) << fy;
    }
}

TEST(GameRules, StreamingIsDueAfterEightBlocksIn4DOrOnRequest) {
    const glm::vec4 last(10, 60, 10, 10);
    const struct {
        bool reload;
        glm::vec4 move;
        bool due;
    } cases[] = {{false, {7.9f, 0, 0, 0}, false}, {false, {8, 0, 0, 0}, true},
                 {false, {0, 0, 0, -8}, true},     {false, {4, 4, 4, 4}, true},
                 {false, glm::vec4(3.9f), false},  {true, glm::vec4(0), true},
                 {false, glm::vec4(0), false}};
    for (const auto& c : cases)
        EXPECT_EQ(gamerules::streamingDue(c.reload, last + c.move, last), c.due)
            << c.reload << " " << c.move.x << " " << c.move.w;
}

TEST(GameRules, CrackStageIsZeroUntilMiningStartsThenSevenths) {
    const std::pair<float, int> stages[] = {{0.0f, 0}, {0.142f, 0}, {0.143f, 1}, {0.5f, 3},
                                            {0.99f, 6}, {1.0f, 7},   {3.0f, 7},   {-1.0f, 0}};
    for (auto [progress, stage] : stages) EXPECT_EQ(gamerules::crackStage(12.5, progress), stage) << progress;
    EXPECT_EQ(gamerules::crackStage(0.0, 0.9f), 0);
}

TEST(GameRules, ShiftWheelWrapsOverTheHotbarAndAPlainNotchTurnsTheSlice) {
    EXPECT_EQ(gamerules::scrolledHotbarRow(0, 1.0), 7);
    EXPECT_EQ(gamerules::scrolledHotbarRow(7, -1.0), 0);
    EXPECT_EQ(gamerules::scrolledHotbarRow(3, -2.0), 4);
    EXPECT_EQ(gamerules::scrolledHotbarRow(3, 0.0), 2);  // a sideways event goes back
    EXPECT_FLOAT_EQ(gamerules::wheelTurn(1.0, 0.5f), 0.005f);
    EXPECT_FLOAT_EQ(gamerules::wheelTurn(-2.0, 0.25f), -0.005f);
}

TEST(Hud, HealthFillFollowsHealthInWholeTexelsWithinTheImage) {
    const std::pair<float, int> fills[] = {{100.0f, 48}, {37.5f, 18}, {2.0f, 0},   {0.0f, 0},
                                           {-30.0f, 0},  {250.0f, 48}, {NAN, 0}};
    for (auto [health, fill] : fills) EXPECT_EQ(hud::healthFill(health), fill) << health;
}

TEST(Hud, HeldItemRestsAtTheHandLagsBehindMotionAndSwingsWhileMining) {
    const glm::vec4 rest(0.15f, -0.2f, -0.3f, 0.001f);
    const Mat5 still = hud::heldItemMatrix({});
    expectNear(translation(still), rest);
    for (int c = 0; c < 4; ++c)  // turned, not scaled
        EXPECT_NEAR(glm::length(glm::vec4(still.at(c, 0), still.at(c, 1), still.at(c, 2), still.at(c, 3))), 1.0f, 1e-5f);

    // Walking ahead (+z) moves the item back (camera z points backwards), falling lifts it.
    hud::HandMotion motion;
    motion.velocity = glm::vec4(0, 0, 0.05f, 0);
    expectNear(translation(hud::heldItemMatrix(motion)), rest + glm::vec4(0, 0, 0.02f, 0));
    motion.velocity = glm::vec4(0, -0.1f, 0, 0);
    expectNear(translation(hud::heldItemMatrix(motion)), rest + glm::vec4(0, 0.04f, 0, 0));

    hud::HandMotion mining;
    mining.mining = true;
    mining.secondsSincePress = 0.05;
    const Mat5 swung = hud::heldItemMatrix(mining);
    float difference = 0.0f;
    for (int i = 0; i < 25; ++i) difference += std::fabs(swung.m[i] - still.m[i]);
    EXPECT_GT(difference, 0.1f);
    mining.secondsSincePress = 0.05 + 3.14159265 / 10.0;  // half a swing later: the other way
    EXPECT_GT(std::fabs(hud::heldItemMatrix(mining).at(1, 2) - swung.at(1, 2)), 0.1f);
}

TEST(Hud, PlacementKickStaysBoundedAndEnds) {
    hud::HandMotion kicked;
    for (double dt : {0.0, 1e-9, 0.05, 0.15, 0.2}) {
        kicked.secondsSinceUse = dt;
        const glm::vec4 t = translation(hud::heldItemMatrix(kicked));
        const float away = glm::distance(t, glm::vec4(0.15f, -0.2f, -0.3f, 0.001f));
        EXPECT_TRUE(std::isfinite(away)) << dt;
        EXPECT_LT(away, dt < 0.2 ? 0.15f : 1e-5f) << dt;
    }
}

TEST(TesseractEdges, ThirtyTwoDistinctEdgesBetweenNeighbouringCorners) {
    std::set<std::pair<int, int>> edges;
    auto cornerBits = [](const glm::vec4& c) {
        int bits = 0;
        for (int axis = 0; axis < 4; ++axis) {
            EXPECT_EQ(std::abs(c[axis]), 1.0f);
            bits |= (c[axis] > 0) << axis;
        }
        return bits;
    };
    for (int i = 0; i < 64; i += 2) {
        const int a = cornerBits(tesseractEdges[i]), b = cornerBits(tesseractEdges[i + 1]);
        EXPECT_EQ(__builtin_popcount(a ^ b), 1) << "edge " << i / 2;
        edges.insert({std::min(a, b), std::max(a, b)});
    }
    EXPECT_EQ(edges.size(), 32u);
}

}  // namespace
