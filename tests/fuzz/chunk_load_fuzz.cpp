// A whole chunk directory from disk: the input holds both files ("entities.json" first, its
// length in the first two bytes, then "blocks.bin"). Whatever loads must save and load again
// to the same blocks and entity count, and nothing may throw.
#include "FuzzCatalogues.h"
#include "world/Chunk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t listSize = std::min<size_t>(data[0] | size_t(data[1]) << 8, size - 2);
    const std::string_view list = fuzz::text(data + 2, listSize);
    const std::string_view blocks = fuzz::text(data + 2 + listSize, size - 2 - listSize);

    const std::filesystem::path chunks = fuzz::scratch() / "chunks";
    Chunk chunk(glm::i64vec3(-1, 2, 3));
    const std::filesystem::path dir = chunk.getDirectory(chunks);
    fuzz::writeFile(Chunk::entitiesPath(dir), list);
    fuzz::writeFile(Chunk::blocksPath(dir), blocks);

    const bool loaded = chunk.load(chunks);
    FUZZ_CHECK(loaded);
    chunk.unchanged = false;
    chunk.save(chunks);

    Chunk again(chunk.coords);
    FUZZ_CHECK(again.load(chunks));
    FUZZ_CHECK(again.blocks == chunk.blocks);
    const auto count = [](const Chunk& c) {
        return c.entities.size() + c.blockEntities.size() + c.unbuiltEntityRecords.size();
    };
    // Creatures are not saved; everything else comes back.
    size_t creatures = 0;
    for (const auto& entity : chunk.entities) creatures += !entity->isPersistent();
    FUZZ_CHECK(count(again) == count(chunk) - creatures || chunk.storedEntitiesDamaged);
    return 0;
}
