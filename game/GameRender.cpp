#include "game/GameState.h"

#include "engine/Shader.h"
#include "engine/Texture.h"
#include "engine/Uniforms.h"
#include "game/DayCycle.h"
#include "game/GameRules.h"
#include "game/TexturedQuadDraw.h"
#include "items/BlockModels.h"

#include <GL/glew.h>
#include <glm/glm.hpp>

#include <algorithm>
#include <cmath>

namespace {

// Binds a cached texture to a unit; false when the image could not be loaded.
bool bindTexture(const char* name, GLenum unit) {
    Texture* texture = getTexture(name);
    if (!texture) return false;
    glActiveTexture(unit);
    glBindTexture(GL_TEXTURE_2D, texture->id);
    return true;
}

// The selected hotbar item shows the fourth axis of dropped items and creatures.
bool holdsGlasses(Player& player) {
    Inventory& hotbar = player.hotbar;
    if (!hotbar.slotInBounds(hotbar.selected)) return false;
    const std::unique_ptr<Item>& item = hotbar.selectedSlot();
    return item && item->getName() == "4D Glasses";
}

void setInt(const Shader* shader, const char* name, int value) {
    glUniform1i(glGetUniformLocation(shader->program, name), value);
}

void setTexSize(const Shader* shader, unsigned columns, unsigned rows) {
    glUniform2ui(glGetUniformLocation(shader->program, "texSize"), columns, rows);
}

// Whether the sky's sphere (every vertex within 1 of its centre) can show under the model-view
// mv: the view's hyperplane must pass through it, and no frustum plane may have it wholly
// behind. The sun and the moon stand above or below the view most of the day; drawing them
// then costs the renderer every tetrahedron and draws nothing.
bool sphereMayShow(const Mat5& mv, const FrustumPlanes& frustum) {
    // Orbits turn and scale evenly, so the longest image of an axis is the sphere's radius.
    float radius = 0.0f;
    for (int c = 0; c < 4; ++c)
        radius = std::max(radius, glm::length(glm::vec4(mv.at(c, 0), mv.at(c, 1), mv.at(c, 2),
                                                        mv.at(c, 3))));
    const float reach = radius * 1.001f + 1e-3f;  // and a little for rounding
    const glm::vec4 centre(mv.at(4, 0), mv.at(4, 1), mv.at(4, 2), mv.at(4, 3));
    if (std::fabs(centre.w) > reach) return false;
    for (const glm::vec4& plane : frustum)
        if (glm::dot(glm::vec3(plane), glm::vec3(centre)) + plane.w < -reach) return false;
    return true;
}

}  // namespace

void GameState::render(StateManager& s) {
    daycycle::Light light = daycycle::lightAt(timeOfDay);
    glm::vec4 sky = daycycle::skyColor(light);
    glClearColor(sky.r, sky.g, sky.b, sky.a);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    const Mat5 skyView =
        lookAt4(glm::vec4(0.0f), -player.forward, player.up, -player.left, player.over);
    Mat5 view = lookAt4(player.eyePos, -player.forward, player.up, -player.left, player.over);
    if (player.eyeBlock < 1) {
        drawWorld(view, skyView, light, daycycle::cloudColor(light));
    } else {
        drawSkyBehind(skyView, light.daylight);
        drawBlockAroundEye(view);
    }

    drawCrosshair();
    player.renderHud(s.window);
}

void GameState::drawSky(const Mat5& skyView, float daylight) {
    const Mat5 moon = skyView * daycycle::moonOrbit(timeOfDay);
    if (moonShader && sphereMayShow(moon, world.frustum) && bindTexture("moon.png", GL_TEXTURE2)) {
        glUseProgram(moonShader->program);
        glUniform1f(moonBlendLocation, daylight);
        glUniform1i(moonTextureLocation, 2);
        uniforms::setMat5(moonMvLocation, moon);
        sphereRenderer.draw();
    }
    const Mat5 sun = skyView * daycycle::sunOrbit(timeOfDay);
    if (simplexShader && sphereMayShow(sun, world.frustum) && bindTexture("sun.png", GL_TEXTURE2)) {
        glUseProgram(simplexShader->program);
        glUniform1i(simplexTexSamplerLocation, 2);
        uniforms::setMat5(simplexMvLocation, sun);
        sphereRenderer.draw();
    }
    Shader* skybox = getShader("skyboxShader");
    if (skybox && bindTexture("skybox.png", GL_TEXTURE0)) {
        glUseProgram(skybox->program);
        glm::mat4 mvp = projection * daycycle::skyboxView(player.forward.y);
        glUniformMatrix4fv(glGetUniformLocation(skybox->program, "MVP"), 1, GL_FALSE, &mvp[0][0]);
        skyboxRenderer.draw();
    }
}

void GameState::drawSkyBehind(const Mat5& skyView, float daylight) {
    // The sky has no depth: it only turns with the camera and stays behind everything. Drawn at
    // the far end of the depth range, it shows only where nothing has been drawn yet, as if it
    // had been drawn first: the renderer then skips the samples the chunks already cover.
    GLint depthFunc = GL_LESS;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    glDepthMask(GL_FALSE);
    glDepthRange(1.0, 1.0);
    glDepthFunc(GL_LEQUAL);
    drawSky(skyView, daylight);
    glDepthFunc(GLenum(depthFunc));
    glDepthRange(0.0, 1.0);
    glDepthMask(GL_TRUE);
}

void GameState::drawWorld(const Mat5& view, const Mat5& skyView, const daycycle::Light& light,
                          const glm::vec4& cloudColor) {
    // Chunks are opaque and come first; the sky fills what they leave, then the entities, which
    // may blend, go over both.
    const bool chunksDrawn = blockShader && bindTexture("tiles.png", GL_TEXTURE2);
    if (chunksDrawn) {
        glUseProgram(blockShader->program);
        setInt(blockShader, "texSampler", 2);
        setTexSize(blockShader, 96, 16);
        uniforms::setMat5(*blockShader, "MV", view);
        world.renderChunks(view);
    }
    drawSkyBehind(skyView, light.daylight);
    if (chunksDrawn) {
        // Entities draw with the block shader too (block items), as the chunks left it.
        glUseProgram(blockShader->program);
        bindTexture("tiles.png", GL_TEXTURE2);
        world.renderEntities(view, holdsGlasses(player));
    }

    if (cloudShader) {
        glUseProgram(cloudShader->program);
        glUniform4fv(glGetUniformLocation(cloudShader->program, "cloudColor"), 1, &cloudColor[0]);
        clouds.render(view, cloudMvLocation);
    }

    drawTargetOverlay(view);
}

void GameState::drawTargetOverlay(const Mat5& view) {
    if (!targetBlockShader || !bindTexture("targetBlock.png", GL_TEXTURE2)) return;
    glUseProgram(targetBlockShader->program);
    setInt(targetBlockShader, "texSampler", 2);
    if (!player.hasTargetBlock) return;

    glm::vec4 centre = glm::vec4(player.targetBlock) + 0.5f;
    float distance = glm::distance(player.eyePos, centre);
    // A hair larger than the block, growing with distance, so it wins the depth test.
    Mat5 mv = view * translate4(centre) * scale4(0.5f + 0.0005f * distance);
    setTexSize(targetBlockShader, 8, 16);
    uniforms::setMat5(*targetBlockShader, "MV", mv);
    setInt(targetBlockShader, "offset", gamerules::crackStage(player.mineStartTime, player.breakProgress));
    targetBlockRenderer.draw();
}

void GameState::drawBlockAroundEye(const Mat5& view) {
    // Block ids come from the world's data: only the ids that have a model are drawn.
    int id = player.eyeBlock;
    if (id < 1 || id > BLOCK_MODEL_COUNT || !blockShader) return;
    if (!bindTexture("tiles.png", GL_TEXTURE2)) return;
    glUseProgram(blockShader->program);
    setInt(blockShader, "texSampler", 2);
    setTexSize(blockShader, 96, 16);
    uniforms::setMat5(*blockShader, "MV", view * translate4(player.eyePos - glm::vec4(0.5f)));
    blockMeshes[id - 1].renderer.draw();
}

void GameState::drawCrosshair() {
    glDepthMask(GL_FALSE);
    drawTexturedQuad(crosshair);
    glDepthMask(GL_TRUE);
}
