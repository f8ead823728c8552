#pragma once

#include <cstddef>

// The loading screen's bar and exit rule, apart from the screen so tests can state them.
namespace loading {

// Loading is done when every chunk of the map has loaded; an empty map is done at once.
bool complete(int chunksLoaded, std::size_t chunkCount);

// The loaded share of the map, 1 for an empty map.
float share(int chunksLoaded, std::size_t chunkCount);

// The bar's next value: it grows by at most 0.01 per tick and drops at once.
float step(float progress, int chunksLoaded, std::size_t chunkCount);

}  // namespace loading
