#pragma once

#include "platform/Platform.h"

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace testfs {

// Records the syncs the platform makes while it lives, in order: each path and, for a directory,
// the names it held just after the sync, which show the renames made before it.
class SyncRecorder : public platform::SyncObserver {
public:
    SyncRecorder() { platform::observeSyncs(this); }
    ~SyncRecorder() { platform::observeSyncs(nullptr); }
    SyncRecorder(const SyncRecorder&) = delete;
    SyncRecorder& operator=(const SyncRecorder&) = delete;

    void synced(const char* path, bool directory) override {
        Sync sync{placeOf(path), directory, {}};
        std::error_code ec;
        if (directory)
            for (std::filesystem::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
                sync.names.insert(it->path().filename().string());
        std::lock_guard<std::mutex> lock(mutex);
        syncs.push_back(std::move(sync));
    }

    // Whether `file` came to its place durably from `staged` (its temporary name, or its place in
    // a staged directory): its bytes were synced as `staged`, then each staged directory on the
    // way to it, and the directory in which the staged entry was renamed once it showed the new
    // name and no longer the staged one.
    bool durable(const std::filesystem::path& file, const std::filesystem::path& staged) const {
        namespace fs = std::filesystem;
        const fs::path to = placeOf(file), from = placeOf(staged);
        const auto parts = std::mismatch(to.begin(), to.end(), from.begin(), from.end());
        if (parts.first == to.end() || parts.second == from.end()) return false;
        const std::string renamedTo = parts.first->string(), renamedFrom = parts.second->string();
        fs::path parent;
        for (auto part = to.begin(); part != parts.first; ++part) parent /= *part;

        std::lock_guard<std::mutex> lock(mutex);
        size_t next = 0;  // each sync looked for comes after the one found before it
        const auto find = [&](const fs::path& path, bool directory, auto&& holds) {
            for (; next < syncs.size(); ++next)
                if (syncs[next].path == path && syncs[next].directory == directory && holds(syncs[next].names))
                    return true;
            return false;
        };
        const auto anything = [](const std::set<std::string>&) { return true; };
        if (!find(from, false, anything)) return false;
        for (fs::path directory = from.parent_path(); directory != parent; directory = directory.parent_path())
            if (!find(directory, true, anything)) return false;
        return find(parent, true, [&](const std::set<std::string>& names) {
            return names.count(renamedTo) && !names.count(renamedFrom);
        });
    }

    // Whether `directory` was synced at a moment it held `name`.
    bool syncedHolding(const std::filesystem::path& directory, const std::string& name) const {
        const std::filesystem::path place = placeOf(directory);
        std::lock_guard<std::mutex> lock(mutex);
        return std::any_of(syncs.begin(), syncs.end(), [&](const Sync& sync) {
            return sync.directory && sync.path == place && sync.names.count(name);
        });
    }

private:
    // One spelling for each place, whether it exists or not.
    static std::filesystem::path placeOf(const std::filesystem::path& path) {
        return std::filesystem::weakly_canonical(std::filesystem::absolute(path));
    }

    struct Sync {
        std::filesystem::path path;
        bool directory;
        std::set<std::string> names;
    };
    mutable std::mutex mutex;
    std::vector<Sync> syncs;
};

}  // namespace testfs
