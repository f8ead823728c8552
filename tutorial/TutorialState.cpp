#include "tutorial/TutorialState.h"

#include "engine/Shader.h"
#include "engine/StateManager.h"
#include "engine/Texture.h"
#include "gui/Element.h"
#include "screens/MenuWidgets.h"
#include "tutorial/TutorialSlideshowState.h"

#include <GLFW/glfw3.h>

TutorialState tutorialState;

namespace {

constexpr float dragTurnPerPixel = 0.01f;

void leaveMovingSlideshow(void* manager, int slides) {
    StateManager& s = *static_cast<StateManager*>(manager);
    tutorialSlideshowState.setSlide(s, tutorialSlideshowState.slide + slides);
    s.popState();
}

}  // namespace

double TutorialState::now() { return gui.getClock()->now(); }

void TutorialState::resetScene() {
    tutorial::generateWorld(blocks);
    player.reset(now());
    yaw = pitch = 0.0f;
    dragging = false;
}

void TutorialState::init(StateManager& s) {
    quadShader = getShader("quadShader");
    gui.window = s.window;
    int width = 0, height = 0;
    gui.getWindowSize(width, height);
    updateProjection(width, height);

    text = BitmapText(getTexture("pixelfont.png"), getShader("textShader"));
    outline.shader = quadShader;
    outline.init();

    gui.clearElements();
    gui.quadRenderer = &outline;
    gui.textRenderer = &text;
    using menu::Place;
    menu::setUpButton(backButton, "back", 100, 50, Place{menu::left, menu::bottom, 20, -20}, onBack, &s);
    menu::setUpButton(nextButton, "next", 100, 50, Place{menu::right, menu::bottom, -20, -20}, onNext, &s);
    gui.addElement(&backButton);
    gui.addElement(&nextButton);

    resetScene();
    buildMeshes();

    forgSprite.texture = getTexture("forg.png");
    forgSprite.shader = getShader("tex2DShader");
    forgSprite.init();
    setForgFrame({0, 0});
}

void TutorialState::close(StateManager&) { gui.clearElements(); }

void TutorialState::update(StateManager& s) {
    if (s.window && glfwWindowShouldClose(s.window)) s.popState();
    player.tick(blocks, now());
}

void TutorialState::resume(StateManager&) {
    int width = 0, height = 0;
    gui.getWindowSize(width, height);
    updateProjection(width, height);
}

void TutorialState::windowResize(StateManager&, int width, int height) { updateProjection(width, height); }

void TutorialState::cursorPos(StateManager&, double x, double y) {
    gui.cursorPos(x, y);
    if (!dragging) return;
    yaw += (float(x) - lastCursor.x) * dragTurnPerPixel;
    pitch += (float(y) - lastCursor.y) * dragTurnPerPixel;
    lastCursor = glm::vec2(x, y);
}

void TutorialState::scroll(StateManager&, double, double dy) { player.scroll(dy); }

void TutorialState::mouseButton(StateManager&, int button, int action, int mods) {
    gui.mouseButton(button, action, mods);
    if (action == GLFW_RELEASE) {
        dragging = false;
        return;
    }
    if (action != GLFW_PRESS) return;
    int width = 0, height = 0, x = 0, y = 0;
    gui.getWindowSize(width, height);
    gui.getCursorPos(x, y);
    // Only inside the 3D view, which starts right of the dividing column.
    if (x > width / 2 && x < width && y > 0 && y < height) {
        dragging = true;
        lastCursor = glm::vec2(x, y);
    }
}

void TutorialState::keyInput(StateManager& s, int key, int, int action, int) {
    if (key == GLFW_KEY_ESCAPE) {
        if (action == GLFW_PRESS) s.popState();
        return;
    }
    if (key < GLFW_KEY_SPACE || key > GLFW_KEY_UP) return;
    const bool down = action == GLFW_PRESS || action == GLFW_REPEAT;
    switch (key) {
        case GLFW_KEY_SPACE: player.jumpKey = down; break;
        case GLFW_KEY_A:
        case GLFW_KEY_LEFT: player.leftKey = down; break;
        case GLFW_KEY_D:
        case GLFW_KEY_RIGHT: player.rightKey = down; break;
        case GLFW_KEY_W:
        case GLFW_KEY_UP: player.upKey = down; break;
        default: break;
    }
}

void TutorialState::charInput(StateManager&, unsigned codePoint) {
    if (gui::Element* selected = gui.selectedElement()) selected->charInput(gui, codePoint);
}

void TutorialState::onBack(void* manager) { leaveMovingSlideshow(manager, -1); }

void TutorialState::onNext(void* manager) { leaveMovingSlideshow(manager, +1); }
