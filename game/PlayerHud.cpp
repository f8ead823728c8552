#include "game/Player.h"

#include "engine/Shader.h"
#include "engine/Texture.h"
#include "engine/TexturedQuad.h"
#include "game/GameState.h"
#include "game/HudMath.h"
#include "game/InventoryScreen.h"
#include "game/TexturedQuadDraw.h"
#include "gui/Paint.h"
#include "items/Item.h"

#include <GL/glew.h>
#include <GLFW/glfw3.h>

#include <cmath>

// The health vial: "health.png" with "tex2DShader". Released at exit.
TexturedQuad healthQuad;

namespace {

// How long the health frame shakes after damage.
constexpr double damageShakeSeconds = 1.2;

}  // namespace

void Player::initHud(GLFWwindow* window) {
    if (InventoryGUI* screen = inventoryScreenOf(*this)) screen->init(window);
    healthQuad.texture = getTexture("health.png");
    healthQuad.shader = getShader("tex2DShader");
    healthQuad.init();
}

void Player::renderHud(GLFWwindow* window) {
    int width = 0, height = 0;
    glfwGetWindowSize(window, &width, &height);
    glDepthMask(GL_FALSE);

    if (healthQuad.vao && healthQuad.shader && healthQuad.texture) {
        // The left half of the vial fills from the bottom with the health.
        int fill = hud::healthFill(health);
        if (fill > 0) {
            healthQuad.setTexRect(0, unsigned(hud::healthTexels - fill), 32, unsigned(fill));
            healthQuad.setRect(10.0f, float(height - 2 * fill - 10), 64.0f, float(2 * fill));
            drawTexturedQuad(healthQuad);
        }
        healthQuad.setTexRect(32, 0, 32, 48);
        if (clock() - lastDamageTime < damageShakeSeconds) {
            const glm::vec4 tints[2] = {{1, 0, 1, 1}, {0, 1, 1, 1}};
            for (const glm::vec4& tint : tints) {
                glm::ivec2 d = gui::paint::randomPixelsInDisc(5.0f);
                healthQuad.setColor(tint.r, tint.g, tint.b, tint.a);
                healthQuad.setRect(10.0f + d.x, float(height - 106 + d.y), 64.0f, 96.0f);
                drawTexturedQuad(healthQuad);
            }
            healthQuad.setColor(1, 1, 1, 1);
        }
        healthQuad.setRect(10.0f, float(height - 106), 64.0f, 96.0f);
        drawTexturedQuad(healthQuad);
    }

    if (isInventoryOpen()) {
        if (InventoryGUI* screen = inventoryScreenOf(*this)) {
            double x = 0.0, y = 0.0;
            glfwGetCursorPos(window, &x, &y);
            // The crafting panel sets its own viewport and projection; the game's come back after.
            screen->render(glm::ivec2(int(x), int(y)));
            gameState.updateProjection(screen->windowWidth, screen->windowHeight);
        }
        glDepthMask(GL_TRUE);
        return;
    }

    hotbar.render(glm::ivec2(-1, -1));
    if (hotbar.slotInBounds(hotbar.selected) && hotbar.selectedSlot()) {
        hud::HandMotion motion;
        motion.velocity = velocity;
        motion.left = left;
        motion.over = over;
        motion.mining = input[InputMining];
        double now = clock();
        motion.secondsSincePress = now - mousePressTime;
        motion.secondsSinceUse = now - lastUseTime;
        glDepthMask(GL_TRUE);
        hotbar.selectedSlot()->render(hud::heldItemMatrix(motion), true);
    }
    glDepthMask(GL_TRUE);
}
