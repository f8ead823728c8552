#include "game/DayCycle.h"

#include <glm/gtc/constants.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/glm.hpp>

#include <algorithm>
#include <cmath>

namespace daycycle {

float advance(float timeOfDay, bool& wrapped) {
    double next = double(timeOfDay) + timeStep;
    wrapped = next > 1.0;
    if (wrapped) next -= 1.0;
    return float(next);
}

Light lightAt(float t) {
    // A triangle wave: 0 at midnight, 1 at noon.
    float d = t >= 0.5f ? 2.0f - 2.0f * t : 2.0f * t;
    float f;
    if (std::fabs(d - 0.5f) >= 0.1f)
        f = d >= 0.5f ? 1.0f : 0.0f;
    else
        f = (d - 0.4f) / 0.2f;
    float fromMiddle = std::fabs(0.5f - f);
    float g = fromMiddle <= 0.3f ? fromMiddle / 0.3f : 1.0f;
    return {f, g};
}

glm::vec4 skyColor(const Light& light) {
    const glm::vec4& sky = light.daylight > 0.5f ? daySky : nightSky;
    float g = light.plainness;
    glm::vec3 rgb = glm::vec3(sky) * g + twilight * (1.0f - g);
    return glm::vec4(rgb, g + 0.5f * (1.0f - g));
}

glm::vec4 cloudColor(const Light& light) {
    const glm::vec3& base = light.daylight > 0.5f ? dayCloudBase : nightCloudBase;
    float g = light.plainness;
    return glm::vec4(base.r * g + (1.0f - g), base.g * g + 0.7f * (1.0f - g),
                     g + 0.9f * (1.0f - g), 0.5f * g + (1.0f - g));
}

Mat5 orbit(const glm::vec4& tilt, float angle, float scale) {
    Rotor4 turn(wedge4(glm::vec4(0, 0, 1, 0), tilt), angle);
    Mat5 model = turn.toMat5();
    // The position is the turned point (0, 0, 10, 0); the body's size scales only its axes.
    glm::vec4 centre = model.transform(glm::vec4(0, 0, 10, 0), 0.0f);
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r) model.at(c, r) *= scale;
    for (int r = 0; r < 4; ++r) model.at(4, r) = centre[r];
    return model;
}

Mat5 moonOrbit(float t) {
    const float pi = glm::pi<float>();
    return orbit(glm::normalize(glm::vec4(0, 1, 0, 0.1f)), 2 * pi * t + pi / 2, 1.0f);
}

Mat5 sunOrbit(float t) {
    const float pi = glm::pi<float>();
    return orbit(glm::normalize(glm::vec4(0, 1, 0, 0.3f)), 2 * pi * t - pi / 2, 3.0f);
}

glm::mat4 skyboxView(float forwardY) {
    float fy = std::clamp(forwardY, -1.0f, 1.0f);
    float s = std::sqrt(std::max(0.0f, 1.0f - fy * fy));
    return glm::lookAt(glm::vec3(0.0f), glm::vec3(0.0f, fy, s), glm::vec3(0.0f, s, -fy));
}

}  // namespace daycycle
