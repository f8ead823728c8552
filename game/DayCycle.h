#pragma once

#include "engine/Math4D.h"

#include <glm/mat4x4.hpp>
#include <glm/vec4.hpp>

// The sky's maths: the time of day, how bright it is, the colours that follow from it, and the
// circles the sun and the moon draw around the player. Plain functions, so tests need no window.
namespace daycycle {

// One day is 25,000 ticks (250 s at the fixed tick).
constexpr double timeStep = 0.00004;
// A new game starts in the morning.
constexpr float startTime = 0.45f;

// The next tick's time of day: the sum is taken in double precision and stored as a float;
// past 1.0 it loses 1.0 and `wrapped` tells that a new day began.
float advance(float timeOfDay, bool& wrapped);

// f: daylight, 0 at night, 1 by day, a ramp across dawn and dusk.
// g: plainness, 0 in the middle of dawn and dusk, 1 outside them.
struct Light {
    float daylight;
    float plainness;
};
Light lightAt(float timeOfDay);

constexpr glm::vec4 nightSky{8 / 255.0f, 1 / 255.0f, 28 / 255.0f, 1.0f};
constexpr glm::vec4 daySky{88 / 255.0f, 149 / 255.0f, 239 / 255.0f, 1.0f};
constexpr glm::vec3 twilight{122 / 255.0f, 122 / 255.0f, 239 / 255.0f};
constexpr glm::vec3 nightCloudBase{0.7f, 0.7f, 1.0f};
constexpr glm::vec3 dayCloudBase{1.0f, 1.0f, 1.0f};

// The clear colour (the sky) and the clouds' colour for a light.
glm::vec4 skyColor(const Light& light);
glm::vec4 cloudColor(const Light& light);

// A body's place on its circle: the point (0, 0, 10, 0) turned by `angle` in the plane of the
// z axis and `tilt`, its axes scaled by `scale`.
Mat5 orbit(const glm::vec4& tilt, float angle, float scale);
Mat5 moonOrbit(float timeOfDay);
Mat5 sunOrbit(float timeOfDay);

// The sky box turns only with the view's pitch: its view looks along (0, fy, s) with fy the
// height of the view direction. fy is clamped to -1..1 so that s stays defined at the pitch
// limit, where rounding can leave |fy| a hair above 1.
glm::mat4 skyboxView(float forwardY);

}  // namespace daycycle
