// A world's "players.json": the player takes the local record only when it passes the check,
// and then writes a record that passes it again and loads to the same player.
#include "FuzzCatalogues.h"
#include "game/Player.h"
#include "game/PlayerRecordCheck.h"
#include "game/PlayersFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::filesystem::path file = playersfile::pathIn(fuzz::scratch());
    fuzz::writeFile(file, fuzz::text(data, size));
    const nlohmann::json players = playersfile::read(file);
    FUZZ_CHECK(players.is_object());
    const nlohmann::json record = playersfile::localRecord(players);
    if (!playerrecord::problemWith(record).empty()) return 0;

    Player player;
    player.reset();
    player.fromJson(record);
    const nlohmann::json written = player.toJson();
    FUZZ_CHECK(playerrecord::problemWith(written).empty());
    Player again;
    again.reset();
    again.fromJson(written);
    FUZZ_CHECK(again.toJson() == written);

    // Every other member is kept as it was read.
    const nlohmann::json saved = playersfile::withLocalRecord(players, written);
    FUZZ_CHECK(saved.size() == players.size() + (players.contains("") ? 0 : 1));
    return 0;
}
