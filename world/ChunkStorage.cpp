#include "world/Chunk.h"
#include "world/ChunkRunLength.h"

#include "engine/JsonFile.h"
#include "engine/SafeWrite.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

// One JSON value from the start of the file; text after it is not looked at. A file that
// cannot be read or parsed reads as no entities.
json readEntityList(const fs::path& file) {
    json list;
    if (jsonfile::read(file, list) != jsonfile::ReadStatus::ok) return json::array();
    return list;
}

}  // namespace

fs::path Chunk::getDirectory(const fs::path& chunksPath) const {
    return chunksPath / ("x" + std::to_string(coords.x) + "z" + std::to_string(coords.y) + "w" +
                         std::to_string(coords.z));
}

fs::path Chunk::blocksPath(const fs::path& directory) { return directory / "blocks.bin"; }

fs::path Chunk::entitiesPath(const fs::path& directory) { return directory / "entities.json"; }

bool Chunk::load(const fs::path& chunksPath) {
    std::error_code ec;
    fs::path dir = getDirectory(chunksPath);
    if (!fs::is_directory(dir, ec)) return false;
    if (!fs::is_regular_file(entitiesPath(dir), ec)) return false;

    json list = readEntityList(entitiesPath(dir));
    if (list.is_array()) {
        for (const json& record : list) {
            if (!record.is_object()) continue;
            std::unique_ptr<Entity> entity;
            try {
                entity = Entity::fromJson(record);
            } catch (const std::exception&) {
                entity.reset();
            }
            // A record that builds nothing, or a second chest for a taken cell, is written back
            // as it was read rather than lost with its contents.
            if (!addEntity(std::move(entity))) unbuiltEntityRecords.push_back(record);
        }
    }

    fs::path blocksFile = blocksPath(dir);
    if (!fs::is_regular_file(blocksFile, ec)) return false;
    std::ifstream in(blocksFile, std::ios::binary);
    if (!in) return false;
    // Pieces of even size, so a pair never straddles two reads.
    char buffer[4096];
    size_t filled = 0;
    while (filled < blocks.size() && in) {
        in.read(buffer, sizeof buffer);
        size_t got = size_t(in.gcount());
        if (got == 0) break;
        filled = decodeBlockRuns(reinterpret_cast<const uint8_t*>(buffer), got, blocks.data(),
                                 blocks.size(), filled);
    }

    unchanged = entities.empty();
    return true;
}

void Chunk::save(const fs::path& chunksPath) const {
    std::error_code ec;
    fs::path dir = getDirectory(chunksPath);
    // Creatures are never saved: a chunk that holds only them has nothing to keep either.
    const auto persistent = [](const std::unique_ptr<Entity>& entity) { return entity->isPersistent(); };
    bool nothingToKeep = unchanged && std::none_of(entities.begin(), entities.end(), persistent) &&
                         blockEntities.empty() && unbuiltEntityRecords.empty();
    // A directory on disk may hold entities that are gone now: its list must be rewritten.
    if (nothingToKeep && !fs::exists(dir, ec)) return;

    fs::create_directories(dir, ec);
    if (ec || !fs::is_directory(dir, ec)) {
        std::printf("error: unable to create %s\n", dir.string().c_str());
        return;
    }

    json list = json::array();
    for (const auto& entity : entities)
        if (entity->isPersistent()) list.push_back(entity->toJson());
    for (const auto& [cell, entity] : blockEntities)
        if (entity->isPersistent()) list.push_back(entity->toJson());
    for (const json& record : unbuiltEntityRecords) list.push_back(record);
    jsonfile::write(entitiesPath(dir), list);

    if (!unchanged) {
        std::vector<uint8_t> runs = encodeBlockRuns(blocks.data(), blocks.size());
        writeFileAtomically(blocksPath(dir),
                            std::string_view(reinterpret_cast<const char*>(runs.data()), runs.size()));
    }
}
