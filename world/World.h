#pragma once

#include "engine/Math4D.h"
#include "world/Chunk.h"
#include "world/SpawnRoll.h"
#include "world/WorkerPool.h"

#include <glm/glm.hpp>
#include <glm/gtx/hash.hpp>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

class Entity;

// The loaded part of one 4D world: its directory, its chunks and the state of streaming.
// The owner (game screen or title screen) deletes the chunks; the destructor does not.
class World {
public:
    using ChunkMap = std::unordered_map<glm::i64vec3, Chunk*>;

    std::filesystem::path path;
    std::filesystem::path chunksPath;
    uint32_t seed = 1234567890;
    ChunkMap chunks;
    // Guards `chunks` against readers on the loader threads; the map only changes on the main
    // thread while no streaming pass runs.
    std::mutex chunksMutex;
    std::atomic<bool> loadDone{true};
    std::atomic<int32_t> chunksLoaded{0};
    std::vector<Chunk*> loadQueue;
    FrustumPlanes frustum{};
    std::atomic<bool> stopLoading{false};
    std::atomic<bool> spawnCreatures{true};
    std::atomic<bool> saveGenerated{false};
    std::atomic<int32_t> difficulty{1};
    // Seconds that seed each new chunk's creature roll; tests fix them to make spawning
    // repeatable. Set only while no pass runs.
    double (*spawnClock)() = secondsSinceStart;

    // Saves of dropped chunks still being written on the workers (see waitForSaves).
    std::atomic<int32_t> pendingSaves{0};
    // Runs the per-chunk work of the streaming passes and the saves of dropped chunks.
    WorkerPool workers;

    World() = default;
    World(const World&) = delete;
    World& operator=(const World&) = delete;
    // Stops a running pass, waits for it and for every outstanding save; frees no chunk.
    ~World();

    void setPath(const std::string& dir);

    // Chunk and local cell of a block or entity position (floored division by 8).
    static glm::i64vec3 chunkCoords(const glm::ivec4& pos);
    static glm::i64vec3 chunkCoords(const glm::vec4& pos);
    static glm::ivec4 localCell(const glm::ivec4& pos);

    // The chunk if it is in the map and loaded, else null. Any thread.
    Chunk* getChunk(const glm::i64vec3& coords);
    // The id at pos; 0 outside y 0..127, -1 in a chunk that is not loaded.
    int16_t getBlock(const glm::ivec4& pos);
    // Writes a block and marks the sections to rebuild (also across section and chunk edges).
    void setBlock(const glm::ivec4& pos, uint8_t id);
    // Moves the entity into the loaded chunk of its position; false (entity kept) when no loaded
    // chunk holds the position or the chunk refuses it (a block entity's cell is taken).
    bool addEntity(std::unique_ptr<Entity>& entity);
    std::unique_ptr<Entity>* getBlockEntity(const glm::ivec4& pos);
    // The first targetable moving entity hit by the segment a-b, in chunk visiting order.
    std::unique_ptr<Entity>* pickEntity(const glm::vec4& a, const glm::vec4& b);

    // Main thread: draws the cross-section of every loaded chunk, then every entity.
    void render(const Mat5& view, bool glasses);
    // The two steps of render: the game screen draws its sky between them, behind the chunks.
    void renderChunks(const Mat5& view);
    void renderEntities(const Mat5& view, bool glasses);
    // Culling planes from the 3D projection matrix.
    void updateFrustum(const glm::mat4& projection);

    // Streaming and terrain (defined with the streaming code). The chunks a pass drops are
    // saved and destroyed before it starts; with `dropped`, those that loaded are handed to the
    // caller instead, which must save them before a later pass could load them again.
    bool update(const glm::vec4& pos, const glm::vec4& over, uint8_t renderDistance,
                std::vector<std::unique_ptr<Chunk>>* dropped = nullptr);
    bool loadAround(const glm::vec4& pos);
    void requestChunk(const glm::i64vec3& coords);
    void loaderThread();
    void loadOrGenerateChunk(Chunk* chunk);
    // Saves a chunk unless it never loaded or its loading failed (it would overwrite what is
    // stored). Any thread, while no other thread touches the chunk.
    void saveChunk(Chunk* chunk);
    // Saves many chunks at once on the workers; returns when all are written. Main thread, while
    // no pass runs.
    void saveChunks(const std::vector<Chunk*>& toSave);
    // Saves a dropped chunk (saveChunk), then destroys it.
    void saveAndDeleteChunk(Chunk* chunk);
    void generateChunk(Chunk* chunk);
    // Main thread: returns once every save handed to the workers is written. A new pass
    // calls it first, so no load reads a file that is still being written.
    void waitForSaves();
    // Hands a save to the workers, counted until it ends (also when it throws) so that
    // waitForSaves sees it.
    void saveOnWorkers(std::function<void()> save);
    // Main thread, while no pass runs and no save is pending: destroys every chunk and empties
    // the map.
    void freeChunks();
};
