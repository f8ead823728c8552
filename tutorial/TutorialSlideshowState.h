#pragma once

#include "engine/BitmapText.h"
#include "engine/SolidQuad.h"
#include "engine/State.h"
#include "engine/TexturedQuad.h"
#include "gui/Button.h"
#include "gui/ContentBox.h"
#include "gui/Image.h"
#include "gui/Interface.h"
#include "gui/Text.h"

#include <glm/vec2.hpp>

#include <array>

struct Shader;

// The tutorial's slideshow: four panels of centred text and pictures that explain four
// dimensions by analogy with two and three, between "back", "continue" and "exit". Slides are
// numbered 0 to 4; slide 3 is the interactive scene, pushed on top of the slideshow.
class TutorialSlideshowState : public State {
public:
    static constexpr int slideCount = 5;
    static constexpr int sceneSlide = 3;

    bool viewportChanged = false;
    BitmapText text;
    SolidQuad quad;
    Shader* quadShader = nullptr;
    gui::Interface interface;
    gui::Button continueButton, backButton, exitButton;
    std::array<gui::ContentBox, 4> panels;  // slides 0, 1, 2 and 4
    int slide = 0;
    std::array<gui::Text, 11> texts;
    std::array<gui::Image, 6> images;
    // "comparison.png", "forg.png", "cross_section_1.png", "cross_section_2.png",
    // "rotation4D.png"; both pictures of "cross_section_1.png" share one quad.
    std::array<TexturedQuad, 5> pictures;
    double forgAnimStart = 0.0;
    // Seconds; tests may set their own.
    double (*clock)() = nullptr;

    void init(StateManager& s) override;
    void close(StateManager& s) override;
    void update(StateManager& s) override;
    void render(StateManager& s) override;
    void pause(StateManager&) override {}
    void resume(StateManager& s) override;
    void cursorPos(StateManager& s, double x, double y) override;
    void scroll(StateManager& s, double dx, double dy) override;
    void mouseButton(StateManager& s, int button, int action, int mods) override;
    void keyInput(StateManager& s, int key, int scancode, int action, int mods) override;
    void windowResize(StateManager& s, int width, int height) override;
    void charInput(StateManager& s, unsigned codePoint) override;

    // The buttons, texts, pictures and panels of every slide, laid out for the window, and slide
    // 0 shown. Makes no GL call.
    void setUpSlides(StateManager& s, int width, int height);
    void layoutSlides(int width, int height);
    // Shows slide n (0..4; another n changes nothing). Slide 3 pushes the scene, unless it is
    // on the stack already, and leaves the widgets as they were.
    void setSlide(StateManager& s, int n);
    void updateProjection(glm::ivec2 size, glm::ivec2 offset);
    static void onViewport(void* window, const gui::Rect& rect, glm::ivec2 offset);
    static void onContinue(void* manager);
    static void onBack(void* manager);
    double now() const;

    // Frees the GL objects; called before the context goes away.
    void releaseGl();
};

extern TutorialSlideshowState tutorialSlideshowState;
