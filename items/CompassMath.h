#pragma once

#include <glm/gtc/quaternion.hpp>
#include <glm/vec2.hpp>
#include <glm/vec3.hpp>
#include <glm/vec4.hpp>

#include <string>
#include <vector>

// Numbers of the compass display that tests check without a window.
namespace compassmath {

// One piece of the readout: its text, colour and top-left corner in window pixels.
struct ReadoutPiece {
    std::string text;
    glm::vec3 colour;
    glm::ivec2 pos;
};

// Glyphs of the readout: 8 x 8 pixels drawn at scale 2.
inline constexpr int glyphSize = 8, textScale = 2;

// A coordinate in fixed notation with one digit after the point; a value that rounds to zero
// reads 0.0, whatever its sign.
std::string fixed(float value);

// The two lines, "Position: X: .., Y: .., Z: .., W: .." above "Facing Direction: X: .., Z: ..,
// W: ..", right-aligned 5 pixels from the right edge of a window of the given size and set
// from the right edge leftwards, in drawing order.
std::vector<ReadoutPiece> readout(const glm::vec4& position, const glm::vec4& facing,
                                  const glm::ivec2& windowSize);

// The text of the line whose pieces stand at height y, read from left to right.
std::string lineAt(const std::vector<ReadoutPiece>& pieces, int y);

// The turn of the diagram's (0, 1, 0) onto the unit direction d: none when d points along it,
// a half turn about x when d points against it.
glm::quat needleTurn(const glm::vec3& d);

}  // namespace compassmath
