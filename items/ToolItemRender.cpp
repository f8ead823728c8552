#include "engine/ThreadRandom.h"
#include "engine/Uniforms.h"
#include "items/ItemDrawing.h"
#include "items/ToolItem.h"
#include "shapes/Shapes.h"

#include <GL/glew.h>

#include <array>
#include <cmath>

MeshRenderer ToolItem::ironPickHead;
MeshRenderer ToolItem::deadlyPickHead;
MeshRenderer ToolItem::hammerHead;

namespace {

constexpr int WOOD = 4;
constexpr float halfTurn = 1.0210176f;  // the rotor's half-angle: it turns a blade by 117 degrees

// Tool icons: "items.png" with "tex2DShader". A tool of an unknown name shows the cell shown last.
TexturedQuad toolSprite;
unsigned shownIconX = 0;

// The vertex data of the pick heads, kept while the renderers use it: both heads share the
// positions, each has its own colours.
std::array<glm::vec4, 40> pickPositions;
std::array<glm::vec3, 40> ironColours;
std::array<glm::vec3, 40> deadlyColours;

// Two blades, each a stretched 5-cell above the handle's top, turned 117 degrees in the x-y
// plane, one each way, so both reach out and down; random grey (iron) or magenta, red and cyan
// (deadly) vertices.
void buildPickHeads() {
    for (int blade = 0; blade < 2; ++blade) {
        const float sine = blade == 0 ? std::sin(halfTurn) : -std::sin(halfTurn);
        const Mat5 placement = translate4(glm::vec4(0.0f, 1.35f, 0.0f, 0.0f)) *
                               Rotor4(std::cos(halfTurn), sine, 0, 0, 0, 0, 0, 0).toMat5() *
                               scale4(glm::vec4(0.6f, 2.25f, 0.6f, 0.6f));
        for (int i = 0; i < 20; ++i) {
            const int v = blade * 20 + i;
            pickPositions[v] = placement.transform(pentachoronBaseCells[i], 1.0f);
            ironColours[v] = threadrandom::unit() > 0.5 ? glm::vec3(0.7f) : glm::vec3(0.5f);
            const glm::vec3 deadlyOther = blade == 0 ? glm::vec3(1, 0, 0) : glm::vec3(0, 1, 1);
            deadlyColours[v] = threadrandom::unit() > 0.5 ? glm::vec3(1, 0, 1) : deadlyOther;
        }
    }
}

void uploadPickHead(MeshRenderer& renderer, const std::array<glm::vec3, 40>& colours) {
    const MeshArr mesh(pickPositions.data(), 40, &colours[0].x);
    renderer.init(&mesh);
}

}  // namespace

void ToolItem::initRender() {
    itemDrawing::initAtlasQuad(toolSprite);
    buildPickHeads();
    uploadPickHead(ironPickHead, ironColours);
    uploadPickHead(deadlyPickHead, deadlyColours);
    hammerHead.init(&greyDodecaplex);
}

void ToolItem::renderIcon(const glm::ivec2& pos) {
    if (rule) shownIconX = rule->iconX;
    itemDrawing::drawAtlasCell(toolSprite, shownIconX, itemAtlas::TOOL_ROW, pos);
}

void ToolItem::render(const Mat5& model, bool held) {
    using namespace uniforms;
    // At its own size a tool two units long would fill the view from the hand.
    const Mat5 mv = held ? model * scale4(itemDrawing::heldModelScale) : model;
    const MeshRenderer* pickHead = name == "Iron Pick"     ? &ironPickHead
                                   : name == "Deadly Pick" ? &deadlyPickHead
                                                           : nullptr;
    Shader* colour = pickHead ? itemDrawing::useShaderFor("simplexColorShader", *pickHead) : nullptr;
    if (colour) {
        setMat5(*colour, "MV", mv);
        pickHead->draw();
    }
    Shader* lit = name == "Hammer" ? itemDrawing::useShaderFor("simplexColorNormalShader", hammerHead) : nullptr;
    if (lit) {
        setMat5(*lit, "MV", mv * translate4(glm::vec4(0.0f, 0.8f, 0.0f, 0.0f)) *
                                scale4(glm::vec4(0.15f, 0.1f, 0.1f, 0.15f)));
        setVec4(*lit, "lightDir", glm::vec4(0.0f, 1.0f, 0.0f, 0.0f));
        hammerHead.draw();
    }

    // The handle, for every tool: a long thin block of wood from y -0.3 to 1.2.
    itemDrawing::drawBlockModel(WOOD, mv * translate4(glm::vec4(0.0f, 0.45f, 0.0f, 0.0f)) *
                                          scale4(glm::vec4(0.15f, 1.5f, 0.15f, 0.15f)) *
                                          translate4(glm::vec4(-0.5f)));
}
