#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

// Reading and writing the game's JSON files. Every JSON text the game reads goes through
// parseJson: copying, comparing or writing a value recurses once per level of nesting, so a
// file nested thousands of levels deep would overflow the stack. Nothing the game writes comes
// near the limit.
namespace jsonfile {

constexpr int maxNesting = 64;

// Every file is read with a size limit that fits its kind: the largest honest file of the kind
// times a wide margin. This one serves the data files beside the game (item, entity and recipe
// catalogues, the shader and music lists), a few kilobytes each; the settings files have their own.
constexpr std::uintmax_t maxDataFileBytes = std::uintmax_t(4) << 20;

// One JSON value from the start of `text`; text after it is not looked at. On failure `value`
// is left alone and `error` (when given) says where it went wrong, naming `source`, without
// quoting the text itself (it may be binary).
bool parse(std::string_view text, nlohmann::json& value, std::string* error = nullptr,
           const std::string& source = "JSON text");

enum class ReadStatus {
    ok,          // parsed into value
    missing,     // no file at the path
    unreadable,  // there is something at the path, but it cannot be read as a file
    invalid,     // read, but not JSON (or nested too deeply)
    tooLarge,    // larger than the limit: refused unread, as damaged as an invalid file
};

// Reads and parses a whole file of at most maxBytes bytes; a larger one is not read at all.
// `error` gets one line for anything but ok and missing.
ReadStatus read(const std::filesystem::path& path, nlohmann::json& value, std::uintmax_t maxBytes,
                std::string* error = nullptr);

// A value as text: compact, or indented by `indent` spaces. Strings with invalid UTF-8 come out
// with replacement characters rather than throwing.
std::string dump(const nlohmann::json& value, int indent = -1);

// Writes a value as text (compact, or indented by `indent` spaces) through writeFileAtomically.
// Strings with invalid UTF-8 are written with replacement characters rather than throwing.
bool write(const std::filesystem::path& path, const nlohmann::json& value, int indent = -1);

}  // namespace jsonfile
