#include "screens/LoadingProgress.h"

#include <algorithm>

namespace loading {

bool complete(int chunksLoaded, std::size_t chunkCount) {
    return chunksLoaded >= 0 && std::size_t(chunksLoaded) >= chunkCount;
}

float share(int chunksLoaded, std::size_t chunkCount) {
    if (chunkCount == 0) return 1.0f;
    return std::clamp(float(chunksLoaded) / float(chunkCount), 0.0f, 1.0f);
}

float step(float progress, int chunksLoaded, std::size_t chunkCount) {
    float target = share(chunksLoaded, chunkCount);
    return target - progress > 0.01f ? progress + 0.01f : target;
}

}  // namespace loading
