#include "engine/Shader.h"
#include "world/Chunk.h"

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

    for (int s = 0; s <= lastNonEmpty; ++s) {
        if (!sectionMeshes[s].empty() && !outsideAnyPlane(planes, points, 2 * n) &&
            sectionRenderers[s].vao != 0) {
            glBindVertexArray(sectionRenderers[s].vao);
            glDrawArrays(GL_LINES_ADJACENCY, 0, GLsizei(sectionMeshes[s].vertCount()));
            glBindBuffer(GL_ARRAY_BUFFER, 0);
            glBindVertexArray(0);
        }
        for (int i = 0; i < 2 * n; ++i) points[i] += up;
    }
}
