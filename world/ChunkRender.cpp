#include "engine/Shader.h"
#include "world/Chunk.h"
#include "world/ChunkFaceTables.h"

#include <glm/glm.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

// Where the hyperplane of view coordinate w = 0 cuts the edges of the chunk's bottom square
// (x, 0, z, w with x, z, w in {0, 8}). Returns the number of points written. Corners are sided
// as the block shader sides vertices (w > 0 against w <= 0): a corner on the hyperplane, as when
// the eye stands on a chunk border, still yields its point.
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
        const bool crosses = (a.w > 0.0f) != (b.w > 0.0f);
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

// Picks the tetrahedra of a section that the hyperplane may cut and that are not wholly behind
// a frustum plane: first whole cell columns, then, within the columns kept, each tetrahedron of
// each face. The rest would reach the renderer's serial geometry stage and draw nothing.
class TetrahedronSelection {
public:
    TetrahedronSelection(const Mat5& mv, const FrustumPlanes& planes) {
        functions[0] = hyperplaneOf(mv);
        for (size_t i = 0; i < planes.size(); ++i) functions[i + 1] = frustumPlaneOf(mv, planes[i]);
        // What each vertex of the face tables adds to each function.
        for (int axis = 0; axis < 4; ++axis)
            for (int k = 0; k < VERTICES_PER_FACE; ++k) {
                const uint8_t* d = cubeFaceTetrahedra[axis][k];
                const glm::vec4 offset(d[0], d[1], d[2], d[3]);
                for (int f = 0; f < FUNCTIONS; ++f)
                    cornerTerms[axis][k][f] = glm::dot(functions[f].gradient, offset);
            }
    }

    void collect(const Chunk::ChunkMesh& mesh, int startY, std::vector<uint32_t>& list) const {
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
        auto at = [&](int k, int x, int z, int w) {
            const glm::vec4& g = functions[k].gradient;
            return g.x * float(x) + g.z * float(z) + g.w * float(w);
        };

        list.clear();
        for (int w = 0; w < Chunk::SIZE; ++w)
            for (int x = 0; x < Chunk::SIZE; ++x)
                for (int z = 0; z < Chunk::SIZE; ++z) {
                    const int c = Chunk::column(x, z, w);
                    const uint32_t first = mesh.columnStarts[c], end = mesh.columnStarts[c + 1];
                    if (first == end) continue;
                    const float cut = at(0, x, z, w);
                    if (!(lowest[0] + cut <= 0.0f && highest[0] + cut > 0.0f)) continue;
                    // Planes the whole column lies in front of need no test per tetrahedron.
                    uint32_t planesToTest = 0;
                    bool outside = false;
                    for (int k = 1; k < FUNCTIONS; ++k) {
                        const float term = at(k, x, z, w);
                        outside = outside || highest[k] + term < 0.0f;
                        if (lowest[k] + term < 0.0f) planesToTest |= 1u << k;
                    }
                    if (outside) continue;
                    for (uint32_t face = first; face < end; ++face)
                        collectFace(mesh.faceRecords[face], face, planesToTest, list);
                }
    }

private:
    static constexpr int FUNCTIONS = 7;  // the hyperplane, then the six frustum planes
    std::array<ViewFunction, FUNCTIONS> functions;
    float cornerTerms[4][VERTICES_PER_FACE][FUNCTIONS];

    void collectFace(uint32_t record, uint32_t face, uint32_t planesToTest,
                     std::vector<uint32_t>& list) const {
        const FaceRecord r = unpackFaceRecord(record);
        const glm::vec4 corner(r.corner);
        std::array<float, FUNCTIONS> base;
        for (int f = 0; f < FUNCTIONS; ++f)
            base[f] = functions[f].offset + glm::dot(functions[f].gradient, corner);
        const auto& terms = cornerTerms[r.axis];
        for (int t = 0; t < VERTICES_PER_FACE; t += 4) {
            // Cut when some vertex lies on each side of the hyperplane (within the margin).
            float lo = terms[t][0], hi = terms[t][0];
            for (int v = 1; v < 4; ++v) {
                lo = std::min(lo, terms[t + v][0]);
                hi = std::max(hi, terms[t + v][0]);
            }
            const float margin = functions[0].margin;
            if (base[0] + lo > margin || base[0] + hi <= -margin) continue;
            bool outside = false;
            for (int f = 1; f < FUNCTIONS && !outside; ++f) {
                if (!(planesToTest >> f & 1u)) continue;
                float top = terms[t][f];
                for (int v = 1; v < 4; ++v) top = std::max(top, terms[t + v][f]);
                outside = base[f] + top + functions[f].margin < 0.0f;
            }
            if (!outside) list.push_back(face * VERTICES_PER_FACE + uint32_t(t));
        }
    }
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

Chunk::SectionPass::SectionPass() {
    const Shader* shader = getShader("blockShader");
    if (!shader) return;
    program = shader->program;
    mvLocation = glGetUniformLocation(program, "MV");
    fromFaceRecordsLocation = glGetUniformLocation(program, "fromFaceRecords");
    sectionFacesLocation = glGetUniformLocation(program, "sectionFaces");
    sectionTetrahedraLocation = glGetUniformLocation(program, "sectionTetrahedra");
}

// Block faces are opaque (every tile a face samples has full alpha), so blending them changes
// nothing but costs the renderer a read of every sample it writes. The sections' vertices come
// from their face records (the block models that share the shader keep their attributes).
void Chunk::SectionPass::begin() {
    if (begun) return;
    begun = true;
    blendingWasOn = glIsEnabled(GL_BLEND);
    if (blendingWasOn) glDisable(GL_BLEND);
    glUniform1i(fromFaceRecordsLocation, 1);
    glUniform1i(sectionFacesLocation, SECTION_FACES_UNIT);
    glUniform1i(sectionTetrahedraLocation, SECTION_TETRAHEDRA_UNIT);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &activeUnit);
}

Chunk::SectionPass::~SectionPass() {
    if (!begun) return;
    if (blendingWasOn) glEnable(GL_BLEND);
    glUseProgram(program);
    glUniform1i(fromFaceRecordsLocation, 0);
    for (int unit : {SECTION_FACES_UNIT, SECTION_TETRAHEDRA_UNIT}) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_BUFFER, 0);
    }
    glActiveTexture(GLenum(activeUnit));
}

Mat5 Chunk::modelView(const Mat5& view) const {
    Mat5 mv = view;
    const glm::vec4 offset(float(coords.x * SIZE), 0.0f, float(coords.y * SIZE),
                           float(coords.z * SIZE));
    const glm::vec4 translation = view.transform(offset, 1.0f);
    for (int r = 0; r < 4; ++r) mv.at(4, r) = translation[r];
    return mv;
}

uint32_t Chunk::render(const Mat5& mv, const FrustumPlanes& planes, SectionPass& pass) {
    if (!hasMesh) return 0;
    installPendingMeshes();

    if (pass.program == 0) return 0;
    glUseProgram(pass.program);
    glUniform1fv(pass.mvLocation, 25, mv.data());

    int lastNonEmpty = -1;
    for (int s = 0; s < SECTION_COUNT; ++s)
        if (!sectionMeshes[s].empty()) lastNonEmpty = s;
    if (lastNonEmpty < 0) return 0;

    // Bottom polygon of the slice through the chunk, then the same polygon one section higher.
    glm::vec3 points[24];
    int n = sliceChunkBox(mv, points);
    if (n == 0) return 0;
    glm::vec3 up(mv.transform(glm::vec4(0.0f, float(SECTION_HEIGHT), 0.0f, 0.0f), 0.0f));
    for (int i = 0; i < n; ++i) points[n + i] = points[i] + up;

    const TetrahedronSelection selection(mv, planes);
    uint32_t submitted = 0;
    for (int s = 0; s <= lastNonEmpty; ++s) {
        if (!sectionMeshes[s].empty() && !outsideAnyPlane(planes, points, 2 * n) &&
            sectionRenderers[s].vao != 0) {
            selection.collect(sectionMeshes[s], s * SECTION_HEIGHT, pass.tetrahedra);
            if (!pass.tetrahedra.empty()) {
                pass.begin();
                sectionRenderers[s].draw(pass.tetrahedra);
                submitted += uint32_t(pass.tetrahedra.size());
            }
        }
        for (int i = 0; i < 2 * n; ++i) points[i] += up;
    }
    return submitted;
}
