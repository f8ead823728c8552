#include "support/GlTestContext.h"

#include "engine/Shader.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>

// Every program of the game's own shader list compiles and links, whatever the list holds.
TEST(ShaderList, EveryListedProgramBuilds) {
    ASSERT_NE(testgl::context(), nullptr);
    std::ifstream file("shaderList.json");
    ASSERT_TRUE(file) << "shaderList.json is missing";
    const nlohmann::json list = nlohmann::json::parse(file, nullptr, false);
    ASSERT_TRUE(list.is_object()) << "shaderList.json is not a JSON object";

    testing::internal::CaptureStdout();
    const bool loaded = testgl::loadAllShaders();
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(loaded) << output;

    for (const auto& entry : list.items()) {
        const Shader* shader = getShader(entry.key());
        ASSERT_NE(shader, nullptr) << entry.key() << " did not build:\n" << output;
        GLint status = GL_FALSE;
        glGetProgramiv(shader->program, GL_LINK_STATUS, &status);
        EXPECT_EQ(status, GL_TRUE) << entry.key();
    }
}
