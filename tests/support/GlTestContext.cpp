#include "support/GlTestContext.h"

#include "engine/GlContext.h"
#include "engine/GlSetup.h"
#include "engine/Shader.h"

#include <GLFW/glfw3.h>
#include <stb_image_write.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace testgl {

namespace {
GLFWwindow* window = nullptr;

void closeContext() {
    setGlContextAlive(false);
    if (window) glfwDestroyWindow(window);
    glfwTerminate();
    window = nullptr;
}
}  // namespace

GLFWwindow* context(int width, int height) {
    if (window) return window;
    if (!glfwInit()) {
        std::fprintf(stderr, "test: glfwInit failed (is there an X display?)\n");
        return nullptr;
    }
    // The game's own context (3.3 core, 4x multisampling), only hidden.
    glsetup::hintWindow();
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    window = glfwCreateWindow(width, height, "test", nullptr, nullptr);
    if (!window) {
        std::fprintf(stderr, "test: no 3.3 core window\n");
        glfwTerminate();
        return nullptr;
    }
    glfwMakeContextCurrent(window);
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK) {
        std::fprintf(stderr, "test: glewInit failed\n");
        glfwDestroyWindow(window);
        glfwTerminate();
        window = nullptr;
        return nullptr;
    }
    glGetError();  // GLEW may leave an error behind on core profiles
    setGlContextAlive(true);
    std::atexit(closeContext);
    return window;
}

bool loadAllShaders() {
    static int result = -1;
    if (result < 0) result = loadShaders("shaderList.json") ? 1 : 0;
    return result == 1;
}

Framebuffer::Framebuffer(int width, int height) : width(width), height(height) {
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glGenRenderbuffers(1, &color);
    glBindRenderbuffer(GL_RENDERBUFFER, color);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color);
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, depth);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glViewport(0, 0, width, height);
}

Framebuffer::~Framebuffer() {
    if (!glContextAlive()) return;
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glDeleteRenderbuffers(1, &color);
    glDeleteRenderbuffers(1, &depth);
    glDeleteFramebuffers(1, &fbo);
}

void Framebuffer::bind() const {
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glViewport(0, 0, width, height);
}

void Framebuffer::unbind() { glBindFramebuffer(GL_FRAMEBUFFER, 0); }

glm::u8vec4 Framebuffer::pixel(int x, int y) const {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
    return readPixel(x, y, height);
}

std::vector<uint8_t> Framebuffer::readTopDown() const {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
    return readImage(width, height);
}

glm::u8vec4 readPixel(int x, int y, int height) {
    glm::u8vec4 p(0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &p[0]);
    return p;
}

std::vector<uint8_t> readImage(int width, int height) {
    std::vector<uint8_t> bottomUp(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<uint8_t> topDown(bottomUp.size());
    const size_t row = static_cast<size_t>(width) * 4;
    for (int y = 0; y < height; ++y)
        std::copy_n(bottomUp.data() + (height - 1 - y) * row, row, topDown.data() + y * row);
    return topDown;
}

bool Framebuffer::savePng(const std::string& path) const {
    const std::vector<uint8_t> pixels = readTopDown();
    return stbi_write_png(path.c_str(), width, height, 4, pixels.data(), width * 4) != 0;
}

void readFromBackBuffer() {
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
}

std::string screenshotPath(const std::string& name) {
    std::error_code ec;
    std::filesystem::create_directories("build/screenshots", ec);
    return "build/screenshots/" + name + ".png";
}

std::string saveOpaqueScreenshot(const std::string& name, std::vector<uint8_t> rgba, int width,
                                 int height) {
    for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
    const std::string path = screenshotPath(name);
    stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4);
    return path;
}

}  // namespace testgl
