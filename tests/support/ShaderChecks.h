#pragma once

#include <GL/glew.h>

#include <string>

namespace testgl {

// Checks, with glGetActiveUniform, that the registered shader `shaderName` has an active uniform
// `uniform` of GL type `type` (GL_FLOAT, GL_FLOAT_VEC4, GL_FLOAT_MAT4, GL_UNSIGNED_INT_VEC2, ...)
// and, for arrays, at least `arraySize` elements. Adds a gtest failure naming what differs.
// A uniform the compiler removed as unused is reported too: drawing code would set nothing.
void expectUniform(const std::string& shaderName, const std::string& uniform, GLenum type,
                   int arraySize = 1);

}  // namespace testgl
