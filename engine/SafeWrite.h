#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Every file the game writes goes through here: the bytes are written to a temporary file
// beside the target, put on the disk, and renamed over the target, whose directory is then put
// on the disk too. A crash, a power loss or a full disk leaves either the old file or the new
// one, never a torn one. A failure prints one line, "error: unable to write <path>: <reason>",
// removes the temporary file and returns false; the old file is left as it was.
bool writeFileAtomically(const std::filesystem::path& target, std::string_view bytes);

// Writes the bytes to a file (made, or emptied first) and puts them on the disk before
// returning. False with the reason when any step failed; nothing is printed. For files that no
// reader can see before they are renamed into place (a chunk's new directory, for example).
bool writeAndSyncFile(const std::filesystem::path& file, std::string_view bytes, std::string& reason);

// The temporary file writeFileAtomically uses for a target. A leftover one (from a crash before
// the rename) is never read as the real file, and the next write replaces it.
std::filesystem::path temporaryPathFor(const std::filesystem::path& target);

// The one line every failed write prints.
void reportWriteFailure(const std::filesystem::path& target, const std::string& reason);

// Where a file that cannot be read is kept aside before it is replaced: "<file>.damaged", or
// when that is taken "<file>.damaged.1", "<file>.damaged.2" and so on. An earlier kept copy is
// never replaced: it may be the only one that still holds what was lost.
std::filesystem::path keptAsidePath(const std::filesystem::path& file);

// The one line that says an unreadable file was kept aside, naming the copy.
void reportKeptAside(const std::filesystem::path& file, const std::filesystem::path& kept);
