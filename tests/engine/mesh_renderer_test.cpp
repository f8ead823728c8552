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
    std::vector<glm::vec4> positions;
    std::vector<uint8_t> colors;
    std::vector<float> weights;
    GenericMesh mesh;

    explicit TetrahedronMesh(float offset = 0.0f) {
        positions = {{offset, 0, 0, 0}, {1, offset, 0, 0}, {0, 1, offset, 0}, {0, 0, 1, offset}};
        colors = {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9};
        weights = {1, -1, 2, -1, 3, -1, 4, -1};
        describe();
    }

    // Two tetrahedra: the same layout with another vertex count.
    void doubleUp() {
        const size_t n = positions.size();
        for (size_t i = 0; i < n; ++i) positions.push_back(positions[i] + glm::vec4(5));
        colors.insert(colors.end(), colors.begin(), colors.end());
        weights.insert(weights.end(), weights.begin(), weights.end());
        describe();
    }

    void describe() {
        const auto vertices = static_cast<uint32_t>(positions.size());
        mesh.vertCount_ = vertices;
        mesh.attribs = {
            {GL_FLOAT, 4, positions.data(), vertices * 16, 0},
            {GL_UNSIGNED_BYTE, 3, colors.data(), vertices * 3, 0},
            {GL_FLOAT, 1, weights.data(), vertices * 8, 8},
        };
    }
};

GLint vertexAttrib(GLuint index, GLenum property) {
    GLint value = -1;
    glGetVertexAttribiv(index, property, &value);
    return value;
}

std::vector<uint8_t> bufferContents(GLuint buffer) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    GLint size = 0;
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    if (size > 0) glGetBufferSubData(GL_ARRAY_BUFFER, 0, size, bytes.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return bytes;
}

std::vector<uint8_t> bytesOf(const void* data, size_t size) {
    const auto* begin = static_cast<const uint8_t*>(data);
    return {begin, begin + size};
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
    EXPECT_EQ(mesh.attribSize(0), 4);
    EXPECT_EQ(mesh.attribSize(1), 3);
    EXPECT_EQ(mesh.attribType(1), static_cast<GLenum>(GL_FLOAT));
    EXPECT_EQ(mesh.attribDataSize(0), 48u);
    EXPECT_EQ(mesh.attribDataSize(1), 36u);
    EXPECT_EQ(mesh.attribData(0), static_cast<const void*>(positions));
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
    EXPECT_EQ(GlDeleteCounter::buffers, 0);
    EXPECT_EQ(GlDeleteCounter::vertexArrays, 0);
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
        EXPECT_EQ(bufferContents(renderer.vbos[i]), bytesOf(a.data, a.dataSize));
    }
    EXPECT_EQ(vertexAttrib(3, GL_VERTEX_ATTRIB_ARRAY_ENABLED), GL_FALSE);
    glBindVertexArray(0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshRendererTest, SetMeshKeepsTheNamesAndReplacesTheData) {
    TetrahedronMesh tetrahedron;
    MeshRenderer renderer;
    renderer.setMesh(&tetrahedron.mesh);  // nothing uploaded yet: this is the first upload
    ASSERT_NE(renderer.vao, 0u);
    const GLuint vao = renderer.vao;
    const std::vector<GLuint> vbos(renderer.vbos, renderer.vbos + renderer.attribCount);

    tetrahedron.doubleUp();
    GlDeleteCounter counter;
    renderer.setMesh(&tetrahedron.mesh);
    EXPECT_EQ(GlDeleteCounter::buffers + GlDeleteCounter::vertexArrays, 0);
    EXPECT_EQ(renderer.vao, vao);
    EXPECT_EQ(std::vector<GLuint>(renderer.vbos, renderer.vbos + renderer.attribCount), vbos);
    EXPECT_EQ(renderer.vertCount, 8u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(bufferContents(renderer.vbos[i]),
                  bytesOf(tetrahedron.mesh.attribs[i].data, tetrahedron.mesh.attribs[i].dataSize))
            << i;
}

TEST_F(MeshRendererTest, InitAgainReleasesTheEarlierObjectsFirst) {
    TetrahedronMesh tetrahedron;
    MeshRenderer renderer;
    renderer.init(&tetrahedron.mesh);
    {
        GlDeleteCounter counter;
        renderer.init(&tetrahedron.mesh);
        EXPECT_EQ(GlDeleteCounter::vertexArrays, 1);
        EXPECT_EQ(GlDeleteCounter::buffers, 3);
    }
    EXPECT_NE(renderer.vao, 0u);
    EXPECT_EQ(renderer.vertCount, 4u);
    GlDeleteCounter counter;
    renderer.release();
    EXPECT_EQ(GlDeleteCounter::vertexArrays, 1);
    EXPECT_EQ(GlDeleteCounter::buffers, 3);
    EXPECT_EQ(renderer.vao, 0u);
    EXPECT_EQ(renderer.vbos, nullptr);
    EXPECT_EQ(renderer.attribCount, 0);
}

TEST_F(MeshRendererTest, MoveHandsOverTheNamesOnce) {
    TetrahedronMesh tetrahedron;
    MeshRenderer first;
    first.init(&tetrahedron.mesh);
    const GLuint vao = first.vao;
    MeshRenderer second(std::move(first));
    EXPECT_EQ(first.vao, 0u);
    EXPECT_EQ(first.vbos, nullptr);
    EXPECT_EQ(second.vao, vao);
    EXPECT_EQ(second.vertCount, 4u);

    MeshRenderer third;
    third.init(&tetrahedron.mesh);
    GlDeleteCounter counter;
    third = std::move(second);  // third's own objects go, second's arrive
    EXPECT_EQ(GlDeleteCounter::vertexArrays, 1);
    EXPECT_EQ(GlDeleteCounter::buffers, 3);
    EXPECT_EQ(third.vao, vao);
    EXPECT_EQ(second.vao, 0u);
}

TEST_F(MeshRendererTest, DestroyedAfterTheContextIsGoneMakesNoGlCall) {
    TetrahedronMesh tetrahedron;
    auto* renderer = new MeshRenderer;
    renderer->init(&tetrahedron.mesh);
    GlDeleteCounter counter;
    setGlContextAlive(false);
    delete renderer;
    setGlContextAlive(true);
    EXPECT_EQ(GlDeleteCounter::buffers + GlDeleteCounter::vertexArrays, 0);
}

TEST_F(MeshRendererTest, EmptyMeshUploadsEmptyBuffers) {
    GenericMesh empty;
    empty.attribs = {{GL_FLOAT, 4, nullptr, 0, 0}};
    MeshRenderer renderer;
    renderer.init(&empty);
    ASSERT_NE(renderer.vao, 0u);
    EXPECT_EQ(renderer.vertCount, 0u);
    EXPECT_TRUE(bufferContents(renderer.vbos[0]).empty());
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(MeshRendererTest, RenderedMeshOwnsItsUpload) {
    TetrahedronMesh tetrahedron;
    GlDeleteCounter counter;
    {
        RenderedMesh rendered;
        rendered.mesh = tetrahedron.mesh;
        rendered.renderer.init(&rendered.mesh);
        EXPECT_EQ(rendered.renderer.vertCount, 4u);
    }
    EXPECT_EQ(GlDeleteCounter::vertexArrays, 1);
    EXPECT_EQ(GlDeleteCounter::buffers, 3);
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
