#include "engine/Shader.h"
#include "world/Chunk.h"

#include <glm/glm.hpp>

#include <array>
#include <cmath>

namespace {

// Where the hyperplane of view coordinate w = 0 cuts the edges of the chunk's bottom square
// (x, 0, z, w with x, z, w in {0, 8}). Returns the number of points written.
int sliceChunkBox(const Mat5& mv, glm::vec3 points[12]) {
    glm::vec4 corners[8];
    for (int i = 0; i < 8; ++i) {
        glm::vec4 local(float(i & 1) * 8.0f, 0.0f, float((i >> 1) & 1) * 8.0f,
                        float((i >> 2) & 1) * 8.0f);
        corners[i] = mv.transform(local, 1.0f);
    }
    static constexpr int edges[12][2] = {{0, 1}, {0, 2}, {1, 3}, {2, 3}, {4, 5}, {4, 6},
                                         {5, 7}, {6, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
    int count = 0;
    for (const auto& edge : edges) {
        const glm::vec4& a = corners[edge[0]];
        const glm::vec4& b = corners[edge[1]];
        bool crosses = (a.w >= 1e-7f && b.w <= -1e-7f) || (a.w <= -1e-7f && b.w >= 1e-7f);
        if (!crosses) continue;
        float t = std::fabs(b.w - a.w) > 1e-7f ? -a.w / (b.w - a.w) : 0.0f;
        points[count++] = glm::vec3(a + (b - a) * t);
    }
    return count;
}

// The view's fourth coordinate of a chunk-local point p: dot(gradient, p) + offset. The block
// shader cuts a tetrahedron only where it has corners on both sides of zero.
struct ViewHyperplane {
    glm::vec4 gradient;
    float offset;
    // How far the shader's own arithmetic may stray from ours: a column is left out only when
    // it lies farther than this on one side.
    float margin;

    explicit ViewHyperplane(const Mat5& mv)
        : gradient(mv.at(0, 3), mv.at(1, 3), mv.at(2, 3), mv.at(3, 3)), offset(mv.at(4, 3)) {
        const glm::vec4 extent(Chunk::SIZE, Chunk::HEIGHT, Chunk::SIZE, Chunk::SIZE);
        margin = 1e-5f * (std::fabs(offset) + glm::dot(glm::abs(gradient), extent)) + 1e-6f;
    }
};

// Runs of neighbouring cell columns of one section that the hyperplane may cut, as vertex
// ranges for one multi-draw. Columns it misses break a run only when they hold faces; a run
// of crossed columns is at least one missed column away from the next, so half the columns
// is the most runs there can be.
struct ColumnRuns {
    std::array<GLint, Chunk::COLUMN_COUNT / 2 + 1> first;
    std::array<GLsizei, Chunk::COLUMN_COUNT / 2 + 1> count;
    GLsizei size = 0;
};

void collectCrossedColumns(const Chunk::ChunkMesh& mesh, const ViewHyperplane& plane, int startY,
                           ColumnRuns& runs) {
    constexpr int VERTICES_PER_FACE = 20;
    const glm::vec4 g = plane.gradient;
    // Lowest and highest value over a column's box relative to its lowest corner.
    const glm::vec4 boxExtent(1.0f, float(Chunk::SECTION_HEIGHT), 1.0f, 1.0f);
    const float below = glm::dot(glm::min(g, 0.0f), boxExtent);
    const float above = glm::dot(glm::max(g, 0.0f), boxExtent);
    const float sectionBase = plane.offset + g.y * float(startY);
    runs.size = 0;
    GLint runEnd = -1;
    for (int w = 0; w < Chunk::SIZE; ++w)
        for (int x = 0; x < Chunk::SIZE; ++x)
            for (int z = 0; z < Chunk::SIZE; ++z) {
                const int c = Chunk::column(x, z, w);
                const GLint start = mesh.columnStarts[c] * VERTICES_PER_FACE;
                const GLint end = mesh.columnStarts[c + 1] * VERTICES_PER_FACE;
                if (start == end) continue;
                const float base = sectionBase + g.x * float(x) + g.z * float(z) + g.w * float(w);
                const bool crossed = base + below <= plane.margin && base + above > -plane.margin;
                if (!crossed) {
                    runEnd = -1;
                } else if (runEnd == start) {
                    runs.count[runs.size - 1] += end - start;
                    runEnd = end;
                } else {
                    runs.first[runs.size] = start;
                    runs.count[runs.size] = end - start;
                    ++runs.size;
                    runEnd = end;
                }
            }
}

bool outsideAnyPlane(const FrustumPlanes& planes, const glm::vec3* points, int count) {
    for (const glm::vec4& plane : planes) {
        bool allBehind = true;
        for (int i = 0; i < count && allBehind; ++i)
            allBehind = glm::dot(glm::vec3(plane), points[i]) + plane.w < 0.0f;
        if (allBehind) return true;
    }
    return false;
}

}  // namespace

void Chunk::render(const Mat5& mv, const FrustumPlanes& planes) {
    if (!hasMesh) return;
    installPendingMeshes();

    Shader* shader = getShader("blockShader");
    if (!shader) return;
    glUseProgram(shader->program);
    glUniform1fv(glGetUniformLocation(shader->program, "MV"), 25, mv.data());

    int lastNonEmpty = -1;
    for (int s = 0; s < SECTION_COUNT; ++s)
        if (!sectionMeshes[s].empty()) lastNonEmpty = s;
    if (lastNonEmpty < 0) return;

    // Bottom polygon of the slice through the chunk, then the same polygon one section higher.
    glm::vec3 points[24];
    int n = sliceChunkBox(mv, points);
    if (n == 0) return;
    glm::vec3 up(mv.transform(glm::vec4(0.0f, float(SECTION_HEIGHT), 0.0f, 0.0f), 0.0f));
    for (int i = 0; i < n; ++i) points[n + i] = points[i] + up;

    const ViewHyperplane hyperplane(mv);
    ColumnRuns runs;
    for (int s = 0; s <= lastNonEmpty; ++s) {
        if (!sectionMeshes[s].empty() && !outsideAnyPlane(planes, points, 2 * n) &&
            sectionRenderers[s].vao != 0) {
            collectCrossedColumns(sectionMeshes[s], hyperplane, s * SECTION_HEIGHT, runs);
            if (runs.size > 0) {
                glBindVertexArray(sectionRenderers[s].vao);
                glMultiDrawArrays(GL_LINES_ADJACENCY, runs.first.data(), runs.count.data(),
                                  runs.size);
                glBindBuffer(GL_ARRAY_BUFFER, 0);
                glBindVertexArray(0);
            }
        }
        for (int i = 0; i < 2 * n; ++i) points[i] += up;
    }
}
