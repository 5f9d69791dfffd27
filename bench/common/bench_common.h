// Percentiles and the one-line row format that bench/run-all.sh gathers into
// its table: ROW<TAB>figure<TAB>value<TAB>baseline<TAB>comparison<TAB>goal<TAB>verdict
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace vorlak::bench {

// Nearest-rank percentile (p in 0..100) of unsorted samples; NaN when empty.
inline double percentile(std::vector<double> samples, double p) {
    if (samples.empty()) return std::nan("");
    std::sort(samples.begin(), samples.end());
    const double rank = std::ceil(p / 100.0 * static_cast<double>(samples.size()));
    const std::size_t index = rank < 1 ? 0 : static_cast<std::size_t>(rank) - 1;
    return samples[std::min(index, samples.size() - 1)];
}

inline double maximum(const std::vector<double>& samples) {
    return samples.empty() ? std::nan("") : *std::max_element(samples.begin(), samples.end());
}

inline std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

// Ratio when both are positive, else the difference.
inline std::string compare(double value, double baseline, const char* unit) {
    if (value > 0 && baseline > 0) return format("%.2fx", value / baseline);
    return format("%+.3f ", value - baseline) + unit;
}

inline void row(const std::string& figure, const std::string& value, const std::string& baseline,
                const std::string& comparison, const std::string& goal, bool met) {
    std::printf("ROW\t%s\t%s\t%s\t%s\t%s\t%s\n", figure.c_str(), value.c_str(), baseline.c_str(),
                comparison.c_str(), goal.c_str(), met ? "met" : "MISSED");
    std::fflush(stdout);
}

// A row with no goal of its own (context for another row).
inline void infoRow(const std::string& figure, const std::string& value, const std::string& baseline,
                    const std::string& comparison) {
    std::printf("ROW\t%s\t%s\t%s\t%s\t-\t-\n", figure.c_str(), value.c_str(), baseline.c_str(),
                comparison.c_str());
    std::fflush(stdout);
}

// "--seconds N" style integer option, or the fallback.
inline int intOption(int argc, char** argv, const std::string& name, int fallback) {
    for (int i = 1; i + 1 < argc; ++i)
        if (name == argv[i]) return std::atoi(argv[i + 1]);
    return fallback;
}

}  // namespace vorlak::bench
