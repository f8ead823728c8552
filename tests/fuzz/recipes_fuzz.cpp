// "recipes.json": loading never throws, and listing what plenty of every catalogue item could
// craft gives entries whose items are all made and whose needs are at least one each.
#include "FuzzCatalogues.h"
#include "items/Crafting.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::filesystem::path file = fuzz::scratch() / "recipes.json";
    fuzz::writeFile(file, fuzz::text(data, size));
    if (!crafting::loadRecipes(file.string())) return 0;
    FUZZ_CHECK(recipes.is_object());

    crafting::Totals totals;
    for (const auto& [name, definition] : itemInfo.items()) totals[name] = 1000;
    for (const crafting::Entry& entry : crafting::listCraftable(recipes, totals)) {
        FUZZ_CHECK(entry.result != nullptr);
        FUZZ_CHECK(entry.ingredients.size() == entry.needs.size());
        for (const crafting::Ingredient& need : entry.needs) FUZZ_CHECK(need.count >= 1);
    }
    return 0;
}
