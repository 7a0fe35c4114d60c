#pragma once

// What every benchmark here computes its figures with.

#include <algorithm>
#include <ctime>
#include <vector>

namespace kestro::bench {

// Processor time of the process so far, in seconds: the figure that a busy
// machine disturbs least.
inline double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace kestro::bench
