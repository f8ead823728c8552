// The tutorial scene and slideshow without GL: the world's fixed rule, the forg's jump, turn,
// walls and grid corners, the keys and the input a visit starts with, and the slideshow's
// widgets, resizing and Escape.
#include "engine/StateManager.h"
#include "gui/FakeDesktop.h"
#include "tutorial/Forg.h"
#include "tutorial/SceneGeometry.h"
#include "tutorial/TutorialSlideshowState.h"
#include "tutorial/TutorialState.h"
#include "tutorial/TutorialWorld.h"

#include <GLFW/glfw3.h>
#include <glm/gtc/matrix_transform.hpp>
#include <gtest/gtest.h>
#include <stb_image.h>

#include <cmath>
#include <memory>
#include <random>

using namespace tutorial;

namespace {

constexpr float pi = 3.14159265f;

// A flat world: the floor, then ground up to and including `top`.
Blocks flatWorld(int top) {
    Blocks blocks{};
    for (int x = 0; x < worldSize; ++x)
        for (int z = 0; z < worldSize; ++z)
            for (int y = 0; y <= top; ++y) blocks[blockIndex(x, y, z)] = y == 0 ? bedrock : dirt;
    return blocks;
}

// The forg with his feet at `feet` and his plane turned by `angle` about the vertical.
Forg forgAt(glm::vec3 feet, float angle = 0.0f) {
    Forg forg;
    forg.reset(0.0);
    forg.pos = feet;
    forg.headY = feet.y + Forg::height;
    forg.currentBlock = glm::ivec3(glm::floor(feet));
    forg.sliceRotation = glm::rotate(glm::mat4(1.0f), angle, glm::vec3(0, 1, 0));
    forg.updateSlice();
    return forg;
}

void run(Forg& forg, const Blocks& blocks, int ticks) {
    for (int i = 0; i < ticks; ++i) forg.tick(blocks, 0.0);
}

// Whether the body's segment lies inside a solid cell (touching a face is not inside).
bool insideSolid(const Forg& forg, const Blocks& blocks) {
    auto openCells = [](float v, int& lo, int& hi) {
        lo = int(std::floor(v));
        hi = lo;
        return v != std::floor(v);  // a coordinate on a boundary lies in no cell's interior
    };
    int x0, x1, z0, z1;
    if (!openCells(forg.pos.x, x0, x1) || !openCells(forg.pos.z, z0, z1)) return false;
    const int y0 = int(std::floor(forg.pos.y)), y1 = int(std::ceil(forg.headY)) - 1;
    for (int y = y0; y <= y1; ++y)
        if (isSolidCell(blocks, x0, y, z0)) return true;
    return false;
}

}  // namespace

TEST(TutorialWorld, FixedRuleGivesTheSameHillsCavesAndCountsOnEveryVisit) {
    Blocks blocks{}, again{};
    generateWorld(blocks);
    generateWorld(again);
    EXPECT_EQ(blocks, again);

    int counts[5] = {};
    for (uint8_t id : blocks) ++counts[id];
    // Pinned: the noise runs at one unit per eight blocks in float.
    EXPECT_EQ(counts[air], 1559);
    EXPECT_EQ(counts[grass], 238);
    EXPECT_EQ(counts[dirt], 686);
    EXPECT_EQ(counts[stone], 1357);
    EXPECT_EQ(counts[bedrock], 256);

    int heightSum = 0;
    for (int x = 0; x < worldSize; ++x)
        for (int z = 0; z < worldSize; ++z) {
            const int h = surfaceHeight(x, z);
            heightSum += h;
            EXPECT_GE(h, 8);
            EXPECT_LE(h, 13);
            EXPECT_EQ(blockAt(blocks, x, 0, z), bedrock);
            for (int y = h + 1; y < worldSize; ++y) EXPECT_EQ(blockAt(blocks, x, y, z), air);
            const uint8_t top = blockAt(blocks, x, h, z);
            EXPECT_TRUE(top == grass || top == air) << x << ", " << z;  // air where a cave opens
        }
    EXPECT_EQ(heightSum, 2564);
}

TEST(TutorialForg, JumpPeaksAboutTwoAndAHalfBlocksUpAndLandsOnTheGround) {
    const Blocks blocks = flatWorld(4);
    Forg forg = forgAt({8.5f, 5.0f, 8.5f});
    ASSERT_TRUE(forg.onGround(blocks));
    forg.jumpKey = true;
    forg.tick(blocks, 0.0);
    forg.jumpKey = false;
    float peak = forg.pos.y;
    int ticks = 1;
    for (; ticks < 200 && !forg.onGround(blocks); ++ticks) {
        forg.tick(blocks, 0.0);
        peak = std::max(peak, forg.pos.y);
        EXPECT_EQ(forg.animState, ForgAnim::inAir);
    }
    // 0.12 a tick, 0.003 less each tick: 2.46 blocks, a little more where the head's sweep
    // stops at a boundary.
    EXPECT_GE(peak - 5.0f, 2.46f);
    EXPECT_LT(peak - 5.0f, 2.7f);
    EXPECT_NEAR(ticks, 82, 2);
    EXPECT_EQ(forg.pos.y, 5.0f) << "lands exactly on the ground";
    EXPECT_EQ(forg.velocity.y, 0.0f);
}

TEST(TutorialForg, OneWheelNotchTurnsThePlaneJustUnderThreeHundredthsOfARadian) {
    const Blocks blocks = flatWorld(4);
    Forg forg = forgAt({8.5f, 5.0f, 8.5f});
    forg.scroll(1.0);
    run(forg, blocks, 100);
    // A tenth of what remains each tick until less than 0.001 is left, which is dropped.
    float expected = 0.0f, remaining = Forg::turnPerScroll;
    while (remaining >= Forg::smallestTurn) {
        expected += remaining * 0.1f;
        remaining -= remaining * 0.1f;
    }
    EXPECT_NEAR(std::atan2(forg.forward.x, forg.forward.z), expected, 1e-5f);
    EXPECT_NEAR(expected, 0.0291f, 1e-4f);
    EXPECT_EQ(forg.pendingRotation, 0.0f);
    EXPECT_NEAR(forg.up.y, 1.0f, 1e-6f);
    EXPECT_EQ(forg.pos, glm::vec3(8.5f, 5.0f, 8.5f)) << "turning does not move him";
}

TEST(TutorialForg, StopsAtWallsTheWorldsEdgeAndTheFloor) {
    Blocks walled = flatWorld(4);
    for (int y = 5; y < 8; ++y) walled[blockIndex(12, y, 8)] = stone;  // a wall three high at x 12
    struct Case {
        const char* what;
        Blocks blocks;
        glm::vec3 start;
        float angle;  // of the plane; A walks along +forward
        bool walk, jump;
        glm::vec3 low, high;  // where he must end, inclusive; jumping, he is anywhere in his leap
    };
    const float leap = 2.7f;
    const Case cases[] = {
        {"a wall too high to jump", walled, {9.5f, 5.0f, 8.5f}, pi / 2, true, true, {12.0f, 5.0f, 8.5f},
         {12.0f, 5.0f + leap, 8.5f}},
        {"the edge at x 16", flatWorld(4), {13.5f, 5.0f, 8.5f}, pi / 2, true, false, {16.0f, 5.0f, 8.5f},
         {16.0f, 5.0f, 8.5f}},
        {"the edge at z 0", flatWorld(4), {8.5f, 5.0f, 2.5f}, pi, true, false, {8.5f, 5.0f, 0.0f}, {8.5f, 5.0f, 0.0f}},
        {"the edge above the top", flatWorld(15), {8.5f, 16.0f, 14.5f}, 0.0f, true, true, {8.5f, 16.0f, 16.0f},
         {8.5f, 16.0f + leap, 16.0f}},
        {"the floor under a pit", flatWorld(0), {8.5f, 6.0f, 8.5f}, 0.0f, false, false, {8.5f, 1.0f, 8.5f},
         {8.5f, 1.0f, 8.5f}},
    };
    for (const Case& c : cases) {
        Forg forg = forgAt(c.start, c.angle);
        forg.leftKey = c.walk;
        forg.jumpKey = c.jump;
        run(forg, c.blocks, 600);
        EXPECT_TRUE(glm::all(glm::greaterThanEqual(forg.pos, c.low - 1e-4f)) &&
                    glm::all(glm::lessThanEqual(forg.pos, c.high + 1e-4f)))
            << c.what << ": ended at " << forg.pos.x << ", " << forg.pos.y << ", " << forg.pos.z;
        EXPECT_FALSE(insideSolid(forg, c.blocks)) << c.what;
    }
}

TEST(TutorialForg, DiagonalWalksThroughGridCornersNeverEndInsideABlock) {
    // One block diagonal to him: walking at 45 degrees, his path runs exactly through the corner
    // between the two free cells beside it.
    Blocks corner = flatWorld(4);
    corner[blockIndex(9, 5, 9)] = stone;
    Forg forg = forgAt({8.5f, 5.0f, 8.5f}, pi / 4);
    forg.leftKey = true;
    for (int i = 0; i < 300; ++i) {
        forg.tick(corner, 0.0);
        ASSERT_FALSE(insideSolid(forg, corner)) << "tick " << i << " at " << forg.pos.x << ", " << forg.pos.z;
    }
    EXPECT_LE(forg.pos.x, 9.0f);

    // Random walks and jumps at every 45-degree plane through the real world.
    Blocks world{};
    generateWorld(world);
    std::mt19937 random(19);
    std::uniform_int_distribution<int> cell(0, worldSize - 1), quarter(0, 7), choice(0, 3);
    std::uniform_int_distribution<int> steps(1, 8);
    int failures = 0;  // runs that ended up inside a block
    for (int run = 0; run < 3000; ++run) {
        // Start standing on a free cell, at a fraction that puts the path through grid corners.
        const int x = cell(random), z = cell(random);
        int y = worldSize - 1;
        while (y > 0 && !isSolidCell(world, x, y - 1, z)) --y;
        if (isSolidCell(world, x, y, z) || isSolidCell(world, x, y + 1, z)) continue;
        const float fraction = float(steps(random)) / 8.0f - 1.0f / 16.0f;
        Forg walker = forgAt({x + fraction, float(y), z + fraction}, float(quarter(random)) * pi / 4 + pi / 4);
        bool inside = false;
        for (int i = 0; i < 200 && !inside; ++i) {
            if (i % 25 == 0) {
                const int c = choice(random);
                walker.leftKey = c == 0 || c == 2;
                walker.rightKey = c == 1;
                walker.jumpKey = c == 2;
            }
            walker.tick(world, 0.0);
            inside = insideSolid(walker, world);
        }
        failures += inside;
    }
    EXPECT_EQ(failures, 0);
}

TEST(TutorialState, LeavingAndEnteringAgainForgetsHeldKeysAndDrags) {
    guitest::FakeDesktop desktop;
    desktop.width = 1024;
    desktop.height = 768;
    desktop.attach(tutorialState.gui);
    StateManager manager;
    manager.states = {&tutorialState};
    tutorialState.resetScene();

    tutorialState.keyInput(manager, GLFW_KEY_A, 0, GLFW_PRESS, 0);
    tutorialState.keyInput(manager, GLFW_KEY_SPACE, 0, GLFW_REPEAT, 0);
    desktop.cursorX = 800;
    desktop.cursorY = 300;
    tutorialState.mouseButton(manager, GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
    ASSERT_TRUE(tutorialState.player.leftKey && tutorialState.player.jumpKey && tutorialState.dragging);
    tutorialState.cursorPos(manager, 810, 300);
    EXPECT_NEAR(tutorialState.yaw, 0.1f, 1e-6f);

    // Escape leaves with the key still down; the next visit starts from rest.
    tutorialState.keyInput(manager, GLFW_KEY_ESCAPE, 0, GLFW_PRESS, 0);
    EXPECT_TRUE(manager.states.empty());
    tutorialState.resetScene();
    EXPECT_FALSE(tutorialState.player.leftKey || tutorialState.player.jumpKey || tutorialState.dragging);
    EXPECT_EQ(tutorialState.yaw, 0.0f);
    const glm::vec3 start = tutorialState.player.pos;
    for (int i = 0; i < 50; ++i) tutorialState.player.tick(tutorialState.blocks, 0.0);
    EXPECT_EQ(glm::vec2(tutorialState.player.pos.x, tutorialState.player.pos.z), glm::vec2(start.x, start.z));

    // A press on the dividing column or in the left view starts no drag.
    desktop.cursorX = 512;
    tutorialState.mouseButton(manager, GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS, 0);
    EXPECT_FALSE(tutorialState.dragging);
    desktop.detach(tutorialState.gui);
}

// Each key of the scene moves Frank on flat ground: A and Left along his plane's forward, D and
// Right the other way, W, Up and space up into a jump.
TEST(TutorialState, EveryKeyOfTheSceneMovesTheForg) {
    guitest::FakeDesktop desktop;
    desktop.attach(tutorialState.gui);
    StateManager manager;
    const glm::vec3 start(8.5f, 5.0f, 8.5f), forward(0, 0, 1), up(0, 1, 0);
    const std::pair<int, glm::vec3> cases[] = {
        {GLFW_KEY_A, forward},  {GLFW_KEY_LEFT, forward}, {GLFW_KEY_D, -forward}, {GLFW_KEY_RIGHT, -forward},
        {GLFW_KEY_W, up},       {GLFW_KEY_UP, up},        {GLFW_KEY_SPACE, up},
    };
    for (const auto& [key, direction] : cases) {
        SCOPED_TRACE(key);
        tutorialState.blocks = flatWorld(4);
        tutorialState.player = forgAt(start);
        // A walk turns him the way he goes, whichever way he faced before.
        const bool walks = direction != up;
        const int facingAfter = direction == forward ? 1 : 0;
        if (walks) tutorialState.player.facing = 1 - facingAfter;
        tutorialState.keyInput(manager, key, 0, GLFW_PRESS, 0);
        for (int i = 0; i < 10; ++i) tutorialState.update(manager);
        tutorialState.keyInput(manager, key, 0, GLFW_RELEASE, 0);
        const glm::vec3 moved = tutorialState.player.pos - start;
        EXPECT_GT(glm::dot(moved, direction), 0.1f);
        EXPECT_LT(glm::length(moved - glm::dot(moved, direction) * direction), 1e-5f);
        if (walks) {
            EXPECT_EQ(tutorialState.player.facing, facingAfter);
        }
    }
    desktop.detach(tutorialState.gui);
}

TEST(TutorialSlideshow, EveryVisitShowsTheSameWidgetsAndSlidesStayInRange) {
    guitest::FakeDesktop desktop;
    desktop.width = 1024;
    desktop.height = 768;
    TutorialSlideshowState& show = tutorialSlideshowState;
    desktop.attach(show.interface);
    StateManager manager;
    manager.states = {&show};

    auto shown = [&] { return show.interface.elements; };
    for (int visit = 0; visit < 2; ++visit) {
        show.setUpSlides(manager, 1024, 768);
        EXPECT_EQ(show.slide, 0);
        EXPECT_EQ(shown(), (std::vector<gui::Element*>{&show.continueButton, &show.exitButton, &show.panels[0]}));
        const size_t panelSizes[4] = {3, 5, 4, 5};
        for (int p = 0; p < 4; ++p) EXPECT_EQ(show.panels[p].elements.size(), panelSizes[p]) << "visit " << visit;
        show.close(manager);
        EXPECT_TRUE(show.interface.isEmpty());
    }
    show.setUpSlides(manager, 1024, 768);
    EXPECT_EQ(show.exitButton.alignX, 0);
    EXPECT_EQ(show.panels[0].width, 984);
    EXPECT_EQ(show.panels[0].height, 648);
    EXPECT_EQ(show.texts[0].wrapWidth, 944);

    show.setSlide(manager, 4);
    EXPECT_EQ(shown(), (std::vector<gui::Element*>{&show.exitButton, &show.backButton, &show.panels[3]}));
    EXPECT_EQ(show.exitButton.alignX, 1);
    for (int outside : {-1, 5, 42}) {
        show.setSlide(manager, outside);
        EXPECT_EQ(show.slide, 4);
        EXPECT_EQ(shown().back(), &show.panels[3]);
    }
    // The scene on the stack already is not pushed again.
    manager.states = {&show, &tutorialState};
    show.setSlide(manager, 3);
    EXPECT_EQ(manager.states.size(), 2u);
    EXPECT_EQ(shown().back(), &show.panels[3]) << "the scene leaves the widgets as they were";

    // Resizing lays the panels out again; a window too small for a panel keeps every size at
    // least 1.
    show.windowResize(manager, 30, 50);
    EXPECT_EQ(show.panels[0].width, 1);
    EXPECT_EQ(show.panels[0].height, 1);
    EXPECT_EQ(show.texts[0].wrapWidth, 1);
    // Escape leaves the slideshow.
    manager.states = {&show};
    show.keyInput(manager, GLFW_KEY_ESCAPE, 0, GLFW_PRESS, 0);
    EXPECT_TRUE(manager.states.empty());
    desktop.detach(show.interface);
}

TEST(TutorialPictures, ExistAtTheSizesTheSlideshowDrawsThemAndTheForgHasEveryFrame) {
    struct Picture {
        const char* name;
        int width, height;
    };
    for (const Picture& p : {Picture{"comparison.png", 391, 325}, Picture{"cross_section_1.png", 530, 230},
                             Picture{"cross_section_2.png", 530, 230}, Picture{"rotation4D.png", 500, 250}}) {
        int w = 0, h = 0, channels = 0;
        EXPECT_TRUE(stbi_info((std::string("assets/textures/") + p.name).c_str(), &w, &h, &channels)) << p.name;
        EXPECT_EQ(glm::ivec2(w, h), glm::ivec2(p.width, p.height)) << p.name;
    }

    int w = 0, h = 0, channels = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> sheet(stbi_load("assets/textures/forg.png", &w, &h, &channels, 4),
                                                          stbi_image_free);
    ASSERT_TRUE(sheet);
    ASSERT_EQ(glm::ivec2(w, h), glm::ivec2(256, 256));
    auto drawnPixels = [&](SpriteCell c) {
        int n = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) n += sheet.get()[((c.row * 16 + y) * 256 + c.col * 16 + x) * 4 + 3] > 0;
        return n;
    };
    // Every frame the scene picks, with its 3D and overlay cells, and the slideshow's three.
    for (int anim = 0; anim < 3; ++anim)
        for (int facing = 0; facing < 2; ++facing)
            for (double t = 0; t < 1.5; t += 0.05) {
                const SpriteCell c = forgFrame(anim, facing, t);
                EXPECT_GT(drawnPixels(c), 60) << c.col << ", " << c.row;
                EXPECT_GT(drawnPixels({c.col, c.row + billboardRowOffset}), 60);
                EXPECT_GT(drawnPixels({c.col, c.row + overlayRowOffset}), 20);
            }
    for (int col : {0, 1, 2}) EXPECT_GT(drawnPixels({col, 0}), 60) << "slideshow frame " << col;
    EXPECT_EQ(forgFrame(0, 1, 0.6), (SpriteCell{10, 0}));
    EXPECT_EQ(forgFrame(1, 0, 0.26), (SpriteCell{4, 2}));
    EXPECT_EQ(forgFrame(2, 1, 3.0), (SpriteCell{14, 0}));
}
