#include "bench_support.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
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
