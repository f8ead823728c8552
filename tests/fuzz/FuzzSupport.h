#pragma once

// Shared by the fuzz targets: each is one program built with libFuzzer, run from the repository
// root over its corpus in tests/fuzz/corpus/<name>/.
#include "engine/JsonFile.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace fuzz {

// An invariant of the code under test; a broken one is a finding like a crash.
#define FUZZ_CHECK(condition)                                                                    \
    do {                                                                                         \
        if (!(condition)) {                                                                      \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                        \
        }                                                                                        \
    } while (false)

inline std::string_view text(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// A directory of this process's own for files the target writes, emptied on each call and
// removed at exit.
inline std::filesystem::path scratch() {
    struct Directory {
        std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("hollowmere-fuzz-" + std::to_string(getpid()));
        ~Directory() {
            std::error_code ec;
            std::filesystem::remove_all(path, ec);
        }
    };
    static const Directory dir;
    std::error_code ec;
    std::filesystem::remove_all(dir.path, ec);
    std::filesystem::create_directories(dir.path);
    return dir.path;
}

inline void writeFile(const std::filesystem::path& file, std::string_view bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

}  // namespace fuzz
