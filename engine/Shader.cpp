#include "engine/Shader.h"

#include "engine/GlContext.h"
#include "engine/JsonFile.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <iostream>
#include <sstream>
#include <vector>

std::map<std::string, std::unique_ptr<Shader>> shaders;

namespace {

const char* stageName(GLenum type) {
    switch (type) {
    case GL_VERTEX_SHADER: return "VERTEX::";
    case GL_GEOMETRY_SHADER: return "GEOMETRY::";
    case GL_FRAGMENT_SHADER: return "FRAGMENT::";
    default: return "";
    }
}

// Stage source files with their stage types, in the order they are compiled and attached.
using StageFiles = std::vector<std::pair<std::string, GLenum>>;

// A stage that failed has the name 0; deleting 0 is a no-op in GL.
void deleteStages(const std::vector<GLuint>& stages) {
    for (GLuint stage : stages) glDeleteShader(stage);
}

// Compiles the stages in the given order and links them. On a failed link the program is
// deleted, so a broken program is never mistaken for a built one.
GLuint buildProgram(const StageFiles& stageFiles) {
    std::vector<GLuint> stages;
    bool compiled = true;
    for (const auto& [path, type] : stageFiles) {
        stages.push_back(Shader::compile(path, type));
        if (stages.back() == 0) compiled = false;
    }
    GLuint program = 0;
    if (compiled) {
        program = glCreateProgram();
        for (GLuint stage : stages) glAttachShader(program, stage);
        glLinkProgram(program);
        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        if (!linked) {
            char log[512] = {};
            glGetProgramInfoLog(program, sizeof log, nullptr, log);
            std::cout << "ERROR::SHADER::PROGRAM::LINKING_FAILED\n" << log << std::endl;
            glDeleteProgram(program);
            program = 0;
        }
    }
    deleteStages(stages);
    return program;
}

// Loading again first gives up the program held so far.
bool replaceProgram(GLuint& program, const StageFiles& stageFiles) {
    if (program != 0) glDeleteProgram(program);
    program = buildProgram(stageFiles);
    return program != 0;
}

}  // namespace

GLuint Shader::compile(const std::string& path, GLenum type) {
    std::string source;
    std::ifstream file;
    file.exceptions(std::ifstream::failbit | std::ifstream::badbit);
    std::stringstream text;
    try {
        file.open(path);
        text << file.rdbuf();
    } catch (const std::exception&) {
        std::cout << "ERROR::SHADER::FILE_NOT_SUCCESFULLY_READ" << std::endl;
    }
    source = text.str();

    const GLuint shader = glCreateShader(type);
    const char* sourcePtr = source.c_str();
    glShaderSource(shader, 1, &sourcePtr, nullptr);
    glCompileShader(shader);
    GLint success = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &success);
    if (!success) {
        char log[512] = {};
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::cout << "ERROR::SHADER::" << stageName(type) << "COMPILATION_FAILED\n"
                  << log << std::endl;
        glDeleteShader(shader);
        return 0;
    }
    return shader;
}

bool Shader::load(const std::string& vertexPath, const std::string& fragmentPath) {
    return replaceProgram(program,
                          {{vertexPath, GL_VERTEX_SHADER}, {fragmentPath, GL_FRAGMENT_SHADER}});
}

bool Shader::load(const std::string& vertexPath, const std::string& geometryPath,
                  const std::string& fragmentPath) {
    return replaceProgram(program, {{vertexPath, GL_VERTEX_SHADER},
                                    {geometryPath, GL_GEOMETRY_SHADER},
                                    {fragmentPath, GL_FRAGMENT_SHADER}});
}

bool loadShaders(const std::string& path) {
    nlohmann::json list;
    if (jsonfile::read(path, list, jsonfile::maxDataFileBytes) != jsonfile::ReadStatus::ok) {
        std::cout << "error: unable to load shader list file \"" << path << "\"" << std::endl;
        return false;
    }

    const std::string prefix = "assets/shaders/";
    bool result = true;
    for (const auto& member : list.items()) {
        const std::string& name = member.key();
        const nlohmann::json& files = member.value();
        nlohmann::json entry = nlohmann::json::object();
        entry[name] = files;
        std::cout << entry.dump() << std::endl;

        if (!files.is_array()) {
            std::cout << "error: expected an array for shader \"" << name << "\"" << std::endl;
            result = false;
            continue;
        }
        if (files.size() != 2 && files.size() != 3) {
            std::cout << "error: expected either 2 or 3 files for shader \"" << name << "\""
                      << std::endl;
            result = false;
            continue;
        }
        bool allStrings = true;
        for (const auto& file : files) allStrings = allStrings && file.is_string();
        if (!allStrings) {
            std::cout << "error: all array elements must be path strings for shader \"" << name
                      << "\"" << std::endl;
            result = false;
            continue;
        }

        auto shader = std::make_unique<Shader>();
        if (files.size() == 2)
            shader->load(prefix + files[0].get<std::string>(),
                         prefix + files[1].get<std::string>());
        else
            shader->load(prefix + files[0].get<std::string>(),
                         prefix + files[1].get<std::string>(),
                         prefix + files[2].get<std::string>());

        if (shader->program != 0) {
            // The first registration of a name stays; a later duplicate is released.
            const GLuint program = shader->program;
            if (!shaders.try_emplace(name, std::move(shader)).second) glDeleteProgram(program);
        } else {
            std::cout << "error: unable to load shader \"" << name << "\"" << std::endl;
            result = false;
        }
    }
    return result;
}

Shader* getShader(const std::string& name) {
    const auto it = shaders.find(name);
    return it == shaders.end() ? nullptr : it->second.get();
}

void releaseShaders() {
    if (glContextAlive())
        for (const auto& [name, shader] : shaders) glDeleteProgram(shader->program);
    shaders.clear();
}
