// A saved item record, as inventories, dropped items and recipes hold it. What builds is a
// stack within its limits that writes a record building the same stack.
#include "FuzzCatalogues.h"
#include "items/Inventory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    nlohmann::json record;
    if (!jsonfile::parse(fuzz::text(data, size), record)) return 0;
    std::unique_ptr<Item> item = Item::fromJson(record);
    if (item) {
        FUZZ_CHECK(item->count <= item->getMaxStack());
        const nlohmann::json written = item->toJson();
        std::unique_ptr<Item> again = Item::fromJson(written);
        FUZZ_CHECK(again && again->getName() == item->getName() && again->count == item->count);
        FUZZ_CHECK(again->canStackWith(item) == item->canStackWith(again));
    }

    // The same value as a whole inventory array: whatever does not build is kept as read.
    Inventory inventory(glm::ivec2(4, 8));
    inventory.fromJson(record.is_array() ? record : nlohmann::json::array({record}));
    const nlohmann::json saved = inventory.toJson();
    FUZZ_CHECK(saved.is_array() && saved.size() == inventory.slots.size());
    return 0;
}
