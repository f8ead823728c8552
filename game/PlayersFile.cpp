#include "game/PlayersFile.h"

#include "engine/JsonFile.h"
#include "engine/SafeWrite.h"

#include <system_error>

namespace playersfile {

std::filesystem::path pathIn(const std::filesystem::path& worldDirectory) {
    return std::filesystem::path(worldDirectory.string() + "/players.json");
}

nlohmann::json read(const std::filesystem::path& path, bool* damaged) {
    nlohmann::json value;
    const jsonfile::ReadStatus status = jsonfile::read(path, value, maxBytes);
    const bool usable = status == jsonfile::ReadStatus::ok && value.is_object();
    if (damaged) *damaged = !usable && status != jsonfile::ReadStatus::missing;
    return usable ? value : nlohmann::json::object();
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

bool writeLocalRecord(const std::filesystem::path& path, const nlohmann::json& record) {
    bool damaged = false;
    nlohmann::json file = read(path, &damaged);
    if (damaged) {
        const std::filesystem::path kept = keptAsidePath(path);
        std::error_code ec;
        std::filesystem::rename(path, kept, ec);
        if (ec) {
            reportWriteFailure(path, "the unreadable file could not be kept aside: " + ec.message());
            return false;
        }
        reportKeptAside(path, kept);
    }
    return write(path, withLocalRecord(std::move(file), record));
}

}  // namespace playersfile
