#pragma once

#include <GL/glew.h>

#include <utility>

// Counts the GL names that wrappers delete, by swapping GLEW's entry points for counting ones
// while an instance lives. Before a context exists the entry points are null: a wrapper that
// deletes anything then would crash, and a counter still counts it.
class GlDeleteCounter {
public:
    static inline int buffers = 0, vertexArrays = 0;

    GlDeleteCounter() {
        buffers = vertexArrays = 0;
        savedBuffers = std::exchange(__glewDeleteBuffers, &countBuffers);
        savedVertexArrays = std::exchange(__glewDeleteVertexArrays, &countVertexArrays);
    }
    ~GlDeleteCounter() {
        __glewDeleteBuffers = savedBuffers;
        __glewDeleteVertexArrays = savedVertexArrays;
    }
    GlDeleteCounter(const GlDeleteCounter&) = delete;
    GlDeleteCounter& operator=(const GlDeleteCounter&) = delete;

private:
    static inline PFNGLDELETEBUFFERSPROC savedBuffers = nullptr;
    static inline PFNGLDELETEVERTEXARRAYSPROC savedVertexArrays = nullptr;

    static void GLAPIENTRY countBuffers(GLsizei n, const GLuint* names) {
        buffers += n;
        if (savedBuffers) savedBuffers(n, names);
    }
    static void GLAPIENTRY countVertexArrays(GLsizei n, const GLuint* names) {
        vertexArrays += n;
        if (savedVertexArrays) savedVertexArrays(n, names);
    }
};
