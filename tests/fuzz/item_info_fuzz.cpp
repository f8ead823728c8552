// "itemInfo.json": the catalogue loads or is refused as a whole, and every item it defines can
// be made, written and read back under its own name.
#include "FuzzSupport.h"
#include "items/BlockItem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::filesystem::path file = fuzz::scratch() / "itemInfo.json";
    fuzz::writeFile(file, fuzz::text(data, size));
    BlockItem::blockNames.clear();
    if (!Item::loadItemInfo(file.string())) return 0;
    FUZZ_CHECK(itemInfo.is_object());
    for (const auto& [name, definition] : itemInfo.items()) {
        std::unique_ptr<Item> item = Item::create(name, 5);
        if (!item) continue;
        FUZZ_CHECK(item->count <= item->getMaxStack());
        // A name that loads back, never one made up for an unknown block.
        std::unique_ptr<Item> again = Item::fromJson(item->toJson());
        FUZZ_CHECK(again && again->getName() == item->getName());
    }
    return 0;
}
