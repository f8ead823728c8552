#include "support/GlTestContext.h"
#include "support/TempWorkDir.h"

#include "engine/Shader.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>

namespace {

bool linked(GLuint program) {
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    return status == GL_TRUE;
}

std::pair<bool, std::string> printed(const std::function<bool()>& load) {
    testing::internal::CaptureStdout();
    const bool result = load();
    return {result, testing::internal::GetCapturedStdout()};
}

}  // namespace

// Each test gets a working directory with a few small stages under assets/shaders/.
class ShaderTest : public ::testing::Test {
protected:
    testfs::TempWorkDir dir;

    void SetUp() override {
        ASSERT_NE(testgl::context(), nullptr);
        const std::string version = "#version 330 core\n";
        dir.write("assets/shaders/plain.vert",
                  version + "in vec3 p;\nvoid main() { gl_Position = vec4(p, 1.0); }\n");
        dir.write("assets/shaders/pass.geom",
                  version + "layout(triangles) in;\nlayout(triangle_strip, max_vertices = 3) out;\n"
                            "void main() { for (int i = 0; i < 3; ++i) {\n"
                            "gl_Position = gl_in[i].gl_Position; EmitVertex(); } }\n");
        dir.write("assets/shaders/plain.frag",
                  version + "out vec4 c;\nvoid main() { c = vec4(1.0); }\n");
        // Compiles on its own, but a program needs a main in every stage: the link fails.
        dir.write("assets/shaders/nomain.frag",
                  version + "out vec4 c;\nvoid paint() { c = vec4(1.0); }\n");
        dir.write("assets/shaders/broken.vert",
                  version + "void main() { gl_Position = nonsense; }\n");
    }

    // Loads a list given as JSON text; returns the result and what was printed.
    std::pair<bool, std::string> loadList(const std::string& json) {
        dir.write("list.json", json);
        return printed([] { return loadShaders("list.json"); });
    }
};

TEST_F(ShaderTest, ValidEntriesAreReportedAndRegistered) {
    const auto [result, output] = loadList(R"({"validThree": ["plain.vert", "pass.geom",
        "plain.frag"], "validTwo": ["plain.vert", "plain.frag"]})");
    EXPECT_TRUE(result);
    EXPECT_EQ(output,
              "{\"validThree\":[\"plain.vert\",\"pass.geom\",\"plain.frag\"]}\n"
              "{\"validTwo\":[\"plain.vert\",\"plain.frag\"]}\n");
    for (const char* name : {"validTwo", "validThree"}) {
        const Shader* shader = getShader(name);
        ASSERT_NE(shader, nullptr) << name;
        EXPECT_TRUE(linked(shader->program)) << name;
    }
}

TEST_F(ShaderTest, MissingOrMalformedListIsReported) {
    EXPECT_EQ(printed([] { return loadShaders("missing.json"); }),
              std::make_pair(false, std::string("error: unable to load shader list file "
                                                "\"missing.json\"\n")));
    EXPECT_EQ(loadList("{\"a\": ["),
              std::make_pair(false, std::string("error: unable to load shader list file "
                                                "\"list.json\"\n")));
}

TEST_F(ShaderTest, MalformedEntriesAreSkippedAndTheOthersStillLoad) {
    const auto [result, output] = loadList(
        R"({"countFour": ["a", "b", "c", "d"], "countGood": ["plain.vert", "plain.frag"],
            "countOne": ["plain.vert"], "notArray": "plain.vert",
            "withNumber": ["plain.vert", 7]})");
    EXPECT_FALSE(result);
    EXPECT_EQ(output,
              "{\"countFour\":[\"a\",\"b\",\"c\",\"d\"]}\n"
              "error: expected either 2 or 3 files for shader \"countFour\"\n"
              "{\"countGood\":[\"plain.vert\",\"plain.frag\"]}\n"
              "{\"countOne\":[\"plain.vert\"]}\n"
              "error: expected either 2 or 3 files for shader \"countOne\"\n"
              "{\"notArray\":\"plain.vert\"}\n"
              "error: expected an array for shader \"notArray\"\n"
              "{\"withNumber\":[\"plain.vert\",7]}\n"
              "error: all array elements must be path strings for shader \"withNumber\"\n");
    EXPECT_NE(getShader("countGood"), nullptr);
    for (const char* name : {"countFour", "countOne", "notArray", "withNumber"})
        EXPECT_EQ(getShader(name), nullptr) << name;
}

TEST_F(ShaderTest, MissingVertexFileIsReportedAndLeftUnregistered) {
    const auto [result, output] = loadList(R"({"noVertex": ["absent.vert", "plain.frag"]})");
    EXPECT_FALSE(result);
    const std::string start = "{\"noVertex\":[\"absent.vert\",\"plain.frag\"]}\n"
                              "ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ\n"
                              "ERROR::SHADER::VERTEX::COMPILATION_FAILED\n";
    const std::string end = "error: unable to load shader \"noVertex\"\n";
    ASSERT_EQ(output.rfind(start, 0), 0u) << output;
    EXPECT_TRUE(output.ends_with(end)) << output;
    EXPECT_EQ(output.find("FRAGMENT"), std::string::npos) << "the fragment stage compiled";
    EXPECT_EQ(getShader("noVertex"), nullptr);
}

TEST_F(ShaderTest, ThreeStagesCompileInTheOrderVertexGeometryFragment) {
    const std::string output =
        loadList(R"({"allMissing": ["gone.vert", "gone.geom", "gone.frag"]})").second;
    const size_t vertex = output.find("ERROR::SHADER::VERTEX::COMPILATION_FAILED");
    const size_t geometry = output.find("ERROR::SHADER::GEOMETRY::COMPILATION_FAILED");
    const size_t fragment = output.find("ERROR::SHADER::FRAGMENT::COMPILATION_FAILED");
    EXPECT_TRUE(vertex < geometry && geometry < fragment && fragment != std::string::npos)
        << output;
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
    const std::string start = "{\"linkFails\":[\"plain.vert\",\"nomain.frag\"]}\n"
                              "ERROR::SHADER::PROGRAM::LINKING_FAILED\n";
    EXPECT_EQ(output.rfind(start, 0), 0u) << output;
    EXPECT_TRUE(output.ends_with("error: unable to load shader \"linkFails\"\n")) << output;
    EXPECT_EQ(getShader("linkFails"), nullptr);

    Shader shader;
    EXPECT_FALSE(printed([&] {
        return shader.load("assets/shaders/plain.vert", "assets/shaders/nomain.frag");
    }).first);
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

TEST_F(ShaderTest, TheFirstRegistrationOfANameStaysAndLookupsInsertNothing) {
    ASSERT_TRUE(loadList(R"({"twice": ["plain.vert", "plain.frag"]})").first);
    const Shader* first = getShader("twice");
    const GLuint program = first->program;
    ASSERT_TRUE(loadList(R"({"twice": ["plain.vert", "pass.geom", "plain.frag"]})").first);
    EXPECT_EQ(getShader("twice"), first);
    EXPECT_EQ(first->program, program);

    const size_t before = shaders.size();
    EXPECT_EQ(getShader("neverListed"), nullptr);
    EXPECT_EQ(shaders.size(), before);
}

// Every program of the game's own shader list compiles and links, whatever the list holds.
TEST(ShaderList, EveryListedProgramBuilds) {
    ASSERT_NE(testgl::context(), nullptr);
    std::ifstream file("shaderList.json");
    const nlohmann::json list = nlohmann::json::parse(file, nullptr, false);
    ASSERT_TRUE(list.is_object()) << "shaderList.json is missing or not a JSON object";
    const auto [loaded, output] = printed(testgl::loadAllShaders);
    EXPECT_TRUE(loaded) << output;
    for (const auto& entry : list.items()) {
        const Shader* shader = getShader(entry.key());
        ASSERT_NE(shader, nullptr) << entry.key() << " did not build:\n" << output;
        EXPECT_TRUE(linked(shader->program)) << entry.key();
    }
}
