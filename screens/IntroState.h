#pragma once

#include "engine/BitmapText.h"
#include "engine/MeshRenderer.h"
#include "engine/SolidQuad.h"
#include "engine/State.h"

#include <GL/glew.h>
#include <glm/mat4x4.hpp>

#include <array>
#include <atomic>
#include <thread>

struct Shader;

// The first screen: while a loader thread decodes the images the menus and the game need first,
// it shows a turning hollow tesseract, "Loading..." and a progress bar. Once all are decoded it
// uploads them as textures and hands over to the title screen. It takes no input and does not
// act on the window's close request.
class IntroState : public State {
public:
    // The images decoded ahead, in this order, from "assets/textures/".
    static constexpr int preloadCount = 8;
    static const std::array<const char*, preloadCount> preloadNames;

    struct DecodedImage {
        unsigned char* pixels = nullptr;  // null when the file is missing or undecodable
        int width = 0, height = 0, channels = 0;
    };

    glm::mat4 projection2D{1.0f};
    glm::mat4 projection3D{1.0f};
    std::array<DecodedImage, preloadCount> preload{};
    // Entries the loader has finished; it publishes each record by this increment.
    std::atomic<int> loadedCount{0};
    float progress = 0.0f;
    BitmapText text;
    Shader* meshShader = nullptr;
    MeshRenderer mesh;
    GLint mvLocation = -1;
    float spin = 0.0f;
    SolidQuad quad;
    Shader* quadShader = nullptr;

    IntroState() = default;
    IntroState(const IntroState&) = delete;
    IntroState& operator=(const IntroState&) = delete;
    // Waits for the loader, should the program end while it still runs.
    ~IntroState() override;

    void init(StateManager& s) override;
    void close(StateManager& s) override;
    void update(StateManager& s) override;
    void render(StateManager& s) override;
    void pause(StateManager&) override {}
    void resume(StateManager&) override {}
    void cursorPos(StateManager&, double, double) override {}
    void scroll(StateManager&, double, double) override {}
    void mouseButton(StateManager&, int, int, int) override {}
    void keyInput(StateManager&, int, int, int, int) override {}
    void windowResize(StateManager& s, int width, int height) override;
    void charInput(StateManager&, unsigned) override {}

    void updateProjection(int width, int height);
    // The loader's work: decodes every entry in order, counting each one, also a missing one.
    void loadTextures();
    // Frees the GL objects; called before the context goes away.
    void releaseGl();

private:
    std::thread loader;

    void joinLoader();
    // Registers the decoded images as textures and frees their pixels; names the missing ones.
    void uploadTextures();
};

extern IntroState introState;
