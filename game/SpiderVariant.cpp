#include "game/SpiderVariant.h"

#include "engine/ThreadRandom.h"

#include <algorithm>

int spiderVariantOf(uint32_t r) { return int(std::min<uint32_t>(r % 6u, 4u)); }

int rollSpiderVariant() { return spiderVariantOf(threadrandom::next32()); }
