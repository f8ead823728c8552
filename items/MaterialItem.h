#pragma once

#include "engine/MeshRenderer.h"
#include "items/Item.h"

#include <string>

// Every item that is neither a block nor a tool: crafting materials, the compass, the 4D
// glasses, the Klein bottle and the health potion. Told apart by name, like tools; a name the
// game does not know makes an item that draws no model and keeps the icon shown last.
class MaterialItem : public Item {
public:
    // What one Health Potion gives back, up to full health.
    static constexpr float potionHealing = 20.0f;
    static constexpr float fullHealth = 100.0f;

    std::string name;

    explicit MaterialItem(std::string name) : name(std::move(name)) {}

    std::string getName() const override { return name; }
    void renderIcon(const glm::ivec2& pos) override;
    // The model of the name; held in the hand or lying in the world.
    void render(const Mat5& mv, bool held) override;
    bool isSpecial() const override;
    bool canStackWith(const std::unique_ptr<Item>& other) const override;
    // A right click with a Health Potion below full health drinks one and throws out its empty
    // Klein Bottle. Always false: the caller removes a used-up stack.
    bool use(World* world, Player* player, int button) override;
    std::unique_ptr<Item> clone() const override { return std::make_unique<MaterialItem>(name); }

    // The icon sprite and every model; GL context needed. Earlier uploads are released first.
    static void initRender();
    // The two meshes of the glasses.
    static void buildMeshes();

    static MeshRenderer rockModel;
    static MeshRenderer hypersilkModel;
    static MeshRenderer barModel;
    static MeshRenderer kleinBottleModel;
    static MeshRenderer potionModel;
    static MeshRenderer glassesFrame;
    static MeshRenderer glassesLenses;
};
