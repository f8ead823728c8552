#include "support/ShaderChecks.h"

#include "engine/Shader.h"

#include <gtest/gtest.h>

namespace testgl {

void expectUniform(const std::string& shaderName, const std::string& uniform, GLenum type,
                   int arraySize) {
    const Shader* shader = getShader(shaderName);
    ASSERT_NE(shader, nullptr) << shaderName << " is not registered";
    GLint count = 0;
    glGetProgramiv(shader->program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; ++i) {
        char name[256];
        GLsizei length = 0;
        GLint size = 0;
        GLenum activeType = 0;
        glGetActiveUniform(shader->program, static_cast<GLuint>(i), sizeof name, &length, &size,
                           &activeType, name);
        std::string activeName(name, static_cast<size_t>(length));
        if (activeName.size() > 3 && activeName.compare(activeName.size() - 3, 3, "[0]") == 0)
            activeName.resize(activeName.size() - 3);
        if (activeName != uniform) continue;
        EXPECT_EQ(activeType, type) << shaderName << "." << uniform << " has another type";
        EXPECT_GE(size, arraySize) << shaderName << "." << uniform << " has too few elements";
        return;
    }
    ADD_FAILURE() << shaderName << " has no active uniform " << uniform;
}

}  // namespace testgl
