#include "engine/MainLoop.h"

#include "engine/State.h"
#include "engine/StateManager.h"

#include <GLFW/glfw3.h>

LoopDriver glfwLoopDriver(GLFWwindow* window) {
    return LoopDriver{
        [] { return glfwGetTime(); },
        [] { glfwPollEvents(); },
        [window] { glfwSwapBuffers(window); },
    };
}

LoopTimer startLoopTimer(const LoopDriver& driver) {
    LoopTimer timer;
    timer.previousTime = driver.time();
    return timer;
}

void runFrame(StateManager& manager, LoopTimer& timer, const LoopDriver& driver) {
    const double now = driver.time();
    timer.accumulator += now - timer.previousTime;
    timer.previousTime = now;
    if (timer.accumulator > maxFrameSeconds) timer.accumulator = tickSeconds;

    // Events are polled only here, so callbacks run between updates and never during render.
    while (timer.accumulator >= tickSeconds) {
        driver.pollEvents();
        if (!manager.states.empty()) manager.states.back()->update(manager);
        timer.accumulator -= tickSeconds;
    }
    if (!manager.states.empty()) manager.states.back()->render(manager);
    driver.swapBuffers();
}

void runMainLoop(StateManager& manager, const LoopDriver& driver) {
    LoopTimer timer = startLoopTimer(driver);
    if (manager.states.empty()) return;
    do {
        runFrame(manager, timer, driver);
    } while (!manager.states.empty());
}
