// The one clock every benchmark reads, and the summary of repeated runs.
#pragma once
#include <windows.h>

#include <algorithm>
#include <stdio.h>
#include <vector>

// Seconds on the performance counter.
inline double Now()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return (double)count.QuadPart / (double)frequency.QuadPart;
}

// The median of repeated measurements, with their spread: one run's verdict is noise.
struct RunSummary {
    double median, low, high;
    int runs;
};

inline RunSummary Summarise(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    if (values.empty())
        return {0, 0, 0, 0};
    return {values[values.size() / 2], values.front(), values.back(), (int)values.size()};
}

// "1.234 s (median of 5, 1.100-1.400)"
inline void PrintSeconds(const RunSummary &s)
{
    printf("%.3f s (median of %d, %.3f-%.3f)", s.median, s.runs, s.low, s.high);
}
