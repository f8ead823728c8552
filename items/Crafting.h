#pragma once

#include "items/InventoryManager.h"
#include "items/Item.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// The parsed "recipes.json": label -> {"recipe": [item records], "result": item record}.
// Null until loaded; never written back.
extern nlohmann::json recipes;

// The crafting rules of the inventory screen, apart from its drawing.
namespace crafting {

struct Ingredient {
    std::string name;
    uint64_t count = 0;  // at least 1
};

// A craftable recipe as the panel shows it.
struct Entry {
    // Display copies, one per ingredient record, in file order.
    std::vector<std::unique_ptr<Item>> ingredients;
    // What crafting hands out; null once handed out.
    std::unique_ptr<Item> result;
    // What crafting takes, straight from the records (display copies are clamped to a stack).
    std::vector<Ingredient> needs;
};

using Totals = std::unordered_map<std::string, uint64_t>;

// Parses the file into `recipes`; true when it holds a JSON object. A missing file is no
// error and prints nothing; malformed recipes are reported and never listed. Never throws.
bool loadRecipes(const std::string& path = "recipes.json");

// The ingredient records of one recipe: empty when it has none, null when the recipe or a
// record is malformed (no string "name", or a "count" that is not a number of at least 1).
std::optional<std::vector<Ingredient>> readIngredients(const nlohmann::json& recipe);

// Adds the count of every stack of the container to the total of its name.
void addTotals(InventoryManager& container, Totals& totals);
// How often the ingredients are covered, each record on its own; 0 when not craftable.
uint64_t timesCovered(const std::vector<Ingredient>& ingredients, const Totals& totals);
// The recipes the totals cover, in recipe order, skipping any whose items cannot be made.
std::vector<Entry> listCraftable(const nlohmann::json& recipes, const Totals& totals);

// Crafts the entry once: takes the ingredients from first's slots, then second's, and puts
// the result into cursorItem. False and nothing changed when an ingredient is missing or the
// cursor item cannot take the result.
bool craft(Entry& entry, InventoryManager& first, InventoryManager& second,
           std::unique_ptr<Item>& cursorItem);

}  // namespace crafting
