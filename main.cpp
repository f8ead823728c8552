#include "engine/Audio.h"
#include "engine/CrashReporter.h"
#include "engine/GlContext.h"
#include "engine/GlSetup.h"
#include "engine/InputCallbacks.h"
#include "engine/MainLoop.h"
#include "engine/Shader.h"
#include "engine/StateManager.h"
#include "engine/Texture.h"
#include "platform/Platform.h"
#include "game/GameState.h"
#include "items/BlockModels.h"
#include "screens/CreateWorldState.h"
#include "screens/CreditsState.h"
#include "screens/DeathScreenState.h"
#include "screens/IntroState.h"
#include "screens/PauseState.h"
#include "screens/ScreenLinks.h"
#include "screens/SettingsState.h"
#include "screens/SinglePlayerState.h"
#include "screens/TitleState.h"
#include "screens/WorldGenState.h"
#include "tutorial/TutorialSlideshowState.h"
#include "tutorial/TutorialState.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cstdio>

// Built before main, so that the crash-reporting library (when installed) sees the whole run.
CrashReporter crashReporter;

namespace {
GLFWwindow* window = nullptr;
}

int main() {
    platform::allocateFromOneHeap();
    platform::raiseProcessPriority();

    if (!glfwInit()) {
        std::fputs("Failed to initialize GLFW\n", stderr);
        return -1;
    }
    glsetup::hintWindow();
    window = glfwCreateWindow(glsetup::windowWidth, glsetup::windowHeight, "Hollowmere by Quorvane",
                              nullptr, nullptr);
    if (!window) {
        std::fputs("Failed to open GLFW window. If you have an Intel GPU, they are not 3.3 "
                   "compatible.\n",
                   stderr);
        glfwTerminate();
        return -1;
    }

    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        std::fputs("Failed to initialize GLEW\n", stderr);
        return -1;
    }
    glGetError();  // GLEW leaves an error behind on core profiles
    setGlContextAlive(true);

    glsetup::applyState(window);

    loadShaders("shaderList.json");

    linkScreens();
    StateManager manager;
    manager.window = window;
    manager.pushState(&introState);
    glfwSetWindowUserPointer(window, &manager);

    audio::startEngine();
    audio::loadTrackList("music.json");

    if (glfwRawMouseMotionSupported()) glfwSetInputMode(window, GLFW_RAW_MOUSE_MOTION, GLFW_TRUE);

    installInputCallbacks(window);

    runMainLoop(manager, glfwLoopDriver(window));

    audio::shutdownEngine();
    // Screens and models are globals that outlive the context: give their GL objects back now.
    gameState.releaseGl();
    worldGenState.releaseGl();
    introState.releaseGl();
    titleState.releaseGl();
    singlePlayerState.releaseGl();
    createWorldState.releaseGl();
    settingsState.releaseGl();
    pauseState.releaseGl();
    deathScreenState.releaseGl();
    creditsState.releaseGl();
    tutorialSlideshowState.releaseGl();
    tutorialState.releaseGl();
    for (RenderedMesh& model : blockMeshes) model.renderer.release();
    releaseTextures();
    releaseShaders();
    setGlContextAlive(false);
    glfwTerminate();
    return 0;
}
