// Writes the seed corpora of the fuzz targets into tests/fuzz/corpus/<target>/: files as the game
// itself writes them (through its own writers, from a terrain chunk with a chest and dropped
// items, a player with full inventories, the default settings, a new world), the shipped
// catalogues, and for every JSON target one value nested 100,000 levels deep. Run from the
// repository root; the output is deterministic.
#include "engine/JsonFile.h"
#include "game/Entity.h"
#include "game/ItemEntity.h"
#include "game/Player.h"
#include "game/PlayersFile.h"
#include "items/Item.h"
#include "screens/Settings.h"
#include "screens/WorldFolders.h"
#include "world/Chunk.h"
#include "world/ChunkRunLength.h"
#include "world/TerrainGenerator.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

const fs::path corpora = "tests/fuzz/corpus";

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void seed(const std::string& target, const std::string& name, const std::string& bytes) {
    fs::create_directories(corpora / target);
    std::ofstream(corpora / target / name, std::ios::binary) << bytes;
}

std::string nested(int levels) { return std::string(levels, '[') + std::string(levels, ']'); }

// The chunk-load target's input: the entity list's length in two bytes, the list, the blocks.
std::string chunkInput(const std::string& list, const std::string& blocks) {
    std::string input{char(list.size() & 0xFF), char(list.size() >> 8 & 0xFF)};
    return input + list + blocks;
}

std::unique_ptr<Item> stack(const char* name, unsigned count) {
    std::unique_ptr<Item> item = Item::create(name, count);
    if (!item) std::printf("warning: no \"%s\" in itemInfo.json\n", name);
    return item;
}

// A generated chunk with a chest holding a few stacks and two dropped items, saved by the game.
void chunkSeeds(const fs::path& scratch) {
    Chunk chunk(glm::i64vec3(16, -13, 5));
    TerrainGenerator(1234567890).generateChunk(chunk.blocks, chunk.coords);
    chunk.unchanged = false;
    std::unique_ptr<Entity> chest = Entity::create("Chest", glm::vec4(130, 60, -100, 44));
    if (chest) chunk.addEntity(std::move(chest));
    const char* dropped[] = {"Stick", "Rock"};
    for (int i = 0; i < 2; ++i)
        if (auto drop = ItemEntity::make(stack(dropped[i], 3 + i), glm::vec4(131.5f + i, 61, -99.5f, 44.5f),
                                         glm::vec4(0)))
            chunk.addEntity(std::move(drop));
    chunk.save(scratch / "chunks");
    const fs::path dir = chunk.getDirectory(scratch / "chunks");
    const std::string list = contentOf(Chunk::entitiesPath(dir));
    const std::string blocks = contentOf(Chunk::blocksPath(dir));

    seed("block_file", "terrain.bin", blocks);
    Chunk air;
    const std::vector<uint8_t> airRuns = encodeBlockRuns(air.blocks.data(), air.blocks.size());
    seed("block_file", "air.bin", std::string(airRuns.begin(), airRuns.end()));
    seed("chunk_load", "terrain_with_chest_and_items", chunkInput(list, blocks));
    seed("chunk_load", "nested_list", chunkInput(nested(30000), blocks));
    for (const json& record : json::parse(list))
        seed("entity_record", record["name"].get<std::string>() + ".json", record.dump());
    seed("entity_record", "nested.json", nested(100000));
    for (const json& record : json::parse(list))
        if (record["name"] == "Item") seed("item_record", "dropped.json", record["attributes"]["item"].dump());
}

void playerSeeds(const fs::path& scratch) {
    Player player;
    player.reset();
    player.hotbar.slots[0] = stack("Iron Pick", 1);
    player.hotbar.slots[1] = stack("Stick", 42);
    player.inventory.slots[3] = stack("Rock", 7);
    const fs::path file = playersfile::pathIn(scratch / "world");
    playersfile::write(file, playersfile::withLocalRecord(json::object(), player.toJson()));
    seed("players_record", "players.json", contentOf(file));
    seed("players_record", "nested.json", "{\"\":" + nested(100000) + "}");
    seed("item_record", "inventory.json", player.hotbar.toJson().dump());
    seed("item_record", "tool.json", player.hotbar.slots[0] ? player.hotbar.slots[0]->toJson().dump() : "");
    seed("item_record", "nested.json", nested(100000));
}

void dataFileSeeds(const fs::path& scratch) {
    seed("item_info", "itemInfo.json", contentOf("itemInfo.json"));
    seed("item_info", "nested.json", "{\"Stick\":" + nested(100000) + "}");
    seed("recipes", "recipes.json", contentOf("recipes.json"));
    seed("recipes", "nested.json", "{\"a\":{\"recipe\":" + nested(100000) + "}}");
    seed("settings", "settings.json", jsonfile::dump(settingsToJson(Settings())));
    seed("settings", "defaultSettings.json", contentOf("defaultSettings.json"));
    seed("settings", "nested.json", "{\"FOV\":" + nested(100000) + "}");
    const auto folder = worlds::createWorldFolder(scratch / "worlds", "New World");
    if (folder) seed("world_info", "info.json", contentOf(*folder / "info.json"));
    seed("world_info", "nested.json", "{\"name\":" + nested(100000) + "}");
}

}  // namespace

int main() {
    if (!Item::loadItemInfo("itemInfo.json") || !loadEntityInfo("entityInfo.json")) {
        std::fputs("run from the repository root: the catalogues are missing\n", stderr);
        return 1;
    }
    const fs::path scratch = fs::temp_directory_path() / "hollowmere-fuzz-seeds";
    fs::remove_all(scratch);
    fs::remove_all(corpora);
    chunkSeeds(scratch);
    playerSeeds(scratch);
    dataFileSeeds(scratch);
    fs::remove_all(scratch);
    std::printf("seed corpora written to %s\n", corpora.string().c_str());
    return 0;
}
