#include "game/PlayersFile.h"

#include "engine/JsonFile.h"

#include <system_error>

namespace playersfile {

std::filesystem::path pathIn(const std::filesystem::path& worldDirectory) {
    return std::filesystem::path(worldDirectory.string() + "/players.json");
}

nlohmann::json read(const std::filesystem::path& path) {
    nlohmann::json value;
    if (jsonfile::read(path, value) != jsonfile::ReadStatus::ok || !value.is_object())
        return nlohmann::json::object();
    return value;
}

nlohmann::json localRecord(const nlohmann::json& file) {
    if (!file.is_object()) return nullptr;
    auto it = file.find("");
    return it == file.end() ? nlohmann::json() : *it;
}

nlohmann::json withLocalRecord(nlohmann::json file, const nlohmann::json& record) {
    if (!file.is_object()) file = nlohmann::json::object();
    file[""] = record;
    return file;
}

bool write(const std::filesystem::path& path, const nlohmann::json& file) {
    std::error_code ec;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
    return jsonfile::write(path, file);
}

}  // namespace playersfile
