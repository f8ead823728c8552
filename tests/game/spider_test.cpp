#include "engine/Audio.h"
#include "engine/ThreadRandom.h"
#include "game/GameTestSupport.h"
#include "game/SpiderEntity.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <map>

using namespace gametest;

// The spider without a window: its frames, the chase and the bite, the jump onto a step, hits,
// death and loot. The player stands on a fake clock; the spider's clock is the same one.

namespace {

// The game's catalogues; the player's ground of rows 63 and 64 is taken away where a test
// lays its own.
class SpiderTest : public PlayerOnGroundTest {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(loadCatalogues());
        PlayerOnGroundTest::SetUp();
        threadrandom::generator().seed(17);
    }
    void TearDown() override {
        audio::shutdownEngine();
        audio::sounds.clear();
        audio::soundGroups.clear();
    }
    // A spider of the world's own kind, in its chunk, on the fake clock.
    SpiderEntity& spawn(const glm::vec4& pos) {
        std::unique_ptr<Entity> entity = Entity::create("Spider", pos);
        auto* spider = dynamic_cast<SpiderEntity*>(entity.get());
        EXPECT_NE(spider, nullptr);
        spider->clock = [this] { return now; };
        EXPECT_TRUE(world.addEntity(entity));
        return *spider;
    }
    void tick(SpiderEntity& spider, int ticks = 1) {
        for (int i = 0; i < ticks; ++i, now += 0.01) spider.update(&world, &player);
    }
    std::vector<ItemEntity*> loot() { return dropped(); }
};

TEST_F(SpiderTest, TheBodyFacesItsDirectionAndTheLegsHangFromIt) {
    SpiderEntity& spider = spawn({4.5f, 70.6f, 4.5f, 4.5f});
    // Facing +z, -z (the turn has no plane there), nothing yet, and slanted in x and w.
    for (const glm::vec4& d : {glm::vec4(0, 0, 1, 0), glm::vec4(0, 0, -1, 0), glm::vec4(0.0f),
                               glm::normalize(glm::vec4(1, 0, -2, 0.5f))}) {
        spider.direction = d;
        const Mat5 frame = spider.bodyFrame(Mat5());
        for (float v : frame.m) ASSERT_TRUE(std::isfinite(v)) << d.z;
        const glm::vec4 facing = glm::length(d) > 0.0f ? d : glm::vec4(0, 0, 1, 0);
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(frame.transform({0, 0, 1, 0}, 0.0f)[i], facing[i], 1e-5f) << d.z;
            EXPECT_NEAR(frame.transform({0, 1, 0, 0}, 0.0f)[i], i == 1 ? 1.0f : 0.0f, 1e-5f);
            EXPECT_NEAR(frame.transform(glm::vec4(0.0f), 1.0f)[i], spider.pos[i], 1e-4f);
        }
    }

    // Each leg leaves the body at 0.6 times its table direction (the middle rings are shorter
    // than 1) and reaches its knee one unit out and up; the lower segment hangs from that knee.
    for (float phase : {0.0f, 0.7f, 2.0f})
        for (int leg = 0; leg < 32; ++leg) {
            SCOPED_TRACE(testing::Message() << "leg " << leg << ", phase " << phase);
            const glm::vec4 d = spiderLegDirections[leg / 8][leg % 8];
            const SpiderLegFrames frames = spiderLegFrames(leg, phase);
            const glm::vec4 start = frames.upper.transform({0, 1, 0, 0}, 1.0f);  // beyond the tip
            const glm::vec4 knee = frames.upper.transform(glm::vec4(0.0f), 1.0f);  // the base
            for (int i = 0; i < 4; ++i) {
                EXPECT_NEAR(start[i], 0.6f * d[i], 1e-5f);
                EXPECT_NEAR(frames.lower.transform(glm::vec4(0.0f), 1.0f)[i], knee[i], 1e-5f);
            }
            EXPECT_NEAR(glm::distance(start, knee), 1.0f, 1e-4f);
            // Unswung (phase 0), the segment rises by 30 degrees plus the lift of +-22.5.
            const float rise = std::asin((knee.y - start.y) / glm::distance(start, knee));
            const float lift = (leg % 2 ? 1.0f : -1.0f) * 3.14159265f / 8.0f;
            if (phase == 0.0f) { EXPECT_NEAR(rise, 3.14159265f / 6.0f + lift, 1e-3f); }
            EXPECT_LT(frames.lower.transform({0, 1, 0, 0}, 1.0f).y, knee.y - 0.99f) << "hangs down";
        }
    // The table: the outer rings at 45 degrees from the body's z axis, the middle ones (shorter
    // than 1) at 60; the first two reach forward, the last two back; one leg of each ring.
    const std::array<glm::vec4, 4> diagonal = {glm::vec4(0.6532815f, 0, 0.7071068f, 0.2705981f),
                                               glm::vec4(0.1913417f, 0, 0.5f, 0.8001031f),
                                               glm::vec4(-0.1913417f, 0, -0.5f, 0.8001031f),
                                               glm::vec4(-0.6532815f, 0, -0.7071068f, 0.2705981f)};
    for (int row = 0; row < 4; ++row)
        EXPECT_NEAR(glm::distance(spiderLegDirections[row][row], diagonal[row]), 0.0f, 1e-6f) << row;
}

TEST_F(SpiderTest, ItChasesWithin25BacksOffInside1AndBitesByDifficulty) {
    hand.fillLayer(69, 3);
    placeAt(player, {4.5f, 70.0f, 4.5f, 4.5f});

    // 25 or more from the player's chest point: it only falls and slides, its legs stay still.
    SpiderEntity& far = spawn({4.5f - 12.0f, 70.9f, 4.5f + 16.0f, 4.5f + 15.0f});
    far.velocity = glm::vec4(0.1f, 0, 0, 0);
    tick(far);
    EXPECT_FLOAT_EQ(far.velocity.x, 0.1f * 0.92f);
    EXPECT_EQ(far.legPhase, 0.0f);
    EXPECT_EQ(far.direction, glm::vec4(0.0f));

    // Within 25: faces the player on the horizontal and accelerates towards it.
    SpiderEntity& near = spawn({4.5f + 6.0f, 70.6f, 4.5f, 4.5f + 8.0f});
    tick(near, 10);
    EXPECT_NEAR(glm::distance(near.direction, glm::vec4(-0.6f, 0, 0, -0.8f)), 0.0f, 1e-5f);
    EXPECT_LT(near.velocity.x, 0.0f);
    EXPECT_LT(near.velocity.w, 0.0f);
    EXPECT_NEAR(near.legPhase, 0.5f, 1e-5f);
    EXPECT_EQ(player.health, 100.0f);

    // Inside 1 of the chest point it pushes away and bites at most every 1.2 s: 5 health on
    // difficulty 1, 15 on difficulty 2.
    for (int difficulty : {1, 2}) {
        SCOPED_TRACE(difficulty);
        world.difficulty = difficulty;
        const float bite = difficulty == 2 ? 15.0f : 5.0f;
        player.health = 100.0f;
        player.lastDamageTime = 0.0;
        SpiderEntity& biter = spawn({4.5f, 70.6f, 4.5f + 0.8f, 4.5f});
        biter.velocity = glm::vec4(0.0f);
        tick(biter);
        EXPECT_GT(biter.velocity.z, 0.0f) << "backs off";
        EXPECT_EQ(player.health, 100.0f - bite);
        EXPECT_DOUBLE_EQ(player.lastDamageTime, now - 0.01);
        const double bitten = player.lastDamageTime;
        while (now < bitten + 1.19) {
            biter.pos.z = 4.5f + 0.8f;  // kept in reach
            tick(biter);
        }
        EXPECT_EQ(player.health, 100.0f - bite);
        now = bitten + 1.2 + 1e-6;
        biter.pos.z = 4.5f + 0.8f;
        tick(biter);
        EXPECT_EQ(player.health, 100.0f - 2 * bite);
        biter.dead = true;
    }
}

TEST_F(SpiderTest, ItJumpsOntoAStepWhateverHeightItWalksAt) {
    hand.fillLayer(63, 0);
    hand.fillLayer(64, 0);
    // Landing at these heights leaves the bottom a few float steps off the grid plane when it is
    // reckoned in double precision.
    for (int floorTop : {1, 31, 64}) {
        SCOPED_TRACE(floorTop);
        hand.fill({-8, floorTop - 1, -8, -8}, {23, floorTop - 1, 23, 23}, 3);
        hand.fill({9, floorTop, -8, -8}, {23, floorTop, 23, 23}, 3);  // a step one block high
        placeAt(player, {13.5f, float(floorTop) + 1.0f, 4.5f, 4.5f});
        SpiderEntity& spider = spawn({3.5f, float(floorTop) + 3.0f, 4.5f, 4.5f});
        bool jumped = false;
        for (int i = 0; i < 600 && spider.pos.x < 10.0f; ++i) {
            tick(spider);
            jumped = jumped || spider.velocity.y > 0.07f;
        }
        EXPECT_TRUE(jumped);
        EXPECT_GT(spider.pos.x, 10.0f) << "over the edge of the step";
        tick(spider, 60);
        EXPECT_NEAR(spider.pos.y - 0.6f, float(floorTop) + 1.0f, 1e-4f) << "standing on the step";
        spider.dead = true;
        hand.fill({-8, floorTop - 1, -8, -8}, {23, floorTop, 23, 23}, 0);
    }
}

TEST_F(SpiderTest, HitsCountEvery0Point7SecondsAndTheDeadDropLootOnce) {
    // The game's sounds on the null device: a sound that played went to the device.
    setenv("ALSOFT_DRIVERS", "null", 0);
    ASSERT_TRUE(audio::startEngine());
    const std::string hurt[] = {"spider_hurt_1.wav", "spider_hurt_2.wav", "spider_hurt_3.wav"};
    for (const std::string& name : {hurt[0], hurt[1], hurt[2], std::string("spider_death.wav")})
        ASSERT_TRUE(audio::loadSound(name)) << name;
    const auto played = [](const std::string& name) { return audio::sounds.at(name).deviceBuffer.name != 0; };
    SpiderEntity& spider = spawn({4.5f, 70.6f, 4.5f, 4.5f});
    EXPECT_FALSE(spider.isFlashing()) << "never hit, whatever the clock says";
    now = 0.3;
    EXPECT_FALSE(spider.isFlashing());

    now = 100.0;
    spider.velocity = glm::vec4(0.02f, 0.0f, 0.03f, 0.01f);
    spider.hit(5.0f, &world);  // a Stick
    EXPECT_EQ(spider.health, 15.0f);
    EXPECT_EQ(spider.velocity, glm::vec4(0.0f)) << "the hit stops it";
    EXPECT_TRUE(spider.isFlashing());
    EXPECT_EQ(std::count_if(std::begin(hurt), std::end(hurt), played), 1) << "one of the hurt sounds";
    EXPECT_FALSE(played("spider_death.wav"));
    now = 100.5;
    spider.hit(5.0f, &world);
    EXPECT_EQ(spider.health, 15.0f) << "0.5 s later the hit does nothing";
    now = 100.7;
    EXPECT_FALSE(spider.isFlashing());
    spider.hit(5.0f, &world);
    EXPECT_EQ(spider.health, 10.0f);
    for (double t : {101.5, 102.25}) {
        now = t;
        spider.hit(5.0f, &world);
    }
    EXPECT_TRUE(spider.dead) << "a Stick needs four hits";
    ASSERT_GE(loot().size(), 1u);
    EXPECT_EQ(loot()[0]->item->getName(), "Hypersilk");
    EXPECT_TRUE(played("spider_death.wav"));
    EXPECT_EQ(audio::soundGroups.size(), 1u) << "the creatures' group only";
    EXPECT_EQ(audio::soundGroups.count("creature"), 1u);
    const size_t dropped = loot().size();
    now = 110.0;
    spider.hit(20.0f, &world);
    EXPECT_EQ(loot().size(), dropped) << "the dead drop nothing more";

    // Loot of many kills with the seeded generator: 1 to 3 Hypersilk each, evenly, and one kill
    // in ten also 1 to 3 Health Potions; each drop at the body, thrown up a little.
    std::map<std::string, std::array<int, 4>> counts;
    int potions = 0;
    constexpr int kills = 3000;
    for (int k = 0; k < kills; ++k) {
        HandWorld arena(glm::ivec3(0), glm::ivec3(0));
        SpiderEntity spider(0);
        spider.pos = glm::vec4(4.5f, 70.6f, 4.5f, 4.5f);
        spider.clock = [] { return 5.0; };
        spider.hit(20.0f, &arena.world);  // a Deadly Pick kills at once
        ASSERT_TRUE(spider.dead);
        for (ItemEntity* drop : arena.entities<ItemEntity>()) {
            ASSERT_GE(drop->item->count, 1u);
            ASSERT_LE(drop->item->count, 3u);
            ++counts[drop->item->getName()][drop->item->count];
            potions += drop->item->getName() == "Health Potion";
            ASSERT_EQ(drop->pos, spider.pos);
            ASSERT_FLOAT_EQ(drop->velocity.y, 0.05f);
        }
    }
    for (int n = 1; n <= 3; ++n) EXPECT_NEAR(counts["Hypersilk"][n], kills / 3, kills / 20) << n;
    EXPECT_NEAR(potions, kills / 10, kills / 40);
    EXPECT_EQ(counts.size(), 2u);
}

TEST_F(SpiderTest, NeitherAMissingCatalogueEntryNorAPositionOffTheGridStopsTheGame) {
    itemInfo = nlohmann::json::object();  // no Hypersilk, no Health Potion
    SpiderEntity& spider = spawn({4.5f, 70.6f, 4.5f, 4.5f});
    EXPECT_NO_THROW(spider.hit(25.0f, &world));
    EXPECT_TRUE(spider.dead);
    EXPECT_TRUE(loot().empty());

    // Far beyond the grid (only a damaged record could put it there) it touches no block and
    // finds no ground, at once.
    hand.fillLayer(69, 3);
    placeAt(player, {4.5f, 70.0f, 4.5f, 4.5f});
    SpiderEntity far(2);
    far.pos = glm::vec4(3.0e9f, 70.6f, -4.0e9f, 2.5e9f);
    far.onGround = true;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 20; ++i) far.update(&world, &player);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_FALSE(far.onGround);
}

}  // namespace
