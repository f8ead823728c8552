#pragma once

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdint>
#include <optional>

// A count read from untrusted JSON: integers as they are, floating values truncated toward
// zero, booleans as 0 or 1, each clamped to 0..UINT32_MAX so that nothing wraps. Null for a
// value that is not a number or a boolean.
inline std::optional<uint64_t> jsonCount(const nlohmann::json& value) {
    constexpr uint64_t MAX = UINT32_MAX;
    if (value.is_number_unsigned()) return std::min<uint64_t>(value.get<uint64_t>(), MAX);
    if (value.is_number_integer()) {
        int64_t v = value.get<int64_t>();
        return v < 0 ? 0 : std::min<uint64_t>(uint64_t(v), MAX);
    }
    if (value.is_number_float()) {
        double v = std::trunc(value.get<double>());
        if (!(v > 0)) return 0;  // also NaN
        return v >= double(MAX) ? MAX : uint64_t(v);
    }
    if (value.is_boolean()) return value.get<bool>() ? 1 : 0;
    return std::nullopt;
}

// A whole number from untrusted JSON (block ids): integers, truncated floating values and
// booleans, clamped to the int range. Null otherwise.
inline std::optional<int> jsonInt(const nlohmann::json& value) {
    if (value.is_number_unsigned())
        return int(std::min<uint64_t>(value.get<uint64_t>(), uint64_t(INT32_MAX)));
    if (value.is_number_integer())
        return int(std::clamp<int64_t>(value.get<int64_t>(), INT32_MIN, INT32_MAX));
    if (value.is_number_float()) {
        double v = std::trunc(value.get<double>());
        if (std::isnan(v)) return 0;
        return int(std::clamp(v, double(INT32_MIN), double(INT32_MAX)));
    }
    if (value.is_boolean()) return value.get<bool>() ? 1 : 0;
    return std::nullopt;
}
