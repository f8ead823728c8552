#include "engine/Shader.h"
#include "world/Chunk.h"
#include "world/ChunkFaceTables.h"

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

// A linear function of chunk-local points, gradient . p + offset, as the chunk's model-view
// gives it: the view's fourth coordinate (the block shader cuts a tetrahedron only where its
// corners lie on both sides of zero) or the signed distance from a frustum plane (what lies
// behind any plane is out of view). A cell column is left out only when it is farther than
// the margin from where it might count.
struct ViewFunction {
    glm::vec4 gradient;
    float offset;
    float margin;
};

// The view's fourth coordinate. The margin covers the shader's own rounding.
ViewFunction hyperplaneOf(const Mat5& mv) {
    ViewFunction f{{mv.at(0, 3), mv.at(1, 3), mv.at(2, 3), mv.at(3, 3)}, mv.at(4, 3), 0.0f};
    const glm::vec4 extent(Chunk::SIZE, Chunk::HEIGHT, Chunk::SIZE, Chunk::SIZE);
    f.margin = 1e-5f * (std::fabs(f.offset) + glm::dot(glm::abs(f.gradient), extent)) + 1e-6f;
    return f;
}

// Signed distance from a frustum plane (a, b, c, d) of the 3D view. The margin covers the
// shader's widening of the cut (at most 8 x 2e-4 of the distance from the eye) and rounding.
ViewFunction frustumPlaneOf(const Mat5& mv, const glm::vec4& plane) {
    ViewFunction f{};
    for (int c = 0; c < 4; ++c)
        f.gradient[c] = plane.x * mv.at(c, 0) + plane.y * mv.at(c, 1) + plane.z * mv.at(c, 2);
    f.offset = plane.x * mv.at(4, 0) + plane.y * mv.at(4, 1) + plane.z * mv.at(4, 2) + plane.w;
    const glm::vec3 origin(mv.at(4, 0), mv.at(4, 1), mv.at(4, 2));
    f.margin = 0.01f + 2e-3f * (glm::length(origin) + float(Chunk::HEIGHT + 2 * Chunk::SIZE));
    return f;
}

// Runs of neighbouring cell columns of one section to draw, as vertex ranges for one
// multi-draw. Columns left out break a run only when they hold faces, so half the columns is
// the most runs there can be.
struct ColumnRuns {
    std::array<GLint, Chunk::COLUMN_COUNT / 2 + 1> first;
    std::array<GLsizei, Chunk::COLUMN_COUNT / 2 + 1> count;
    GLsizei size = 0;
};

// Picks the cell columns of a section that the hyperplane may cut and that are not wholly
// behind a frustum plane.
class ColumnSelection {
public:
    ColumnSelection(const Mat5& mv, const FrustumPlanes& planes) {
        functions[0] = hyperplaneOf(mv);
        for (size_t i = 0; i < planes.size(); ++i) functions[i + 1] = frustumPlaneOf(mv, planes[i]);
    }

    void collect(const Chunk::ChunkMesh& mesh, int startY, ColumnRuns& runs) const {
        // Lowest and highest value of each function over a column's box, but for the terms of
        // the column's x, z and w.
        const glm::vec4 boxExtent(1.0f, float(Chunk::SECTION_HEIGHT), 1.0f, 1.0f);
        std::array<float, FUNCTIONS> lowest, highest;
        for (int k = 0; k < FUNCTIONS; ++k) {
            const ViewFunction& f = functions[k];
            const float base = f.offset + f.gradient.y * float(startY);
            lowest[k] = base + glm::dot(glm::min(f.gradient, 0.0f), boxExtent) - f.margin;
            highest[k] = base + glm::dot(glm::max(f.gradient, 0.0f), boxExtent) + f.margin;
        }
        auto drawn = [&](int x, int z, int w) {
            auto at = [&](int k) {
                const glm::vec4& g = functions[k].gradient;
                return g.x * float(x) + g.z * float(z) + g.w * float(w);
            };
            const float cut = at(0);
            if (!(lowest[0] + cut <= 0.0f && highest[0] + cut > 0.0f)) return false;
            for (int k = 1; k < FUNCTIONS; ++k)
                if (highest[k] + at(k) < 0.0f) return false;
            return true;
        };

        runs.size = 0;
        GLint runEnd = -1;
        for (int w = 0; w < Chunk::SIZE; ++w)
            for (int x = 0; x < Chunk::SIZE; ++x)
                for (int z = 0; z < Chunk::SIZE; ++z) {
                    const int c = Chunk::column(x, z, w);
                    const GLint start = mesh.columnStarts[c] * VERTICES_PER_FACE;
                    const GLint end = mesh.columnStarts[c + 1] * VERTICES_PER_FACE;
                    if (start == end) continue;
                    if (!drawn(x, z, w)) {
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

private:
    static constexpr int FUNCTIONS = 7;  // the hyperplane, then the six frustum planes
    std::array<ViewFunction, FUNCTIONS> functions;
};

// Block faces are opaque (every tile a face samples has full alpha), so blending them changes
// nothing but costs the renderer a read of every sample it writes. The sections' vertices come
// from their face records (the block models that share the shader keep their attributes). Both
// set for the chunk's draws from the first one on; as they were again afterwards.
class SectionDrawing {
public:
    explicit SectionDrawing(const Chunk::BlockProgram& program) : program(program) {}
    ~SectionDrawing() {
        if (!begun) return;
        if (blendingWasOn) glEnable(GL_BLEND);
        glUniform1i(program.fromFaceRecordsLocation, 0);
        glBindTexture(GL_TEXTURE_BUFFER, 0);
        glActiveTexture(GLenum(activeUnit));
    }
    void begin() {
        if (begun) return;
        begun = true;
        blendingWasOn = glIsEnabled(GL_BLEND);
        if (blendingWasOn) glDisable(GL_BLEND);
        glUniform1i(program.fromFaceRecordsLocation, 1);
        glUniform1i(program.sectionFacesLocation, SECTION_FACES_UNIT);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
        glActiveTexture(GL_TEXTURE0 + SECTION_FACES_UNIT);
    }

private:
    const Chunk::BlockProgram& program;
    bool begun = false;
    bool blendingWasOn = false;
    GLint activeUnit = GL_TEXTURE0;
};

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

Chunk::BlockProgram Chunk::blockProgram() {
    const Shader* shader = getShader("blockShader");
    if (!shader) return {};
    return {shader->program, glGetUniformLocation(shader->program, "MV"),
            glGetUniformLocation(shader->program, "fromFaceRecords"),
            glGetUniformLocation(shader->program, "sectionFaces")};
}

Mat5 Chunk::modelView(const Mat5& view) const {
    Mat5 mv = view;
    const glm::vec4 offset(float(coords.x * SIZE), 0.0f, float(coords.y * SIZE),
                           float(coords.z * SIZE));
    const glm::vec4 translation = view.transform(offset, 1.0f);
    for (int r = 0; r < 4; ++r) mv.at(4, r) = translation[r];
    return mv;
}

void Chunk::render(const Mat5& mv, const FrustumPlanes& planes, const BlockProgram& program) {
    if (!hasMesh) return;
    installPendingMeshes();

    if (program.program == 0) return;
    glUseProgram(program.program);
    glUniform1fv(program.mvLocation, 25, mv.data());

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

    const ColumnSelection columns(mv, planes);
    ColumnRuns runs;
    SectionDrawing drawing(program);
    for (int s = 0; s <= lastNonEmpty; ++s) {
        if (!sectionMeshes[s].empty() && !outsideAnyPlane(planes, points, 2 * n) &&
            sectionRenderers[s].vao != 0) {
            columns.collect(sectionMeshes[s], s * SECTION_HEIGHT, runs);
            if (runs.size > 0) {
                drawing.begin();
                glBindTexture(GL_TEXTURE_BUFFER, sectionRenderers[s].texture);
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
