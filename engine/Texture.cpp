#include "engine/Texture.h"

#include "engine/GlContext.h"

#include <stb_image.h>

std::unordered_map<std::string, std::unique_ptr<Texture>> textures;

namespace {

// Uploads tightly packed 8-bit pixels, rows from the top, into a new texture; 0 for a channel
// count outside 1..4. One and two channels read as grey and grey + alpha.
GLuint createTexture(const unsigned char* pixels, int width, int height, int channels) {
    static const GLenum formats[4] = {GL_RED, GL_RG, GL_RGB, GL_RGBA};
    static const GLenum internalFormats[4] = {GL_R8, GL_RG8, GL_RGB8, GL_RGBA8};
    if (!pixels || channels < 1 || channels > 4 || width <= 0 || height <= 0) return 0;
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    GLint oldAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &oldAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(internalFormats[channels - 1]), width,
                 height, 0, formats[channels - 1], GL_UNSIGNED_BYTE, pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, oldAlignment);
    if (channels <= 2) {
        const GLint swizzle[4] = {GL_RED, GL_RED, GL_RED, channels == 1 ? GL_ONE : GL_GREEN};
        glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, swizzle);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    return id;
}

// Pixel art stays sharp: nearest filtering and a single mip level. Reads the size back.
void finishTexture(Texture& texture) {
    glBindTexture(GL_TEXTURE_2D, texture.id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &texture.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &texture.height);
    glBindTexture(GL_TEXTURE_2D, 0);
}

}  // namespace

bool Texture::load(const std::string& path) {
    if (id != 0) {
        glDeleteTextures(1, &id);
        id = 0;
    }
    int w = 0, h = 0, channels = 0;
    unsigned char* pixels = stbi_load(path.c_str(), &w, &h, &channels, 0);
    if (!pixels) return false;
    id = createTexture(pixels, w, h, channels);
    stbi_image_free(pixels);
    if (id == 0) return false;
    finishTexture(*this);
    return true;
}

Texture* getTexture(const std::string& name) {
    const auto found = textures.find(name);
    if (found != textures.end()) return found->second.get();
    auto texture = std::make_unique<Texture>();
    // Not cached on failure: a later request tries the file again.
    if (!texture->load("assets/textures/" + name)) return nullptr;
    return textures.emplace(name, std::move(texture)).first->second.get();
}

void addTexture(const std::string& name, const unsigned char* pixels, int width, int height,
                int channels) {
    if (textures.contains(name)) return;
    auto texture = std::make_unique<Texture>();
    texture->id = createTexture(pixels, width, height, channels);
    if (texture->id == 0) return;
    finishTexture(*texture);
    textures.emplace(name, std::move(texture));
}

void releaseTextures() {
    if (glContextAlive())
        for (const auto& [name, texture] : textures) glDeleteTextures(1, &texture->id);
    textures.clear();
}
