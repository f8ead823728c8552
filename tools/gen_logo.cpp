// Draws assets/textures/logo.png: the game's name, 256 x 40 pixels, lettered in the glyphs of our
// bitmap font at four times their size. The letters are filled with a warm gradient, split into a
// cyan and a magenta edge as the menus' shaking captions are, outlined and dropped onto a shadow.
// The title screen draws it at up to four times this size.

#include "tools/Canvas.h"
#include "tools/FontGlyphs.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int width = 256, height = 40;
constexpr int pixel = 4;       // one font pixel is a 4 x 4 block
constexpr int advance = 6;     // font pixels from one letter to the next
constexpr int outline = 2;     // outline thickness in image pixels
constexpr int top = 4;         // where the letters' first row starts
const char* const name = "HOLLOWMERE";

// Which image pixels the letters cover.
std::vector<bool> letterMask(int& left) {
    const int letters = int(std::string(name).size());
    const int textWidth = (letters * advance - 1) * pixel;
    left = (width - textWidth) / 2;
    std::vector<bool> mask(size_t(width) * height, false);
    for (int i = 0; i < letters; ++i) {
        const Glyph* glyph = findGlyph(name[i]);
        if (!glyph) continue;
        for (int row = 0; row < 8; ++row)
            for (int column = 0; glyph->rows[row][column]; ++column) {
                if (glyph->rows[row][column] != '#') continue;
                const int x0 = left + (i * advance + column) * pixel, y0 = top + row * pixel;
                for (int y = y0; y < y0 + pixel; ++y)
                    for (int x = x0; x < x0 + pixel; ++x)
                        if (x >= 0 && y >= 0 && x < width && y < height) mask[size_t(y) * width + x] = true;
            }
    }
    return mask;
}

bool covered(const std::vector<bool>& mask, int x, int y) {
    return x >= 0 && y >= 0 && x < width && y < height && mask[size_t(y) * width + x];
}

bool near(const std::vector<bool>& mask, int x, int y, int reach) {
    for (int dy = -reach; dy <= reach; ++dy)
        for (int dx = -reach; dx <= reach; ++dx)
            if (covered(mask, x + dx, y + dy)) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : "assets/textures/logo.png";
    int left = 0;
    const std::vector<bool> mask = letterMask(left);
    Canvas canvas(width, height);
    canvas.fillRect(0, 0, width, height, Rgba{0, 0, 0, 0});
    const float letterHeight = 7.0f * pixel;  // capitals use rows 0 to 6

    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (covered(mask, x, y)) {
                // Warm white at the top of the letters to amber at their feet, a lighter top edge
                // on every font pixel.
                const float t = std::min((y - top) / letterHeight, 1.0f);
                const bool highlight = (y - top) % pixel == 0;
                canvas.set(x, y, {255, clampByte(250 - 70 * t + (highlight ? 5 : 0)),
                                  clampByte(225 - 150 * t + (highlight ? 30 : 0)), 255});
            } else if (covered(mask, x + outline, y)) {
                canvas.set(x, y, {40, 230, 255, 255});  // cyan left edge
            } else if (covered(mask, x - outline, y)) {
                canvas.set(x, y, {240, 60, 230, 255});  // magenta right edge
            } else if (near(mask, x, y, outline)) {
                canvas.set(x, y, {28, 16, 52, 255});
            } else if (near(mask, x - 4, y - 4, outline)) {
                canvas.set(x, y, {16, 8, 32, 150});  // shadow, down and to the right
            }
        }
    if (!canvas.savePng(path)) return 1;
    std::printf("wrote %s\n", path.c_str());
    return 0;
}
