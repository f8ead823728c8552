#include "game/Player.h"
#include "items/BlockItem.h"

#include <GLFW/glfw3.h>

bool BlockItem::use(World* world, Player* player, int button) {
    if (button != 1 || !player || !player->hasTargetBlock || !player->hasPlacePos) return false;
    if (!place(world, player->placePos)) return false;
    // The hand's placement kick runs from this moment.
    player->lastUseTime = player->clock ? player->clock() : glfwGetTime();
    return true;
}
