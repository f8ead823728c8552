#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The "blocks.bin" coding: (id, run) byte pairs over the block array in index order, each run
// 1..255 long and ended early where the id changes.
std::vector<uint8_t> encodeBlockRuns(const uint8_t* blocks, size_t count);

// Fills blocks from pairs, starting at entry `filled`, until the data or the array ends, and
// returns the new fill count, so a file can be fed piece by piece (pieces of even size). A run
// of 0 writes nothing, a run past the end is cut, a trailing half pair is ignored; entries not
// reached keep their value.
size_t decodeBlockRuns(const uint8_t* data, size_t size, uint8_t* blocks, size_t count,
                       size_t filled = 0);
