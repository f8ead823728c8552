#pragma once

#include <GL/glew.h>

#include <map>
#include <memory>
#include <string>

// A linked GL program, registered by name in the global registry filled from the shader list.
struct Shader {
    GLuint program = 0;

    // Compiles one stage from a file; 0 on failure (the reason is printed).
    static GLuint compile(const std::string& path, GLenum type);
    // Builds a two-stage (or, with a geometry file, three-stage) program into this shader.
    bool load(const std::string& vertexPath, const std::string& fragmentPath);
    bool load(const std::string& vertexPath, const std::string& geometryPath,
              const std::string& fragmentPath);
};

// Name -> shader. Filled once by loadShaders, only read afterwards; owns the shaders.
extern std::map<std::string, std::unique_ptr<Shader>> shaders;

// Reads the list and registers every shader that builds; true when nothing failed.
bool loadShaders(const std::string& path);
// The registered shader or null; a lookup never inserts.
Shader* getShader(const std::string& name);
// Deletes every registered program and empties the registry. main calls it while the context
// still exists.
void releaseShaders();
