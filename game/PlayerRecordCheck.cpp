#include "game/PlayerRecordCheck.h"

#include <cfloat>
#include <climits>
#include <cmath>

namespace playerrecord {

namespace {

using nlohmann::json;

// A number that stays finite as a float.
bool isFiniteFloat(const json& value) {
    if (!value.is_number()) return false;
    double v = value.get<double>();
    return std::isfinite(v) && std::fabs(v) <= double(FLT_MAX);
}

// {"x", "y", "z", "w"} of finite numbers; the values land in `out`.
bool readVector(const json& record, const char* key, double out[4]) {
    auto it = record.find(key);
    if (it == record.end() || !it->is_object()) return false;
    static const char* axes[4] = {"x", "y", "z", "w"};
    for (int i = 0; i < 4; ++i) {
        auto component = it->find(axes[i]);
        if (component == it->end() || !isFiniteFloat(*component)) return false;
        out[i] = component->get<double>();
    }
    return true;
}

constexpr float rotationTolerance = 1e-3f;

std::string orientationProblem(const json& record) {
    auto it = record.find("orientation");
    if (it == record.end() || !it->is_array() || it->size() != 5) return "no 5 x 5 orientation";
    float m[5][5];
    for (int c = 0; c < 5; ++c) {
        const json& column = (*it)[c];
        if (!column.is_array() || column.size() != 5) return "no 5 x 5 orientation";
        for (int r = 0; r < 5; ++r) {
            if (!isFiniteFloat(column[r])) return "an orientation value that is not a number";
            m[c][r] = column[r].get<float>();
        }
    }
    // The camera vectors are the first four columns: they must be orthonormal.
    for (int a = 0; a < 4; ++a)
        for (int b = a; b < 4; ++b) {
            float dot = 0.0f;
            for (int r = 0; r < 4; ++r) dot += m[a][r] * m[b][r];
            if (std::fabs(dot - (a == b ? 1.0f : 0.0f)) > rotationTolerance)
                return "an orientation that is not a rotation";
        }
    // The camera keeps its side vector and fourth axis level and rebuilds the others from
    // them: an upright one leaves nothing to rebuild from.
    for (int levelColumn : {0, 3})
        if (std::fabs(m[levelColumn][1]) > rotationTolerance) return "an orientation that is not level";
    return {};
}

// {"name": string, "count": number, ...}.
bool isItemRecord(const json& slot) {
    if (!slot.is_object()) return false;
    auto name = slot.find("name");
    auto count = slot.find("count");
    return name != slot.end() && name->is_string() && count != slot.end() &&
           (count->is_number() || count->is_boolean());
}

bool isEmptySlot(const json& slot) {
    return slot.is_null() || ((slot.is_object() || slot.is_array()) && slot.empty());
}

std::string inventoryProblem(const json& record, const char* key) {
    auto it = record.find(key);
    if (it == record.end() || !it->is_array()) return std::string("no \"") + key + "\" array";
    for (const json& slot : *it) {
        if (isEmptySlot(slot)) continue;
        // An item of a name this catalogue lacks is kept by the inventory as it was read and
        // written back on save, so only the record's shape is checked here.
        if (!isItemRecord(slot)) return std::string("a broken item in \"") + key + "\"";
    }
    return {};
}

}  // namespace

std::string problemWith(const json& record) {
    if (!record.is_object()) return "the record is not an object";

    double position[4];
    if (!readVector(record, "position", position)) return "no usable \"position\"";
    double cell[4];
    if (!readVector(record, "currentBlock", cell)) return "no usable \"currentBlock\"";
    for (int i = 0; i < 4; ++i) {
        // The cell is the floor of the position, or the cell just left while on a boundary.
        if (cell[i] < double(INT_MIN) || cell[i] > double(INT_MAX) ||
            std::fabs(cell[i] - std::floor(position[i])) > 1.0)
            return "a \"currentBlock\" that does not hold the position";
    }

    std::string problem = orientationProblem(record);
    if (!problem.empty()) return problem;

    auto health = record.find("health");
    if (health == record.end() || !isFiniteFloat(*health)) return "no usable \"health\"";

    problem = inventoryProblem(record, "hotbar");
    if (!problem.empty()) return problem;
    return inventoryProblem(record, "inventory");
}

}  // namespace playerrecord
