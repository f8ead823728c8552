#include "game/HudMath.h"

#include <glm/gtc/constants.hpp>
#include <glm/glm.hpp>

#include <algorithm>
#include <cmath>

namespace hud {

int healthFill(float health) {
    if (!(health > 0.0f)) return 0;
    return std::clamp(int(health / 100.0f * float(healthTexels)), 0, healthTexels);
}

namespace {

void addTranslation(Mat5& m, const glm::vec4& t) {
    for (int r = 0; r < 4; ++r) m.at(4, r) += t[r];
}

Mat5 turn(Bivector4 plane, float angle) { return Rotor4(plane, angle).toMat5(); }

}  // namespace

Mat5 heldItemMatrix(const HandMotion& motion) {
    const float pi = glm::pi<float>();
    Mat5 m;

    // The item lags behind the body's motion.
    float speed = glm::length(motion.velocity);
    if (0.4f * speed > 1e-7f) {
        glm::vec4 v = motion.velocity / speed;
        float k = 0.4f * speed;
        glm::vec4 walking = cross4(motion.left, glm::vec4(0, 1, 0, 0), motion.over);
        addTranslation(m, glm::vec4(k * glm::dot(v, motion.left), -k * v.y,
                                    k * glm::dot(v, walking), 0.0f));
    }

    addTranslation(m, glm::vec4(0.15f, -0.2f, -0.3f, 0.001f));

    Bivector4 yz;
    yz.yz = 1.0f;
    if (motion.mining) {
        float t = float(motion.secondsSincePress);
        m = m * turn(yz, 0.4f * pi * std::sin(10.0f * t));
        addTranslation(m, m.transform(glm::vec4(0.0f, 0.01f * pi * std::sin(10.0f * t),
                                                0.01f * pi * std::cos(10.0f * t), 0.0f),
                                      0.0f));
    }

    // The kick weight 1 - 0.2 / dt runs away as dt nears 0; held at -1 it still pushes the item
    // down and back during the first 0.1 s, then eases out by 0.2 s.
    double dt = motion.secondsSinceUse;
    if (dt >= 0.0 && dt < 0.2) {
        float k = dt > 0.1 ? float(1.0 - 0.2 / dt) : -1.0f;
        addTranslation(m, m.transform(glm::vec4(0.0f, 0.1f * k, -0.1f * k, 0.0f), 0.0f));
    }

    Bivector4 xz;
    xz.xz = 1.0f;
    m = m * turn(yz, -pi / 10.0f);
    m = m * turn(xz, 0.45f * pi);
    return m;
}

}  // namespace hud
