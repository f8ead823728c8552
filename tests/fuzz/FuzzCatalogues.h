#pragma once

// Included (once per program) by the fuzz targets that build items or entities: the game's
// catalogues of items and entities are read from the repository root before the first input.
#include "FuzzSupport.h"
#include "game/Entity.h"
#include "items/Item.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FUZZ_CHECK(Item::loadItemInfo("itemInfo.json"));
    FUZZ_CHECK(loadEntityInfo("entityInfo.json"));
    return 0;
}
