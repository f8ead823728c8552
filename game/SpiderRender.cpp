#include "engine/ThreadRandom.h"
#include "engine/Uniforms.h"
#include "game/GlassesOutline.h"
#include "game/SpiderEntity.h"
#include "shapes/Shapes.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr float pi = 3.14159265f;
constexpr float legStart = 0.6f;
constexpr float legTilt = pi / 6.0f;     // the upper segment rises from the body by this
constexpr float legSweep = pi / 8.0f;    // amplitude of the swing and the lift
constexpr float flashScatter = 0.5f;
constexpr glm::vec4 xAxis{1, 0, 0, 0}, yAxis{0, 1, 0, 0}, zAxis{0, 0, 1, 0};

std::array<std::array<glm::vec4, 8>, 4> makeLegDirections() {
    // Four rings of eight: two reaching forward (+z), two back, each spread around in x and w.
    const float ringAngle[4] = {pi / 4, pi / 3, pi / 3, pi / 4};
    const float ringSign[4] = {1, 1, -1, -1};
    std::array<std::array<glm::vec4, 8>, 4> rows;
    for (int row = 0; row < 4; ++row)
        for (int i = 0; i < 8; ++i) {
            const float a = (float(i) + 0.5f) * pi / 4.0f;
            const float t = ringAngle[row];
            rows[row][i] = glm::vec4(std::cos(a) * std::cos(t), 0.0f, ringSign[row] * std::cos(t),
                                     std::sin(a) * std::sin(t));
        }
    return rows;
}

SpiderPart makePart(int variant) {
    const float* c = spiderPartColours[variant];
    SpiderPart part;
    part.colourA = glm::vec3(c[0], c[1], c[2]);
    part.colourB = glm::vec3(c[3], c[4], c[5]);
    part.mesh = &spiderPartMeshes[variant];
    return part;
}

Mat5 turn(const glm::vec4& a, const glm::vec4& b, float angle) {
    return Rotor4(wedge4(a, b), angle).toMat5();
}

}  // namespace

std::array<SpiderPart, SPIDER_PART_COUNT> spiderParts = {makePart(0), makePart(1), makePart(2),
                                                         makePart(3), makePart(4)};
MeshRenderer spiderPentachoronRenderer;
MeshRenderer spiderWireRenderer;
const std::array<std::array<glm::vec4, 8>, 4> spiderLegDirections = makeLegDirections();

SpiderLegFrames spiderLegFrames(int leg, float legPhase) {
    const glm::vec4 d = spiderLegDirections[leg / 8][leg % 8];
    const float side = leg % 2 == 1 ? 1.0f : -1.0f;
    const float swing = side * std::sin(legPhase) * legSweep;
    const float lift = side * std::cos(legPhase) * legSweep;

    // Upper segment: out of the body at 0.6 d (d as it is, shorter than 1 in the middle rings),
    // lifted and swung, its length along the leg's direction made unit.
    const Mat5 upperFrame = translate4(legStart * d) * turn(d, yAxis, lift + legTilt) *
                            turn(d, zAxis, swing) * rotorTurning(yAxis, d).toMat5();
    SpiderLegFrames frames;
    frames.upper = upperFrame * translate4(yAxis) * scale4(glm::vec4(1, -1, 1, 1)) *
                   scale4(glm::vec4(0.3f, 1.0f, 0.3f, 0.3f));
    // Lower segment: from the knee straight down, turned back by the swing.
    const glm::vec4 knee = upperFrame.transform(yAxis, 1.0f);
    frames.lower = translate4(knee) * turn(d, zAxis, -swing) * scale4(glm::vec4(0.3f, -1.0f, 0.3f, 0.3f));
    return frames;
}

Mat5 SpiderEntity::bodyFrame(const Mat5& view) const {
    return view * translate4(pos) * rotorTurning(zAxis, direction).toMat5();
}

void SpiderEntity::initRender() {
    for (SpiderPart& part : spiderParts) part.renderer.init(part.mesh);
    spiderPentachoronRenderer.init(&pentachoronBaseMesh);
    spiderWireRenderer.init(&dodecaplexWireframe);
    spiderWireRenderer.mode = GL_LINES;
}

void SpiderEntity::render(World*, const Mat5& view, bool glasses) {
    using namespace uniforms;
    Shader* colourShader = getShader("simplexColorShader");
    Shader* solidShader = getShader("simplexSolidColorShader");
    const SpiderPart& part = spiderParts[size_t(std::clamp(type, 0, SPIDER_PART_COUNT - 1))];
    if (!colourShader || !solidShader) return;

    const Mat5 frame = bodyFrame(view);
    const Mat5 body = frame * scale4(bodyScale);
    glUseProgram(colourShader->program);
    setMat5(*colourShader, "MV", body);
    part.renderer.draw();

    glUseProgram(solidShader->program);
    const GLint mvAt = location(*solidShader, "MV"), colourAt = location(*solidShader, "inColor");
    if (isFlashing()) {
        // Two ghosts of the body in magenta and cyan, shaken anew every frame.
        for (const glm::vec3& tint : {glm::vec3(1, 0, 1), glm::vec3(0, 1, 1)}) {
            const glm::vec3 b = threadrandom::inBall(flashScatter);
            setMat5(mvAt, frame * translate4(glm::vec4(b.x, 0.0f, b.y, b.z)) * scale4(bodyScale));
            setVec3(colourAt, tint);
            part.renderer.draw();
        }
    }

    for (int leg = 0; leg < 32; ++leg) {
        const SpiderLegFrames frames = spiderLegFrames(leg, legPhase);
        setMat5(mvAt, frame * frames.upper);
        setVec3(colourAt, part.colourA);
        spiderPentachoronRenderer.draw();
        setMat5(mvAt, frame * frames.lower);
        setVec3(colourAt, part.colourB);
        spiderPentachoronRenderer.draw();
    }

    if (glasses) drawGlassesOutline(spiderWireRenderer, body, glm::vec4(1.0f, 0.0f, 0.0f, 1.0f));
}
