#include "tutorial/TutorialSlideshowState.h"

#include "engine/Shader.h"
#include "engine/StateManager.h"
#include "engine/Texture.h"
#include "engine/Uniforms.h"
#include "gui/Paint.h"
#include "gui/PixelProjection.h"
#include "screens/MenuWidgets.h"
#include "screens/ScreenBasics.h"
#include "screens/StackCallbacks.h"
#include "tutorial/TutorialState.h"

#include <GLFW/glfw3.h>

#include <algorithm>

TutorialSlideshowState tutorialSlideshowState;

namespace {

enum Picture { comparison, forg, crossSection1, crossSection2, rotation4D };
constexpr const char* pictureFiles[5] = {"comparison.png", "forg.png", "cross_section_1.png",
                                         "cross_section_2.png", "rotation4D.png"};

// The forg's three idle frames, two a second, from the first cells of the sprite sheet.
constexpr int forgCellPixels = 16;
constexpr double forgFramesPerSecond = 2.0;

constexpr int panelMargin = 20;
constexpr int buttonStrip = 100;  // below the panels, for the buttons
constexpr int textMargin = 80;

struct TextSpec {
    const char* text;
    int alignY, y;
};

struct ImageSpec {
    Picture picture;
    int width, height, alignY, y;
};

// A widget of a panel: a text or a picture, by its index in the tables below.
struct PanelItem {
    bool isText;
    int index;
};

// What each panel holds, in the order its widgets are added (and drawn).
struct PanelSpec {
    int count;
    PanelItem items[5];
};

constexpr TextSpec textSpecs[11] = {
    {"This tutorial is designed to help you understand 4-dimensional space. ", menu::top, 50},
    {"By comparing the differences between 2D and 3D space, you can get an idea of how 3D space "
     "relates to 4D space.",
     menu::top, 150},
    {"This is Frank the forg (yes, a FORG)", menu::top, 50},
    {"Since Frank is 2D, he can only exist in a 2D plane, but that doesn't stop him from exploring "
     "the 3rd dimension!",
     menu::top, 250},
    {"Frank can move around within any 2D cross-section of the 3D world around him.", menu::top, 330},
    {"Frank also has the unique ability to rotate his plane of existance in the 3rd dimension, "
     "allowing him to see any cross-section he wants!",
     menu::top, 20},
    {"In the next section, you will be able to control Frank and rotate his 2D slice of the world by "
     "scrolling with your mouse!",
     menu::bottom, -20},
    {"The same logic applies to the 3rd and 4th dimensions.", menu::top, 50},
    {"You can scroll with your mouse to rotate your view of the 4D world and see entirely new aspects "
     "of the terrain!",
     menu::top, 120},
    {"Now you are ready to play Hollowmere! If you want help navigating through the 4th dimension, "
     "seek the",
     menu::bottom, -75},
    {"compass!", menu::bottom, -30},
};

constexpr ImageSpec imageSpecs[6] = {
    {comparison, 391, 325, menu::bottom, -20},   {crossSection1, 530, 230, menu::bottom, 0},
    {forg, 128, 128, menu::top, 80},             {crossSection1, 530, 230, menu::top, 75},
    {crossSection2, 530, 230, menu::top, 325},   {rotation4D, 500, 250, menu::top, 200},
};

constexpr PanelSpec panelSpecs[4] = {
    {3, {{true, 0}, {true, 1}, {false, 0}}},
    {5, {{false, 1}, {true, 2}, {false, 2}, {true, 3}, {true, 4}}},
    {4, {{false, 3}, {false, 4}, {true, 5}, {true, 6}}},
    {5, {{false, 5}, {true, 7}, {true, 8}, {true, 9}, {true, 10}}},
};
constexpr int glowingText = 10;  // "compass!"

StateManager& managerOf(void* manager) { return *static_cast<StateManager*>(manager); }

}  // namespace

double TutorialSlideshowState::now() { return interface.getClock()->now(); }

void TutorialSlideshowState::updateProjection(int width, int height) {
    if (width < 1 || height < 1) return;
    setGuiProjection(width, height);
    uniforms::setProjection(getShader("tex2DShader"), gui::pixelProjection(width, height));
}

void TutorialSlideshowState::init(StateManager& s) {
    initRenderers(s);
    interface.window = s.window;
    int width = 0, height = 0;
    interface.getWindowSize(width, height);
    updateProjection(width, height);

    for (int i = 0; i < int(pictures.size()); ++i) {
        pictures[i].texture = getTexture(pictureFiles[i]);
        pictures[i].shader = getShader("tex2DShader");
        pictures[i].init();
    }
    pictures[forg].setTexRect(0, 0, forgCellPixels, forgCellPixels);
    forgAnimStart = now();

    setUpSlides(s, width, height);
    glClearColor(0.34509805f, 0.58431375f, 0.9372549f, 1.0f);  // (88, 149, 239) / 255
}

void TutorialSlideshowState::setUpSlides(StateManager& s, int width, int height) {
    // Content boxes draw into their own part of the window.
    setUpPage(interface, interface.window, true);

    using menu::Place;
    menu::setUpButton(continueButton, "continue", 150, 50, Place{menu::right, menu::bottom, -20, -20},
                      onContinue, &s);
    menu::setUpButton(backButton, "back", 100, 50, Place{menu::left, menu::bottom, 20, -20}, onBack, &s);
    menu::setUpButton(exitButton, "exit", 100, 50, Place{menu::left, menu::bottom, 20, -20},
                      popStateCallback, &s);

    for (size_t i = 0; i < texts.size(); ++i) {
        texts[i] = gui::Text{};
        menu::setUpText(texts[i], textSpecs[i].text, 2, Place{menu::centred, textSpecs[i].alignY, 0, textSpecs[i].y});
    }
    texts[glowingText].cursorGlow = true;
    for (size_t i = 0; i < images.size(); ++i) {
        const ImageSpec& spec = imageSpecs[i];
        gui::Image& image = images[i];
        image.quad = &pictures[spec.picture];
        image.width = spec.width;
        image.height = spec.height;
        image.alignX = menu::centred;
        image.alignY = spec.alignY;
        image.x = 0;
        image.y = spec.y;
    }
    // Each visit fills the panels afresh.
    for (size_t p = 0; p < panels.size(); ++p) {
        gui::ContentBox& panel = panels[p];
        panel.clearElements();
        panel.parent = &interface;
        panel.alignX = menu::left;
        panel.alignY = menu::top;
        panel.x = panel.y = panelMargin;
        panel.scrollX = panel.scrollY = 0;
        for (int i = 0; i < panelSpecs[p].count; ++i) {
            const PanelItem& item = panelSpecs[p].items[i];
            if (item.isText) panel.addElement(&texts[item.index]);
            else panel.addElement(&images[item.index]);
        }
    }
    layoutSlides(width, height);
    setSlide(s, 0);
}

void TutorialSlideshowState::layoutSlides(int width, int height) {
    for (gui::ContentBox& panel : panels) {
        panel.width = std::max(width - 2 * panelMargin, 1);
        panel.height = std::max(height - buttonStrip - panelMargin, 1);
    }
    for (gui::Text& label : texts) label.wrapWidth = std::max(width - textMargin, 1);
}

void TutorialSlideshowState::setSlide(StateManager& s, int n) {
    if (n < 0 || n >= slideCount) return;
    if (n == sceneSlide) {
        slide = n;
        const auto& stack = s.states;
        if (std::find(stack.begin(), stack.end(), &tutorialState) == stack.end()) s.pushState(&tutorialState);
        return;
    }
    slide = n;
    interface.clearElements();
    const int panel = n > sceneSlide ? n - 1 : n;
    if (panel == 0) {
        exitButton.alignX = menu::left;
        exitButton.x = 20;
        interface.addElement(&continueButton);
        interface.addElement(&exitButton);
    } else if (panel == 3) {
        exitButton.alignX = menu::right;
        exitButton.x = -20;
        interface.addElement(&exitButton);
        interface.addElement(&backButton);
    } else {
        interface.addElement(&continueButton);
        interface.addElement(&backButton);
    }
    interface.addElement(&panels[panel]);
}

void TutorialSlideshowState::onContinue(void* manager) {
    tutorialSlideshowState.setSlide(managerOf(manager), tutorialSlideshowState.slide + 1);
}

void TutorialSlideshowState::onBack(void* manager) {
    tutorialSlideshowState.setSlide(managerOf(manager), tutorialSlideshowState.slide - 1);
}

void TutorialSlideshowState::close(StateManager&) { interface.clearElements(); }

void TutorialSlideshowState::update(StateManager& s) {
    if (s.window && glfwWindowShouldClose(s.window)) s.popState();
}

void TutorialSlideshowState::render(StateManager&) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    int width = 0, height = 0;
    interface.getWindowSize(width, height);
    if (width < 1 || height < 1) return;

    const int frame = int(forgFramesPerSecond * std::max(now() - forgAnimStart, 0.0)) % 3;
    pictures[forg].setTexRect(unsigned(forgCellPixels * frame), 0, forgCellPixels, forgCellPixels);

    glDepthMask(GL_FALSE);
    // A half-dark veil over the sky colour.
    gui::paint::fillRect(quad, 0.0f, 0.0f, float(width), float(height), glm::vec4(0, 0, 0, 0.5f));
    interface.render();
    glDepthMask(GL_TRUE);
}

void TutorialSlideshowState::resume(StateManager& s) {
    int width = 0, height = 0;
    interface.getWindowSize(width, height);
    windowResize(s, width, height);
}

void TutorialSlideshowState::windowResize(StateManager&, int width, int height) {
    updateProjection(width, height);
    layoutSlides(width, height);
}

void TutorialSlideshowState::releaseGl() {
    for (TexturedQuad& picture : pictures) picture.release();
    MenuScreen::releaseGl();
}
