#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <filesystem>

// "players.json" of a world: one JSON object whose member "" is the local player's record.
// Other members belong to nobody here and are written back as they were read.
namespace playersfile {

// A file larger than this is refused unread, as damaged. The local record with full
// inventories is a few kilobytes; the other members are kept whatever they hold.
constexpr std::uintmax_t maxBytes = std::uintmax_t(16) << 20;

// The file's path inside a world directory.
std::filesystem::path pathIn(const std::filesystem::path& worldDirectory);

// The whole file as an object. A missing, unreadable or invalid file, and valid JSON that is
// not an object, read as {}; `damaged` (when given) tells the last three from a missing file.
nlohmann::json read(const std::filesystem::path& path, bool* damaged = nullptr);

// The local player's record (member ""), null when there is none.
nlohmann::json localRecord(const nlohmann::json& file);

// The file with member "" replaced by `record`, every other member kept.
nlohmann::json withLocalRecord(nlohmann::json file, const nlohmann::json& record);

// Writes compact JSON through a temporary file beside it and a rename, so a crash or a full
// disk never leaves a torn file. A failure prints one line and returns false.
bool write(const std::filesystem::path& path, const nlohmann::json& file);

// Stores the local player's record in the file, keeping every other member. A file that exists
// but cannot be read is not replaced by the record alone: it is kept beside the new one first,
// as "players.json.damaged" or the next free "players.json.damaged.<n>" (one line names it),
// and nothing is written while that fails.
bool writeLocalRecord(const std::filesystem::path& path, const nlohmann::json& record);

}  // namespace playersfile
