// One entity record as a chunk's "entities.json" holds it. What builds writes a record that
// builds again into an entity of the same kind.
#include "FuzzCatalogues.h"
#include "world/World.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    nlohmann::json record;
    if (!jsonfile::parse(fuzz::text(data, size), record)) return 0;
    if (!record.is_object()) return 0;
    std::unique_ptr<Entity> entity = Entity::fromJson(record);
    if (!entity) return 0;

    const nlohmann::json written = entity->toJson();
    std::unique_ptr<Entity> again = Entity::fromJson(written);
    FUZZ_CHECK(again && again->getName() == entity->getName());
    FUZZ_CHECK(again->toJson() == written);

    // A chunk takes it or refuses it, and its position maps to some chunk either way.
    Chunk chunk;
    chunk.addEntity(std::move(entity));
    (void)World::chunkCoords(again->getPos());
    return 0;
}
