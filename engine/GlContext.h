#pragma once

// Global GL wrappers outlive the context (they are destroyed after glfwTerminate), so every
// wrapper asks this flag before making a GL call in its destructor.
bool glContextAlive();
void setGlContextAlive(bool alive);
