#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

const std::string& fuzz_scratch_folder()
{
    static std::string folder = [] {
        char pattern[] = "/tmp/quenchold-fuzz-XXXXXX";
        if (!::mkdtemp(pattern)) std::abort();
        return std::string(pattern);
    }();
    return folder;
}

std::string fuzz_write_input(const std::string& name, const uint8_t* data, size_t size)
{
    std::string path = fuzz_scratch_folder() + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    return path;
}
