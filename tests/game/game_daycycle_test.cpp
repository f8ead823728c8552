#include "game/DayCycle.h"

#include <gtest/gtest.h>
#include <glm/glm.hpp>
#include <glm/gtc/constants.hpp>

#include <cmath>

namespace {

void expectColor(const glm::vec4& actual, const glm::vec4& expected) {
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-5f) << "channel " << i;
}

glm::vec4 translation(const Mat5& m) {
    return glm::vec4(m.at(4, 0), m.at(4, 1), m.at(4, 2), m.at(4, 3));
}

TEST(DayCycleLight, MidnightAndNoonArePlainNightAndDay) {
    daycycle::Light midnight = daycycle::lightAt(0.0f);
    EXPECT_FLOAT_EQ(midnight.daylight, 0.0f);
    EXPECT_FLOAT_EQ(midnight.plainness, 1.0f);
    expectColor(daycycle::skyColor(midnight), daycycle::nightSky);
    expectColor(daycycle::cloudColor(midnight), glm::vec4(0.7f, 0.7f, 1.0f, 0.5f));

    daycycle::Light noon = daycycle::lightAt(0.5f);
    EXPECT_FLOAT_EQ(noon.daylight, 1.0f);
    EXPECT_FLOAT_EQ(noon.plainness, 1.0f);
    expectColor(daycycle::skyColor(noon), daycycle::daySky);
    expectColor(daycycle::cloudColor(noon), glm::vec4(1.0f, 1.0f, 1.0f, 0.5f));
}

TEST(DayCycleLight, MiddleOfDawnIsTwilight) {
    daycycle::Light dawn = daycycle::lightAt(0.25f);
    EXPECT_NEAR(dawn.daylight, 0.5f, 1e-6f);
    EXPECT_NEAR(dawn.plainness, 0.0f, 1e-6f);
    expectColor(daycycle::skyColor(dawn), glm::vec4(daycycle::twilight, 0.5f));
    expectColor(daycycle::cloudColor(dawn), glm::vec4(1.0f, 0.7f, 0.9f, 1.0f));
}

TEST(DayCycleLight, DaylightRampsOnlyAcrossDawnAndDusk) {
    // d = 2t: the ramp covers d from 0.4 to 0.6, i.e. t from 0.2 to 0.3 (and 0.7 to 0.8).
    EXPECT_FLOAT_EQ(daycycle::lightAt(0.19f).daylight, 0.0f);
    EXPECT_NEAR(daycycle::lightAt(0.225f).daylight, 0.25f, 1e-5f);
    EXPECT_FLOAT_EQ(daycycle::lightAt(0.31f).daylight, 1.0f);
    EXPECT_NEAR(daycycle::lightAt(0.775f).daylight, 0.25f, 1e-5f);  // dusk mirrors dawn
    EXPECT_FLOAT_EQ(daycycle::lightAt(0.85f).daylight, 0.0f);
    // Plainness: 0 at mid-dawn, back to 1 once the daylight is 0.2 from the middle or more.
    EXPECT_NEAR(daycycle::lightAt(0.235f).plainness, 0.5f, 1e-4f);
    EXPECT_FLOAT_EQ(daycycle::lightAt(0.21f).plainness, 1.0f);
}

TEST(DayCycleLight, SkyTurnsFromNightToDayPaletteAtHalfLight) {
    // Just past mid-dawn the day sky is mixed in, just before it the night sky.
    glm::vec4 before = daycycle::skyColor(daycycle::lightAt(0.245f));
    glm::vec4 after = daycycle::skyColor(daycycle::lightAt(0.255f));
    EXPECT_LT(before.g, daycycle::twilight.g);
    EXPECT_GT(after.g, daycycle::twilight.g * 0.99f);
}

TEST(DayCycleTime, AdvancesOneStepAndWrapsOnlyPastOne) {
    bool wrapped = true;
    EXPECT_FLOAT_EQ(daycycle::advance(0.45f, wrapped), float(double(0.45f) + 0.00004));
    EXPECT_FALSE(wrapped);

    // The last step that stays below 1.0 keeps the day; from 1.0 itself the next step wraps.
    float lastOfDay = std::nextafter(float(1.0 - 0.00004), 0.0f);
    ASSERT_LE(double(lastOfDay) + 0.00004, 1.0);
    float t = daycycle::advance(lastOfDay, wrapped);
    EXPECT_FALSE(wrapped);
    EXPECT_GT(t, 0.9999f);
    t = daycycle::advance(1.0f, wrapped);
    EXPECT_TRUE(wrapped);
    EXPECT_NEAR(t, 0.00004f, 1e-7f);
}

TEST(DayCycleTime, OneDayIsTwentyFiveThousandTicks) {
    float t = 0.0f;
    bool wrapped = false;
    int ticks = 0;
    do {
        t = daycycle::advance(t, wrapped);
        ++ticks;
    } while (!wrapped && ticks < 30000);
    EXPECT_NEAR(ticks, 25000, 10);  // float storage rounds each step a little
}

TEST(DayCycleOrbit, SunStandsAtTheTopAtNoonAndTheMoonOpposite) {
    glm::vec4 sun = translation(daycycle::sunOrbit(0.5f));
    glm::vec4 moon = translation(daycycle::moonOrbit(0.5f));
    EXPECT_NEAR(glm::length(sun), 10.0f, 1e-4f);
    EXPECT_NEAR(glm::length(moon), 10.0f, 1e-4f);
    glm::vec4 sunTilt = glm::normalize(glm::vec4(0, 1, 0, 0.3f)) * 10.0f;
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(sun[i], sunTilt[i], 1e-4f);
    EXPECT_LT(moon.y, -9.0f);
}

TEST(DayCycleOrbit, AtMidnightTheMoonIsUpAndAtDawnBothOnTheHorizon) {
    EXPECT_GT(translation(daycycle::moonOrbit(0.0f)).y, 9.9f);
    EXPECT_LT(translation(daycycle::sunOrbit(0.0f)).y, -9.0f);
    // At t = 0.25 the sun rises from +z... (angle 0: the untouched point (0, 0, 10, 0)).
    glm::vec4 sunrise = translation(daycycle::sunOrbit(0.25f));
    EXPECT_NEAR(sunrise.y, 0.0f, 1e-4f);
    EXPECT_NEAR(sunrise.z, 10.0f, 1e-4f);
}

TEST(DayCycleOrbit, SunIsScaledThreeTimesTheMoonOnceAndBothStayRotations) {
    for (float t : {0.1f, 0.37f, 0.8f}) {
        Mat5 sun = daycycle::sunOrbit(t);
        Mat5 moon = daycycle::moonOrbit(t);
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
        EXPECT_FLOAT_EQ(sun.at(4, 4), 1.0f);
    }
}

TEST(DayCycleSkybox, LevelViewLooksAlongZAndPitchLimitStaysFinite) {
    glm::mat4 level = daycycle::skyboxView(0.0f);
    glm::vec4 ahead = level * glm::vec4(0, 0, 1, 0);
    EXPECT_NEAR(ahead.z, -1.0f, 1e-6f);  // looking down -z in eye space

    for (float fy : {1.0f, -1.0f, 1.0000001f, -1.0000002f}) {
        glm::mat4 view = daycycle::skyboxView(fy);
        for (int c = 0; c < 4; ++c)
            for (int r = 0; r < 4; ++r) EXPECT_TRUE(std::isfinite(view[c][r])) << fy;
    }
}

}  // namespace
