#include "engine/SafeWrite.h"

#include "platform/Platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <system_error>

namespace fs = std::filesystem;

fs::path temporaryPathFor(const fs::path& target) {
    fs::path temporary = target;
    temporary += ".tmp";
    return temporary;
}

void reportWriteFailure(const fs::path& target, const std::string& reason) {
    std::printf("error: unable to write %s: %s\n", target.string().c_str(), reason.c_str());
    std::fflush(stdout);
}

fs::path keptAsidePath(const fs::path& file) {
    // A name that cannot even be looked at counts as free: the rename into it then fails and
    // says why, rather than this looking further for ever.
    auto taken = [](const fs::path& path) {
        std::error_code ec;
        const fs::file_type type = fs::symlink_status(path, ec).type();
        return !ec && type != fs::file_type::not_found;
    };
    fs::path kept = file;
    kept += ".damaged";
    for (unsigned n = 1; taken(kept); ++n) {
        kept = file;
        kept += ".damaged." + std::to_string(n);
    }
    return kept;
}

void reportKeptAside(const fs::path& file, const fs::path& kept) {
    std::printf("warning: %s could not be read; it is kept as %s\n", file.string().c_str(),
                kept.filename().string().c_str());
    std::fflush(stdout);
}

bool writeAndSyncFile(const fs::path& file, std::string_view bytes, std::string& reason) {
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        if (!out) {
            reason = std::strerror(errno);
            return false;
        }
        out.write(bytes.data(), std::streamsize(bytes.size()));
        out.close();
        if (!out) {
            reason = "the disk refused the data";
            return false;
        }
    }
    if (!platform::syncFileToDisk(file.c_str())) {
        reason = std::strerror(errno);
        return false;
    }
    return true;
}

bool writeFileAtomically(const fs::path& target, std::string_view bytes) {
    const fs::path temporary = temporaryPathFor(target);
    std::error_code ec;
    auto fail = [&](const std::string& reason) {
        reportWriteFailure(target, reason);
        fs::remove(temporary, ec);
        return false;
    };

    std::string reason;
    if (!writeAndSyncFile(temporary, bytes, reason)) return fail(reason);
    fs::rename(temporary, target, ec);
    if (ec) return fail(ec.message());
    // The rename itself is only durable once the directory's entries are on the disk. The new
    // file is in place already, so a failure here is not reported as a failed write.
    const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
    platform::syncDirectoryToDisk(directory.c_str());
    return true;
}
