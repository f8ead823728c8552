// The "blocks.bin" decoder over any bytes, fed whole and in uneven pieces as a file is read.
#include "FuzzSupport.h"
#include "world/Chunk.h"
#include "world/ChunkRunLength.h"

#include <algorithm>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> whole(Chunk::BLOCK_COUNT, 0xAA);
    const size_t filled = decodeBlockRuns(data, size, whole.data(), whole.size());
    FUZZ_CHECK(filled <= whole.size());

    // Piece by piece (even sizes, as the loader reads) gives the same blocks.
    std::vector<uint8_t> pieces(Chunk::BLOCK_COUNT, 0xAA);
    const size_t piece = 2 * (1 + (size > 0 ? data[0] % 64 : 0));
    size_t pieceFilled = 0;
    for (size_t at = 0; at < size && pieceFilled < pieces.size(); at += piece)
        pieceFilled = decodeBlockRuns(data + at, std::min(piece, size - at), pieces.data(),
                                      pieces.size(), pieceFilled);
    FUZZ_CHECK(pieceFilled == filled && pieces == whole);

    // What the decoder filled encodes and decodes back to itself.
    const std::vector<uint8_t> runs = encodeBlockRuns(whole.data(), whole.size());
    FUZZ_CHECK(runs.size() % 2 == 0 && runs.size() <= 2 * whole.size());
    std::vector<uint8_t> again(Chunk::BLOCK_COUNT, 0);
    FUZZ_CHECK(decodeBlockRuns(runs.data(), runs.size(), again.data(), again.size()) == again.size());
    FUZZ_CHECK(again == whole);
    return 0;
}
