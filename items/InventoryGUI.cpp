#include "items/InventoryGUI.h"

#include "engine/BitmapText.h"
#include "engine/Shader.h"
#include "engine/Texture.h"
#include "engine/Uniforms.h"
#include "gui/PixelProjection.h"
#include "items/ItemDrawing.h"

#include <GLFW/glfw3.h>

#include <algorithm>

namespace {

// The screen's text renderer, shared by every inventory screen and released at exit.
BitmapText screenText;

constexpr int PRESS = 1;
constexpr int BOX_TOP = 100, BOX_BOTTOM_MARGIN = 50, BOX_WIDTH = 300;

// The crafting box reaches from its top to 50 pixels above the window's bottom.
int boxHeightFor(int windowHeight) {
    return std::max(windowHeight - BOX_TOP - BOX_BOTTOM_MARGIN, 0);
}

}  // namespace

InventoryGUI::InventoryGUI() { buildLayout(); }

void InventoryGUI::buildLayout() {
    interface.quadRenderer = &quad;
    interface.viewportCallback = &InventoryGUI::viewportCallback;
    interface.viewportUserData = this;

    craftingLabel.setText("Crafting:");
    craftingLabel.setAlignX(1);
    craftingLabel.setY(50);
    craftingLabel.scale = 3;
    craftingLabel.shadow = true;
    craftingLabel.cursorGlow = true;

    craftingBox.parent = &interface;
    craftingBox.setAlignX(1);
    craftingBox.setX(0);
    craftingBox.setY(BOX_TOP);
    craftingBox.width = BOX_WIDTH;
    craftingBox.height = boxHeightFor(windowHeight);
    craftingBox.scrollSpeed = 20;
    craftingBox.clearElements();
    craftingBox.addElement(&craftingMenu);

    interface.clearElements();
    interface.addElement(&craftingLabel);
    interface.addElement(&craftingBox);
}

void InventoryGUI::init(GLFWwindow* window) {
    int width = 0, height = 0;
    if (window) glfwGetWindowSize(window, &width, &height);
    windowWidth = width;
    windowHeight = height;

    quadShader = getShader("quadShader");
    screenText = BitmapText(getTexture("pixelfont.png"), getShader("textShader"));
    quad.shader = quadShader;
    quad.mode = GL_TRIANGLES;
    quad.indexCount = 6;
    quad.init();
    itemDrawing::initAtlasQuad(CraftingMenu::slotQuad);

    interface.window = window;
    interface.textRenderer = &screenText;
    buildLayout();
    resize(window, width, height);
}

void InventoryGUI::resize(GLFWwindow*, int width, int height) {
    windowWidth = width;
    windowHeight = height;
    int labelWidth = 0, labelHeight = 0, boxWidth = 0, boxHeight = 0;
    craftingLabel.getSize(interface, labelWidth, labelHeight);
    refreshLayout();
    craftingBox.getSize(interface, boxWidth, boxHeight);
    // Right-aligned: the label starts 50 pixels right of the box's left edge.
    craftingLabel.setX(labelWidth - boxWidth + 50);
}

void InventoryGUI::refreshLayout() {
    const int visible = boxHeightFor(windowHeight);
    craftingBox.width = BOX_WIDTH;
    craftingBox.height = visible;
    int menuWidth = 0, menuHeight = 0;
    craftingMenu.getSize(craftingBox, menuWidth, menuHeight);
    craftingBox.overflowY = std::max(0, menuHeight - visible);
    craftingBox.scrollY = std::max(craftingBox.scrollY, -craftingBox.overflowY);
}

void InventoryGUI::viewportCallback(void* user, const gui::Rect& rect, glm::ivec2 offset) {
    auto* screen = static_cast<InventoryGUI*>(user);
    // GL's viewport counts rows from the bottom.
    glViewport(rect.x, screen->windowHeight - rect.y - rect.height, rect.width, rect.height);
    const int size[2] = {rect.width, rect.height}, shift[2] = {offset.x, offset.y};
    screen->updateProjection(size, shift);
}

void InventoryGUI::updateProjection(const int size[2], const int offset[2]) {
    // A point p drawn by a widget lands at p + offset inside the viewport.
    const glm::mat4 projection = gui::pixelProjection(size[0], size[1], {offset[0], offset[1]});
    for (Shader* shader : {getShader("textShader"), getShader("tex2DShader"), quadShader})
        uniforms::setProjection(shader, projection);
}

void InventoryGUI::open(InventoryManager* firstSide, InventoryManager* secondSide) {
    first = firstSide;
    second = secondSide;
    if (!isOpen()) return;
    craftingMenu.updateRecipes();
    refreshLayout();
}

void InventoryGUI::cursorPos(double x, double y) { interface.cursorPos(x, y); }

bool InventoryGUI::scroll(double dx, double dy) { return interface.scroll(dx, dy); }

bool InventoryGUI::coversPoint(const glm::ivec2& point) {
    if ((first && first->covers(point)) || (second && second->covers(point))) return true;
    for (gui::Element* element : {static_cast<gui::Element*>(&craftingLabel),
                                  static_cast<gui::Element*>(&craftingBox)}) {
        int x = 0, y = 0, width = 0, height = 0;
        element->getPos(interface, x, y);
        element->getSize(interface, width, height);
        if (gui::insideRect(point.x, point.y, x, y, width, height)) return true;
    }
    return false;
}

bool InventoryGUI::mouseButton(int button, int action, int mods,
                               std::unique_ptr<Item>& pendingDrop) {
    interface.getCursorPos(cursor.pos.x, cursor.pos.y);
    if (!isOpen()) return false;
    // The panel first: a crafting click (or any press on the box) ends there.
    if (interface.mouseButton(button, action, mods)) return true;
    const bool acted = first->mouseButton(second, cursor, button, action, mods) ||
                       second->mouseButton(first, cursor, button, action, mods);
    if (acted) {
        craftingMenu.updateRecipes();
        refreshLayout();
        return true;
    }
    // Only a press that lies off every grid and the panel throws the carried stack away; a
    // refused click on a slot keeps it on the cursor.
    if (action == PRESS && cursor.item && !pendingDrop && !coversPoint(cursor.pos))
        pendingDrop = std::move(cursor.item);
    return false;
}

void InventoryGUI::render(const glm::ivec2& cursorPosition) {
    if (!isOpen()) return;
    second->render(cursorPosition);
    first->render(cursorPosition);
    interface.render();
    cursor.pos = cursorPosition;
    Item::renderStack(cursor.item, cursorPosition - glm::ivec2(20, 20));
}
