// Reads the structures of a skan block in order, checking each against the data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "model/skelanim.h"
#include "model/skmd_format.h"
#include "tags/byte_swapping.h"

class TSkanReader {
public:
    TSkanReader(const uint8_t* data, size_t size, const std::string& source) : fData(data), fSize(size), fSource(source)
    {
    }

    // count structures of length bytes, converted with codes.
    void Read(const char* what, void* out, int32_t length, int32_t count, const bs_code* codes)
    {
        uint64_t bytes = uint64_t(length) * uint64_t(count);
        Need(what, bytes);
        if (count > 0) byte_swap_copy("skan", out, fData + fPos, length, count, codes);
        fPos += size_t(bytes);
    }
    void Skip(const char* what, uint64_t bytes)
    {
        Need(what, bytes);
        fPos += size_t(bytes);
    }
    void Need(const char* what, uint64_t bytes) const
    {
        if (bytes > fSize - fPos)
            Fail(std::string("the animation data ends inside ") + what + " (" + std::to_string(fSize) + " bytes)");
    }
    [[noreturn]] void Fail(const std::string& what) const { model_read_error(fSource + " - " + what + "."); }
    size_t Position() const { return fPos; }
    size_t Size() const { return fSize; }
    const uint8_t* Here() const { return fData + fPos; }

private:
    const uint8_t* fData;
    size_t fSize;
    std::string fSource;
    size_t fPos = 0;
};

// The header, bone bases and the two tables, the same in both versions.
void skan_read_head(TSkanReader& in, TSkeletalAnimationSet& set);
// The states and their lists, then the end of the data: both versions end so.
void skan_read_states(TSkanReader& in, TSkeletalAnimationSet& set);
