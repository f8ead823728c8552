#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

// A chunk's directory changes only as a whole, so that its "blocks.bin" and "entities.json"
// always come from the same save. The new contents are written into a fresh sibling
// "<directory>.new" and put on the disk; then the old directory steps aside to
// "<directory>.old", the new one takes its name, and the old one is removed. A crash at any
// moment leaves either the old directory or the new one under the real name, or a state that
// settleChunkDirectory brings to one of them: a replacement whose old directory had already
// stepped aside is finished, any other is rolled back.
namespace chunkdir {

std::filesystem::path stagingPathFor(const std::filesystem::path& directory);
std::filesystem::path retiredPathFor(const std::filesystem::path& directory);

// Finishes or rolls back a replacement that was cut short and removes what it left behind.
// Called before the directory is read or replaced; by whoever owns the chunk at that moment.
void settleChunkDirectory(const std::filesystem::path& directory);

struct Replacement {
    // Files of the new directory written from these bytes.
    std::vector<std::pair<std::string, std::string>> written;
    // Entries of the old directory that the new one keeps under another name, one that no
    // entry of the old directory has.
    std::vector<std::pair<std::string, std::string>> renamed;
};

// Makes the directory hold the written files, the renamed entries and every other entry of the
// old directory as it was (temporary files of earlier versions excepted). On failure one line
// "error: unable to write <directory>: <reason>" is printed, the old directory stays as it was
// and the result is false. The parent directory must exist.
bool replaceChunkDirectory(const std::filesystem::path& directory, const Replacement& replacement);

}  // namespace chunkdir
