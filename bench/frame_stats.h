#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

// What the frame benchmarks report of their timings.

// The value below which the given share of the values lie (0 for none).
inline double percentile(std::vector<double> values, double share) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(share * double(values.size() - 1) + 0.5))];
}

inline double secondsSince(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}
