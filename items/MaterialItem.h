#pragma once

#include "engine/MeshRenderer.h"
#include "items/Item.h"

#include <string>

// Every item that is neither a block nor a tool: crafting materials and the few things made
// from them. Told apart by name, like tools. So far a material only lies, stacks and crafts, and
// only the Rock has a model; the others draw their icon alone.
class MaterialItem : public Item {
public:
    std::string name;

    explicit MaterialItem(std::string name) : name(std::move(name)) {}

    std::string getName() const override { return name; }
    void renderIcon(const glm::ivec2& pos) override;
    void render(const Mat5& mv, bool held) override;
    bool isSpecial() const override;
    bool canStackWith(const std::unique_ptr<Item>& other) const override;
    bool use(World*, Player*, int) override { return false; }
    std::unique_ptr<Item> clone() const override { return std::make_unique<MaterialItem>(name); }

    // The icon sprite and the models; GL context needed.
    static void initRender();

    static MeshRenderer rockModel;
};
