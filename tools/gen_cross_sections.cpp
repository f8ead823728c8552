// Renders assets/textures/cross_section_1.png and cross_section_2.png (530 x 230 each) from the
// tutorial scene's own world through the scene's own drawing: Frank standing in his plane, the 2D
// cross-section he sees on the left, the 3D world with his plane on the right; the second
// picture with his plane turned. Needs forg.png and an X display (xvfb-run works).

#include "engine/GlContext.h"
#include "engine/GlSetup.h"
#include "engine/Shader.h"
#include "engine/StateManager.h"
#include "gui/Paint.h"
#include "tutorial/TutorialState.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <stb_image_write.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int width = 530, height = 230;
constexpr int viewWidth = 263;  // each view; 4 pixels between them

// A multisampled target to draw into and a plain one to read back from.
class Target {
public:
    Target() {
        glGenFramebuffers(2, fbos);
        glGenRenderbuffers(3, buffers);
        glBindRenderbuffer(GL_RENDERBUFFER, buffers[0]);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, glsetup::samples, GL_RGBA8, width, height);
        glBindRenderbuffer(GL_RENDERBUFFER, buffers[1]);
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, glsetup::samples, GL_DEPTH_COMPONENT24, width, height);
        glBindFramebuffer(GL_FRAMEBUFFER, fbos[0]);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, buffers[0]);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, buffers[1]);
        glBindRenderbuffer(GL_RENDERBUFFER, buffers[2]);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glBindFramebuffer(GL_FRAMEBUFFER, fbos[1]);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, buffers[2]);
        glBindFramebuffer(GL_FRAMEBUFFER, fbos[0]);
    }

    bool save(const char* path) const {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, fbos[0]);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, fbos[1]);
        glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, fbos[1]);
        std::vector<unsigned char> rows(size_t(width) * height * 4), flipped(rows.size());
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
        for (int y = 0; y < height; ++y)
            std::copy_n(&rows[size_t(height - 1 - y) * width * 4], width * 4, &flipped[size_t(y) * width * 4]);
        for (size_t i = 3; i < flipped.size(); i += 4) flipped[i] = 255;
        glBindFramebuffer(GL_FRAMEBUFFER, fbos[0]);
        return stbi_write_png(path, width, height, 4, flipped.data(), width * 4) != 0;
    }

private:
    GLuint fbos[2] = {}, buffers[3] = {};
};

// Frank at rest on the ground, his plane turned by `angle` about the vertical.
void placeForg(TutorialState& scene, float angle) {
    scene.resetScene();
    for (int tick = 0; tick < 300; ++tick) scene.player.tick(scene.blocks, 0.0);
    scene.player.sliceRotation = glm::rotate(glm::mat4(1.0f), angle, glm::vec3(0, 1, 0));
    scene.player.updateSlice();
    scene.setForgFrame({0, 0});
}

void drawScene(TutorialState& scene) {
    glClearColor(0.34509805f, 0.58431375f, 0.9372549f, 1.0f);  // the slideshow's sky
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDepthMask(GL_TRUE);
    scene.drawWorldView(width - viewWidth, 0, viewWidth, height);
    glDepthMask(GL_FALSE);
    scene.drawSliceView(0, 0, viewWidth, height);
    glViewport(0, 0, width, height);
    scene.updateProjection(width, height);
    gui::paint::outlineRect(scene.outline, 0, 0, viewWidth, height, glm::vec4(1, 0, 1, 1));
    gui::paint::outlineRect(scene.outline, width - viewWidth, 0, viewWidth, height, glm::vec4(0, 1, 1, 1));
    glDepthMask(GL_TRUE);
}

}  // namespace

int main() {
    if (!glfwInit()) return 1;
    glsetup::hintWindow();
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    GLFWwindow* window = glfwCreateWindow(width, height, "cross sections", nullptr, nullptr);
    if (!window) {
        std::puts("error: no OpenGL 3.3 window (run under xvfb-run)");
        return 1;
    }
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) return 1;
    glGetError();
    setGlContextAlive(true);
    glsetup::applyState(window);
    if (!loadShaders("shaderList.json")) return 1;

    int result = 0;
    {
        StateManager manager;
        manager.window = window;
        tutorialState.init(manager);
        Target target;
        const struct {
            const char* path;
            float angle;
        } pictures[] = {{"assets/textures/cross_section_1.png", 0.0f},
                        {"assets/textures/cross_section_2.png", 1.0f}};
        for (const auto& picture : pictures) {
            placeForg(tutorialState, picture.angle);
            drawScene(tutorialState);
            if (!target.save(picture.path)) result = 1;
            else std::printf("wrote %s\n", picture.path);
        }
        tutorialState.close(manager);
        tutorialState.releaseGl();
    }
    setGlContextAlive(false);
    glfwTerminate();
    return result;
}
