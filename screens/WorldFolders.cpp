#include "screens/WorldFolders.h"

#include "engine/JsonFile.h"
#include "engine/SafeWrite.h"
#include "platform/Platform.h"

#include <cctype>
#include <cstdio>
#include <system_error>

namespace fs = std::filesystem;
using nlohmann::json;

namespace worlds {

namespace {

// Enough for anyone's copies of one name; the search ends there rather than looping forever.
constexpr int maxSuffix = 10000;

// The longest name of a file or folder that the usual file systems take.
constexpr size_t maxFolderNameBytes = 255;

// The world's name from its folder, when it is a world. A folder with an "info.json" that
// cannot be read as one is not listed either, but says so in one line.
std::optional<std::string> worldNameIn(const fs::path& folder) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return std::nullopt;
    const fs::path info = folder / "info.json";
    if (fs::is_directory(info, ec)) return std::nullopt;
    json value;
    std::string why;
    const jsonfile::ReadStatus status = jsonfile::read(info, value, maxInfoBytes, &why);
    if (status == jsonfile::ReadStatus::missing) return std::nullopt;
    auto name = value.find("name");
    if (status == jsonfile::ReadStatus::ok)
        why = !value.is_object() ? "info.json is not an object"
              : name == value.end() || !name->is_string() ? "info.json has no name"
                                                          : "";
    if (!why.empty()) {
        std::printf("The world in %s is not listed: %s\n", folder.string().c_str(), why.c_str());
        return std::nullopt;
    }
    return name->get<std::string>();
}

// The folder name for suffix n ("(n)", none for 0), the base cut short where the whole would
// not fit in a folder name. Folder names are ASCII (see folderNameFor): a cut splits no character.
std::string numberedFolderName(const std::string& base, int n) {
    const std::string suffix = n == 0 ? "" : "(" + std::to_string(n) + ")";
    return base.substr(0, maxFolderNameBytes - suffix.size()) + suffix;
}

// Makes the first free folder for the base name; nothing (one line printed) on failure.
std::optional<fs::path> makeFreeFolder(const fs::path& root, const std::string& base) {
    std::error_code rootError;
    fs::create_directories(root, rootError);  // the list makes it; a world made first needs it too
    for (int n = 0; n <= maxSuffix; ++n) {
        const fs::path folder = root / numberedFolderName(base, n);
        std::error_code ec;
        const fs::file_type type = fs::symlink_status(folder, ec).type();
        if (type == fs::file_type::none) {
            reportWriteFailure(folder, ec.message());
            return std::nullopt;
        }
        if (type != fs::file_type::not_found) continue;
        // Made by someone else between the look and the creation: taken as well.
        if (fs::create_directory(folder, ec)) return folder;
        if (!ec || ec == std::errc::file_exists) continue;
        reportWriteFailure(folder, ec.message());
        return std::nullopt;
    }
    reportWriteFailure(root / base, "every numbered name is taken");
    return std::nullopt;
}

}  // namespace

std::vector<ListedWorld> listWorlds(const fs::path& root) {
    std::vector<ListedWorld> found;
    std::error_code ec;
    fs::directory_iterator it(root, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::optional<std::string> name = worldNameIn(it->path());
        if (name) found.push_back({std::move(*name), it->path()});
    }
    // No folder yet is no world yet; anything else may hide worlds.
    if (ec && ec != std::errc::no_such_file_or_directory)
        std::printf("The worlds in %s cannot all be listed: %s\n", root.string().c_str(),
                    ec.message().c_str());
    return found;
}

std::string folderNameFor(const std::string& name) {
    std::string folder;
    folder.reserve(name.size());
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        const bool kept = std::isalnum(byte) || c == '-' || c == ' ';
        folder += kept ? char(std::tolower(byte)) : '_';
    }
    return folder;
}

std::optional<fs::path> createWorldFolder(const fs::path& root, const std::string& name) {
    std::optional<fs::path> folder = makeFreeFolder(root, folderNameFor(name));
    if (!folder) return std::nullopt;
    std::error_code ec;
    bool written = fs::create_directory(*folder / "chunks", ec);
    if (!written) reportWriteFailure(*folder / "chunks", ec ? ec.message() : "it exists already");
    written = written && jsonfile::write(*folder / "info.json", json{{"name", name}});
    written = written && jsonfile::write(*folder / "players.json", json::object());
    if (written) {
        // The new folder's own entry is only durable once its parent's entries are on the disk.
        platform::syncDirectoryToDisk(folder->parent_path().c_str());
        return folder;
    }
    // A half-made world would take the name but never show in the list.
    fs::remove_all(*folder, ec);
    return std::nullopt;
}

}  // namespace worlds
