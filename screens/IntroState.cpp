#include "screens/IntroState.h"

#include "engine/Shader.h"
#include "engine/StateManager.h"
#include "engine/Texture.h"
#include "engine/Uniforms.h"
#include "gui/PixelProjection.h"
#include "screens/LoadingOverlay.h"
#include "screens/LoadingProgress.h"
#include "screens/ScreenBasics.h"
#include "screens/TitleState.h"
#include "shapes/Shapes.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <stb_image.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

IntroState introState;

const std::array<const char*, IntroState::preloadCount> IntroState::preloadNames = {
    "logo.png",  "nebula.jpg",    "moon.png",        "sun.png",
    "tiles.png", "crosshair.png", "targetBlock.png", "forg.png"};

IntroState::~IntroState() { joinLoader(); }

void IntroState::updateProjection(int width, int height) {
    if (width <= 0 || height <= 0) return;
    projection3D = glm::perspective(1.2217305f, float(width) / float(height), 0.01f, 100.0f);
    uniforms::setProjection(meshShader, projection3D);
    projection2D = gui::pixelProjection(width, height);
    uniforms::setProjection(getShader("textShader"), projection2D);
    uniforms::setProjection(quadShader, projection2D);
}

void IntroState::init(StateManager& s) {
    int width, height;
    screen::windowSize(s.window, width, height);
    meshShader = getShader("simplexColorShader");
    mvLocation = meshShader ? glGetUniformLocation(meshShader->program, "MV") : -1;
    quadShader = getShader("quadShader");
    updateProjection(width, height);

    text = BitmapText(getTexture("pixelfont.png"), getShader("textShader"));
    quad.shader = quadShader;
    quad.init();
    mesh.init(&hypercubeHollowMesh);
    mesh.mode = GL_LINES_ADJACENCY;

    joinLoader();
    preload = {};
    loadedCount = 0;
    progress = 0.0f;
    spin = 0.0f;
    try {
        loader = std::thread([this] { loadTextures(); });
    } catch (const std::system_error& e) {
        // Without a thread the images are decoded here; the first frame comes a moment later.
        std::printf("warning: unable to start the image loader thread: %s\n", e.what());
        loadTextures();
    }
}

void IntroState::loadTextures() {
    for (int i = 0; i < preloadCount; ++i) {
        const std::filesystem::path path = std::filesystem::path("assets/textures") / preloadNames[i];
        std::error_code ec;
        DecodedImage& image = preload[i];
        if (std::filesystem::is_regular_file(path, ec))
            image.pixels = stbi_load(path.c_str(), &image.width, &image.height, &image.channels, 0);
        loadedCount.fetch_add(1);
    }
}

void IntroState::joinLoader() {
    if (loader.joinable()) loader.join();
}

void IntroState::uploadTextures() {
    for (int i = 0; i < preloadCount; ++i) {
        DecodedImage& image = preload[i];
        if (!image.pixels) {
            std::printf("Error: unable to load file \"%s\"\n", preloadNames[i]);
            continue;
        }
        addTexture(preloadNames[i], image.pixels, image.width, image.height, image.channels);
        stbi_image_free(image.pixels);
        image.pixels = nullptr;
    }
}

void IntroState::update(StateManager& s) {
    if (loadedCount.load() == preloadCount) {
        joinLoader();
        uploadTextures();
        s.changeState(&titleState);
        return;
    }
    spin += 0.01f;
    progress = loading::step(progress, loadedCount.load(), preloadCount);
}

void IntroState::close(StateManager&) { joinLoader(); }

void IntroState::render(StateManager& s) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (meshShader && mesh.vao) {
        glUseProgram(meshShader->program);
        Mat5 mv = loading::spinningShapeTransform(glm::vec4(0.0f, 2.5f, 10.0f, 0.0f), spin);
        glUniform1fv(mvLocation, 25, mv.data());
        mesh.draw();
    }

    glDepthMask(GL_FALSE);
    int width, height;
    screen::windowSize(s.window, width, height);
    loading::drawOverlay(text, quad, width, height, progress);
    glDepthMask(GL_TRUE);
}

void IntroState::windowResize(StateManager&, int width, int height) {
    updateProjection(width, height);
}

void IntroState::releaseGl() {
    quad.release();
    mesh.release();
    text.release();
}
