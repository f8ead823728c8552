// A world's "info.json" as the world list reads it: the world is listed under the string it
// names, or skipped, and the list never fails.
#include "FuzzSupport.h"
#include "screens/WorldFolders.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::filesystem::path root = fuzz::scratch() / "worlds";
    fuzz::writeFile(root / "some world" / "info.json", fuzz::text(data, size));
    const std::vector<worlds::ListedWorld> listed = worlds::listWorlds(root);
    FUZZ_CHECK(listed.size() <= 1);
    if (listed.empty()) return 0;
    nlohmann::json info;
    FUZZ_CHECK(jsonfile::parse(fuzz::text(data, size), info));
    FUZZ_CHECK(info.is_object() && info.value("name", nlohmann::json()) == listed[0].name);
    return 0;
}
