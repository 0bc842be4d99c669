// Helpers for the benchmarks.
#pragma once

#include <benchmark/benchmark.h>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// A scratch folder removed at exit (under QUENCHOLD_BENCH_DIR, else /dev/shm, else /tmp).
class BenchFolder {
public:
    BenchFolder();
    ~BenchFolder();
    const std::string& path() const { return fPath; }

private:
    std::string fPath;
};

// Resets the peak resident size so that the next reading covers only what follows.
void reset_peak_memory();
// Peak resident size in bytes since the last reset (or start).
size_t peak_memory();

// Copies a file with plain reads and writes through buffer: the reference of the I/O benchmarks.
void plain_copy_file(const std::string& source, const std::string& target, std::vector<uint8_t>& buffer);

// Wall-clock and process CPU seconds of one run of some work.
struct bench_timing {
    double wall = 0;
    double cpu = 0;
};
bench_timing bench_now();
bench_timing operator-(const bench_timing& a, const bench_timing& b);

template <class Work>
bench_timing time_of(Work&& work)
{
    const bench_timing start = bench_now();
    std::forward<Work>(work)();
    return bench_now() - start;
}

// Collects our work's timings and its reference's, taken in turns, and reports the median
// and best ratios of wall time and of CPU time (steadier on a busy machine), with the means.
class BenchTurns {
public:
    void add(const bench_timing& ours, const bench_timing& reference);
    void report(benchmark::State& state) const;

private:
    std::vector<bench_timing> fOurs, fReference;
};
