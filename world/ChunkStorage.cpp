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
#include <utility>
#include <vector>

namespace fs = std::filesystem;
using nlohmann::json;

namespace {

const std::string entitiesFile = "entities.json";
const std::string blocksFile = "blocks.bin";

}  // namespace

fs::path Chunk::getDirectory(const fs::path& chunksPath) const {
    return directoryOf(chunksPath, coords);
}

fs::path Chunk::directoryOf(const fs::path& chunksPath, const glm::i64vec3& coords) {
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

namespace {

// The list a save writes: first the persistent moving entities in list order, then the block
// entities, then the records that could not be built, as they were read, then `alsoStored`.
json entityListOf(const Chunk& chunk, const std::vector<json>& alsoStored = {}) {
    json list = json::array();
    for (const auto& entity : chunk.entities)
        if (entity->isPersistent()) list.push_back(entity->toJson());
    for (const auto& [cell, entity] : chunk.blockEntities)
        if (entity->isPersistent()) list.push_back(entity->toJson());
    for (const json& record : chunk.unbuiltEntityRecords) list.push_back(record);
    for (const json& record : alsoStored) list.push_back(record);
    return list;
}

}  // namespace

std::string Chunk::entityListText() const { return jsonfile::dump(entityListOf(*this)); }

Chunk::SaveCopy Chunk::saveCopy(const std::vector<json>& alsoStored) const {
    SaveCopy copy;
    copy.coords = coords;
    const json list = entityListOf(*this, alsoStored);
    copy.entities = jsonfile::dump(list);
    // A stored list that could not be read is never replaced by an empty one: what it held is
    // unknown. A list with entities replaces it, and the new directory keeps it aside.
    copy.keepsEntitiesAside = storedEntitiesDamaged && !list.empty();
    copy.writesEntities = !storedEntitiesDamaged || copy.keepsEntitiesAside;
    if (!unchanged) {
        copy.blocks.assign(blocks.begin(), blocks.end());
        copy.keepsBlocksAside = storedBlocksDamaged;
    }
    copy.blocksVersion = blocksVersion;
    // Creatures are never saved: a chunk that holds only them has nothing to keep either. A
    // directory on disk may hold entities that are gone now: its list must be rewritten.
    copy.onlyIfStored = unchanged && list.empty() && blockEntities.empty();
    return copy;
}

bool Chunk::changedSinceSave(const SaveCopy& copy) const {
    return !copy.blocks.empty() || copy.entities != savedEntities;
}

bool Chunk::writeSaveCopy(const fs::path& chunksPath, const SaveCopy& copy) {
    std::error_code ec;
    const fs::path dir = directoryOf(chunksPath, copy.coords);
    chunkdir::settleChunkDirectory(dir);
    if (copy.onlyIfStored && !fs::exists(dir, ec)) return true;

    chunkdir::Replacement replacement;
    std::vector<std::pair<fs::path, fs::path>> keptAside;
    const auto keepAside = [&](const std::string& name) {
        const fs::path kept = keptAsidePath(dir / name);
        replacement.renamed.emplace_back(name, kept.filename().string());
        keptAside.emplace_back(dir / name, kept);
    };
    if (copy.writesEntities) replacement.written.emplace_back(entitiesFile, copy.entities);
    if (copy.keepsEntitiesAside) keepAside(entitiesFile);
    if (!copy.blocks.empty()) {
        std::vector<uint8_t> runs = encodeBlockRuns(copy.blocks.data(), copy.blocks.size());
        replacement.written.emplace_back(blocksFile, std::string(runs.begin(), runs.end()));
    }
    if (copy.keepsBlocksAside) keepAside(blocksFile);
    if (replacement.written.empty()) return true;

    const bool madeChunksDirectory = fs::create_directories(chunksPath, ec);
    if (ec) {
        reportWriteFailure(dir, ec.message());
        return false;
    }
    if (madeChunksDirectory) {
        const fs::path world = chunksPath.parent_path().empty() ? fs::path(".") : chunksPath.parent_path();
        platform::syncDirectoryToDisk(world.c_str());
    }
    if (!chunkdir::replaceChunkDirectory(dir, replacement)) return false;
    for (const auto& [file, kept] : keptAside) reportKeptAside(file, kept);
    return true;
}

void Chunk::markSaved(const SaveCopy& copy) {
    if (copy.keepsEntitiesAside) storedEntitiesDamaged = false;
    if (copy.keepsBlocksAside) storedBlocksDamaged = false;
    savedEntities = copy.entities;
    // Edited again meanwhile, the blocks still need writing.
    if (!copy.blocks.empty() && blocksVersion == copy.blocksVersion) unchanged = true;
}

void Chunk::save(const fs::path& chunksPath) {
    const SaveCopy copy = saveCopy();
    if (writeSaveCopy(chunksPath, copy)) markSaved(copy);
}
