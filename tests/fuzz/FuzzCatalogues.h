#pragma once

// Included (once per program) by the fuzz targets that build items or entities: the game's
// catalogues are read before the first input.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::loadCatalogues();
    return 0;
}
