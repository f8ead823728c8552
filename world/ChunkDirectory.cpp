#include "world/ChunkDirectory.h"

#include "engine/SafeWrite.h"
#include "platform/Platform.h"

#include <algorithm>
#include <system_error>

namespace fs = std::filesystem;

namespace chunkdir {

namespace {

fs::path withSuffix(const fs::path& directory, const char* suffix) {
    fs::path path = directory;
    path += suffix;
    return path;
}

bool isPresent(const fs::path& path) {
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found && !ec;
}

void removeAll(const fs::path& path) {
    std::error_code ec;
    fs::remove_all(path, ec);
}

bool isLeftoverTemporary(const std::string& name) {
    return name.size() > 4 && name.compare(name.size() - 4, 4, ".tmp") == 0;
}

// Puts an entry of the old directory into the new one. Anything but a directory is hard-linked:
// the game never changes a file in place, so both directories may share it, and the file is on
// the disk already. A directory is made anew and filled the same way; a regular file is copied
// where links are not possible. Nothing is left out: an entry that cannot come along fails the
// replacement.
bool carryOver(const fs::path& from, const fs::path& to, std::string& reason) {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(from, ec);
    if (!ec && fs::is_directory(status)) {
        if (fs::create_directory(to, ec)) {
            for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec))
                if (!carryOver(it->path(), to / it->path().filename(), reason)) return false;
            if (!ec && platform::syncDirectoryToDisk(to.c_str())) return true;
        }
    } else if (!ec) {
        fs::create_hard_link(from, to, ec);
        if (!ec) return true;
        if (fs::is_regular_file(status)) {
            ec.clear();
            fs::copy_file(from, to, ec);
            if (!ec && platform::syncFileToDisk(to.c_str())) return true;
        }
    }
    reason = ec ? ec.message() : "unable to put a copy on the disk";
    return false;
}

// Fills the staging directory: the written files first, then everything the old one keeps.
bool stage(const fs::path& directory, const fs::path& staging, const Replacement& replacement,
           std::string& reason) {
    std::error_code ec;
    if (!fs::create_directory(staging, ec)) {
        reason = ec ? ec.message() : "a leftover is in the way";
        return false;
    }
    for (const auto& [name, bytes] : replacement.written)
        if (!writeAndSyncFile(staging / name, bytes, reason)) return false;

    if (!isPresent(directory)) return true;
    auto isWritten = [&](const std::string& name) {
        return std::any_of(replacement.written.begin(), replacement.written.end(),
                           [&](const auto& file) { return file.first == name; });
    };
    for (const auto& [from, to] : replacement.renamed)
        if (isPresent(directory / from) && !carryOver(directory / from, staging / to, reason))
            return false;
    // Every other entry comes along as it is. None is ever left out for a renamed one to take
    // its name (an earlier kept-aside copy, say): such a clash fails the replacement.
    for (fs::directory_iterator it(directory, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        const bool renamedAway =
            std::any_of(replacement.renamed.begin(), replacement.renamed.end(),
                        [&](const auto& rename) { return rename.first == name; });
        if (isWritten(name) || renamedAway || isLeftoverTemporary(name)) continue;
        if (!carryOver(it->path(), staging / name, reason)) return false;
    }
    if (ec) {
        reason = ec.message();
        return false;
    }
    return true;
}

}  // namespace

fs::path stagingPathFor(const fs::path& directory) { return withSuffix(directory, ".new"); }

fs::path retiredPathFor(const fs::path& directory) { return withSuffix(directory, ".old"); }

void settleChunkDirectory(const fs::path& directory) {
    const fs::path staging = stagingPathFor(directory);
    const fs::path retired = retiredPathFor(directory);
    std::error_code ec;
    if (!isPresent(directory) && isPresent(retired)) {
        // Cut between the two renames. The old directory steps aside only once the new one is
        // complete on the disk, so the replacement is finished; without it, it is undone.
        fs::rename(isPresent(staging) ? staging : retired, directory, ec);
        if (ec) return;  // read-only, say: what is there stays for a later try
        const fs::path parent = directory.parent_path();
        platform::syncDirectoryToDisk(parent.c_str());
    }
    // With the directory in place, a staging one was never committed and a retired one was
    // already replaced.
    if (isPresent(directory)) removeAll(retired);
    removeAll(staging);
}

bool replaceChunkDirectory(const fs::path& directory, const Replacement& replacement) {
    settleChunkDirectory(directory);
    const fs::path staging = stagingPathFor(directory);
    const fs::path retired = retiredPathFor(directory);
    const fs::path parent = directory.parent_path();
    auto fail = [&](const std::string& reason) {
        removeAll(staging);
        reportWriteFailure(directory, reason);
        return false;
    };

    std::string reason;
    if (!stage(directory, staging, replacement, reason)) return fail(reason);
    if (!platform::syncDirectoryToDisk(staging.c_str())) return fail("unable to put it on the disk");

    std::error_code ec;
    const bool hadDirectory = isPresent(directory);
    if (hadDirectory) {
        fs::rename(directory, retired, ec);
        if (ec) return fail(ec.message());
    }
    fs::rename(staging, directory, ec);
    if (ec) {
        std::error_code undo;
        if (hadDirectory) fs::rename(retired, directory, undo);
        return fail(ec.message());
    }
    // The swap is durable once the parent's entries are on the disk; the old directory is only
    // rubbish from here on.
    platform::syncDirectoryToDisk(parent.c_str());
    if (hadDirectory) removeAll(retired);
    return true;
}

}  // namespace chunkdir
