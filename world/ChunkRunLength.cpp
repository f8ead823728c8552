#include "world/ChunkRunLength.h"

#include <algorithm>
#include <cstring>

std::vector<uint8_t> encodeBlockRuns(const uint8_t* blocks, size_t count) {
    std::vector<uint8_t> out;
    out.reserve(1024);
    size_t i = 0;
    while (i < count) {
        uint8_t id = blocks[i];
        size_t run = 1;
        while (run < 255 && i + run < count && blocks[i + run] == id) ++run;
        out.push_back(id);
        out.push_back(uint8_t(run));
        i += run;
    }
    return out;
}

size_t decodeBlockRuns(const uint8_t* data, size_t size, uint8_t* blocks, size_t count,
                       size_t filled) {
    for (size_t p = 0; p + 1 < size && filled < count; p += 2) {
        size_t run = std::min<size_t>(data[p + 1], count - filled);
        std::memset(blocks + filled, data[p], run);
        filled += run;
    }
    return filled;
}
