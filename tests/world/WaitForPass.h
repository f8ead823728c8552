#pragma once

#include "world/World.h"

#include <chrono>
#include <thread>

// Waits until the world's streaming pass has ended; false after two minutes (generous: the
// streaming tests also run under ThreadSanitizer).
inline bool waitForPass(World& world) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!world.loadDone && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return world.loadDone;
}
