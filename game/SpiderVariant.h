#pragma once

#include <cstdint>

// The body variant of a new spider, 0 to 4: min(r mod 6, 4) for a random 32-bit r, so variant 4
// (red with white cells) is twice as common as each of the others. Spiders are made on the
// world's loader threads: the roll uses the calling thread's own generator.
int spiderVariantOf(uint32_t r);
int rollSpiderVariant();
