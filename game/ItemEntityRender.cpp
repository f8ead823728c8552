#include "engine/MeshRenderer.h"
#include "game/GlassesOutline.h"
#include "game/ItemEntity.h"

#include <cmath>

MeshRenderer itemEntityOutline;

Mat5 ItemEntity::modelView(const Mat5& view) const {
    const float bob = (std::sin(spin) + 1.0f) * 0.1f;
    const float diagonal = 1.0f / std::sqrt(2.0f);
    const Bivector4 plane = wedge4({1.0f, 0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, diagonal, diagonal});
    const Mat5 rotation = Rotor4(plane, spin).toMat5();
    return view * translate4(pos + glm::vec4(0.0f, bob, 0.0f, 0.0f)) * rotation * scale4(0.2f);
}

void ItemEntity::render(World*, const Mat5& view, bool glasses) {
    if (!item) return;
    const Mat5 mv = modelView(view);
    item->render(mv, false);
    if (glasses) drawGlassesOutline(itemEntityOutline, mv, glm::vec4(0.0f, 1.0f, 1.0f, 1.0f));
}
