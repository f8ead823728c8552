#include "game/PlayersFile.h"

#include <cstdio>
#include <fstream>
#include <system_error>

namespace playersfile {

std::filesystem::path pathIn(const std::filesystem::path& worldDirectory) {
    return std::filesystem::path(worldDirectory.string() + "/players.json");
}

nlohmann::json read(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return nlohmann::json::object();
    nlohmann::json value = nlohmann::json::parse(in, nullptr, false);
    if (!value.is_object()) return nlohmann::json::object();
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
    std::filesystem::path temporary = path;
    temporary += ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) out << file.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
        out.flush();
        if (!out) {
            std::printf("unable to write %s\n", path.string().c_str());
            std::filesystem::remove(temporary, ec);
            return false;
        }
    }
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::printf("unable to write %s: %s\n", path.string().c_str(), ec.message().c_str());
        std::filesystem::remove(temporary, ec);
        return false;
    }
    return true;
}

}  // namespace playersfile
