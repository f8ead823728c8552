#include "items/MaterialItem.h"

#include "engine/Uniforms.h"
#include "items/ItemDrawing.h"
#include "shapes/Shapes.h"

#include <GL/glew.h>

MeshRenderer MaterialItem::rockModel;

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

}  // namespace

bool MaterialItem::isSpecial() const {
    return name == "Deadly Bars" || name == "Compass" || name == "4D Glasses";
}

bool MaterialItem::canStackWith(const std::unique_ptr<Item>& other) const {
    const auto* material = dynamic_cast<const MaterialItem*>(other.get());
    return material && material->name == name;
}

void MaterialItem::initRender() {
    itemDrawing::initAtlasQuad(materialSprite);
    rockModel.init(&greyDodecaplex);
}

void MaterialItem::renderIcon(const glm::ivec2& pos) {
    for (const MaterialIcon& icon : icons)
        if (name == icon.name) shownIconX = icon.iconX;
    itemDrawing::drawAtlasCell(materialSprite, shownIconX, itemAtlas::MATERIAL_ROW, pos);
}

void MaterialItem::render(const Mat5& model, bool held) {
    Shader* lit = getShader("simplexColorNormalShader");
    if (name != "Rock" || !lit) return;
    // At its own size a rock would fill the view from the hand.
    const Mat5 mv = held ? model * scale4(itemDrawing::heldModelScale) : model;
    glUseProgram(lit->program);
    uniforms::setMat5(*lit, "MV", mv * scale4(glm::vec4(0.3f, 0.2f, 0.3f, 0.3f)));
    uniforms::setVec4(*lit, "lightDir", glm::vec4(0.0f, 1.0f, 0.0f, 0.0f));
    rockModel.draw();
}
