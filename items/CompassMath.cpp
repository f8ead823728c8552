#include "items/CompassMath.h"

#include <algorithm>
#include <cstdio>

namespace compassmath {

namespace {

const glm::vec3 white(1.0f), green(0.0f, 1.0f, 0.0f), red(1.0f, 0.0f, 0.0f), blue(0.2f, 0.2f, 1.0f);

// Sets pieces from the pen leftwards: each moves the pen by its own width before it is placed.
class LineSetter {
public:
    LineSetter(std::vector<ReadoutPiece>& out, int right, int y) : out(out), pen(right), y(y) {}
    LineSetter& add(const std::string& text, const glm::vec3& colour) {
        pen -= int(text.size()) * textScale * glyphSize;
        out.push_back({text, colour, {pen, y}});
        return *this;
    }

private:
    std::vector<ReadoutPiece>& out;
    int pen, y;
};

}  // namespace

std::string fixed(float value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", double(value));
    const std::string result = text;
    return result == "-0.0" ? "0.0" : result;
}

std::vector<ReadoutPiece> readout(const glm::vec4& position, const glm::vec4& facing,
                                  const glm::ivec2& windowSize) {
    const int right = windowSize.x - 5;
    const int ch = glyphSize;
    std::vector<ReadoutPiece> pieces;
    LineSetter(pieces, right, windowSize.y - (4 * ch + 20))
        .add("W: " + fixed(position.w), green)
        .add(", ", white)
        .add("Z: " + fixed(position.z), red)
        .add(", ", white)
        .add("Y: " + fixed(position.y), white)
        .add(", ", white)
        .add("X: " + fixed(position.x), blue)
        .add("Position: ", white);
    LineSetter(pieces, right, windowSize.y - 2 * ch - 5)
        .add("W: " + fixed(facing.w), green)
        .add(", ", white)
        .add("Z: " + fixed(facing.z), red)
        .add(", ", white)
        .add("X: " + fixed(facing.x), blue)
        .add("Facing Direction: ", white);
    return pieces;
}

std::string lineAt(const std::vector<ReadoutPiece>& pieces, int y) {
    std::vector<const ReadoutPiece*> line;
    for (const ReadoutPiece& piece : pieces)
        if (piece.pos.y == y) line.push_back(&piece);
    std::sort(line.begin(), line.end(),
              [](const ReadoutPiece* a, const ReadoutPiece* b) { return a->pos.x < b->pos.x; });
    std::string text;
    for (const ReadoutPiece* piece : line) text += piece->text;
    return text;
}

glm::quat needleTurn(const glm::vec3& d) {
    const glm::vec3 up(0.0f, 1.0f, 0.0f);
    const float c = glm::dot(up, d);
    if (c >= 0.999999f) return glm::quat(1.0f, 0.0f, 0.0f, 0.0f);
    if (c < -0.999999f) return glm::quat(0.0f, 1.0f, 0.0f, 0.0f);  // half a turn about x
    const glm::vec3 axis = glm::cross(up, d);
    return glm::normalize(glm::quat(1.0f + c, axis.x, axis.y, axis.z));
}

}  // namespace compassmath
