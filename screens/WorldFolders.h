#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// The saved worlds on disk: one folder per world under a root ("worlds" in the game), holding
// "info.json" (an object whose string "name" is the name shown in the list), "players.json" and
// a "chunks" directory.
namespace worlds {

struct ListedWorld {
    std::string name;
    std::filesystem::path folder;
};

// An "info.json" larger than this is no world's: it is skipped unread.
constexpr std::uintmax_t maxInfoBytes = 1 << 20;

// Every world under root, in the order the file system lists them. Entries that are not
// directories, or hold no "info.json" (or a directory of that name), are no worlds and are
// skipped; so is everything when root is missing. A folder whose "info.json" cannot be read, is
// too large, not JSON, not an object or without a string "name" is skipped with one printed line
// naming it and why, and so is a root that cannot be read. Never throws.
std::vector<ListedWorld> listWorlds(const std::filesystem::path& root);

// The folder name for a world name: letters and digits in lower case, '-' and ' ' kept, every
// other byte '_'. "My World!" gives "my world_".
std::string folderNameFor(const std::string& name);

// Makes a new world under root (made when missing): the folder named after `name` (the first free of "name",
// "name(1)", "name(2)", ...; anything already at a path, even a dangling link, takes it; a
// name too long for a folder is cut short so that the numbered folder fits), its
// "chunks" directory, "info.json" holding the name and an empty "players.json". Returns the
// folder, or nothing when any step failed; then one line says why and nothing is left behind.
std::optional<std::filesystem::path> createWorldFolder(const std::filesystem::path& root,
                                                       const std::string& name);

}  // namespace worlds
