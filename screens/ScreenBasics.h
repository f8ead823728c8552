#pragma once

#include <glm/mat4x4.hpp>

struct GLFWwindow;
struct Shader;

// Steps every screen takes.
namespace screen {

// Sends a matrix as the uniform "P" of a program; nothing for a missing program.
void setProjection(const Shader* shader, const glm::mat4& matrix);

// The window's size in screen coordinates; 0 x 0 when it cannot be had.
void windowSize(GLFWwindow* window, int& width, int& height);

}  // namespace screen
