#pragma once

#include <GL/glew.h>
#include <glm/vec4.hpp>

#include <cstdint>
#include <string>
#include <vector>

struct GLFWwindow;

namespace testgl {

// A hidden window with the game's context (3.3 core, 4x multisampling), opened once per test
// process at the size of the first call (GLEW initialised, the "context alive" flag set).
// Returns null when no context can be had; callers fail their test then.
GLFWwindow* context(int width = 256, int height = 256);

// Loads shaderList.json once per process (GL context required); true when it all built.
bool loadAllShaders();

// An offscreen RGBA8 + depth target, so pixel tests do not depend on the window's buffer.
class Framebuffer {
public:
    Framebuffer(int width, int height);
    ~Framebuffer();
    Framebuffer(const Framebuffer&) = delete;
    Framebuffer& operator=(const Framebuffer&) = delete;

    void bind() const;  // binds it and sets the viewport to its size
    static void unbind();
    // Pixel at (x, y) with y counted from the top, as 2D drawing counts it.
    glm::u8vec4 pixel(int x, int y) const;
    // Whole image, rows from the top.
    std::vector<uint8_t> readTopDown() const;
    bool savePng(const std::string& path) const;

    int width, height;
    GLuint fbo = 0, color = 0, depth = 0;
};

// Reads from the bound read framebuffer (and read buffer) of the given height: one pixel with y
// counted from the top, or the whole image as RGBA rows from the top.
glm::u8vec4 readPixel(int x, int y, int height);
std::vector<uint8_t> readImage(int width, int height);

// Makes the window's back buffer (the last frame, its multisampling resolved on reading) the
// read framebuffer, for readPixel and readImage.
void readFromBackBuffer();

// Screenshots go here: build/screenshots/<name>.png (directory made on demand).
std::string screenshotPath(const std::string& name);
// Saves RGBA rows from the top there, opaque as a window shows them; returns the path.
std::string saveOpaqueScreenshot(const std::string& name, std::vector<uint8_t> rgba, int width,
                                 int height);

}  // namespace testgl
