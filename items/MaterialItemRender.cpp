#include "engine/ThreadRandom.h"
#include "engine/Uniforms.h"
#include "game/TesseractEdges.h"
#include "items/CompassRenderer.h"
#include "items/ItemDrawing.h"
#include "items/MaterialItem.h"
#include "items/MaterialMeshes.h"
#include "shapes/Shapes.h"

#include <GL/glew.h>

MeshRenderer MaterialItem::rockModel;
MeshRenderer MaterialItem::hypersilkModel;
MeshRenderer MaterialItem::barModel;
MeshRenderer MaterialItem::kleinBottleModel;
MeshRenderer MaterialItem::potionModel;
MeshRenderer MaterialItem::glassesFrame;
MeshRenderer MaterialItem::glassesLenses;

namespace {

struct MaterialIcon {
    const char* name;
    unsigned iconX;  // atlas cell on the material row
};
constexpr MaterialIcon icons[] = {{"Rock", 0},         {"Hypersilk", 36},     {"Iron Bars", 72},
                                  {"Deadly Bars", 108}, {"Compass", 144},      {"4D Glasses", 180},
                                  {"Klein Bottle", 216}, {"Health Potion", 252}};

// Material icons: "items.png" with "tex2DShader". An unknown name shows the cell shown last.
TexturedQuad materialSprite;
unsigned shownIconX = 0;

// The vertex data the uploaded meshes point at, kept while the renderers use it.
materialmesh::BarModel barData;
std::array<glm::vec4, materialmesh::FRAME_FACES * materialmesh::FACE_VERTICES> frameData;
materialmesh::GlassesLenses lensData;

const glm::vec4 lightFromAbove(0.0f, 1.0f, 0.0f, 0.0f);

Bivector4 plane(float xy, float xz, float xw, float yz, float yw, float zw) {
    Bivector4 b;
    b.xy = xy, b.xz = xz, b.xw = xw, b.yz = yz, b.yw = yw, b.zw = zw;
    return b;
}

// The turn whose rotor has the given half-angle in a unit plane.
Mat5 turnByHalfAngle(const Bivector4& unitPlane, float halfAngle) {
    return Rotor4(unitPlane, 2.0f * halfAngle).toMat5();
}

void renderRock(const Mat5& mv) {
    if (Shader* shader = itemDrawing::useShaderFor("simplexColorNormalShader", MaterialItem::rockModel)) {
        uniforms::setMat5(*shader, "MV", mv * scale4(glm::vec4(0.3f, 0.2f, 0.3f, 0.3f)));
        uniforms::setVec4(*shader, "lightDir", lightFromAbove);
        MaterialItem::rockModel.draw();
    }
}

// A white tesseract frame with a magenta and a cyan copy shaken around it every frame. Held, it
// is moved 2 along w, out of the slice: its lines then fade out over a longer reach, or the
// fade would swallow them all.
constexpr float heldSilkFade = 4.0f;

void renderHypersilk(const Mat5& mv, bool held) {
    const Mat5 m = held ? mv * translate4(glm::vec4(0.0f, 0.0f, 0.0f, 2.0f)) : mv;
    const glm::vec3 b1 = threadrandom::inBall(0.1f), b2 = threadrandom::inBall(0.1f);
    const struct {
        Mat5 mv;
        glm::vec4 colour;
    } copies[] = {{m, {1, 1, 1, 1}},
                  {m * translate4(glm::vec4(b1, 0.0f)), {1, 0, 1, 0.7f}},
                  {m * translate4(glm::vec4(b2, 0.0f)), {0, 1, 1, 0.7f}}};
    for (const auto& copy : copies) {
        if (Shader* shader = itemDrawing::useShaderFor("wireframeShader", MaterialItem::hypersilkModel)) {
            uniforms::setFloat(*shader, "wFar", held ? heldSilkFade : 0.5f);
            uniforms::setMat5(*shader, "MV", copy.mv);
            uniforms::setVec4(*shader, "inColor", copy.colour);
            MaterialItem::hypersilkModel.draw();
        }
    }
}

// Three stacked bars: grey iron, or cyan and magenta for the deadly metal.
void renderBars(const Mat5& mv, bool deadly) {
    const Mat5 b = mv * scale4(glm::vec4(1.0f, 0.3f, 0.6f, 0.6f)) * translate4(glm::vec4(-0.5f));
    const struct {
        Mat5 mv;
        glm::vec3 iron, deadly;
    } bars[] = {{b, {0.8f, 0.7f, 0.7f}, {0.0f, 0.8f, 0.8f}},
                {b * translate4(glm::vec4(0.2f, -1.0f, -0.5f, 0.0f)), {0.7f, 0.6f, 0.6f}, {0.7f, 0.0f, 0.7f}},
                {b * translate4(glm::vec4(-0.1f, -1.0f, 0.7f, 0.0f)), {0.75f, 0.65f, 0.65f}, {0.6f, 0.0f, 0.6f}}};
    for (const auto& bar : bars) {
        if (Shader* shader = itemDrawing::useShaderFor("simplexSolidColorNormalShader", MaterialItem::barModel)) {
            uniforms::setVec4(*shader, "lightDir", lightFromAbove);
            uniforms::setMat5(*shader, "MV", bar.mv);
            uniforms::setVec3(*shader, "inColor", deadly ? bar.deadly : bar.iron);
            MaterialItem::barModel.draw();
        }
    }
}

// Held, the diagram drops the fourth axis: x, y and z of the model-view. Only its position is
// used: the hand's, moved 0.25 further ahead so the diagram stands low at the right of the view
// (taking the cube's corner through the hand's turn would carry it out of the view).
constexpr float compassReach = 0.25f;

void renderCompass(const Mat5& mv, bool held) {
    if (!held) {
        CompassRenderer::renderDropped(mv);
        return;
    }
    glm::mat4 model(1.0f);
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r) model[c][r] = mv.at(c, r);
    for (int r = 0; r < 3; ++r) model[3][r] = mv.at(4, r);
    model[3][2] -= compassReach;
    CompassRenderer::renderHeld(model);
}

void renderGlasses(const Mat5& mv, bool held) {
    Mat5 m = mv * scale4(0.2f);
    if (held)
        m = m * turnByHalfAngle(plane(0, 1, 0, 0, 0, 0), -0.5235988f) *
            turnByHalfAngle(plane(0, 0, 0, -1, 0, 0), -0.04712389f);
    if (Shader* shader = itemDrawing::useShaderFor("simplexSolidColorShader", MaterialItem::glassesFrame)) {
        uniforms::setMat5(*shader, "MV", m);
        uniforms::setVec3(*shader, "inColor", glm::vec3(1.0f));
        MaterialItem::glassesFrame.draw();
    }
    if (Shader* shader = itemDrawing::useShaderFor("simplexColorAlphaShader", MaterialItem::glassesLenses)) {
        uniforms::setMat5(*shader, "MV", m);
        uniforms::setFloat(*shader, "alpha", 0.5f);
        MaterialItem::glassesLenses.draw();
    }
}

// The Klein bottle and the potion share one rule; held, the bottle is moved and scaled after
// the view transform.
void renderKleinBottle(const Mat5& mv, bool held, const MeshRenderer& model) {
    const Mat5 t = held ? translate4(glm::vec4(0.0f, 0.1f, 0.0f, 0.3f)) * scale4(2.0f) : Mat5();
    const Mat5 m = t * mv * turnByHalfAngle(plane(0, 0, 0, 0, 0, 1), 0.4712389f);
    if (Shader* shader = itemDrawing::useShaderFor("wireframeColorShader", model)) {
        uniforms::setFloat(*shader, "wFar", 0.5f);
        uniforms::setMat5(*shader, "MV", m);
        model.draw();
    }
}

// The hand holds an item 0.2 below and 0.3 ahead of the eye. Tools stand up from there; the
// materials are modelled around their centre at a block's size or more, and at that size they
// either fill the view or sit below its lower edge. Held, each is drawn at a size that reads
// in the hand, moved (in view space: right, up) as far as it needs; its own held transform
// follows. The bottles' own transform doubles them and their place after the view: theirs
// are halved and drawn in from the lower right corner, so the whole bottle shows.
struct HeldFit {
    const char* name;
    float scale;
    glm::vec2 shift;
};
constexpr HeldFit heldFits[] = {
    {"Rock", itemDrawing::heldModelScale, {0.0f, 0.0f}},  // no held transform of its own: as the tools
    {"Iron Bars", itemDrawing::heldModelScale, {0.0f, 0.15f}},
    {"Deadly Bars", itemDrawing::heldModelScale, {0.0f, 0.15f}},
    {"Hypersilk", 0.12f, {0.0f, 0.08f}},
    {"4D Glasses", 0.12f, {0.0f, 0.06f}},
    {"Klein Bottle", 0.035f, {-0.05f, 0.1f}},
    {"Health Potion", 0.035f, {-0.05f, 0.1f}},
};

Mat5 inHand(const std::string& name, const Mat5& hand) {
    for (const HeldFit& fit : heldFits)
        if (name == fit.name)
            return translate4(glm::vec4(fit.shift, 0.0f, 0.0f)) * hand * scale4(fit.scale);
    return hand;
}

void uploadBarModel() {
    barData = materialmesh::buildBarModel();
    GenericMesh mesh;
    mesh.vertCount_ = materialmesh::BAR_VERTICES;
    mesh.attribs = {{GL_UNSIGNED_BYTE, 4, barData.positions.data(), 4 * materialmesh::BAR_VERTICES, 0},
                    {GL_UNSIGNED_BYTE, 1, barData.normals.data(), materialmesh::BAR_VERTICES, 0}};
    MaterialItem::barModel.init(&mesh);
}

}  // namespace

void MaterialItem::renderIcon(const glm::ivec2& pos) {
    for (const MaterialIcon& icon : icons)
        if (name == icon.name) shownIconX = icon.iconX;
    itemDrawing::drawAtlasCell(materialSprite, shownIconX, itemAtlas::MATERIAL_ROW, pos);
}

void MaterialItem::render(const Mat5& model, bool held) {
    const Mat5 mv = held ? inHand(name, model) : model;
    if (name == "Rock") renderRock(mv);
    if (name == "Hypersilk") renderHypersilk(mv, held);
    if (name == "Iron Bars" || name == "Deadly Bars") renderBars(mv, name == "Deadly Bars");
    if (name == "Compass") renderCompass(mv, held);
    if (name == "4D Glasses") renderGlasses(mv, held);
    if (name == "Klein Bottle") renderKleinBottle(mv, held, kleinBottleModel);
    if (name == "Health Potion") renderKleinBottle(mv, held, potionModel);
}

void MaterialItem::initRender() {
    itemDrawing::initAtlasQuad(materialSprite);
    uploadTesseractEdges(hypersilkModel);
    rockModel.init(&greyDodecaplex);
    uploadBarModel();
    buildMeshes();
    const KleinBottle whiteToBlue(0.5f, 1.0f, glm::vec3(1.0f), glm::vec3(0.0f, 0.0f, 1.0f));
    kleinBottleModel.init(&whiteToBlue);
    kleinBottleModel.mode = GL_LINES;
    potionModel.init(&kleinBottleMesh);
    potionModel.mode = GL_LINES;
}

void MaterialItem::buildMeshes() {
    frameData = materialmesh::buildGlassesFrame();
    GenericMesh frame;
    frame.vertCount_ = uint32_t(frameData.size());
    frame.attribs = {{GL_FLOAT, 4, frameData.data(), uint32_t(sizeof frameData), 0}};
    glassesFrame.init(&frame);

    lensData = materialmesh::buildGlassesLenses();
    const MeshArr lenses(lensData.positions.data(), uint32_t(lensData.positions.size()), &lensData.colours[0].x);
    glassesLenses.init(&lenses);
}
