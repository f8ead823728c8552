#include "tutorial/TutorialState.h"

#include "engine/Shader.h"
#include "engine/Texture.h"
#include "engine/Uniforms.h"
#include "game/TexturedQuadDraw.h"
#include "gui/Paint.h"
#include "gui/PixelProjection.h"
#include "screens/ScreenBasics.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>

#include <algorithm>

namespace {

constexpr float pi = 3.14159265f;
constexpr int spriteCellPixels = 16;
// "tiles.png" is 96 tile columns by 16 layer rows; "forg.png" 16 by 16 sprite cells.
constexpr glm::uvec2 tileGrid(96, 16);
constexpr glm::uvec2 spriteGrid(16, 16);

// Leaves depth writes and the depth test on, whichever way a frame ends.
struct DepthStateRestorer {
    ~DepthStateRestorer() {
        glDepthMask(GL_TRUE);
        glEnable(GL_DEPTH_TEST);
    }
};

// Uses a textured program with the texture on unit 0.
void useTextured(const Shader& shader, const Texture& texture, glm::uvec2 grid) {
    glUseProgram(shader.program);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture.id);
    glUniform1i(uniforms::location(shader, "texSampler"), 0);
    glUniform2ui(uniforms::location(shader, "texSize"), grid.x, grid.y);
}

void useCrossSection(const Shader& shader, const glm::mat4& planeView, const glm::mat4& modelView,
                     const glm::mat4& projection, glm::vec4 color) {
    glUseProgram(shader.program);
    uniforms::setMat4(shader, "MV2D", planeView);
    uniforms::setMat4(shader, "MV", modelView);
    uniforms::setMat4(shader, "P", projection);
    uniforms::setVec4(shader, "inColor", color);
}

// Byte positions (3 per vertex) and one more byte attribute of `secondSize` per vertex (none
// when null) into a renderer, into the buffers it has when the layout is the same.
void uploadBytes(MeshRenderer& renderer, const void* positions, const void* second, unsigned secondSize,
                 size_t vertices, GLenum mode) {
    renderer.mode = mode;
    if (vertices == 0) {
        renderer.release();
        return;
    }
    GenericMesh mesh;
    mesh.vertCount_ = uint32_t(vertices);
    mesh.attribs.push_back({GL_UNSIGNED_BYTE, 3, positions, uint32_t(vertices * 3), 3});
    if (second)
        mesh.attribs.push_back({GL_UNSIGNED_BYTE, secondSize, second, uint32_t(vertices * secondSize), secondSize});
    renderer.setMesh(&mesh);
}

}  // namespace

void TutorialState::buildMeshes() {
    if (!faceMesh.vao) {
        tutorial::WorldGeometry geometry;
        tutorial::buildWorldGeometry(blocks, geometry);
        uploadBytes(faceMesh, geometry.facePositions.data(), geometry.faceTexCoords.data(), 2,
                    geometry.facePositions.size(), GL_TRIANGLES);
        uploadBytes(sliceMesh, geometry.slicePositions.data(), geometry.sliceTexCoords.data(), 3,
                    geometry.slicePositions.size(), GL_LINES_ADJACENCY);
    }
    if (!boxMesh.vao)
        uploadBytes(boxMesh, tutorial::cubeTetrahedra.data(), nullptr, 0, tutorial::cubeTetrahedra.size(),
                    GL_LINES_ADJACENCY);
}

void TutorialState::setForgFrame(tutorial::SpriteCell cell) {
    forgCell = cell;
    forgSprite.setTexRect(unsigned(cell.col * spriteCellPixels), unsigned(cell.row * spriteCellPixels),
                          spriteCellPixels, spriteCellPixels);
    const size_t n = tutorial::billboardPositions.size();
    const auto cells = tutorial::billboardCells(cell.col, cell.row + tutorial::billboardRowOffset);
    uploadBytes(forgMesh, tutorial::billboardPositions.data(), cells.data(), 2, n, GL_TRIANGLES);
    const auto overlayCells = tutorial::billboardCells(cell.col, cell.row + tutorial::overlayRowOffset);
    uploadBytes(forgOverlayMesh, tutorial::billboardPositions.data(), overlayCells.data(), 2, n, GL_TRIANGLES);
}

void TutorialState::chooseForgFrame() {
    // The buffers change only when the animation moves on to another cell.
    const tutorial::SpriteCell cell =
        tutorial::forgFrame(int(player.animState), player.facing, now() - player.animStart);
    if (cell != forgCell) setForgFrame(cell);
}

void TutorialState::updateProjection(int width, int height) {
    if (width < 1 || height < 1) return;
    projection3D = glm::perspective(1.0471976f, float(width) / float(height), 0.01f, 300.0f);
    projection2D = gui::pixelProjection(width, height);
    uniforms::setProjection(getShader("textShader"), projection2D);
    uniforms::setProjection(getShader("tex2DShader"), projection2D);
    uniforms::setProjection(quadShader, projection2D);
}

glm::mat4 TutorialState::worldViewMatrix() const {
    return glm::lookAt(glm::vec3(0.0f), glm::normalize(glm::vec3(0.0f, -0.7f, 1.0f)), glm::vec3(0, 1, 0));
}

glm::mat4 TutorialState::worldModelMatrix() const {
    const float tilt = std::clamp(-pitch, -pi / 4.0f, pi / 2.0f);
    glm::mat4 model = glm::translate(glm::mat4(1.0f), glm::vec3(0.0f, -15.0f, 20.0f));
    model = glm::rotate(model, tilt, glm::vec3(1, 0, 0));
    model = glm::rotate(model, yaw, glm::vec3(0, 1, 0));
    model = glm::rotate(model, pi / 4.0f, glm::vec3(0, 1, 0));
    return glm::translate(model, glm::vec3(-8.0f));
}

glm::mat4 TutorialState::planeView() const {
    return glm::lookAt(player.pos, player.pos + player.forward, player.up);
}

void TutorialState::drawWorldView(int x, int y, int width, int height) {
    if (width < 1 || height < 1) return;
    glViewport(x, y, width, height);
    updateProjection(width, height);

    const glm::mat4 view = worldViewMatrix(), model = worldModelMatrix();
    const glm::mat4 modelView = view * model;
    const Shader* blocks3D = getShader("blockTutorial3DShader");
    const Shader* area = getShader("blockCrossSectionAreaShader");
    const Shader* edges = getShader("blockCrossSectionEdgesShader");
    const Texture* tiles = getTexture("tiles.png");
    const Texture* forg = getTexture("forg.png");

    if (blocks3D && tiles) {
        useTextured(*blocks3D, *tiles, tileGrid);
        uniforms::setMat4(*blocks3D, "MVP", projection3D * modelView);
        faceMesh.draw();
    }
    // The plane's area inside the world's box.
    const glm::mat4 plane = planeView();
    const glm::mat4 box = glm::scale(glm::mat4(1.0f), glm::vec3(float(tutorial::worldSize)));
    if (area) {
        useCrossSection(*area, plane * box, modelView * box, projection3D, glm::vec4(1, 1, 1, 0.2f));
        boxMesh.draw();
    }
    // The forg stands in his plane, drawn a little toward the camera so the plane does not hide
    // him.
    const glm::mat4 billboard = projection3D * view * glm::translate(glm::mat4(1.0f), glm::vec3(0, 0, -0.1f)) *
                                model * glm::translate(glm::mat4(1.0f), player.pos - 0.5f * player.forward) *
                                player.sliceRotation;
    if (blocks3D && forg) {
        useTextured(*blocks3D, *forg, spriteGrid);
        uniforms::setMat4(*blocks3D, "MVP", billboard);
        forgMesh.draw();
    }
    glDepthMask(GL_FALSE);
    // The plane's edges on the blocks, and the forg's outline, show through everything.
    glDisable(GL_DEPTH_TEST);
    if (edges) {
        useCrossSection(*edges, plane, modelView, projection3D, glm::vec4(1.0f));
        faceMesh.draw();
    }
    if (blocks3D && forg) {
        useTextured(*blocks3D, *forg, spriteGrid);
        uniforms::setMat4(*blocks3D, "MVP", billboard);
        forgOverlayMesh.draw();
    }
    glEnable(GL_DEPTH_TEST);
}

void TutorialState::drawSliceView(int x, int y, int width, int height) {
    if (width < 1 || height < 1) return;
    glViewport(x, y, width, height);
    updateProjection(width, height);
    // Whole pixels per block: 16 at the game's window size.
    const int b = 16 * (width / 256);
    const Shader* slice = getShader("blockTutorial2DShader");
    const Texture* tiles = getTexture("tiles.png");
    if (slice && tiles) {
        useTextured(*slice, *tiles, tileGrid);
        uniforms::setMat4(*slice, "MV2D", planeView());
        const glm::mat4 toPixels = glm::scale(
            glm::translate(glm::mat4(1.0f), glm::vec3(float(width / 2), float(height / 2), 0.0f)),
            glm::vec3(float(b), float(-b), 1.0f));
        uniforms::setMat4(*slice, "MVP", projection2D * toPixels);
        sliceMesh.draw();
    }
    // His feet at the view's centre.
    forgSprite.setRect(float(width / 2 - b / 2), float(height / 2 - b), float(b), float(b));
    drawTexturedQuad(forgSprite);
}

void TutorialState::render(StateManager&) {
    DepthStateRestorer restoreDepth;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    int w = 0, h = 0;
    gui.getWindowSize(w, h);
    if (w < 1 || h < 1) return;
    const int viewWidth = w / 2 - 2;
    const glm::vec4 white(1.0f);

    chooseForgFrame();
    if (viewWidth >= 1) {
        drawWorldView(w / 2 + 3, 0, viewWidth, h);
        gui::paint::drawText(text, "Click + drag to adjust 3D view", 20, 20, unsigned(std::max(1, w / 800)),
                             false, white);

        drawSliceView(0, 0, viewWidth, h);
        const int scale = std::max(1, viewWidth / 420);
        gui::paint::drawText(text, "WASD or arrow keys to move the forg.", 20, 20, unsigned(scale), false, white);
        gui::paint::drawText(text, "Scroll with mouse to rotate your 2D cross-section!", 20, 20 + 30 * scale,
                             unsigned(scale), false, white);
    }

    glDepthMask(GL_FALSE);
    glViewport(0, 0, w, h);
    updateProjection(w, h);
    gui::paint::outlineRect(outline, 1.0f, 1.0f, float(w / 2 - 3), float(h - 2), glm::vec4(1, 0, 1, 1));
    gui::paint::outlineRect(outline, float(w / 2 + 3), 1.0f, float(w / 2 - 4), float(h - 2), glm::vec4(0, 1, 1, 1));
    gui.render();
}

void TutorialState::releaseGl() {
    for (MeshRenderer* mesh : {&faceMesh, &sliceMesh, &boxMesh, &forgMesh, &forgOverlayMesh}) mesh->release();
    forgSprite.release();
    outline.release();
    text.release();
}
