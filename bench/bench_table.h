// Prints benchmark figures as a small aligned table.
#pragma once

#include <algorithm>
#include <cstdio>
#include <vector>

namespace talq::bench {

inline double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

inline void PrintHeader(const char* title) {
    std::printf("\n%s\n%-58s %10s %10s\n", title, "measure", "median", "p95");
}

inline void PrintTiming(const char* what, const std::vector<double>& ms) {
    std::printf("%-58s %8.2f ms %7.2f ms\n", what, Percentile(ms, 0.5), Percentile(ms, 0.95));
}

inline void PrintFactor(const char* what, const std::vector<double>& values) {
    std::printf("%-58s %10.3f %10.3f\n", what, Percentile(values, 0.5), Percentile(values, 0.95));
}

inline void PrintRatio(const char* what, double value, const char* unit) {
    std::printf("%-58s %8.3f %s\n", what, value, unit);
}

}  // namespace talq::bench
