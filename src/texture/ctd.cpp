#include "texture/ctd.h"

#include <bit>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
// GCC 12 takes the undefined vectors inside its AVX-512 intrinsics for uninitialised ones.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif
#endif

#include "tags/tag_types.h"
#include "texture/texture_errors.h"
#include "texture/texture_pixels.h"
#include "texture/texture_text.h"
#include "texture/txst_format.h"

#define CTD_CHECK(expr, text) ((expr) ? (void)0 : texture_check_failed(text, "ctd", __LINE__))

namespace {

constexpr float kInverse255 = 0.003921568859368563f;
constexpr size_t kWorkBytes = WORK_SIZE * WORK_SIZE * 3;

// B = trunc(255 x (1 - a x (1 - d)) x b) with a = mask / 255, d = detail / 255 and
// b = B / 255, each in single precision. A mask of 0 leaves B as it is.
void ModulatePlain(uint8_t* base, const uint8_t* pixels, const uint8_t* detail)
{
    for (size_t i = 0; i < kWorkBytes; ++i) {
        const uint8_t m = pixels[i / 3];
        if (!m) continue;
        const float a = float(m) * kInverse255;
        const float d = float(detail[i]) * kInverse255;
        const float b = float(base[i]) * kInverse255;
        base[i] = uint8_t(int(255.0f * (1.0f - a * (1.0f - d)) * b));
    }
}

#if defined(__x86_64__)
// The formula on four 32-bit lanes, in the same single-precision steps.
inline __m128i Modulated4(__m128i mask, __m128i detail, __m128i base)
{
    const __m128 scale = _mm_set1_ps(kInverse255);
    const __m128 one = _mm_set1_ps(1.0f);
    const __m128 a = _mm_mul_ps(_mm_cvtepi32_ps(mask), scale);
    const __m128 d = _mm_mul_ps(_mm_cvtepi32_ps(detail), scale);
    const __m128 b = _mm_mul_ps(_mm_cvtepi32_ps(base), scale);
    const __m128 factor = _mm_mul_ps(_mm_set1_ps(255.0f), _mm_sub_ps(one, _mm_mul_ps(a, _mm_sub_ps(one, d))));
    return _mm_cvttps_epi32(_mm_mul_ps(factor, b));
}

void ModulateSse2(uint8_t* base, const uint8_t* pixels, const uint8_t* detail, uint8_t* spread)
{
    for (size_t i = 0; i < size_t(WORK_SIZE) * WORK_SIZE; ++i) spread[3 * i] = spread[3 * i + 1] = spread[3 * i + 2] = pixels[i];
    const __m128i zero = _mm_setzero_si128();
    for (size_t i = 0; i < kWorkBytes; i += 16) {
        const __m128i m = _mm_loadu_si128(reinterpret_cast<const __m128i*>(spread + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(m, zero)) == 0xFFFF) continue;
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(detail + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(base + i));
        __m128i r32[4];
        for (int h = 0; h < 2; ++h) {
            const __m128i m16 = h ? _mm_unpackhi_epi8(m, zero) : _mm_unpacklo_epi8(m, zero);
            const __m128i d16 = h ? _mm_unpackhi_epi8(d, zero) : _mm_unpacklo_epi8(d, zero);
            const __m128i b16 = h ? _mm_unpackhi_epi8(b, zero) : _mm_unpacklo_epi8(b, zero);
            r32[2 * h] = Modulated4(_mm_unpacklo_epi16(m16, zero), _mm_unpacklo_epi16(d16, zero),
                                    _mm_unpacklo_epi16(b16, zero));
            r32[2 * h + 1] = Modulated4(_mm_unpackhi_epi16(m16, zero), _mm_unpackhi_epi16(d16, zero),
                                        _mm_unpackhi_epi16(b16, zero));
        }
        const __m128i r = _mm_packus_epi16(_mm_packs_epi32(r32[0], r32[1]), _mm_packs_epi32(r32[2], r32[3]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(base + i), r);
    }
}


__attribute__((target("avx2"))) inline __m256 Lanes8(const uint8_t* bytes)
{
    return _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes))));
}

// Every layer of a tile in one pass, the colour of 32 pixels held in twelve registers
// between layers; inverses holds 1 - d of every byte of each layer's detail colour. The
// loops over the registers are unrolled whole, so that every index is a constant.
__attribute__((target("avx2"))) void ModulateAvx2(uint8_t* base, const uint8_t* const* pixels,
                                                  const float* const* inverses, size_t layers)
{
    // Lane l of run j of a group of eight pixels belongs to pixel (8 j + l) / 3.
    const __m256i spread[3] = {
        _mm256_setr_epi32(0, 0, 0, 1, 1, 1, 2, 2),
        _mm256_setr_epi32(2, 3, 3, 3, 4, 4, 4, 5),
        _mm256_setr_epi32(5, 5, 6, 6, 6, 7, 7, 7),
    };
    const __m256 scale = _mm256_set1_ps(kInverse255);
    const __m256 one = _mm256_set1_ps(1.0f);
    const __m256 most = _mm256_set1_ps(255.0f);
    constexpr size_t kGroups = 4, kRuns = 3 * kGroups, kPixels = 8 * kGroups;
    for (size_t p = 0; p < size_t(WORK_SIZE) * WORK_SIZE; p += kPixels) {
        uint8_t* colour_bytes = base + 3 * p;
        __m256 colour[kRuns];
#pragma GCC unroll 12
        for (size_t r = 0; r < kRuns; ++r) colour[r] = Lanes8(colour_bytes + 8 * r);
        bool any = false;
        for (size_t n = 0; n < layers; ++n) {
            const uint8_t* mask = pixels[n] + p;
            const __m256i m = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(mask));
            const uint32_t zero = uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(m, _mm256_setzero_si256())));
            if (zero == 0xFFFFFFFFu) continue; // a mask of 0 changes nothing
            any = true;
            const float* inverse = inverses[n] + 3 * p;
#pragma GCC unroll 4
            for (size_t g = 0; g < kGroups; ++g) {
                if (((zero >> (8 * g)) & 0xFF) == 0xFF) continue;
                const __m256 a = _mm256_mul_ps(Lanes8(mask + 8 * g), scale);
#pragma GCC unroll 3
                for (size_t j = 0; j < 3; ++j) {
                    const size_t r = 3 * g + j;
                    const __m256 ar = _mm256_permutevar8x32_ps(a, spread[j]);
                    const __m256 b = _mm256_mul_ps(colour[r], scale);
                    const __m256 factor =
                        _mm256_mul_ps(most, _mm256_sub_ps(one, _mm256_mul_ps(ar, _mm256_loadu_ps(inverse + 8 * r))));
                    colour[r] = _mm256_round_ps(_mm256_mul_ps(factor, b), _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
                }
            }
        }
        if (!any) continue;
#pragma GCC unroll 6
        for (size_t r = 0; r < kRuns; r += 2) {
            const __m256i packed = _mm256_packus_epi32(_mm256_cvttps_epi32(colour[r]), _mm256_cvttps_epi32(colour[r + 1]));
            const __m256i ordered = _mm256_permute4x64_epi64(packed, 0xD8);
            const __m128i bytes = _mm_packus_epi16(_mm256_castsi256_si128(ordered), _mm256_extracti128_si256(ordered, 1));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(colour_bytes + 8 * r), bytes);
        }
    }
}

// The AVX-512 kernel holds each colour byte B as the float 2^23 + B: adding 2^23 with
// rounding toward zero truncates a product in one step, the low byte of the float's bits
// is B, and B / 255 is the fused X x (1/255) - 2^23 x (1/255), whose exact value is
// B x (1/255) and so rounds to the same float as the plain product.
constexpr float kShift = 8388608.0f;
constexpr float kShiftedInverse = kShift * kInverse255; // exact: a power of two times a float

__attribute__((target("avx512f,avx512bw"))) inline __m512 Lanes16(const uint8_t* bytes)
{
    return _mm512_cvtepi32_ps(_mm512_cvtepu8_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes))));
}

// The same with sixteen lanes: the colour of 64 pixels in twelve registers.
__attribute__((target("avx512f,avx512bw"))) void ModulateAvx512(uint8_t* base, const uint8_t* const* pixels,
                                                                 const float* const* inverses, size_t layers)
{
    // Lane l of run j of a group of sixteen pixels belongs to pixel (16 j + l) / 3.
    const __m512i spread[3] = {
        _mm512_setr_epi32(0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5),
        _mm512_setr_epi32(5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10),
        _mm512_setr_epi32(10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15),
    };
    const __m512 scale = _mm512_set1_ps(kInverse255);
    const __m512 one = _mm512_set1_ps(1.0f);
    const __m512 most = _mm512_set1_ps(255.0f);
    const __m512 shift = _mm512_set1_ps(kShift);
    const __m512 unshift = _mm512_set1_ps(-kShiftedInverse);
    const __m512i shift_bits = _mm512_castps_si512(shift);
    constexpr size_t kGroups = 4, kRuns = 3 * kGroups, kPixels = 16 * kGroups;
    for (size_t p = 0; p < size_t(WORK_SIZE) * WORK_SIZE; p += kPixels) {
        uint8_t* colour_bytes = base + 3 * p;
        __m512 colour[kRuns];
#pragma GCC unroll 12
        for (size_t r = 0; r < kRuns; ++r)
            colour[r] = _mm512_castsi512_ps(_mm512_or_si512(
                _mm512_cvtepu8_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(colour_bytes + 16 * r))),
                shift_bits));
        bool any = false;
        for (size_t n = 0; n < layers; ++n) {
            const uint8_t* mask = pixels[n] + p;
            const __m512i m = _mm512_loadu_si512(mask);
            const __mmask64 nonzero = _mm512_test_epi8_mask(m, m);
            if (!nonzero) continue; // a mask of 0 changes nothing
            any = true;
            const float* inverse = inverses[n] + 3 * p;
#pragma GCC unroll 4
            for (size_t g = 0; g < kGroups; ++g) {
                if (!((nonzero >> (16 * g)) & 0xFFFF)) continue;
                const __m512 a = _mm512_mul_ps(Lanes16(mask + 16 * g), scale);
#pragma GCC unroll 3
                for (size_t j = 0; j < 3; ++j) {
                    const size_t r = 3 * g + j;
                    const __m512 ar = _mm512_permutexvar_ps(spread[j], a);
                    const __m512 b = _mm512_fmadd_ps(colour[r], scale, unshift);
                    const __m512 factor =
                        _mm512_mul_ps(most, _mm512_sub_ps(one, _mm512_mul_ps(ar, _mm512_loadu_ps(inverse + 16 * r))));
                    colour[r] = _mm512_add_round_ps(_mm512_mul_ps(factor, b), shift,
                                                    _MM_FROUND_TO_ZERO | _MM_FROUND_NO_EXC);
                }
            }
        }
        if (!any) continue;
#pragma GCC unroll 12
        for (size_t r = 0; r < kRuns; ++r)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(colour_bytes + 16 * r),
                             _mm512_cvtepi32_epi8(_mm512_castps_si512(colour[r])));
    }
}
#endif

bool KernelAvailable(modulation_kernel kernel)
{
    switch (kernel) {
    case modulation_kernel::plain: return true;
#if defined(__x86_64__)
    case modulation_kernel::sse2: return true;
    case modulation_kernel::avx2: return __builtin_cpu_supports("avx2");
    case modulation_kernel::avx512: return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
#endif
    default: return false;
    }
}

// The masks of one tile in order: pixels holds one mask value per pixel, details the
// detail colour of each and inverses its 1 - d; spread is scratch of the colour's size.
void Modulate(modulation_kernel kernel, uint8_t* base, const uint8_t* const* pixels, const uint8_t* const* details,
              const float* const* inverses, size_t layers, uint8_t* spread)
{
#if defined(__x86_64__)
    if (kernel == modulation_kernel::avx512) return ModulateAvx512(base, pixels, inverses, layers);
    if (kernel == modulation_kernel::avx2) return ModulateAvx2(base, pixels, inverses, layers);
    for (size_t n = 0; n < layers; ++n) {
        if (kernel == modulation_kernel::sse2)
            ModulateSse2(base, pixels[n], details[n], spread);
        else
            ModulatePlain(base, pixels[n], details[n]);
    }
#else
    (void)inverses;
    (void)spread;
    for (size_t n = 0; n < layers; ++n) ModulatePlain(base, pixels[n], details[n]);
#endif
}

// The base image starts 16 bytes past a 32-byte boundary: libjpeg-turbo writes decoded
// rows that start on such a boundary with non-temporal stores, which would send the tile
// out of the cache just before the modulation and the encoder read it.
uint8_t* BaseStart(uint8_t* storage)
{
    const uintptr_t at = reinterpret_cast<uintptr_t>(storage);
    return storage + (((at + 31) & ~uintptr_t(31)) + 16 - at);
}

// Empties the detail table when the collapse ends, however it ends.
struct DetailTableRelease {
    TTerrainCollapser& collapser;
    ~DetailTableRelease() { collapser.ClearDetailTable(); }
};

} // namespace

TTerrainCollapser::TTerrainCollapser()
    : fBaseStorage(new uint8_t[kWorkBytes + 48]), fBase(BaseStart(fBaseStorage.get())),
      fResample(size_t(DETAIL_RESAMPLE_SIZE) * DETAIL_RESAMPLE_SIZE * 3), fMaskBytes(kWorkBytes)
{
    for (modulation_kernel k : {modulation_kernel::avx512, modulation_kernel::avx2, modulation_kernel::sse2})
        if (KernelAvailable(k)) {
            fKernel = k;
            break;
        }
}

bool TTerrainCollapser::SetKernel(modulation_kernel kernel)
{
    if (!KernelAvailable(kernel)) return false;
    fKernel = kernel;
    return true;
}

void TTerrainCollapser::ClearDetailTable()
{
    for (auto& slot : fDetails) slot.reset();
    for (auto& inverse : fInverses) inverse = std::vector<float>();
    fDetailCount = 0;
}

void TTerrainCollapser::CheckDetailSet(const texture_set& detail) const
{
    if (detail.stack_count() > MAXIMUM_DETAIL_LAYERS)
        texture_read_error("The detail stack has " + std::to_string(detail.stack_count()) +
                           " stacks; a terrain takes at most 16 detail layers.");
    for (uint32_t i = 0; i < detail.stack_count(); ++i) {
        const auto& list = detail.stacks[i].textures;
        if (list.empty()) continue;
        const stacked_texture& t = *list.front();
        if (!std::has_single_bit(t.width) || !std::has_single_bit(t.height))
            texture_read_error("The detail texture of stack " + std::to_string(i) + " is " + std::to_string(t.width) +
                               " x " + std::to_string(t.height) + "; its sides must be powers of two.");
    }
}

void TTerrainCollapser::PrepareDetail(const stacked_texture& texture, uint8_t* slot)
{
    const stacked_texture* st = &texture;
    CTD_CHECK(st->channels == 3 || st->channels == 4, "st->channels == 3 || st->channels == 4");
    const uint32_t W = st->width, H = st->height;
    texture_image image = decode_texture_or_fail(*st, false);
    const uint32_t channels = st->channels;

    const detail_placement placement = texture_detail_placement(*st);
    const float x0 = placement.origin_x, y0 = placement.origin_y;
    const float ux = placement.u_x, uy = placement.u_y, vx = placement.v_x, vy = placement.v_y;
    const float su = float(W) / (ux * ux + uy * uy);
    const float sv = float(H) / (vx * vx + vy * vy);
    const float dx = float(W) / 1024.0f, dy = float(H) / 1024.0f;
    const float au = ux * su, bu = uy * su, av = vx * sv, bv = vy * sv;
    const int64_t wrap_x = W - 1, wrap_y = H - 1;

    // The u and v terms of every column of samples are the same on every row.
    std::array<float, DETAIL_RESAMPLE_SIZE> column_x, row_x;
    for (uint32_t i = 0; i < DETAIL_RESAMPLE_SIZE; ++i) {
        const float x = float(i) * dx;
        column_x[i] = au * (x - x0);
        row_x[i] = av * (x - x0);
    }
    const uint8_t* texels = image.pixels.data();
    const uint32_t block = DETAIL_RESAMPLE_SIZE / WORK_SIZE;
    auto store_means = [&](const uint32_t* sums, uint32_t y) {
        for (uint32_t k = 0; k < WORK_SIZE * 3; ++k)
            slot[size_t(y) * WORK_SIZE * 3 + k] = uint8_t(std::min<uint32_t>(sums[k] / (block * block), 255));
    };
    std::array<uint32_t, WORK_SIZE * 3> sums;

    if (bu == 0 && av == 0) {
        // Axes along x and y: the column depends on x only, the row on y only, and a row
        // of samples repeats while the texture row stays the same.
        std::array<uint32_t, DETAIL_RESAMPLE_SIZE> columns;
        for (uint32_t i = 0; i < DETAIL_RESAMPLE_SIZE; ++i) columns[i] = uint32_t(int64_t(column_x[i]) & wrap_x);
        // Block sums of each texture row, made when first needed.
        std::vector<uint32_t> row_sums(size_t(H) * WORK_SIZE * 3);
        std::vector<bool> made(H);
        for (uint32_t j = 0; j < DETAIL_RESAMPLE_SIZE; ++j) {
            if (j % block == 0) sums.fill(0);
            const float y = float(j) * dy;
            const uint32_t row = uint32_t(int64_t(bv * (y - y0)) & wrap_y);
            uint32_t* line_sums = &row_sums[size_t(row) * WORK_SIZE * 3];
            if (!made[row]) {
                const uint8_t* line = texels + size_t(row) * W * channels;
                for (uint32_t x = 0; x < WORK_SIZE; ++x) {
                    uint32_t r = 0, g = 0, b = 0;
                    for (uint32_t i = x * block; i < (x + 1) * block; ++i) {
                        const uint8_t* texel = line + size_t(columns[i]) * channels;
                        r += texel[0];
                        g += texel[1];
                        b += texel[2];
                    }
                    line_sums[3 * x] = r;
                    line_sums[3 * x + 1] = g;
                    line_sums[3 * x + 2] = b;
                }
                made[row] = true;
            }
            for (uint32_t k = 0; k < WORK_SIZE * 3; ++k) sums[k] += line_sums[k];
            if (j % block == block - 1) store_means(sums.data(), j / block);
        }
        return;
    }

    uint8_t* out = fResample.data();
    for (uint32_t j = 0; j < DETAIL_RESAMPLE_SIZE; ++j) {
        const float y = float(j) * dy;
        const float cy = bu * (y - y0), ry = bv * (y - y0);
        for (uint32_t i = 0; i < DETAIL_RESAMPLE_SIZE; ++i, out += 3) {
            const int64_t column = int64_t(column_x[i] + cy) & wrap_x;
            const int64_t row = int64_t(row_x[i] + ry) & wrap_y;
            const uint8_t* texel = texels + (size_t(row) * W + size_t(column)) * channels;
            out[0] = texel[0];
            out[1] = texel[1];
            out[2] = texel[2];
        }
    }

    // Each result pixel is the mean of its 8 x 8 block of samples.
    const uint8_t* sample = fResample.data();
    for (uint32_t y = 0; y < WORK_SIZE; ++y) {
        sums.fill(0);
        for (uint32_t by = 0; by < block; ++by)
            for (uint32_t x = 0; x < WORK_SIZE; ++x) {
                uint32_t r = 0, g = 0, b = 0;
                for (uint32_t bx = 0; bx < block; ++bx, sample += 3) {
                    r += sample[0];
                    g += sample[1];
                    b += sample[2];
                }
                sums[3 * x] += r;
                sums[3 * x + 1] += g;
                sums[3 * x + 2] += b;
            }
        store_means(sums.data(), y);
    }
}

void TTerrainCollapser::BuildDetailTable(const texture_set& detail)
{
    ClearDetailTable();
    CheckDetailSet(detail);
    for (uint32_t i = 0; i < detail.stack_count(); ++i) {
        const auto& list = detail.stacks[i].textures;
        CTD_CHECK(!list.empty(), "sh->textures");
        fDetails[fDetailCount].reset(new uint8_t[kWorkBytes]);
        PrepareDetail(*list.front(), fDetails[fDetailCount].get());
        std::vector<float>& inverse = fInverses[fDetailCount];
        inverse.resize(kWorkBytes);
        for (size_t k = 0; k < kWorkBytes; ++k) inverse[k] = 1.0f - float(fDetails[fDetailCount][k]) * kInverse255;
        ++fDetailCount;
    }
}

const uint8_t* TTerrainCollapser::DecodeMask(const stored_texture& texture, uint32_t detail_num, uint8_t* buffer) const
{
    const txst_texture_header* mask = &texture.header;
    CTD_CHECK(mask->width == WORK_SIZE && mask->height == WORK_SIZE,
              "mask->width == WORK_SIZE && mask->height == WORK_SIZE");
    CTD_CHECK(mask->channels == 1, "mask->channels == 1");
    CTD_CHECK(detail_num < fDetailCount, "detail_num < c_num_details");
    // Raw pixels of the right size are used where they are.
    if (mask->format == TEXTURE_FORMAT_RAW && mask->data_size == WORK_SIZE * WORK_SIZE) return texture.data;
    DecodeInto(texture, buffer);
    return buffer;
}

void TTerrainCollapser::DecodeInto(const stored_texture& texture, uint8_t* pixels) const
{
    const txst_texture_header& h = texture.header;
    std::string why;
    if (!decode_texture_data_into(texture.data, h.data_size, {h.format, h.channels, h.width, h.height}, true, pixels,
                                  &why))
        texture_decode_failed(h.width, h.height, why);
}

void TTerrainCollapser::ApplyMask(const stacked_texture& texture, uint32_t detail_num)
{
    std::vector<uint8_t> buffer(WORK_SIZE * WORK_SIZE);
    const uint8_t* mask = DecodeMask(stored_view(texture), detail_num, buffer.data());
    const uint8_t* detail = fDetails[detail_num].get();
    const float* inverse = fInverses[detail_num].data();
    Modulate(fKernel, fBase, &mask, &detail, &inverse, 1, fMaskBytes.data());
}

std::unique_ptr<texture_set> TTerrainCollapser::CollapseSets(const texture_set& terrain, const texture_set& detail)
{
    std::vector<stored_texture> textures;
    std::vector<TerrainStack> stacks;
    for (const texture_stack_entry& stack : terrain.stacks) {
        stacks.push_back({uint32_t(textures.size()), uint32_t(stack.textures.size())});
        for (const auto& t : stack.textures) textures.push_back(stored_view(*t));
    }
    return CollapseStacks(textures, stacks, detail);
}

std::unique_ptr<texture_set> TTerrainCollapser::CollapseStacks(const std::vector<stored_texture>& textures,
                                                               const std::vector<TerrainStack>& stacks,
                                                               const texture_set& detail)
{
    DetailTableRelease release{*this};
    BuildDetailTable(detail);
    auto result = create_texture_set(uint32_t(stacks.size()));
    std::vector<const uint8_t*> pixels, details;
    std::vector<const float*> inverses;
    for (uint32_t i = 0; i < stacks.size(); ++i) {
        const stored_texture* list = textures.data() + stacks[i].first;
        const uint32_t count = stacks[i].count;
        CTD_CHECK(count > 0, "sh->textures");
        const txst_texture_header* tex = &list[0].header;
        CTD_CHECK(tex->width == WORK_SIZE && tex->height == WORK_SIZE && tex->channels == 3,
                  "tex->width == WORK_SIZE && tex->height == WORK_SIZE && tex->channels == 3");
        DecodeInto(list[0], fBase);
        // The tile's masks in stack order, each decoded into a buffer of its own, then
        // applied together.
        pixels.clear();
        details.clear();
        inverses.clear();
        for (uint32_t k = 0; k < count; ++k) {
            tex = &list[k].header;
            if (tex->use != TEXTURE_USE_DETAIL_MASK) continue;
            CTD_CHECK(tex->layer < fDetailCount, "tex->layer < c_num_details");
            if (fMasks.size() == pixels.size()) fMasks.emplace_back(new uint8_t[WORK_SIZE * WORK_SIZE]);
            pixels.push_back(DecodeMask(list[k], tex->layer, fMasks[pixels.size()].get()));
            details.push_back(fDetails[tex->layer].get());
            inverses.push_back(fInverses[tex->layer].data());
        }
        Modulate(fKernel, fBase, pixels.data(), details.data(), inverses.data(), pixels.size(), fMaskBytes.data());
        // A raw colour map, recompressed at quality 94: JPEG when it saves enough.
        auto made = std::make_unique<stacked_texture>();
        made->channels = 3;
        made->width = WORK_SIZE;
        made->height = WORK_SIZE;
        std::vector<uint8_t> jpeg = encode_texture_jpeg(fBase, WORK_SIZE, WORK_SIZE, 3, COLLAPSED_TERRAIN_QUALITY);
        if (jpeg_saves_enough(jpeg.size(), kWorkBytes)) {
            made->compressed_data = std::move(jpeg);
            made->format = TEXTURE_FORMAT_JPEG;
        } else {
            made->compressed_data.assign(fBase, fBase + kWorkBytes);
        }
        insert_texture(result.get(), i, 0, std::move(made));
    }
    return result;
}

tag_entry* TTerrainCollapser::Collapse(tag_file* file, tag_code terrain_id, tag_code detail_id)
{
    TTagStore& store = *file->store;
    auto find = [&](tag_code id, const char* role) {
        tag_entry* e = store.find_tag("txst"_4cc, id);
        if (!e)
            texture_read_error(std::string("There is no texture stack txst/") + tag_code_to_text(id) + " to use as the " +
                               role + ".");
        return e;
    };
    tag_entry* terrain_tag = find(terrain_id, "terrain stack");
    tag_entry* detail_tag = find(detail_id, "detail stack");
    // The terrain's textures are read where they are stored; stacks without textures
    // are passed over, as reading the set drops them.
    const stored_texture_set terrain = read_stored_texture_set(terrain_tag);
    std::unique_ptr<texture_set> detail = read_texture_set(detail_tag);
    std::vector<TerrainStack> stacks;
    for (const stored_texture_set::stack& stack : terrain.stacks)
        if (stack.header.texture_count) stacks.push_back({stack.first, stack.header.texture_count});
    if (stacks.empty()) texture_read_error("The terrain stack has no stacks to collapse.");

    std::unique_ptr<texture_set> result = CollapseStacks(terrain.textures, stacks, *detail);

    const char* name = "Collapsed Terrain Stack";
    tag_entry* made = store.create_tag(file, "txst"_4cc, 0, int16_t(tag_type_version("txst"_4cc)), name, 0, 0, nullptr);
    if (!made) texture_read_error("There is not enough memory for the collapsed terrain stack.");
    std::string why;
    if (!write_texture_set(made, *result, &why)) {
        store.delete_tag(made);
        texture_read_error("The collapsed terrain stack cannot be stored: " + why + ".");
    }
    return made;
}

TTerrainCollapser& terrain_collapser()
{
    static TTerrainCollapser collapser;
    return collapser;
}
