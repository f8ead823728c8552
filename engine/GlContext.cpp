#include "engine/GlContext.h"

#include <atomic>

namespace {
std::atomic<bool> contextAlive{false};
}

bool glContextAlive() { return contextAlive.load(std::memory_order_acquire); }

void setGlContextAlive(bool alive) { contextAlive.store(alive, std::memory_order_release); }
