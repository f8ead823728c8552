#include "support/GlTestContext.h"
#include "support/TempWorkDir.h"

#include "engine/Shader.h"

#include <gtest/gtest.h>

namespace {

const char* plainVertex = R"(#version 330 core
layout(location = 0) in vec3 position;
void main() { gl_Position = vec4(position, 1.0); }
)";
const char* passGeometry = R"(#version 330 core
layout(triangles) in;
layout(triangle_strip, max_vertices = 3) out;
void main() {
    for (int i = 0; i < 3; ++i) { gl_Position = gl_in[i].gl_Position; EmitVertex(); }
    EndPrimitive();
}
)";
const char* plainFragment = R"(#version 330 core
out vec4 colour;
void main() { colour = vec4(1.0); }
)";
// Compiles on its own, but a program needs a main in every stage: the link fails.
const char* fragmentWithoutMain = R"(#version 330 core
out vec4 colour;
void paint() { colour = vec4(1.0); }
)";
const char* brokenVertex = "#version 330 core\nvoid main() { gl_Position = nonsense; }\n";

bool linked(GLuint program) {
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    return status == GL_TRUE;
}

}  // namespace

// Each test gets a working directory with assets/shaders/ holding the sources above.
class ShaderTest : public ::testing::Test {
protected:
    testfs::TempWorkDir dir;

    void SetUp() override {
        ASSERT_NE(testgl::context(), nullptr);
        dir.write("assets/shaders/plain.vert", plainVertex);
        dir.write("assets/shaders/pass.geom", passGeometry);
        dir.write("assets/shaders/plain.frag", plainFragment);
        dir.write("assets/shaders/nomain.frag", fragmentWithoutMain);
        dir.write("assets/shaders/broken.vert", brokenVertex);
    }

    // Loads a list given as JSON text; returns the result and what was printed.
    std::pair<bool, std::string> loadList(const std::string& json) {
        dir.write("list.json", json);
        testing::internal::CaptureStdout();
        const bool result = loadShaders("list.json");
        return {result, testing::internal::GetCapturedStdout()};
    }
};

TEST_F(ShaderTest, ValidEntriesAreReportedAndRegistered) {
    const auto [result, output] = loadList(
        R"({"validThree": ["plain.vert", "pass.geom", "plain.frag"], "validTwo": ["plain.vert", "plain.frag"]})");
    EXPECT_TRUE(result);
    EXPECT_EQ(output,
              "{\"validThree\":[\"plain.vert\",\"pass.geom\",\"plain.frag\"]}\n"
              "{\"validTwo\":[\"plain.vert\",\"plain.frag\"]}\n");
    for (const char* name : {"validTwo", "validThree"}) {
        const Shader* shader = getShader(name);
        ASSERT_NE(shader, nullptr) << name;
        EXPECT_NE(shader->program, 0u);
        EXPECT_TRUE(linked(shader->program)) << name;
    }
}

TEST_F(ShaderTest, MissingOrMalformedListIsReported) {
    testing::internal::CaptureStdout();
    EXPECT_FALSE(loadShaders("missing.json"));
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "error: unable to load shader list file \"missing.json\"\n");

    const auto [result, output] = loadList("{\"a\": [");
    EXPECT_FALSE(result);
    EXPECT_EQ(output, "error: unable to load shader list file \"list.json\"\n");
}

TEST_F(ShaderTest, WrongFileCountsAreSkippedAndTheOthersStillLoad) {
    const auto [result, output] = loadList(
        R"({"countFour": ["a", "b", "c", "d"], "countGood": ["plain.vert", "plain.frag"], "countOne": ["plain.vert"]})");
    EXPECT_FALSE(result);
    EXPECT_EQ(output,
              "{\"countFour\":[\"a\",\"b\",\"c\",\"d\"]}\n"
              "error: expected either 2 or 3 files for shader \"countFour\"\n"
              "{\"countGood\":[\"plain.vert\",\"plain.frag\"]}\n"
              "{\"countOne\":[\"plain.vert\"]}\n"
              "error: expected either 2 or 3 files for shader \"countOne\"\n");
    EXPECT_NE(getShader("countGood"), nullptr);
    EXPECT_EQ(getShader("countFour"), nullptr);
    EXPECT_EQ(getShader("countOne"), nullptr);
}

TEST_F(ShaderTest, NonArrayAndNonStringEntriesAreReported) {
    const auto [result, output] =
        loadList(R"({"notArray": "plain.vert", "withNumber": ["plain.vert", 7]})");
    EXPECT_FALSE(result);
    EXPECT_EQ(output,
              "{\"notArray\":\"plain.vert\"}\n"
              "error: expected an array for shader \"notArray\"\n"
              "{\"withNumber\":[\"plain.vert\",7]}\n"
              "error: all array elements must be path strings for shader \"withNumber\"\n");
    EXPECT_EQ(getShader("withNumber"), nullptr);
}

TEST_F(ShaderTest, MissingVertexFileIsReportedAndLeftUnregistered) {
    const auto [result, output] = loadList(R"({"noVertex": ["absent.vert", "plain.frag"]})");
    EXPECT_FALSE(result);
    const std::string readError = "ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ\n";
    const std::string compileError = "ERROR::SHADER::VERTEX::COMPILATION_FAILED\n";
    const std::string unable = "error: unable to load shader \"noVertex\"\n";
    const std::string start =
        "{\"noVertex\":[\"absent.vert\",\"plain.frag\"]}\n" + readError + compileError;
    ASSERT_EQ(output.rfind(start, 0), 0u) << output;
    EXPECT_EQ(output.substr(output.size() - unable.size()), unable);
    EXPECT_EQ(output.find("FRAGMENT"), std::string::npos) << "the fragment stage compiled";
    EXPECT_EQ(getShader("noVertex"), nullptr);
}

TEST_F(ShaderTest, ThreeStagesCompileInTheOrderVertexGeometryFragment) {
    const auto [result, output] =
        loadList(R"({"allMissing": ["gone.vert", "gone.geom", "gone.frag"]})");
    EXPECT_FALSE(result);
    const size_t vertex = output.find("ERROR::SHADER::VERTEX::COMPILATION_FAILED");
    const size_t geometry = output.find("ERROR::SHADER::GEOMETRY::COMPILATION_FAILED");
    const size_t fragment = output.find("ERROR::SHADER::FRAGMENT::COMPILATION_FAILED");
    ASSERT_NE(vertex, std::string::npos) << output;
    ASSERT_NE(geometry, std::string::npos) << output;
    ASSERT_NE(fragment, std::string::npos) << output;
    EXPECT_LT(vertex, geometry);
    EXPECT_LT(geometry, fragment);
}

TEST_F(ShaderTest, CompileErrorPrintsTheLog) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(Shader::compile("assets/shaders/broken.vert", GL_VERTEX_SHADER), 0u);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_EQ(output.rfind("ERROR::SHADER::VERTEX::COMPILATION_FAILED\n", 0), 0u) << output;
    EXPECT_NE(output.find("nonsense"), std::string::npos) << "the compiler's log follows";
}

TEST_F(ShaderTest, LinkFailureLeavesNoProgramAndNoRegistration) {
    const auto [result, output] = loadList(R"({"linkFails": ["plain.vert", "nomain.frag"]})");
    EXPECT_FALSE(result);
    const std::string header = "{\"linkFails\":[\"plain.vert\",\"nomain.frag\"]}\n";
    const std::string linkError = "ERROR::SHADER::PROGRAM::LINKING_FAILED\n";
    const std::string unable = "error: unable to load shader \"linkFails\"\n";
    EXPECT_EQ(output.rfind(header + linkError, 0), 0u) << output;
    EXPECT_EQ(output.substr(output.size() - unable.size()), unable);
    EXPECT_EQ(getShader("linkFails"), nullptr);

    Shader shader;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(shader.load("assets/shaders/plain.vert", "assets/shaders/nomain.frag"));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(shader.program, 0u);
}

TEST_F(ShaderTest, LoadingAgainReleasesTheOldProgram) {
    Shader shader;
    ASSERT_TRUE(shader.load("assets/shaders/plain.vert", "assets/shaders/plain.frag"));
    const GLuint first = shader.program;
    ASSERT_TRUE(shader.load("assets/shaders/plain.vert", "assets/shaders/plain.frag"));
    EXPECT_FALSE(glIsProgram(first) && first != shader.program);
    glDeleteProgram(shader.program);
}

TEST_F(ShaderTest, TheFirstRegistrationOfANameStays) {
    ASSERT_TRUE(loadList(R"({"twice": ["plain.vert", "plain.frag"]})").first);
    const Shader* first = getShader("twice");
    const GLuint program = first->program;
    ASSERT_TRUE(loadList(R"({"twice": ["plain.vert", "pass.geom", "plain.frag"]})").first);
    EXPECT_EQ(getShader("twice"), first);
    EXPECT_EQ(first->program, program);
}

TEST_F(ShaderTest, LookupOfAnUnknownNameInsertsNothing) {
    const size_t before = shaders.size();
    EXPECT_EQ(getShader("neverListed"), nullptr);
    EXPECT_EQ(shaders.size(), before);
}
