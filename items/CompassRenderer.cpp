#include "items/CompassRenderer.h"

#include "engine/Shader.h"
#include "engine/Texture.h"
#include "engine/Uniforms.h"
#include "game/Compass.h"
#include "game/GameState.h"
#include "items/CompassMath.h"
#include "items/ItemDrawing.h"
#include "shapes/Shapes.h"

#include <GL/glew.h>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include <array>
#include <cmath>

MeshRenderer CompassRenderer::tesseractRenderer;
MeshRenderer CompassRenderer::hollowTesseractRenderer;
MeshRenderer CompassRenderer::cubeTetraRenderer;
MeshRenderer CompassRenderer::cubeFacesRenderer;
MeshRenderer CompassRenderer::cubeEdgesRenderer;
MeshRenderer CompassRenderer::axisLineRenderer;
BitmapText CompassRenderer::text;

namespace {

constexpr float pi = 3.14159265f;

// Corners of the unit cube written as three digits x y z, blank-separated.
template <size_t N>
constexpr std::array<glm::u8vec3, N> cubeCorners(const char* digits) {
    std::array<glm::u8vec3, N> corners{};
    for (size_t i = 0; i < N; ++i, digits += 4)
        corners[i] = glm::u8vec3(digits[0] - '0', digits[1] - '0', digits[2] - '0');
    return corners;
}

// The cube as five tetrahedra, as its twelve face triangles and as its twelve edges.
constexpr auto cubeTetrahedra = cubeCorners<20>(
    "110 000 011 101 010 110 000 011 000 011 001 101 110 000 100 101 110 011 111 101");
constexpr auto cubeTriangles = cubeCorners<36>(
    "000 100 110 110 010 000 001 111 101 111 001 011 011 000 010 000 011 001 "
    "111 110 100 100 101 111 000 101 100 101 000 001 010 110 111 111 011 010");
constexpr auto cubeEdges = cubeCorners<24>(
    "000 100 000 001 100 101 001 101 000 010 100 110 001 011 101 111 010 110 010 011 110 111 011 111");
// The vertical line through the cube's centre; turned, the other two axes and the needles.
constexpr std::array<glm::vec3, 2> axisLine = {glm::vec3(0.5f, 0.0f, 0.5f), glm::vec3(0.5f, 1.0f, 0.5f)};

template <class Vertex>
void upload(MeshRenderer& renderer, const Vertex* vertices, size_t count, GLenum type, GLenum mode) {
    GenericMesh mesh;
    mesh.vertCount_ = uint32_t(count);
    mesh.attribs = {{type, unsigned(sizeof(Vertex) / (type == GL_FLOAT ? 4 : 1)), vertices,
                     uint32_t(count * sizeof(Vertex)), 0}};
    renderer.init(&mesh);
    renderer.mode = mode;
}

void setMat4(const Shader& shader, const char* name, const glm::mat4& m) {
    glUniformMatrix4fv(uniforms::location(shader, name), 1, GL_FALSE, glm::value_ptr(m));
}

// One draw of a diagram part with a 3D program: "MV" and an RGBA "inColor", and for the two
// section programs the section view "MV2D".
void drawPart(const char* shaderName, const MeshRenderer& part, const glm::mat4& mv,
              const glm::vec4& colour, const glm::mat4* sectionView = nullptr) {
    Shader* shader = itemDrawing::useShaderFor(shaderName, part);
    if (!shader) return;
    if (sectionView) setMat4(*shader, "MV2D", *sectionView);
    setMat4(*shader, "MV", mv);
    uniforms::setVec4(*shader, "inColor", colour);
    part.draw();
}

// The face culling, polygon offset, depth writes and vertex array in place before the diagram,
// put back after; the depth test's function is read for the needles to return to.
class SavedState {
public:
    SavedState() {
        culling = glIsEnabled(GL_CULL_FACE);
        glGetIntegerv(GL_CULL_FACE_MODE, &cullFace);
        glGetIntegerv(GL_FRONT_FACE, &frontFace);
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vertexArray);
        glGetIntegerv(GL_DEPTH_FUNC, &depthFunction);
        offsetting = glIsEnabled(GL_POLYGON_OFFSET_FILL);
        glGetFloatv(GL_POLYGON_OFFSET_FACTOR, &offsetFactor);
        glGetFloatv(GL_POLYGON_OFFSET_UNITS, &offsetUnits);
    }
    ~SavedState() {
        if (culling)
            glEnable(GL_CULL_FACE);
        else
            glDisable(GL_CULL_FACE);
        glCullFace(GLenum(cullFace));
        glFrontFace(GLenum(frontFace));
        glDepthMask(depthWrites);
        glBindVertexArray(GLuint(vertexArray));
        if (offsetting)
            glEnable(GL_POLYGON_OFFSET_FILL);
        else
            glDisable(GL_POLYGON_OFFSET_FILL);
        glPolygonOffset(offsetFactor, offsetUnits);
    }
    SavedState(const SavedState&) = delete;
    SavedState& operator=(const SavedState&) = delete;

    GLint depthFunction = GL_LESS;

private:
    GLboolean culling = GL_FALSE, depthWrites = GL_TRUE, offsetting = GL_FALSE;
    GLint cullFace = GL_BACK, frontFace = GL_CCW, vertexArray = 0;
    GLfloat offsetFactor = 0.0f, offsetUnits = 0.0f;
};

}  // namespace

void CompassRenderer::init() {
    upload(tesseractRenderer, hypercubeMeshPositions.data(), hypercubeMeshPositions.size(), GL_FLOAT, GL_LINES_ADJACENCY);
    hollowTesseractRenderer.init(&hypercubeHollowMesh);
    upload(cubeTetraRenderer, cubeTetrahedra.data(), cubeTetrahedra.size(), GL_UNSIGNED_BYTE, GL_LINES_ADJACENCY);
    upload(cubeFacesRenderer, cubeTriangles.data(), cubeTriangles.size(), GL_UNSIGNED_BYTE, GL_TRIANGLES);
    upload(cubeEdgesRenderer, cubeEdges.data(), cubeEdges.size(), GL_UNSIGNED_BYTE, GL_LINES);
    upload(axisLineRenderer, axisLine.data(), axisLine.size(), GL_FLOAT, GL_LINES);
    text = BitmapText(getTexture("pixelfont.png"), getShader("textShader"));
    text.scale = compassmath::textScale;
}

void CompassRenderer::renderDropped(const Mat5& mv) {
    if (Shader* shader = itemDrawing::useShaderFor("simplexColorShader", hollowTesseractRenderer)) {
        uniforms::setMat5(*shader, "MV", mv * scale4(0.5f));
        hollowTesseractRenderer.draw();
    }
    // The dark core, just inside the shell.
    if (Shader* shader = itemDrawing::useShaderFor("simplexSolidColorShader", tesseractRenderer)) {
        uniforms::setMat5(*shader, "MV", mv * scale4(0.48f));
        uniforms::setVec3(*shader, "inColor", glm::vec3(0.0f));
        tesseractRenderer.draw();
    }
}

void CompassRenderer::renderHeld(const glm::mat4& model) {
    const SavedState saved;
    const glm::mat4 identity(1.0f);
    const glm::vec3 x(1, 0, 0), y(0, 1, 0), z(0, 0, 1), centre(0.5f);
    const glm::vec3 p(model[3]);

    // The unit cube, turned about its centre by the mouse (compassAngles) after a fixed turn
    // that shows three of its faces.
    const glm::mat4 cube =
        glm::translate(identity, p + glm::vec3(-0.05f, 0.1f, 0.0f)) * glm::scale(identity, glm::vec3(0.1f)) *
        glm::translate(identity, centre) * glm::mat4_cast(glm::quat(std::cos(-pi / 10), 0.0f, std::sin(-pi / 10), 0.0f)) *
        glm::rotate(identity, -compassAngles[1], x) * glm::rotate(identity, -compassAngles[0], y) *
        glm::translate(identity, -centre);
    // The diagram's x, y, z are the world's x, w, z. The section view looks from the cube's
    // centre along the facing direction with the side direction up: its plane x = 0 is the
    // player's slice.
    const glm::vec3 facing(compassFacing.x, compassFacing.w, compassFacing.z);
    const glm::vec3 side(-compassLeft.x, -compassLeft.w, -compassLeft.z);
    const glm::mat4 section = glm::lookAt(centre, centre + facing, side);
    const auto aboutCentre = [&](const glm::mat4& turn) {
        return cube * glm::translate(identity, centre) * turn * glm::translate(identity, -centre);
    };

    drawPart("solidColor3DShader", cubeEdgesRenderer, cube, {0, 1, 1, 0.5f});
    drawPart("blockCrossSectionEdgesShader", cubeFacesRenderer, cube, {1, 1, 1, 1}, &section);
    // The far walls of the cube, darkened from inside.
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glFrontFace(GL_CW);
    drawPart("solidColor3DShader", cubeFacesRenderer, cube, {0, 0, 0, 0.5f});
    glDisable(GL_CULL_FACE);

    drawPart("solidColor3DShader", axisLineRenderer, cube, {0, 1, 0, 1});  // world w, upwards
    drawPart("solidColor3DShader", axisLineRenderer, aboutCentre(glm::rotate(identity, pi / 2, z)), {0, 0, 1, 1});  // x
    drawPart("solidColor3DShader", axisLineRenderer, aboutCentre(glm::rotate(identity, pi / 2, x)), {1, 0, 0, 1});  // z

    const auto needle = [&](const glm::vec3& d) {
        return cube * glm::translate(identity, centre) * glm::mat4_cast(compassmath::needleTurn(d)) *
               glm::scale(identity, glm::vec3(0.3f)) * glm::translate(identity, glm::vec3(-0.5f, 0.0f, -0.5f));
    };
    // Facing along an axis, a needle lies on that axis's line: it is drawn over it.
    glDepthFunc(GL_LEQUAL);
    drawPart("solidColor3DShader", axisLineRenderer, needle(facing), {1, 1, 0, 1});
    drawPart("solidColor3DShader", axisLineRenderer, needle(side), {1, 0.5f, 0, 1});
    glDepthFunc(GLenum(saved.depthFunction));

    // The axes and needles lie in the section: the cut is set back a little so that it veils
    // the cube behind it but never cuts them into dashes.
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);
    drawPart("blockCrossSectionAreaShader", cubeTetraRenderer, cube, {1, 1, 1, 0.5f}, &section);
    glDisable(GL_POLYGON_OFFSET_FILL);

    glDepthMask(GL_FALSE);
    renderReadout();
}

void CompassRenderer::renderReadout() {
    const glm::vec4 shadow(0.0f, 0.0f, 0.0f, 1.0f);
    for (const compassmath::ReadoutPiece& piece :
         compassmath::readout(compassPlayerPos, compassFacing, gameWindowSize)) {
        itemDrawing::drawText(text, piece.text, piece.pos.x + 2, piece.pos.y + 2, shadow);
        itemDrawing::drawText(text, piece.text, piece.pos.x, piece.pos.y, glm::vec4(piece.colour, 1.0f));
    }
}
