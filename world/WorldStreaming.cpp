#include "world/DiscSelection.h"
#include "world/SpawnRoll.h"
#include "world/World.h"

#include "platform/Platform.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <exception>
#include <memory>
#include <system_error>
#include <thread>

namespace {

// Half the edge of the cube of chunks around the title screen's camera.
constexpr int AROUND_REACH = 4;
// Chunks from the spider roll's percent below this get a spider.
constexpr float SPIDER_CHANCE = 2.0f;

void waitBriefly() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

// Truncation toward zero, kept finite and in range for positions read from a damaged file.
int64_t truncateToChunk(float blocks) {
    const float chunk = blocks / 8.0f;
    if (!std::isfinite(chunk)) return 0;
    return int64_t(glm::clamp(chunk, -1e15f, 1e15f));
}

// Drops every chunk no request of this pass wanted and clears the mark of the others. Each
// dropped chunk that loaded goes to `dispose`, which saves and destroys it.
template <typename Dispose>
void unloadUnwanted(World& world, Dispose dispose) {
    for (auto it = world.chunks.begin(); it != world.chunks.end();) {
        Chunk* chunk = it->second;
        if (chunk->wanted.exchange(false)) {
            ++it;
            continue;
        }
        if (chunk->loaded) world.chunksLoaded.fetch_sub(1);
        {
            std::lock_guard<std::mutex> lock(world.chunksMutex);
            it = world.chunks.erase(it);
        }
        // A remnant of a stopped pass has nothing to save and no GL objects: it goes at once.
        if (!chunk->loaded) {
            delete chunk;
            continue;
        }
        dispose(chunk);
    }
}

// Starts the pass thread when anything is queued; otherwise the pass is over at once.
void startPass(World& world) {
    if (world.loadQueue.empty()) {
        world.loadDone = true;
        return;
    }
    try {
        std::thread([&world] {
            platform::lowerCurrentThreadPriority(platform::ThreadPriority::belowNormal);
            world.loaderThread();
        }).detach();
    } catch (const std::system_error& e) {
        // Without a thread the pass still has to happen: run it here, blocking this frame.
        std::printf("warning: unable to start the chunk loader thread: %s\n", e.what());
        world.loaderThread();
    }
}

// loadDone true -> false; false when a pass is already running.
bool beginPass(World& world) {
    bool idle = true;
    if (!world.loadDone.compare_exchange_strong(idle, false)) return false;
    world.waitForSaves();
    world.stopLoading = false;
    return true;
}

}  // namespace

World::~World() {
    stopLoading = true;
    while (!loadDone) waitBriefly();
    waitForSaves();
}

void World::waitForSaves() {
    while (pendingSaves.load() > 0) waitBriefly();
}

void World::saveOnWorkers(std::function<void()> save) {
    pendingSaves.fetch_add(1);
    workers.submit([this, save = std::move(save)] {
        struct Done {
            World& world;
            ~Done() { world.pendingSaves.fetch_sub(1); }
        } done{*this};
        save();
    });
}

void World::freeChunks() {
    for (auto& [coords, chunk] : chunks) delete chunk;
    {
        std::lock_guard<std::mutex> lock(chunksMutex);
        chunks.clear();
    }
    chunksLoaded = 0;
    Chunk::releaseRetiredRenderers();
}

void World::requestChunk(const glm::i64vec3& coords) {
    auto found = chunks.find(coords);
    if (found != chunks.end()) {
        Chunk* chunk = found->second;
        if (chunk->loaded) {
            // Wanted again: a new neighbour may rebuild it once, showing faces toward it.
            chunk->remeshedForNeighbours = false;
        } else if (!chunk->wanted) {
            // Left unloaded by a pass that was stopped: queued again, it builds its own mesh.
            chunk->remeshedForNeighbours = true;
            loadQueue.push_back(chunk);
        }
        // Otherwise it is new in this pass and already queued: it builds its mesh once, itself.
        chunk->wanted = true;
        return;
    }
    auto* chunk = new Chunk(coords);
    chunk->remeshedForNeighbours = true;
    chunk->wanted = true;
    loadQueue.push_back(chunk);
    std::lock_guard<std::mutex> lock(chunksMutex);
    chunks.emplace(coords, chunk);
}

bool World::update(const glm::vec4& pos, const glm::vec4& over, uint8_t renderDistance,
                   std::vector<std::unique_ptr<Chunk>>* dropped) {
    if (!beginPass(*this)) return false;

    const glm::vec3 centre(pos.x / 8.0f, pos.z / 8.0f, pos.w / 8.0f);
    const glm::vec3 normal(over.x, over.z, over.w);
    const DiscSelection disc = selectDisc(centre, float(renderDistance), normal);
    glm::i64vec3 step(0);
    step[disc.stepAxis] = 1;
    for (const DiscCell& cell : disc.cells) {
        requestChunk(cell.cell);
        requestChunk(cell.cell - step);
        if (!cell.lineStart) requestChunk(cell.cell + step);
    }

    // What is dropped is saved before any later pass could load it: here, unless the caller
    // takes it to save it.
    unloadUnwanted(*this, [this, dropped](Chunk* chunk) {
        if (dropped)
            dropped->emplace_back(chunk);
        else
            saveAndDeleteChunk(chunk);
    });
    startPass(*this);
    return true;
}

bool World::loadAround(const glm::vec4& pos) {
    if (!beginPass(*this)) return false;

    const glm::i64vec3 centre(truncateToChunk(pos.x), truncateToChunk(pos.z),
                              truncateToChunk(pos.w));
    for (int x = -AROUND_REACH; x <= AROUND_REACH; ++x)
        for (int z = -AROUND_REACH; z <= AROUND_REACH; ++z)
            for (int w = -AROUND_REACH; w <= AROUND_REACH; ++w)
                requestChunk(centre + glm::i64vec3(x, z, w));

    unloadUnwanted(*this, [this](Chunk* chunk) { saveOnWorkers([this, chunk] { saveAndDeleteChunk(chunk); }); });
    startPass(*this);
    return true;
}

void World::loaderThread() {
    // Phase 1: load or generate. A stop takes effect for every chunk not yet begun; those stay
    // in the map unloaded until a later pass queues them again.
    workers.forEach(loadQueue.size(), [this](size_t i) {
        if (stopLoading) return;
        loadOrGenerateChunk(loadQueue[i]);
    });

    // Phase 2, after every load has finished: meshes, each seeing all its new neighbours.
    std::vector<Chunk*> loadedChunks;
    for (Chunk* chunk : loadQueue)
        if (chunk->loaded) loadedChunks.push_back(chunk);
    workers.forEach(loadedChunks.size(),
                    [this, &loadedChunks](size_t i) { loadedChunks[i]->buildMesh(this, true); });

    loadQueue.clear();
    loadDone = true;  // the last act: the owner may destroy the world from here on
}

void World::loadOrGenerateChunk(Chunk* chunk) {
    try {
        if (!chunk->load(chunksPath)) generateChunk(chunk);
        // What the disk holds: a later save writes the list only once it differs.
        chunk->savedEntities = chunk->entityListText();
        if (spawnCreatures && difficulty >= 1 &&
            spawnRoll(spawnClock(), chunk->coords.x) < SPIDER_CHANCE) {
            const glm::vec4 position(float(chunk->coords.x * 8) + 3.5f, 126.0f,
                                     float(chunk->coords.y * 8) + 3.5f,
                                     float(chunk->coords.z * 8) + 3.5f);
            chunk->addEntity(Entity::create("Spider", position));
        }
    } catch (const std::exception& e) {
        // Counted as loaded all the same: the loading screen waits for every chunk. Saving it
        // would overwrite the stored chunk with whatever the failure left.
        std::printf("error: unable to load or generate a chunk: %s\n", e.what());
        chunk->loadFailed = true;
    }
    chunk->loaded = true;
    chunksLoaded.fetch_add(1);
}

void World::saveChunk(Chunk* chunk) {
    // A chunk that never loaded (left by a stopped pass), or whose loading failed, holds nothing
    // or not all of what is stored: saving it would overwrite the chunk's files.
    if (chunk->maySave()) chunk->save(chunksPath);
}

void World::saveChunks(const std::vector<Chunk*>& toSave) {
    // Each chunk has a directory of its own, and most of a save is waiting for the disk: side
    // by side the waits overlap.
    workers.forEach(toSave.size(), [this, &toSave](size_t i) { saveChunk(toSave[i]); });
}

void World::saveAndDeleteChunk(Chunk* chunk) {
    // Destroyed also when saving throws. Its GL objects go to the main thread's queue.
    std::unique_ptr<Chunk> owned(chunk);
    saveChunk(chunk);
}
