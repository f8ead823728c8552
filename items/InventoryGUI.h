#pragma once

#include "engine/SolidQuad.h"
#include "gui/ContentBox.h"
#include "gui/Interface.h"
#include "gui/Text.h"
#include "items/CraftingMenu.h"
#include "items/InventoryManager.h"

#include <glm/vec2.hpp>

#include <memory>

struct GLFWwindow;
struct Shader;

// The inventory screen drawn over the game: two containers side by side, the stack carried by
// the mouse, and the crafting panel on the right edge. Open exactly while both containers are
// set. Owned by the player; not copyable (its widgets point into it).
class InventoryGUI {
public:
    InventoryManager* first = nullptr;
    InventoryManager* second = nullptr;
    InventoryCursor cursor;
    int windowWidth = 0, windowHeight = 0;
    SolidQuad quad;
    Shader* quadShader = nullptr;
    gui::Interface interface;
    gui::Text craftingLabel;
    gui::ContentBox craftingBox;
    CraftingMenu craftingMenu{this, &cursor.item};

    InventoryGUI();
    InventoryGUI(const InventoryGUI&) = delete;
    InventoryGUI& operator=(const InventoryGUI&) = delete;

    bool isOpen() const { return first && second; }

    // GL resources and layout; needs the context. Runs at every game start.
    void init(GLFWwindow* window);
    void resize(GLFWwindow* window, int width, int height);
    // Box size and scroll range after the crafting list changed.
    void refreshLayout();
    // The interface's viewport request: user is the screen.
    static void viewportCallback(void* user, const gui::Rect& rect, glm::ivec2 offset);
    void updateProjection(const int size[2], const int offset[2]);

    // Shows two containers (opening the screen), recounting the crafting list.
    void open(InventoryManager* firstSide, InventoryManager* secondSide);
    // Clears the second side; the carried item stays for the player to throw.
    void close() { second = nullptr; }

    // Input while open.
    void cursorPos(double x, double y);
    bool scroll(double dx, double dy);
    // A mouse button at the interface's cursor: the crafting panel first, then the containers.
    // A press that nothing took, outside both grids and the panel, moves the carried item into
    // pendingDrop (when that is empty) to be thrown. True when the panel or a container acted.
    bool mouseButton(int button, int action, int mods, std::unique_ptr<Item>& pendingDrop);
    // Whether a point lies on either container or the crafting panel.
    bool coversPoint(const glm::ivec2& point);

    // Second, then first, then the panel, then the carried item at the cursor minus (20, 20).
    void render(const glm::ivec2& cursorPosition);

private:
    // The widget tree and the properties that need no GL.
    void buildLayout();
};

// A container shown on a screen, kept by its owner (a chest): destroying it closes that side
// of the screen when the screen still shows this container.
struct InventoryGUILink {
    InventoryGUI* gui = nullptr;
    InventoryManager* inventory = nullptr;

    InventoryGUILink() = default;
    InventoryGUILink(const InventoryGUILink&) = delete;
    InventoryGUILink& operator=(const InventoryGUILink&) = delete;
    ~InventoryGUILink() {
        if (gui && inventory && gui->second == inventory) gui->second = nullptr;
    }
};
