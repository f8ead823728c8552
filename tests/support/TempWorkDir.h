#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace testfs {

// A whole file's bytes; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A fresh temporary directory that is the working directory while this object lives, so code
// that reads "assets/..." or a list file from the working directory reads test data. The
// previous working directory comes back and the directory is removed afterwards.
class TempWorkDir {
public:
    TempWorkDir() : previous(std::filesystem::current_path()) {
        std::string pattern = (std::filesystem::temp_directory_path() / "hollowmere-test-XXXXXX").string();
        if (mkdtemp(pattern.data())) path = pattern;
        std::filesystem::current_path(path);
    }
    ~TempWorkDir() {
        std::error_code ec;
        std::filesystem::current_path(previous, ec);
        std::filesystem::remove_all(path, ec);
    }
    TempWorkDir(const TempWorkDir&) = delete;
    TempWorkDir& operator=(const TempWorkDir&) = delete;

    // Writes a text file at a path relative to the directory, making its parent directories.
    void write(const std::string& relative, const std::string& text) const {
        const std::filesystem::path file = path / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }

    std::filesystem::path path;

private:
    std::filesystem::path previous;
};

}  // namespace testfs
