#include "engine/JsonFile.h"

#include "engine/SafeWrite.h"

#include <fstream>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;
using nlohmann::json;

namespace jsonfile {

namespace {

// The deepest nesting of arrays and objects in the first value of the text, counted outside
// strings. Scanning stops when that value's brackets close or the limit is passed.
int firstValueNesting(std::string_view text) {
    int depth = 0;
    int deepest = 0;
    bool inString = false;
    bool escaped = false;
    for (char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
            continue;
        }
        if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
            if (deepest > maxNesting) break;
        } else if (c == ']' || c == '}') {
            if (--depth <= 0) break;
        }
    }
    return deepest;
}

}  // namespace

bool parse(std::string_view text, json& value, std::string* error, const std::string& source) {
    if (firstValueNesting(text) > maxNesting) {
        if (error)
            *error = source + ": nested deeper than " + std::to_string(maxNesting) + " levels";
        return false;
    }
    try {
        std::istringstream in{std::string(text)};
        json parsed;
        in >> parsed;
        value = std::move(parsed);
        return true;
    } catch (const json::parse_error& e) {
        if (error) *error = source + ": invalid JSON at byte " + std::to_string(e.byte);
    } catch (const std::exception&) {
        if (error) *error = source + ": invalid JSON";
    }
    return false;
}

ReadStatus read(const fs::path& path, json& value, std::uintmax_t maxBytes, std::string* error) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found) return ReadStatus::missing;
    const auto fail = [&](ReadStatus why, const std::string& what) {
        if (error) *error = path.string() + ": " + what;
        return why;
    };
    if (ec || !fs::is_regular_file(status)) return fail(ReadStatus::unreadable, "not a readable file");
    try {
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        // Measured on the open file, so a file put in its place meanwhile is measured too; what
        // it grows by afterwards is not read either.
        const std::streamoff size = in ? std::streamoff(in.tellg()) : -1;
        if (size < 0) return fail(ReadStatus::unreadable, "unable to read");
        if (std::uintmax_t(size) > maxBytes)
            return fail(ReadStatus::tooLarge, "larger than " + std::to_string(maxBytes) + " bytes");
        std::string text(size_t(size), '\0');
        in.seekg(0);
        in.read(text.data(), size);
        if (in.bad()) return fail(ReadStatus::unreadable, "unable to read");
        text.resize(size_t(in.gcount()));
        return parse(text, value, error, path.string()) ? ReadStatus::ok : ReadStatus::invalid;
    } catch (const std::exception&) {
        return fail(ReadStatus::unreadable, "unable to read");  // no memory for it
    }
}

std::string dump(const json& value, int indent) {
    return value.dump(indent, ' ', false, json::error_handler_t::replace);
}

bool write(const fs::path& path, const json& value, int indent) {
    std::string text;
    try {
        text = dump(value, indent);
    } catch (const std::exception& e) {
        reportWriteFailure(path, e.what());
        return false;
    }
    return writeFileAtomically(path, text);
}

}  // namespace jsonfile
