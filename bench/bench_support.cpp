#include "bench_support.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <time.h>
#include <unistd.h>

BenchFolder::BenchFolder()
{
    // in memory when the machine has a tmpfs: disk writeback makes file timings erratic
    const char* base = std::getenv("QUENCHOLD_BENCH_DIR");
    if (!base) base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/quenchold-bench-XXXXXX";
    if (!::mkdtemp(pattern.data())) std::abort();
    fPath = pattern;
}

BenchFolder::~BenchFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(fPath, ec);
}

void reset_peak_memory()
{
    if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

size_t peak_memory()
{
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    size_t kb = 0;
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmHWM:", 6) == 0) kb = std::strtoull(line + 6, nullptr, 10);
    std::fclose(f);
    return kb * 1024;
}

void plain_copy_file(const std::string& source, const std::string& target, std::vector<uint8_t>& buffer)
{
    int in = ::open(source.c_str(), O_RDONLY);
    int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0) std::abort();
    ssize_t n;
    while ((n = ::read(in, buffer.data(), buffer.size())) > 0)
        if (::write(out, buffer.data(), size_t(n)) != n) std::abort();
    ::close(in);
    ::close(out);
}

bench_timing bench_now()
{
    timespec wall{}, cpu{};
    ::clock_gettime(CLOCK_MONOTONIC, &wall);
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
    return {double(wall.tv_sec) + wall.tv_nsec * 1e-9, double(cpu.tv_sec) + cpu.tv_nsec * 1e-9};
}

bench_timing operator-(const bench_timing& a, const bench_timing& b)
{
    return {a.wall - b.wall, a.cpu - b.cpu};
}

void BenchTurns::add(const bench_timing& ours, const bench_timing& reference)
{
    fOurs.push_back(ours);
    fReference.push_back(reference);
}

void BenchTurns::report(benchmark::State& state) const
{
    if (fOurs.empty()) return;
    std::vector<double> wall, cpu;
    double ours = 0, reference = 0;
    for (size_t i = 0; i < fOurs.size(); ++i) {
        wall.push_back(fOurs[i].wall / fReference[i].wall);
        cpu.push_back(fOurs[i].cpu / std::max(fReference[i].cpu, 1e-6));
        ours += fOurs[i].wall;
        reference += fReference[i].wall;
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    state.counters["ratio_median"] = wall[wall.size() / 2];
    state.counters["ratio_best"] = wall.front();
    state.counters["cpu_ratio_median"] = cpu[cpu.size() / 2];
    state.counters["ours_ms"] = 1e3 * ours / double(fOurs.size());
    state.counters["reference_ms"] = 1e3 * reference / double(fOurs.size());
}
