#pragma once

#include <GL/glew.h>

// Counts the GL names that wrappers delete, by swapping GLEW's entry points for counting ones
// while an instance lives. Before a context exists the entry points are null: a wrapper that
// deletes anything then would crash, and a counter still counts it.
class GlDeleteCounter {
public:
    GlDeleteCounter() {
        buffers = 0;
        vertexArrays = 0;
        savedBuffers = __glewDeleteBuffers;
        savedVertexArrays = __glewDeleteVertexArrays;
        __glewDeleteBuffers = &countBuffers;
        __glewDeleteVertexArrays = &countVertexArrays;
    }
    ~GlDeleteCounter() {
        __glewDeleteBuffers = savedBuffers;
        __glewDeleteVertexArrays = savedVertexArrays;
    }
    GlDeleteCounter(const GlDeleteCounter&) = delete;
    GlDeleteCounter& operator=(const GlDeleteCounter&) = delete;

    static inline int buffers = 0;
    static inline int vertexArrays = 0;

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
