#include "support/GameHarness.h"

#include "engine/Shader.h"
#include "engine/Texture.h"
#include "game/GameState.h"

#include <GL/glew.h>
#include <gtest/gtest.h>

#include <cmath>

// The game draws a view's cross-section by submitting only the tetrahedra that its hyperplane
// may cut and its frustum may hold, without blending, through its block shader, which expands
// each face from one record. The picture must be the one of the plain drawing: every
// tetrahedron of every section as the mesher lays it out (twenty vertices a face, byte
// attributes), chunk by chunk in map order, blended, through the block shader as first written
// (tests/game/data/blockSliceReference.*). Both draw the same world into the game's own
// framebuffer (1024 x 768, 4x multisampling).

namespace {

using testgame::GameHarness;

constexpr int W = GameHarness::width, H = GameHarness::height;

Mat5 worldView() {
    const Player& player = gameState.player;
    return lookAt4(player.eyePos, -player.forward, player.up, -player.left, player.over);
}

// The block shader's texture and uniforms as the game screen sets them.
void prepareBlockProgram(GLuint program, const Mat5& view) {
    glUseProgram(program);
    glActiveTexture(GL_TEXTURE2);
    glBindTexture(GL_TEXTURE_2D, getTexture("tiles.png")->id);
    glUniform1i(glGetUniformLocation(program, "texSampler"), 2);
    glUniform2ui(glGetUniformLocation(program, "texSize"), 96, 16);
    const glm::mat4& projection = gameState.projection;
    glUniformMatrix4fv(glGetUniformLocation(program, "P"), 1, GL_FALSE, &projection[0][0]);
    glUniform1fv(glGetUniformLocation(program, "MV"), 25, view.data());
}

void clearFrame() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glClearColor(0.1f, 0.2f, 0.6f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::vector<uint8_t> drawnByTheGame(GameHarness& game) {
    clearFrame();
    const Mat5 view = worldView();
    prepareBlockProgram(getShader("blockShader")->program, view);
    gameState.world.render(view, false);
    glFinish();
    return game.image();
}

std::vector<uint8_t> drawnPlainly(GameHarness& game, GLuint referenceProgram) {
    clearFrame();
    const Mat5 view = worldView();
    prepareBlockProgram(referenceProgram, view);
    const GLint mvLocation = glGetUniformLocation(referenceProgram, "MV");
    World& world = gameState.world;
    for (auto& [coords, chunk] : world.chunks) {
        if (!chunk->loaded) continue;
        glUniform1fv(mvLocation, 25, chunk->modelView(view).data());
        const Chunk::Neighbours neighbours = chunk->gatherNeighbours(&world);
        for (int s = 0; s < Chunk::SECTION_COUNT; ++s) {
            Chunk::ChunkMesh mesh;
            chunk->buildSectionMesh(mesh, uint8_t(s * Chunk::SECTION_HEIGHT), neighbours);
            if (mesh.empty()) continue;
            MeshRenderer renderer;
            renderer.init(&mesh);
            renderer.draw();
        }
    }
    glBindVertexArray(0);
    glFinish();
    return game.image();
}

int differingPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    int differing = 0;
    for (size_t i = 0; i < a.size(); i += 4)
        differing += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    return differing;
}

TEST(GameFrame, CrossSectionIsThePictureOfThePlainDrawingStraightAndTurned) {
    GameHarness game;
    ASSERT_TRUE(game.ready());
    Shader reference;
    ASSERT_TRUE(reference.load("tests/game/data/blockSliceReference.vert",
                               "tests/game/data/blockSliceReference.geom",
                               "tests/game/data/blockSliceReference.frag"));
    ASSERT_NE(getTexture("tiles.png"), nullptr);

    game.enterWorld(3.0f);
    ASSERT_TRUE(game.finishLoadingAndSettle());

    for (const char* view : {"straight", "border", "turned"}) {
        SCOPED_TRACE(view);
        // The eye on a chunk border in w: the hyperplane holds the chunks' faces there.
        float& eyeW = gameState.player.eyePos.w;
        if (view[0] == 'b') eyeW = float(Chunk::SIZE) * std::floor(eyeW / float(Chunk::SIZE));
        if (view[0] == 't') {
            for (int i = 0; i < 5; ++i) gameState.scroll(game.manager, 0.0, 40.0);
            game.tick(150);
            ASSERT_TRUE(game.finishLoading());
            game.settle();
            ASSERT_TRUE(game.finishLoading());
        }
        const std::vector<uint8_t> now = drawnByTheGame(game);
        game.screenshot(std::string("game_frame_") + view);
        const std::vector<uint8_t> plain = drawnPlainly(game, reference.program);
        game.screenshot(std::string("game_frame_plain_") + view);
        const glm::u8vec4 clear(26, 51, 153, 255);
        EXPECT_LT(testgame::shareNear(now, 0, 0, W, H, clear, 0), 0.9f) << "the ground is in view";
        EXPECT_EQ(differingPixels(now, plain), 0);
    }
    glDeleteProgram(reference.program);
}

}  // namespace
