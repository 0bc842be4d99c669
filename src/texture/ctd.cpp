#include "texture/ctd.h"

#include <cstring>

#include "tags/tag_types.h"
#include "texture/texture_errors.h"
#include "texture/texture_pixels.h"
#include "texture/txst_format.h"

#define CTD_CHECK(expr, text) ((expr) ? (void)0 : texture_check_failed(text, "ctd", __LINE__))

namespace {

constexpr float kInverse255 = 0.003921568859368563f;
constexpr size_t kWorkBytes = WORK_SIZE * WORK_SIZE * 3;

bool IsPowerOfTwo(uint32_t n)
{
    return n && !(n & (n - 1));
}

// Empties the detail table when the collapse ends, however it ends.
struct DetailTableRelease {
    TTerrainCollapser& collapser;
    ~DetailTableRelease() { collapser.ClearDetailTable(); }
};

} // namespace

TTerrainCollapser::TTerrainCollapser()
    : fBase(kWorkBytes), fResample(size_t(DETAIL_RESAMPLE_SIZE) * DETAIL_RESAMPLE_SIZE * 3), fModulation(256 * 256)
{
    for (int v = 0; v < 256; ++v) fUnit[v] = float(v) * kInverse255;
    for (int m = 0; m < 256; ++m)
        for (int d = 0; d < 256; ++d) fModulation[m * 256 + d] = 255.0f * (1.0f - fUnit[m] * (1.0f - fUnit[d]));
}

void TTerrainCollapser::ClearDetailTable()
{
    for (auto& slot : fDetails) slot.reset();
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
        if (!IsPowerOfTwo(t.width) || !IsPowerOfTwo(t.height))
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

    float x0 = 0, y0 = 0, ux = -64, uy = 0, vx = 0, vy = 64;
    if (st->u_x != 0 || st->u_y != 0) {
        x0 = st->origin_x;
        ux = st->u_x;
        uy = st->u_y;
    }
    if (st->v_x != 0 || st->v_y != 0) {
        y0 = st->origin_y;
        vx = st->v_x;
        vy = st->v_y;
    }
    const float su = float(W) / (ux * ux + uy * uy);
    const float sv = float(H) / (vx * vx + vy * vy);
    const float dx = float(W) / 1024.0f, dy = float(H) / 1024.0f;
    const float au = ux * su, bu = uy * su, av = vx * sv, bv = vy * sv;
    const int64_t wrap_x = W - 1, wrap_y = H - 1;

    uint8_t* out = fResample.data();
    for (uint32_t j = 0; j < DETAIL_RESAMPLE_SIZE; ++j) {
        const float y = float(j) * dy;
        const float cy = bu * (y - y0), ry = bv * (y - y0);
        for (uint32_t i = 0; i < DETAIL_RESAMPLE_SIZE; ++i, out += 3) {
            const float x = float(i) * dx;
            const int64_t column = int64_t(au * (x - x0) + cy) & wrap_x;
            const int64_t row = int64_t(av * (x - x0) + ry) & wrap_y;
            std::memcpy(out, &image.pixels[(size_t(row) * W + size_t(column)) * channels], 3);
        }
    }

    const uint32_t block = DETAIL_RESAMPLE_SIZE / WORK_SIZE;
    for (uint32_t y = 0; y < WORK_SIZE; ++y)
        for (uint32_t x = 0; x < WORK_SIZE; ++x)
            for (uint32_t k = 0; k < 3; ++k) {
                uint32_t sum = 0;
                for (uint32_t by = 0; by < block; ++by) {
                    const uint8_t* p = &fResample[((size_t(y) * block + by) * DETAIL_RESAMPLE_SIZE + x * block) * 3 + k];
                    for (uint32_t bx = 0; bx < block; ++bx) sum += p[bx * 3];
                }
                slot[(size_t(y) * WORK_SIZE + x) * 3 + k] = uint8_t(std::min<uint32_t>(sum / (block * block), 255));
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
        ++fDetailCount;
    }
}

void TTerrainCollapser::ApplyMask(const stacked_texture& texture, uint32_t detail_num)
{
    const stacked_texture* mask = &texture;
    CTD_CHECK(mask->width == WORK_SIZE && mask->height == WORK_SIZE,
              "mask->width == WORK_SIZE && mask->height == WORK_SIZE");
    CTD_CHECK(mask->channels == 1, "mask->channels == 1");
    CTD_CHECK(detail_num < fDetailCount, "detail_num < c_num_details");
    texture_image pixels = decode_texture_or_fail(*mask, true);
    const uint8_t* m = pixels.pixels.data();
    const uint8_t* d = fDetails[detail_num].get();
    uint8_t* b = fBase.data();
    // A mask of 0 leaves the pixel as it is.
    for (size_t i = 0; i < size_t(WORK_SIZE) * WORK_SIZE; ++i, b += 3, d += 3) {
        if (!m[i]) continue;
        const float* factor = &fModulation[size_t(m[i]) * 256];
        b[0] = uint8_t(int(factor[d[0]] * fUnit[b[0]]));
        b[1] = uint8_t(int(factor[d[1]] * fUnit[b[1]]));
        b[2] = uint8_t(int(factor[d[2]] * fUnit[b[2]]));
    }
}

std::unique_ptr<texture_set> TTerrainCollapser::CollapseSets(const texture_set& terrain, const texture_set& detail)
{
    DetailTableRelease release{*this};
    BuildDetailTable(detail);
    auto result = create_texture_set(terrain.stack_count());
    for (uint32_t i = 0; i < terrain.stack_count(); ++i) {
        const auto& list = terrain.stacks[i].textures;
        CTD_CHECK(!list.empty(), "sh->textures");
        const stacked_texture* tex = list.front().get();
        CTD_CHECK(tex->width == WORK_SIZE && tex->height == WORK_SIZE && tex->channels == 3,
                  "tex->width == WORK_SIZE && tex->height == WORK_SIZE && tex->channels == 3");
        texture_image colour = decode_texture_or_fail(*tex, true);
        std::memcpy(fBase.data(), colour.pixels.data(), kWorkBytes);
        for (const auto& t : list) {
            tex = t.get();
            if (tex->use != TEXTURE_USE_DETAIL_MASK) continue;
            CTD_CHECK(tex->layer < fDetailCount, "tex->layer < c_num_details");
            ApplyMask(*tex, tex->layer);
        }
        auto made = std::make_unique<stacked_texture>();
        made->channels = 3;
        made->width = WORK_SIZE;
        made->height = WORK_SIZE;
        made->compressed_data.assign(fBase.begin(), fBase.end());
        stacked_texture* placed = made.get();
        insert_texture(result.get(), i, 0, std::move(made));
        recompress_texture(*placed, COLLAPSED_TERRAIN_QUALITY);
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
    std::unique_ptr<texture_set> terrain = read_texture_set(terrain_tag);
    std::unique_ptr<texture_set> detail = read_texture_set(detail_tag);
    if (terrain->stack_count() == 0) texture_read_error("The terrain stack has no stacks to collapse.");

    std::unique_ptr<texture_set> result = CollapseSets(*terrain, *detail);

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
