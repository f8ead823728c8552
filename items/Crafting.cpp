#include "items/Crafting.h"

#include "items/JsonCount.h"

#include "engine/JsonFile.h"

#include <cassert>
#include <cstdio>
#include <map>

using nlohmann::json;

json recipes;

namespace crafting {

namespace {

std::optional<Ingredient> readIngredient(const json& record) {
    if (!record.is_object()) return std::nullopt;
    auto name = record.find("name");
    auto count = record.find("count");
    if (name == record.end() || !name->is_string() || count == record.end()) return std::nullopt;
    if (count->is_boolean()) return std::nullopt;
    std::optional<uint64_t> n = jsonCount(*count);
    if (!n || *n == 0) return std::nullopt;
    return Ingredient{name->get<std::string>(), *n};
}

bool hasResultRecord(const json& recipe) {
    auto result = recipe.find("result");
    return result != recipe.end() && result->is_object();
}

}  // namespace

bool loadRecipes(const std::string& path) {
    recipes = nullptr;
    // Text after the first complete value is not examined.
    std::string error;
    const jsonfile::ReadStatus status = jsonfile::read(path, recipes, jsonfile::maxDataFileBytes, &error);
    if (status == jsonfile::ReadStatus::missing) return false;
    if (status != jsonfile::ReadStatus::ok) {
        std::printf("Cannot read %s\n", error.c_str());
        recipes = nullptr;
        return false;
    }
    if (!recipes.is_object()) return false;
    for (const auto& [label, recipe] : recipes.items())
        if (!readIngredients(recipe) || !hasResultRecord(recipe))
            std::printf("Recipe \"%s\" in %s is malformed and is left out\n", label.c_str(),
                        path.c_str());
    return true;
}

std::optional<std::vector<Ingredient>> readIngredients(const json& recipe) {
    if (!recipe.is_object()) return std::nullopt;
    std::vector<Ingredient> ingredients;
    auto list = recipe.find("recipe");
    if (list == recipe.end()) return ingredients;
    if (!list->is_array()) return std::nullopt;
    for (const json& record : *list) {
        std::optional<Ingredient> ingredient = readIngredient(record);
        if (!ingredient) return std::nullopt;
        ingredients.push_back(std::move(*ingredient));
    }
    return ingredients;
}

void addTotals(InventoryManager& container, Totals& totals) {
    for (const auto& slot : container)
        if (slot) totals[slot->getName()] += slot->count;
}

uint64_t timesCovered(const std::vector<Ingredient>& ingredients, const Totals& totals) {
    uint64_t times = 0;
    bool set = false;
    for (const Ingredient& ingredient : ingredients) {
        auto total = totals.find(ingredient.name);
        uint64_t q = total == totals.end() ? 0 : total->second / ingredient.count;
        if (q == 0) return 0;
        if (!set || q < times) times = q;
        set = true;
    }
    return times;
}

std::vector<Entry> listCraftable(const json& recipes, const Totals& totals) {
    std::vector<Entry> entries;
    if (!recipes.is_object()) return entries;
    for (const auto& [label, recipe] : recipes.items()) {
        std::optional<std::vector<Ingredient>> needs = readIngredients(recipe);
        if (!needs || !hasResultRecord(recipe) || timesCovered(*needs, totals) == 0) continue;

        Entry entry;
        entry.result = Item::fromJson(recipe["result"]);
        // A result of nothing, or of an item that cannot be made, is never offered.
        if (!entry.result || entry.result->count == 0) continue;
        bool allMade = true;
        for (const json& record : recipe["recipe"]) {
            entry.ingredients.push_back(Item::fromJson(record));
            allMade = allMade && entry.ingredients.back();
        }
        if (!allMade) continue;
        entry.needs = std::move(*needs);
        entries.push_back(std::move(entry));
    }
    return entries;
}

namespace {

std::map<std::string, uint64_t> summedNeeds(const Entry& entry) {
    std::map<std::string, uint64_t> needs;
    for (const Ingredient& ingredient : entry.needs) needs[ingredient.name] += ingredient.count;
    return needs;
}

// The result joins the cursor item, or nothing happens.
bool handOut(Entry& entry, std::unique_ptr<Item>& cursorItem) {
    if (!entry.result) return false;
    if (!cursorItem) {
        cursorItem = std::move(entry.result);
        return true;
    }
    const uint64_t max = cursorItem->getMaxStack();
    const uint64_t sum = uint64_t(cursorItem->count) + entry.result->count;
    if (entry.result->count == 0 || cursorItem->count >= max ||
        !cursorItem->canStackWith(entry.result) || sum > max)
        return false;
    cursorItem->count = uint32_t(sum);
    entry.result.reset();
    return true;
}

}  // namespace

bool craft(Entry& entry, InventoryManager& first, InventoryManager& second,
           std::unique_ptr<Item>& cursorItem) {
    // Capture: the slots that would be used, front to back, first's before second's.
    std::map<std::string, uint64_t> needs = summedNeeds(entry);
    std::vector<std::unique_ptr<Item>*> captured;
    for (InventoryManager* container : {&first, &second})
        for (auto& slot : *container) {
            if (!slot) continue;
            auto need = needs.find(slot->getName());
            if (need == needs.end()) continue;
            captured.push_back(&slot);
            if (slot->count < need->second)
                need->second -= slot->count;
            else
                needs.erase(need);
        }
    if (!needs.empty()) return false;
    if (!handOut(entry, cursorItem)) return false;

    // Consume: each slot emptied before the next is touched, only the last taken from partly.
    needs = summedNeeds(entry);
    for (std::unique_ptr<Item>* slot : captured) {
        auto need = needs.find((*slot)->getName());
        if (need == needs.end()) continue;
        if ((*slot)->count < need->second) {
            need->second -= (*slot)->count;
            slot->reset();
        } else {
            (*slot)->count -= uint32_t(need->second);
            if ((*slot)->count == 0) slot->reset();
            needs.erase(need);
        }
    }
    assert(needs.empty() && "remainingCapturedItems.empty()");
    return true;
}

}  // namespace crafting
