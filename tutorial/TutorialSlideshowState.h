#pragma once

#include "engine/TexturedQuad.h"
#include "gui/Button.h"
#include "gui/ContentBox.h"
#include "gui/Image.h"
#include "gui/Interface.h"
#include "gui/Text.h"
#include "screens/MenuScreen.h"

#include <array>

// The tutorial's slideshow: four panels of centred text and pictures that explain four
// dimensions by analogy with two and three, between "back", "continue" and "exit". Slides are
// numbered 0 to 4; slide 3 is the interactive scene, pushed on top of the slideshow.
class TutorialSlideshowState : public MenuScreen {
public:
    static constexpr int slideCount = 5;
    static constexpr int sceneSlide = 3;

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

    void init(StateManager& s) override;
    void close(StateManager& s) override;
    void update(StateManager& s) override;
    void render(StateManager& s) override;
    void resume(StateManager& s) override;
    void windowResize(StateManager& s, int width, int height) override;

    // The buttons, texts, pictures and panels of every slide, laid out for the window, and slide
    // 0 shown. Makes no GL call.
    void setUpSlides(StateManager& s, int width, int height);
    void layoutSlides(int width, int height);
    // Shows slide n (0..4; another n changes nothing). Slide 3 pushes the scene, unless it is
    // on the stack already, and leaves the widgets as they were.
    void setSlide(StateManager& s, int n);
    // The pixel projection of the text, quad and picture shaders for a width x height window.
    void updateProjection(int width, int height);
    static void onContinue(void* manager);
    static void onBack(void* manager);
    // Seconds, from the interface's clock.
    double now();

    // Frees the GL objects; called before the context goes away.
    void releaseGl();

protected:
    gui::Interface& shownPage() override { return interface; }
};

extern TutorialSlideshowState tutorialSlideshowState;
