// Draws assets/textures/pixelfont.png: our 8 x 8 bitmap font for printable ASCII (32..126).
// The image is a 16 x 16 grid of 8 x 8 cells indexed by byte value, row by row from the top
// left, which is what "textShader" reads. Glyphs are 5 x 8 drawings placed at column 1 of their
// cell; capitals stand on row 6, descenders use row 7. Other cells stay transparent.

#include "tools/Canvas.h"
#include "tools/FontGlyphs.h"

#include <cstdio>
#include <string>

namespace {

constexpr int cellSize = 8;
constexpr int gridSize = 16;
constexpr int glyphLeft = 1;

}  // namespace

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : "assets/textures/pixelfont.png";
    Canvas canvas(cellSize * gridSize, cellSize * gridSize);
    canvas.fillRect(0, 0, canvas.width, canvas.height, Rgba{0, 0, 0, 0});
    bool drawn[256] = {};
    for (const Glyph& glyph : glyphs) {
        const auto code = static_cast<unsigned char>(glyph.character);
        if (drawn[code]) {
            std::printf("error: glyph %d is drawn twice\n", code);
            return 1;
        }
        drawn[code] = true;
        const int cellX = (code % gridSize) * cellSize, cellY = (code / gridSize) * cellSize;
        for (int row = 0; row < cellSize; ++row) {
            const std::string line = glyph.rows[row];
            if (line.size() + glyphLeft > cellSize) {
                std::printf("error: glyph %d row %d is too wide\n", code, row);
                return 1;
            }
            for (size_t column = 0; column < line.size(); ++column)
                if (line[column] == '#')
                    canvas.set(cellX + glyphLeft + static_cast<int>(column), cellY + row,
                               Rgba{255, 255, 255, 255});
        }
    }
    for (int code = 32; code <= 126; ++code)
        if (!drawn[code]) {
            std::printf("error: glyph %d is missing\n", code);
            return 1;
        }
    return canvas.savePng(path) ? 0 : 1;
}
