#pragma once

#include <GL/glew.h>

#include <memory>
#include <string>
#include <unordered_map>

// A GL texture with its size, read back from GL after upload. Owned by the cache.
struct Texture {
    GLuint id = 0;
    int width = 0;
    int height = 0;

    // Loads an image file (nearest filtering, one mip level); false when it cannot be read.
    bool load(const std::string& path);
};

// File name -> texture, loaded from "assets/textures/" on first request; owns the textures.
// Main thread only.
extern std::unordered_map<std::string, std::unique_ptr<Texture>> textures;

// The cached texture, loading it on the first request; null (and nothing cached) on failure.
Texture* getTexture(const std::string& name);
// Creates and caches a texture from pixels in memory, unless the name is cached already.
void addTexture(const std::string& name, const unsigned char* pixels, int width, int height,
                int channels);
// Deletes every cached texture and empties the cache. main calls it while the context exists.
void releaseTextures();
