#pragma once

#include <glm/ext/matrix_clip_space.hpp>
#include <glm/ext/matrix_transform.hpp>
#include <glm/vec2.hpp>

namespace gui {

// Maps window pixels to the screen: origin at the top left, y down, as every widget is laid
// out. The offset moves what is drawn, for a viewport that starts off the window's corner.
inline glm::mat4 pixelProjection(int width, int height, glm::ivec2 offset = {0, 0}) {
    const glm::mat4 flat = glm::ortho(0.0f, float(width), float(height), 0.0f, -1.0f, 1.0f);
    return glm::translate(flat, glm::vec3(float(offset.x), float(offset.y), 0.0f));
}

}  // namespace gui
