#pragma once
// The order statistics the benchmarks print.
#include <algorithm>
#include <ctime>
#include <vector>

namespace benchstats {

// The value below which `share` (0 to 1) of the samples lie; 0 without samples.
inline double percentile(std::vector<double> samples, double share)
{
    if (samples.empty())
        return 0.0;
    std::sort(samples.begin(), samples.end());
    const size_t at = static_cast<size_t>(static_cast<double>(samples.size()) * share);
    return samples[std::min(samples.size() - 1, at)];
}

inline double median(const std::vector<double>& samples) { return percentile(samples, 0.5); }
inline double p99(const std::vector<double>& samples) { return percentile(samples, 0.99); }

// The processor time this thread has used, in milliseconds: unlike the wall clock it does not
// count the time the thread waited for a processor, so it holds on a busy machine.
inline double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

} // namespace benchstats
