#include "engine/GlContext.h"
#include "engine/MeshRenderer.h"

#include "GlDeleteCounter.h"
#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace {

// A tetrahedron with three attributes of different kinds: 4D positions, byte colours and one
// float per vertex read with a stride of 8 bytes (every other float of its array).
struct TetrahedronMesh {
    glm::vec4 positions[4] = {{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
    uint8_t colors[12] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9};
    float weights[8] = {1, -1, 2, -1, 3, -1, 4, -1};
    GenericMesh mesh;

    explicit TetrahedronMesh(uint32_t vertices = 4) {
        mesh.vertCount_ = vertices;
        mesh.attribs = {{GL_FLOAT, 4, positions, vertices * 16, 0},
                        {GL_UNSIGNED_BYTE, 3, colors, vertices * 3, 0},
                        {GL_FLOAT, 1, weights, vertices * 8, 8}};
    }
};

GLint vertexAttrib(GLuint index, GLenum property) {
    GLint value = -1;
    glGetVertexAttribiv(index, property, &value);
    return value;
}

// What a buffer holds against what an attribute record points at.
void expectBufferHolds(GLuint buffer, const GenericMesh::Attrib& a) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    GLint size = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (size > 0) glGetBufferSubData(GL_ARRAY_BUFFER, 0, size, bytes.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    const auto* data = static_cast<const uint8_t*>(a.data);
    EXPECT_EQ(bytes, std::vector<uint8_t>(data, data + a.dataSize));
}

class MeshRendererTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(testgl::context(), nullptr); }
};

TEST(MeshArr, ReportsItsTwoAttributes) {
    glm::vec4 positions[3]{};
    float second[9]{};
    MeshArr mesh;
    mesh.positions = positions;
    mesh.second = second;
    mesh.vertCount_ = 3;
    EXPECT_EQ(mesh.attribCount(), 2);
    EXPECT_EQ(std::make_pair(mesh.attribSize(0), mesh.attribSize(1)), std::make_pair(4, 3));
    EXPECT_EQ(std::make_pair(mesh.attribDataSize(0), mesh.attribDataSize(1)),
              std::make_pair(48u, 36u));
    EXPECT_EQ(mesh.attribData(1), static_cast<const void*>(second));
}

TEST(MeshRendererNoContext, NeverUploadedRendererMakesNoGlCall) {
    // Runs whether or not a context exists yet: with none, any GL call would crash.
    GlDeleteCounter counter;
    {
        MeshRenderer renderer;
        EXPECT_EQ(renderer.mode, static_cast<GLenum>(GL_LINES_ADJACENCY));
        MeshRenderer moved(std::move(renderer));
        MeshRenderer assigned;
        assigned = std::move(moved);
    }
    EXPECT_EQ(GlDeleteCounter::buffers + GlDeleteCounter::vertexArrays, 0);
}

TEST_F(MeshRendererTest, UploadDescribesEveryAttributeAsTheMeshReports) {
    TetrahedronMesh tetrahedron;
    MeshRenderer renderer;
    renderer.init(&tetrahedron.mesh);
    ASSERT_NE(renderer.vao, 0u);
    EXPECT_EQ(renderer.attribCount, 3);
    EXPECT_EQ(renderer.vertCount, 4u);
    glBindVertexArray(renderer.vao);
    for (GLuint i = 0; i < 3; ++i) {
        const GenericMesh::Attrib& a = tetrahedron.mesh.attribs[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(vertexAttrib(i, GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_TRUE);
        EXPECT_EQ(vertexAttrib(i, GL_VERTEX_ATTRIB_ARRAY_SIZE), static_cast<GLint>(a.size));
        EXPECT_EQ(vertexAttrib(i, GL_VERTEX_ATTRIB_ARRAY_TYPE), static_cast<GLint>(a.type));
        EXPECT_EQ(vertexAttrib(i, GL_VERTEX_ATTRIB_ARRAY_STRIDE), static_cast<GLint>(a.stride));
        // The float path, not normalised: byte 255 reaches the shader as 255.0.
        EXPECT_EQ(vertexAttrib(i, GL_VERTEX_ATTRIB_ARRAY_NORMALIZED), GL_FALSE);
        EXPECT_EQ(vertexAttrib(i, GL_VERTEX_ATTRIB_ARRAY_INTEGER), GL_FALSE);
        EXPECT_EQ(vertexAttrib(i, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING),
                  static_cast<GLint>(renderer.vbos[i]));
        expectBufferHolds(renderer.vbos[i], a);
    }
    EXPECT_EQ(vertexAttrib(3, GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_FALSE);
    glBindVertexArray(0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshRendererTest, SetMeshUploadsOnceThenKeepsTheNamesAndReplacesTheData) {
    TetrahedronMesh empty(0), tetrahedron;
    MeshRenderer renderer;
    renderer.setMesh(&empty.mesh);  // nothing uploaded yet: this is the first upload
    ASSERT_NE(renderer.vao, 0u);
    EXPECT_EQ(renderer.vertCount, 0u);
    expectBufferHolds(renderer.vbos[0], empty.mesh.attribs[0]);  // empty
    const GLuint vao = renderer.vao;
    const std::vector<GLuint> vbos(renderer.vbos, renderer.vbos + 3);

    GlDeleteCounter counter;
    renderer.setMesh(&tetrahedron.mesh);
    EXPECT_EQ(GlDeleteCounter::buffers + GlDeleteCounter::vertexArrays, 0);
    EXPECT_EQ(renderer.vao, vao);
    EXPECT_EQ(std::vector<GLuint>(renderer.vbos, renderer.vbos + renderer.attribCount), vbos);
    EXPECT_EQ(renderer.vertCount, 4u);
    for (int i = 0; i < 3; ++i) expectBufferHolds(renderer.vbos[i], tetrahedron.mesh.attribs[i]);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Every upload's vertex array and three buffers are deleted exactly once, by whoever holds them
// last: init again, release, move assignment and destruction.
TEST_F(MeshRendererTest, GlNamesAreReleasedExactlyOnce) {
    TetrahedronMesh tetrahedron;
    auto expectDeleted = [](int uploads) {
        EXPECT_EQ(GlDeleteCounter::vertexArrays, uploads);
        EXPECT_EQ(GlDeleteCounter::buffers, 3 * uploads);
    };
    MeshRenderer first;
    first.init(&tetrahedron.mesh);
    GlDeleteCounter counter;
    first.init(&tetrahedron.mesh);
    expectDeleted(1);
    EXPECT_NE(first.vao, 0u);

    const GLuint vao = first.vao;
    MeshRenderer second(std::move(first));
    EXPECT_EQ(first.vao, 0u);
    EXPECT_EQ(first.vbos, nullptr);
    EXPECT_EQ(second.vao, vao);
    EXPECT_EQ(second.vertCount, 4u);
    {
        MeshRenderer third;
        third.init(&tetrahedron.mesh);
        third = std::move(second);  // third's own objects go, second's arrive
        expectDeleted(2);
        EXPECT_EQ(third.vao, vao);
        EXPECT_EQ(second.vao, 0u);
    }
    expectDeleted(3);

    {
        RenderedMesh rendered;
        rendered.mesh = tetrahedron.mesh;
        rendered.renderer.init(&rendered.mesh);
        EXPECT_EQ(rendered.renderer.vertCount, 4u);
    }
    expectDeleted(4);

    first.init(&tetrahedron.mesh);
    first.release();
    expectDeleted(5);
    EXPECT_EQ(first.vao, 0u);
    EXPECT_EQ(first.vbos, nullptr);
    EXPECT_EQ(first.attribCount, 0);

    // Destroyed after the context is gone: no GL call at all.
    auto* late = new MeshRenderer;
    late->init(&tetrahedron.mesh);
    setGlContextAlive(false);
    delete late;
    setGlContextAlive(true);
    expectDeleted(5);
}

#ifdef NDEBUG
TEST_F(MeshRendererTest, SetMeshOfAnotherLayoutGetsFreshObjectsWithoutAssertions) {
    TetrahedronMesh tetrahedron;
    MeshRenderer renderer;
    renderer.init(&tetrahedron.mesh);
    tetrahedron.mesh.attribs.pop_back();
    renderer.setMesh(&tetrahedron.mesh);
    EXPECT_EQ(renderer.attribCount, 2);
    glBindVertexArray(renderer.vao);
    EXPECT_EQ(vertexAttrib(2, GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_FALSE);
    glBindVertexArray(0);
}
#endif

}  // namespace
