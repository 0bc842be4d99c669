// Helpers for the benchmarks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
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
