#include "tags/byte_swapping.h"

#include <cstring>

#include "framework/ProgramAssert.h"
#include "framework/XGError.h"

namespace {

inline void Swap2(uint8_t* p)
{
    uint8_t t = p[0];
    p[0] = p[1];
    p[1] = t;
}

inline void Swap4(uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    v = __builtin_bswap32(v);
    std::memcpy(p, &v, 4);
}

[[noreturn]] void BadDescription(const char* expression, int line)
{
    throw XGPostError(kXGAssertionFailure, {expression, "byte_swapping", line});
}

// Interprets the group starting at begin (its begin code). Returns the bytes covered;
// codes_used receives the codes up to and including the end of its last pass.
int32_t InterpretGroup(const bs_code* begin, uint8_t* data, int32_t* codes_used)
{
    if (begin[0] != _begin_bs_array) BadDescription("*codes==_begin_bs_array", __LINE__);
    int32_t count = begin[1];
    if (count < 1) BadDescription("count>0", __LINE__);

    int32_t offset = 0;
    const bs_code* p = begin + 2;
    for (int32_t pass = 0; pass < count; ++pass) {
        p = begin + 2;
        while (*p != _end_bs_array) {
            bs_code code = *p;
            if (code == _begin_bs_array) {
                int32_t used = 0;
                offset += InterpretGroup(p, data ? data + offset : nullptr, &used);
                p += used;
            } else if (code == _4byte) {
                if (data) Swap4(data + offset);
                offset += 4;
                ++p;
            } else if (code == _2byte) {
                if (data) Swap2(data + offset);
                offset += 2;
                ++p;
            } else if (code > 0) {
                offset += code;
                ++p;
            } else {
                BadDescription("known code", __LINE__);
            }
        }
        // Without data every pass covers the same bytes.
        if (!data) {
            offset *= count;
            break;
        }
    }
    *codes_used = int32_t(p - begin) + 1;
    return offset;
}

} // namespace

bs_description_size byte_swap_description_size(const bs_code* codes)
{
    int32_t used = 0;
    int32_t bytes = InterpretGroup(codes, nullptr, &used);
    return {bytes, used};
}

namespace {

void CheckSize(int32_t struct_length, const bs_code* codes)
{
    int32_t size_in_bytes = byte_swap_description_size(codes).bytes;
    int32_t data_size = struct_length;
    if (size_in_bytes != data_size)
        throw XGPostError(kXGAssertionFailure, {"size_in_bytes==data_size", "byte_swapping", 55});
}

void SwapChecked(void* data, int32_t struct_length, int32_t struct_count, const bs_code* codes)
{
    uint8_t* p = (uint8_t*)data;
    int32_t used;
    for (int32_t i = 0; i < struct_count; ++i, p += struct_length) InterpretGroup(codes, p, &used);
}

} // namespace

void byte_swap_data(const char* label, void* data, int32_t struct_length, int32_t struct_count,
                    const bs_code* codes)
{
    (void)label;
    CheckSize(struct_length, codes);
    if (data) SwapChecked(data, struct_length, struct_count, codes);
}

void byte_swap_copy(const char* label, void* destination, const void* source, int32_t struct_length,
                    int32_t struct_count, const bs_code* codes)
{
    (void)label;
    // check first so that a mismatch leaves the destination untouched
    CheckSize(struct_length, codes);
    if (struct_count <= 0) return;
    std::memcpy(destination, source, size_t(struct_length) * size_t(struct_count));
    SwapChecked(destination, struct_length, struct_count, codes);
}

void byte_swap_memory(const char* label, void* data, int32_t count, bs_code code)
{
    if (count <= 0) return;
    uint8_t* p = (uint8_t*)data;
    if (code == _2byte) {
        for (int32_t i = 0; i < count; ++i) Swap2(p + 2 * i);
    } else if (code == _4byte) {
        for (int32_t i = 0; i < count; ++i) Swap4(p + 4 * size_t(i));
    } else {
        PROGRAM_ASSERT(count < 32768, "byte_swapping");
        const bs_code codes[] = {_begin_bs_array, (bs_code)count, code, _end_bs_array};
        int32_t size = byte_swap_description_size(codes).bytes;
        byte_swap_data(label, data, size, 1, codes);
    }
}
