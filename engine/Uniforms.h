#pragma once

#include "engine/Math4D.h"
#include "engine/Shader.h"

#include <GL/glew.h>
#include <glm/mat4x4.hpp>
#include <glm/vec3.hpp>
#include <glm/vec4.hpp>

// Setting a uniform of the current program, by location or by name, in the types the shaders
// declare: 4D transforms as float[25], colours as vec3 or vec4 exactly as the drawing code sends
// them. A draw repeated many times a frame looks its locations up once.
namespace uniforms {

inline GLint location(const Shader& shader, const char* name) {
    return glGetUniformLocation(shader.program, name);
}

inline void setMat5(GLint location, const Mat5& m) { glUniform1fv(location, 25, m.data()); }
inline void setVec3(GLint location, const glm::vec3& v) { glUniform3f(location, v.x, v.y, v.z); }

inline void setMat5(const Shader& shader, const char* name, const Mat5& m) {
    setMat5(location(shader, name), m);
}
inline void setFloat(const Shader& shader, const char* name, float value) {
    glUniform1f(location(shader, name), value);
}
inline void setVec3(const Shader& shader, const char* name, const glm::vec3& v) {
    setVec3(location(shader, name), v);
}
inline void setVec4(const Shader& shader, const char* name, const glm::vec4& v) {
    glUniform4f(location(shader, name), v.x, v.y, v.z, v.w);
}
inline void setMat4(const Shader& shader, const char* name, const glm::mat4& m) {
    glUniformMatrix4fv(location(shader, name), 1, GL_FALSE, &m[0][0]);
}

// Uses the program and sends it the projection "P"; nothing for a missing program.
inline void setProjection(const Shader* shader, const glm::mat4& matrix) {
    if (!shader) return;
    glUseProgram(shader->program);
    setMat4(*shader, "P", matrix);
}

}  // namespace uniforms
