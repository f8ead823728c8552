#pragma once

#include "engine/Math4D.h"
#include "engine/Mesh.h"
#include "engine/MeshRenderer.h"
#include "game/Entity.h"
#include "world/SectionFaces.h"

#include <glm/glm.hpp>
#include <nlohmann/json.hpp>

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

class World;
class Player;

// Hash of a block-entity key: the four local coordinates packed into one word.
struct BlockCellHash {
    size_t operator()(const glm::u8vec4& c) const noexcept {
        return std::hash<uint32_t>()(uint32_t(c.x) | uint32_t(c.y) << 8 | uint32_t(c.z) << 16 |
                                     uint32_t(c.w) << 24);
    }
};

// Six culling planes (a, b, c, d) in view space: near, far, left, right, top, bottom.
using FrustumPlanes = std::array<glm::vec4, 6>;

// A column of 8 x 128 x 8 x 8 blocks (x, y, z, w) with the entities standing in it and the
// meshes of its eight 16-high sections.
class Chunk {
public:
    static constexpr int SIZE = 8;
    static constexpr int HEIGHT = 128;
    static constexpr int SECTION_HEIGHT = 16;
    static constexpr int SECTION_COUNT = 8;
    static constexpr int BLOCK_COUNT = SIZE * HEIGHT * SIZE * SIZE;
    // A stored entity list larger than this is refused unread, as damaged. A full chest is
    // about 2 KB and a dropped item 150 bytes: tens of thousands of them fit.
    static constexpr std::uintmax_t MAX_ENTITY_LIST_BYTES = std::uintmax_t(64) << 20;

    // w varies fastest, x slowest.
    static constexpr int index(int x, int y, int z, int w) {
        return ((x * HEIGHT + y) * SIZE + z) * SIZE + w;
    }

    // Cell columns of a section: the 16 cells of one (x, z, w), numbered w slowest, then x,
    // then z.
    static constexpr int COLUMN_COUNT = SIZE * SIZE * SIZE;
    static constexpr int column(int x, int z, int w) { return (w * SIZE + x) * SIZE + z; }

    // One section's tetrahedra: byte positions (x, y, z, w) and texture coordinates
    // (u, v, layer), twenty vertices per face. The faces are stored column by column, so that
    // drawing can look only at the columns the view's hyperplane passes through. Once uploaded
    // (as face records, SectionFaces), the vertices are released: the GPU's copy is the one
    // drawn, and the column table and the records stay.
    class ChunkMesh final : public Mesh {
    public:
        std::vector<glm::u8vec4> positions;
        std::vector<glm::u8vec3> texCoords;
        // columnStarts[c] is the first face of column c, columnStarts[COLUMN_COUNT] the number
        // of faces; empty while the mesh is. Sixteen bits suffice: only solid cells have
        // faces, each toward air, and an air cell has at most eight solid neighbours, so a
        // section has fewer than 41,000 faces.
        std::vector<uint16_t> columnStarts;
        // The faces as the GPU takes them (SectionFaces), from compact() on: drawing picks
        // the tetrahedra it submits from them.
        std::vector<uint32_t> faceRecords;
        bool dirty = false;

        ChunkMesh() = default;
        ChunkMesh(ChunkMesh&&) noexcept = default;
        ChunkMesh& operator=(ChunkMesh&&) noexcept = default;
        ChunkMesh(const ChunkMesh&) = delete;
        ChunkMesh& operator=(const ChunkMesh&) = delete;
        ~ChunkMesh() = default;

        // Whether the section has faces, also once its vertices live only on the GPU.
        bool empty() const { return columnStarts.empty(); }
        // Frees the vertices (vertCount() becomes 0); the column table stays.
        void releaseVertices() {
            std::vector<glm::u8vec4>().swap(positions);
            std::vector<glm::u8vec3>().swap(texCoords);
        }
        // Turns the vertices into face records and frees them: a built mesh waiting for the
        // main thread takes 4 bytes a face instead of 140.
        void compact() {
            if (positions.empty()) return;
            faceRecords = faceRecordsOf(positions, texCoords);
            releaseVertices();
        }

        int attribCount() const override { return 2; }
        uint32_t vertCount() const override { return uint32_t(positions.size()); }
        GLenum attribType(int) const override { return GL_UNSIGNED_BYTE; }
        int attribSize(int i) const override { return i == 0 ? 4 : 3; }
        uint32_t attribStride(int i) const override { return i == 0 ? 4 : 3; }
        const void* attribData(int i) const override {
            return i == 0 ? static_cast<const void*>(positions.data())
                          : static_cast<const void*>(texCoords.data());
        }
        uint32_t attribDataSize(int i) const override {
            return uint32_t(positions.size()) * (i == 0 ? 4u : 3u);
        }
    };

    using Neighbours = std::array<Chunk*, 6>;  // x-1, x+1, z-1, z+1, w-1, w+1
    using EntityList = std::vector<std::unique_ptr<Entity>>;
    using BlockEntityMap = std::unordered_map<glm::u8vec4, std::unique_ptr<Entity>, BlockCellHash>;

    // What one save of a chunk writes, taken by the chunk's owner and written on any thread:
    // the chunk may go on changing, or be gone, while its copy is written.
    struct SaveCopy {
        glm::i64vec3 coords{0};
        // The entity list as it is written (compact JSON), and whether it is: a stored list that
        // could not be read stays until there are entities to write over it.
        std::string entities;
        bool writesEntities = false;
        // The blocks when they are written (empty otherwise) and the edit they are from.
        std::vector<uint8_t> blocks;
        uint32_t blocksVersion = 0;
        // Stored files that could not be read and that this save keeps aside.
        bool keepsEntitiesAside = false;
        bool keepsBlocksAside = false;
        // Nothing in it is worth a new directory; one that is stored is still rewritten.
        bool onlyIfStored = false;
    };

    std::array<uint8_t, BLOCK_COUNT> blocks{};
    // Held by World::setBlock while it writes a block of a loaded chunk, and by a mesh worker
    // while it copies the blocks it builds from (MeshingSnapshot). Only the main thread writes
    // the blocks of a loaded chunk, so it reads them without the lock.
    mutable std::mutex blocksMutex;
    glm::i64vec3 coords{0};
    // True while the blocks need not be written: cleared by an edit, set again by a save that
    // wrote the blocks as they still are.
    bool unchanged = true;
    // Edits through World::setBlock so far, so that a save written on another thread while the
    // game goes on can tell whether the blocks it wrote are still the chunk's.
    uint32_t blocksVersion = 0;
    // The entity list as the disk holds it (as a save writes it), from the load or the last
    // save; empty while unknown. A list that differs needs saving.
    std::string savedEntities;
    std::array<ChunkMesh, SECTION_COUNT> sectionMeshes;
    std::array<SectionFaces, SECTION_COUNT> sectionRenderers;
    // Main thread only: some section of sectionMeshes is marked dirty.
    bool meshDirty = false;
    // Guards pendingMeshes and the flags of the hand-over from the mesh workers.
    std::mutex meshMutex;
    // False while meshes built by a worker wait in pendingMeshes for the main thread.
    std::atomic<bool> meshUploaded{false};
    std::atomic<bool> hasMesh{false};
    std::atomic<bool> remeshedForNeighbours{false};
    std::atomic<bool> wanted{false};
    // Number of mesh builds running on workers.
    std::atomic<int> buildingMesh{0};
    // Whole-chunk mesh builds so far; each costs a worker about as much as generating the chunk.
    std::atomic<uint32_t> meshBuilds{0};
    std::atomic<bool> loaded{false};
    EntityList entities;
    BlockEntityMap blockEntities;
    // Saved entity records that could not be built (unknown name or kind), written back as read.
    std::vector<nlohmann::json> unbuiltEntityRecords;
    // The stored "entities.json" exists but could not be read, or holds no list. It stays on disk
    // while this chunk has no entities to write; the save that writes some first moves it aside
    // as "entities.json.damaged" (or the next free "entities.json.damaged.<n>").
    bool storedEntitiesDamaged = false;
    // The same for a stored "blocks.bin" that is there but cannot be opened: the chunk is
    // generated, and the first save of an edit keeps the old file aside as "blocks.bin.damaged"
    // (or the next free "blocks.bin.damaged.<n>").
    bool storedBlocksDamaged = false;
    // Loading or generating it failed part way: what it holds is not what is stored, so it is
    // never saved. Written by its loader before `loaded` is set.
    bool loadFailed = false;

    explicit Chunk(const glm::i64vec3& coords = glm::i64vec3(0));
    Chunk(const Chunk&) = delete;
    Chunk& operator=(const Chunk&) = delete;
    // May run on any thread: the GL objects of the renderers go to the main thread's queue.
    ~Chunk();

    uint8_t getBlock(int x, int y, int z, int w) const { return blocks[index(x, y, z, w)]; }
    void setBlock(int x, int y, int z, int w, uint8_t id) { blocks[index(x, y, z, w)] = id; }

    // Storage: "x<X>z<Z>w<W>" under chunksPath, holding "entities.json" and "blocks.bin".
    std::filesystem::path getDirectory(const std::filesystem::path& chunksPath) const;
    static std::filesystem::path directoryOf(const std::filesystem::path& chunksPath,
                                             const glm::i64vec3& coords);
    static std::filesystem::path blocksPath(const std::filesystem::path& directory);
    static std::filesystem::path entitiesPath(const std::filesystem::path& directory);
    // True when both files were read; never throws. A save that was cut short is finished or
    // undone first (see ChunkDirectory.h).
    bool load(const std::filesystem::path& chunksPath);
    // Writes what the disk needs: the entity list (also an emptied one, so that gone entities
    // do not come back), and the blocks when they changed, replacing the chunk's directory as a
    // whole. Only for a chunk that loaded: one that did not knows nothing of what is stored,
    // and would overwrite it.
    void save(const std::filesystem::path& chunksPath);
    // Whether a save may write it: it loaded, and loading did not fail part way.
    bool maySave() const { return loaded && !loadFailed; }
    // The parts of a save: the copy, taken on the owner's thread; the writing, on any thread,
    // true when the disk holds the copy (also when there was nothing to write); and, back on the
    // owner's thread once it was written, what the chunk remembers of its stored files. The
    // copy's entity list ends with `alsoStored`: records of entities that lie in the chunk on
    // the disk only.
    SaveCopy saveCopy(const std::vector<nlohmann::json>& alsoStored = {}) const;
    static bool writeSaveCopy(const std::filesystem::path& chunksPath, const SaveCopy& copy);
    void markSaved(const SaveCopy& copy);
    // Whether a copy holds something the disk does not have yet.
    bool changedSinceSave(const SaveCopy& copy) const;
    // The entity list as a save writes it.
    std::string entityListText() const;

    // Takes ownership: block entities by their cell, others at the end of the moving list.
    // False when the entity was refused: a block entity whose cell is taken (the cell keeps its
    // old entity) or whose position makes no cell. A refused entity is not moved from: it stays
    // with the caller (a temporary dies with the call).
    bool addEntity(std::unique_ptr<Entity>&& entity);
    // Local cell of a position, as block entities are keyed.
    static glm::u8vec4 localCell(const glm::vec4& pos);
    // Whether a position gives a block-entity key: finite, y truncating into 0..255.
    static bool isValidCellPosition(const glm::vec4& pos);
    void updateEntities(World* world, Player* player);

    // Meshing. Appends the section whose lowest y is startY to an empty mesh.
    void buildSectionMesh(ChunkMesh& mesh, uint8_t startY, const Neighbours& neighbours) const;
    // The loaded chunks of the world beside this one, as buildSectionMesh takes them.
    Neighbours gatherNeighbours(World* world) const;
    // Worker thread: rebuilds all eight sections and publishes them for the main thread.
    void buildMesh(World* world, bool updateNeighbours);
    // Main thread: installs published meshes, then rebuilds and uploads dirty sections.
    void updateMesh(World* world);
    // One frame's drawing of chunk sections, shared by every chunk drawn in it: the block
    // shader looked up once, what section draws need (no blending, vertices from the face
    // records) set at the first draw and put back when the pass ends, and the list of the
    // tetrahedra a section submits.
    class SectionPass {
    public:
        SectionPass();
        ~SectionPass();
        SectionPass(const SectionPass&) = delete;
        SectionPass& operator=(const SectionPass&) = delete;

    private:
        friend class Chunk;
        GLuint program = 0;  // 0 without a block shader: nothing is drawn
        GLint mvLocation = -1;
        GLint fromFaceRecordsLocation = -1;
        GLint sectionFacesLocation = -1;
        GLint sectionTetrahedraLocation = -1;
        bool begun = false;
        bool blendingWasOn = false;
        GLint activeUnit = GL_TEXTURE0;
        // Each tetrahedron by the index of its first vertex among the section's twenty a face.
        std::vector<uint32_t> tetrahedra;

        void begin();
    };
    // The model-view that render takes: the world's view, moved to this chunk's corner.
    Mat5 modelView(const Mat5& view) const;
    // Main thread: installs published meshes, culls against the planes and draws. Returns the
    // number of tetrahedra submitted.
    uint32_t render(const Mat5& mv, const FrustumPlanes& planes, SectionPass& pass);

    // Main thread: deletes the GL objects of chunks destroyed since the last call.
    static void releaseRetiredRenderers();

private:
    std::array<ChunkMesh, SECTION_COUNT> pendingMeshes;  // under meshMutex
    bool hasPendingMeshes = false;                       // under meshMutex

    // Moves published meshes into the sections (keeping the main thread's dirty marks) and
    // uploads them. Main thread only.
    void installPendingMeshes();
    void uploadSection(int section);
};
