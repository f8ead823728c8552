// The settings screen's two pages: the settings box of buttons and sliders, and the help text.
#include "screens/SettingsState.h"

#include "engine/StateManager.h"
#include "screens/MenuWidgets.h"
#include "screens/ScreenBasics.h"
#include "screens/StackCallbacks.h"

#include <GL/glew.h>

#include <algorithm>
#include <initializer_list>

namespace {

using menu::Place;

SettingsState& screenOf(void* settings) { return *static_cast<SettingsState*>(settings); }

// Where the settings box's widgets stand: centred, from the top of the box.
Place inBox(int y) { return Place{menu::centred, menu::top, 0, y}; }

void setUpSlider(gui::Slider& slider, const std::string& label, int y, int max, int value,
                 void (*callback)(void*, int), SettingsState* settings) {
    slider.label = label;
    slider.dragging = slider.selected = false;
    slider.max = max;
    slider.width = 500;
    slider.value = value;
    menu::place(slider, inBox(y));
    slider.callback = callback;
    slider.userData = settings;
}

void setUpBox(gui::ContentBox& box, gui::Window& parent) {
    box.clearElements();
    box.parent = &parent;
    box.selected = box.draggingX = box.draggingY = false;
    menu::place(box, Place{menu::centred, menu::top, 0, 100});
    box.scrollX = box.scrollY = 0;
}

// The page titles shadow and glow towards the cursor.
void setUpTitle(gui::Text& title, const char* text) {
    menu::setUpText(title, text, 4, Place{menu::centred, menu::top, 0, 50});
    title.cursorGlow = true;
}

// Slider callbacks: the value as the slider holds it.
void onRenderDistance(void* settings, int value) {
    SettingsState& s = screenOf(settings);
    s.setRenderDistance(value + 1);
    s.applyRenderDistance();
}
void onScrollSensitivity(void* settings, int value) { screenOf(settings).settings.scrollSensitivity = value; }
void onLookSensitivity(void* settings, int value) { screenOf(settings).settings.lookSensitivity = value; }
void onFov(void* settings, int value) { screenOf(settings).setFov(value); }
void onDifficulty(void* settings, int value) { screenOf(settings).setDifficulty(value); }
void onGlobalVolume(void* settings, int value) {
    SettingsState& s = screenOf(settings);
    s.settings.globalVolume = value;
    s.applyGlobalVolume();
}
void onMusicVolume(void* settings, int value) {
    SettingsState& s = screenOf(settings);
    s.settings.musicVolume = value;
    s.applyMusicVolume();
}
void onCreatureVolume(void* settings, int value) { screenOf(settings).setCreatureVolume(value); }
void onAmbienceVolume(void* settings, int value) { screenOf(settings).setAmbienceVolume(value); }

// Button callbacks.
void showControls(void* settings) { screenOf(settings).controlsShown = true; }
void showSettings(void* settings) { screenOf(settings).controlsShown = false; }
void toggleFullscreen(void* settings) {
    SettingsState& s = screenOf(settings);
    s.setFullscreen(s.settingsPage.window, !s.settings.fullscreen);
}

}  // namespace

void SettingsState::init(StateManager& s) {
    initRenderers(s);
    loadSettings(s.window);
    setUpPages(s);
    // The volumes reach the engine again, as the sliders show them.
    applyAudioSettings();
    glClearColor(0.08627451f, 0.14117648f, 0.23529412f, 1.0f);  // (22, 36, 60) / 255
}

void SettingsState::setUpPages(StateManager& s) {
    setUpPage(settingsPage, s.window, true);
    setUpPage(controlsPage, s.window, true);
    setUpSettingsPage(s);
    setUpControlsPage();
    int width, height;
    screen::windowSize(s.window, width, height);
    layout(width, height);
}

void SettingsState::setUpSettingsPage(StateManager& s) {
    setUpTitle(settingsTitle, "Settings");
    setUpBox(settingsBox, settingsPage);
    menu::setUpButton(okButton, "OK", 100, 50, Place{menu::centred, menu::bottom, 0, -25},
                      popStateCallback, &s);
    menu::setUpButton(controlsButton, "Controls", 200, 50, inBox(50), showControls, this);
    menu::setUpButton(fullscreenButton, fullscreenLabel(settings.fullscreen), 300, 50, inBox(150),
                      toggleFullscreen, this);

    setUpSlider(renderDistanceSlider, "", 250, 11, settings.renderDistance - 1, onRenderDistance, this);
    setRenderDistance(settings.renderDistance);
    setUpSlider(scrollSensitivitySlider, "scroll sensitivity:", 350, 100, settings.scrollSensitivity,
                onScrollSensitivity, this);
    setUpSlider(lookSensitivitySlider, "look sensitivity:", 450, 4, settings.lookSensitivity,
                onLookSensitivity, this);
    setUpSlider(fovSlider, "", 550, 149, settings.fov, onFov, this);
    setFov(settings.fov);
    setUpSlider(difficultySlider, "", 650, 2, settings.difficulty, onDifficulty, this);
    setDifficulty(settings.difficulty);
    menu::setUpText(audioText, "Audio:", 2, inBox(750), glm::vec4(1.0f), false);
    setUpSlider(globalVolumeSlider, "Global Volume:", 850, 100, settings.globalVolume, onGlobalVolume, this);
    setUpSlider(musicVolumeSlider, "Music Volume:", 950, 100, settings.musicVolume, onMusicVolume, this);
    setUpSlider(creatureVolumeSlider, "Creature Volume:", 1050, 100, settings.creatureVolume,
                onCreatureVolume, this);
    setUpSlider(ambienceVolumeSlider, "Ambience Volume:", 1150, 100, settings.ambienceVolume,
                onAmbienceVolume, this);

    for (gui::Element* element : std::initializer_list<gui::Element*>{
             &controlsButton, &fullscreenButton, &renderDistanceSlider, &scrollSensitivitySlider,
             &lookSensitivitySlider, &fovSlider, &difficultySlider, &audioText, &globalVolumeSlider,
             &musicVolumeSlider, &creatureVolumeSlider, &ambienceVolumeSlider})
        settingsBox.addElement(element);
    for (gui::Element* element :
         std::initializer_list<gui::Element*>{&settingsTitle, &settingsBox, &okButton})
        settingsPage.addElement(element);
}

void SettingsState::setUpControlsPage() {
    setUpTitle(controlsTitle, "Controls");
    setUpBox(controlsBox, controlsPage);
    menu::setUpButton(controlsOkButton, "OK", 100, 50, Place{menu::centred, menu::bottom, 0, -25},
                      showSettings, this);
    menu::setUpText(controlsText, helpText, 2, Place{menu::left, menu::top, 25, 25}, glm::vec4(1.0f), false);
    controlsBox.addElement(&controlsText);
    for (gui::Element* element :
         std::initializer_list<gui::Element*>{&controlsTitle, &controlsBox, &controlsOkButton})
        controlsPage.addElement(element);
}

void SettingsState::layout(int width, int height) {
    if (width <= 0 || height <= 0) return;
    const int boxHeight = height - 200;
    for (gui::ContentBox* box : {&settingsBox, &controlsBox}) {
        box->width = width - 100;
        box->height = boxHeight;
    }
    settingsBox.overflowY = std::max(settingsContentHeight - boxHeight, 0);
    settingsBox.scrollY = std::clamp(settingsBox.scrollY, -settingsBox.overflowY, 0);

    // The help text keeps the margin below it that it has above it.
    controlsText.wrapWidth = width - 150;
    int textWidth = 0, textHeight = 0;
    controlsText.getSize(controlsBox, textWidth, textHeight);
    controlsBox.overflowY = std::max(textHeight - boxHeight + 50, 0);
    controlsBox.scrollY = std::clamp(controlsBox.scrollY, -controlsBox.overflowY, 0);
}

void SettingsState::close(StateManager&) {
    saveSettings();
    for (gui::ElementList* list :
         std::initializer_list<gui::ElementList*>{&settingsPage, &settingsBox, &controlsPage, &controlsBox})
        list->clearElements();
}

void SettingsState::update(StateManager& s) { leaveWithScreenBelowOnClose(s); }

void SettingsState::render(StateManager&) {
    glDepthMask(GL_TRUE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDepthMask(GL_FALSE);
    shownPage().render();
    glDepthMask(GL_TRUE);
}

void SettingsState::windowResize(StateManager&, int width, int height) {
    setGuiProjection(width, height);
    layout(width, height);
}

void SettingsState::escape(StateManager& s) {
    if (controlsShown)
        controlsShown = false;
    else
        s.popState();
}
