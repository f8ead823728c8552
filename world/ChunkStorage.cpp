#include "world/Chunk.h"
#include "world/ChunkDirectory.h"
#include "world/ChunkRunLength.h"

#include "engine/JsonFile.h"
#include "engine/SafeWrite.h"
#include "platform/Platform.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <string>

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

const std::string entitiesFile = "entities.json";
const std::string blocksFile = "blocks.bin";

}  // namespace

fs::path Chunk::getDirectory(const fs::path& chunksPath) const {
    return chunksPath / ("x" + std::to_string(coords.x) + "z" + std::to_string(coords.y) + "w" +
                         std::to_string(coords.z));
}

fs::path Chunk::blocksPath(const fs::path& directory) { return directory / blocksFile; }

fs::path Chunk::entitiesPath(const fs::path& directory) { return directory / entitiesFile; }

bool Chunk::load(const fs::path& chunksPath) {
    std::error_code ec;
    fs::path dir = getDirectory(chunksPath);
    chunkdir::settleChunkDirectory(dir);
    if (!fs::is_directory(dir, ec)) return false;

    // One JSON value from the start of the file; text after it is not looked at. A list that
    // cannot be read loads as no entities, and the file is kept (see save).
    json list;
    const jsonfile::ReadStatus status = jsonfile::read(entitiesPath(dir), list, MAX_ENTITY_LIST_BYTES);
    if (status == jsonfile::ReadStatus::missing) return false;
    storedEntitiesDamaged = status != jsonfile::ReadStatus::ok || !list.is_array();
    if (!storedEntitiesDamaged) {
        for (const json& record : list) {
            std::unique_ptr<Entity> entity;
            try {
                if (record.is_object()) entity = Entity::fromJson(record);
            } catch (const std::exception&) {
                entity.reset();
            }
            // A record that builds nothing (not even an object), or a second chest for a taken
            // cell, is written back as it was read rather than lost with its contents.
            if (!addEntity(std::move(entity))) unbuiltEntityRecords.push_back(record);
        }
    }

    const fs::path blocksOnDisk = blocksPath(dir);
    if (fs::symlink_status(blocksOnDisk, ec).type() == fs::file_type::not_found) return false;
    std::ifstream in;
    if (fs::is_regular_file(blocksOnDisk, ec)) in.open(blocksOnDisk, std::ios::binary);
    storedBlocksDamaged = !in.is_open();
    if (storedBlocksDamaged) return false;
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

void Chunk::save(const fs::path& chunksPath) {
    std::error_code ec;
    fs::path dir = getDirectory(chunksPath);
    chunkdir::settleChunkDirectory(dir);
    json list = json::array();
    for (const auto& entity : entities)
        if (entity->isPersistent()) list.push_back(entity->toJson());
    for (const auto& [cell, entity] : blockEntities)
        if (entity->isPersistent()) list.push_back(entity->toJson());
    for (const json& record : unbuiltEntityRecords) list.push_back(record);

    // Creatures are never saved: a chunk that holds only them has nothing to keep either. A
    // directory on disk may hold entities that are gone now: its list must be rewritten.
    const bool nothingToKeep = unchanged && list.empty() && blockEntities.empty();
    if (nothingToKeep && !fs::exists(dir, ec)) return;

    chunkdir::Replacement replacement;
    // A stored list that could not be read is never replaced by an empty one: what it held is
    // unknown. A list with entities replaces it, and the new directory keeps it aside.
    const bool keepDamagedList = storedEntitiesDamaged && !list.empty();
    if (!storedEntitiesDamaged || keepDamagedList)
        replacement.written.emplace_back(entitiesFile, jsonfile::dump(list));
    if (keepDamagedList) replacement.renamed.emplace_back(entitiesFile, entitiesFile + ".damaged");
    if (!unchanged) {
        std::vector<uint8_t> runs = encodeBlockRuns(blocks.data(), blocks.size());
        replacement.written.emplace_back(blocksFile, std::string(runs.begin(), runs.end()));
        if (storedBlocksDamaged) replacement.renamed.emplace_back(blocksFile, blocksFile + ".damaged");
    }
    if (replacement.written.empty()) return;

    const bool madeChunksDirectory = fs::create_directories(chunksPath, ec);
    if (ec) {
        reportWriteFailure(dir, ec.message());
        return;
    }
    if (madeChunksDirectory) {
        const fs::path world = chunksPath.parent_path().empty() ? fs::path(".") : chunksPath.parent_path();
        platform::syncDirectoryToDisk(world.c_str());
    }
    if (!chunkdir::replaceChunkDirectory(dir, replacement)) return;
    const auto reportKeptAside = [&](const fs::path& path, const std::string& name) {
        std::printf("warning: %s could not be read; it is kept as %s.damaged\n", path.string().c_str(),
                    name.c_str());
    };
    if (keepDamagedList) {
        storedEntitiesDamaged = false;
        reportKeptAside(entitiesPath(dir), entitiesFile);
    }
    if (storedBlocksDamaged && !unchanged) {
        storedBlocksDamaged = false;
        reportKeptAside(blocksPath(dir), blocksFile);
    }
}
