#include "model/skmd_format.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/XGError.h"
#include "tags/tags.h"

const bs_code skmd_header_codes[] = {
    _begin_bs_array, 1, _4byte, _4byte, _2byte, _2byte,
    _begin_bs_array, 16, _4byte, _4byte, _2byte, _2byte, 4, _end_bs_array,
    _end_bs_array,
};

const bs_code skmd_modelheader_codes[] = {
    _begin_bs_array, 1, 32, _4byte,
    _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte,
    _4byte, _4byte, _4byte, _4byte, _4byte, _4byte, _4byte, _4byte, _4byte, _4byte,
    _2byte, _2byte, 62, 2, 4, 4,
    _begin_bs_array, 12, _2byte, _2byte, _4byte, _4byte, 4, _end_bs_array,
    _end_bs_array,
};

const bs_code skmd_bone_codes[] = {
    _begin_bs_array, 1, 64, _4byte, _2byte, 2,
    _4byte, _4byte, _4byte, _4byte, _4byte, _4byte, _4byte,
    _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte,
    _4byte,
    _begin_bs_array, 6, _4byte, _end_bs_array,
    _4byte, _4byte, _4byte, _4byte, 1, 1, 2, _4byte, _4byte, _4byte,
    _end_bs_array,
};

const bs_code skmd_lod_header_codes[] = {
    _begin_bs_array, 1, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _end_bs_array,
};

const bs_code skmd_collision_box_codes[] = {
    _begin_bs_array, 10, _2byte, _end_bs_array,
};

const bs_code skmd_collision_triangle_codes[] = {
    _begin_bs_array, 1, _begin_bs_array, 12, _2byte, _end_bs_array, _4byte, _4byte, _4byte, _4byte, _end_bs_array,
};

namespace {

constexpr int kModelHeaderConverted = 360;

uint32_t RoundUp16(uint64_t n)
{
    return uint32_t((n + 15) & ~uint64_t(15));
}

std::string ModelName(int index)
{
    return "model " + std::to_string(index);
}

// Converts plain 2- or 4-byte values.
void SwapValues(void* data, size_t bytes, size_t unit)
{
    byte_swap_memory("skmd", data, int32_t(bytes / unit), unit == 2 ? _2byte : _4byte);
}

// Reads count plain values of type T at offset, converted from file order.
template <typename T>
std::vector<T> ReadArray(const uint8_t* block, uint32_t offset, size_t count)
{
    std::vector<T> out(count);
    if (count == 0) return out;
    std::memcpy(out.data(), block + offset, count * sizeof(T));
    SwapValues(out.data(), count * sizeof(T), sizeof(T) == 2 ? 2 : 4);
    return out;
}

template <typename T>
void WriteArray(uint8_t* block, uint32_t offset, const std::vector<T>& values)
{
    if (values.empty()) return;
    std::memcpy(block + offset, values.data(), values.size() * sizeof(T));
    SwapValues(block + offset, values.size() * sizeof(T), sizeof(T) == 2 ? 2 : 4);
}

// Reads one level block (file order) that lies within block[0, limit).
bool LoadLevel(const uint8_t* block, uint32_t limit, const skmd_lod_entry& entry, int bone_count,
               TSkeletalLevel& level, std::string& why)
{
    if (entry.first_vertex > entry.last_vertex) {
        why = "its vertex range " + std::to_string(entry.first_vertex) + ".." + std::to_string(entry.last_vertex) +
              " is reversed";
        return false;
    }
    if (uint64_t(entry.lod_offset) + SKMD_LEVEL_HEADER_SIZE > limit) {
        why = "its block lies outside the model";
        return false;
    }
    byte_swap_copy("skmd", &level.header, block + entry.lod_offset, 12, 1, skmd_lod_header_codes);
    std::memset(level.header.pointer_slots, 0, sizeof level.header.pointer_slots);
    skmd_level_layout layout = skmd_level_layout_for(level.header, bone_count, entry.first_vertex, entry.last_vertex);
    if (layout.size != entry.lod_size) {
        why = "its stored size " + std::to_string(entry.lod_size) + " disagrees with its counts (" +
              std::to_string(layout.size) + " bytes)";
        return false;
    }
    if (uint64_t(entry.lod_offset) + layout.size > limit) {
        why = "its block runs past the end of the model";
        return false;
    }
    const uint8_t* p = block + entry.lod_offset;
    const skmd_lod_header& h = level.header;
    level.triangles = ReadArray<uint16_t>(p, SKMD_LEVEL_HEADER_SIZE, size_t(h.triangle_count) * 3);
    level.weights_per_bone = ReadArray<uint16_t>(p, layout.weights_per_bone, size_t(bone_count));
    level.edge_collapse = ReadArray<uint16_t>(p, layout.edge_collapse, size_t(entry.last_vertex - entry.first_vertex));
    level.min_vertices_for_tri = ReadArray<uint16_t>(p, layout.min_vertices_for_tri, h.triangle_count);
    level.weight_refs = ReadArray<uint16_t>(p, layout.weight_refs, h.weight_ref_count);
    level.vertex_weights.assign(p + layout.vertex_weights, p + layout.vertex_weights + entry.last_vertex);
    level.quads = ReadArray<skmd_quadvert>(p, layout.quads, h.quadvert_count);
    return true;
}

// Reads model `index` from its entry; false with the reason when its sizes disagree.
bool LoadModel(const uint8_t* data, size_t size, const skmd_model_entry& entry, TSkeletalModel& model,
               std::string& why)
{
    if (uint64_t(entry.offset) + entry.size > size) {
        why = "its block runs past the end of the tag";
        return false;
    }
    if (entry.size < uint32_t(SKMD_MODEL_HEADER_SIZE)) {
        why = "its block is smaller than a model header";
        return false;
    }
    const uint8_t* block = data + entry.offset;
    skmd_model_header& h = model.header;
    std::memcpy(&h, block, SKMD_MODEL_HEADER_SIZE);
    byte_swap_data("skmd", &h, kModelHeaderConverted, 1, skmd_modelheader_codes);
    h.uv_slot = h.box_slot = h.triangle_slot = h.real_count_slot = 0;
    if (h.lod_count > MAXIMUM_LEVELS_OF_DETAIL) {
        why = "it has " + std::to_string(h.lod_count) + " levels of detail (at most 12)";
        return false;
    }
    if (h.min_vertex_count > h.vertex_count) {
        why = "its minimum vertex count is above its vertex count";
        return false;
    }
    const skmd_model_layout layout = skmd_model_layout_for(h);
    if (layout.size > entry.size) {
        why = "its stored size " + std::to_string(entry.size) + " is smaller than its arrays (" +
              std::to_string(layout.size) + " bytes)";
        return false;
    }
    model.bones.resize(h.bone_count);
    if (h.bone_count)
        byte_swap_copy("skmd", model.bones.data(), block + SKMD_MODEL_HEADER_SIZE, SKMD_BONE_SIZE, h.bone_count,
                       skmd_bone_codes);
    model.uv = ReadArray<float>(block, layout.uv, size_t(h.vertex_count) * 2);
    model.collision_boxes.resize(h.collision_box_count);
    if (h.collision_box_count)
        byte_swap_copy("skmd", model.collision_boxes.data(), block + layout.boxes, SKMD_COLLISION_BOX_SIZE,
                       h.collision_box_count, skmd_collision_box_codes);
    model.collision_triangles.resize(h.collision_triangle_count);
    if (h.collision_triangle_count)
        byte_swap_copy("skmd", model.collision_triangles.data(), block + layout.triangles,
                       SKMD_COLLISION_TRIANGLE_SIZE, h.collision_triangle_count, skmd_collision_triangle_codes);
    model.real_vertex_counts =
        ReadArray<uint16_t>(block, layout.real_counts, size_t(h.vertex_count) + 1 - h.min_vertex_count);

    model.levels.resize(h.lod_count);
    for (int i = 0; i < h.lod_count; ++i) {
        std::string level_why;
        if (!LoadLevel(block, entry.size, h.lods[i], h.bone_count, model.levels[size_t(i)], level_why)) {
            why = "level " + std::to_string(i) + ": " + level_why;
            return false;
        }
        h.lods[i].slot = 0;
    }
    for (int i = h.lod_count; i < MAXIMUM_LEVELS_OF_DETAIL; ++i) h.lods[i].slot = 0;
    return true;
}

} // namespace

void model_read_error(const std::string& sentence)
{
    throw XGPostError(kXGFileReadError, {sentence});
}

uint32_t skmd_uv_offset(int bone_count)
{
    return RoundUp16(uint64_t(SKMD_MODEL_HEADER_SIZE) + uint64_t(SKMD_BONE_SIZE) * uint64_t(bone_count));
}

skmd_model_layout skmd_model_layout_for(const skmd_model_header& h)
{
    skmd_model_layout l{};
    l.uv = skmd_uv_offset(h.bone_count);
    l.boxes = l.uv + 8u * h.vertex_count;
    l.triangles = l.boxes + uint32_t(SKMD_COLLISION_BOX_SIZE) * h.collision_box_count;
    l.real_counts = l.triangles + uint32_t(SKMD_COLLISION_TRIANGLE_SIZE) * h.collision_triangle_count;
    l.size = l.real_counts +
             2u * (uint32_t(h.vertex_count) + 1 - std::min<uint32_t>(h.min_vertex_count, h.vertex_count));
    return l;
}

uint32_t skmd_model_block_size(const skmd_model_header& h)
{
    return skmd_model_layout_for(h).size;
}

skmd_level_layout skmd_level_layout_for(const skmd_lod_header& h, int bone_count, int first_vertex, int last_vertex)
{
    skmd_level_layout l{};
    l.weights_per_bone = SKMD_LEVEL_HEADER_SIZE + 6u * h.triangle_count;
    l.edge_collapse = l.weights_per_bone + 2u * uint32_t(bone_count);
    l.min_vertices_for_tri = l.edge_collapse + 2u * uint32_t(last_vertex - first_vertex);
    l.weight_refs = l.min_vertices_for_tri + 2u * h.triangle_count;
    l.vertex_weights = l.weight_refs + 2u * h.weight_ref_count;
    l.quads = RoundUp16(uint64_t(l.vertex_weights) + uint32_t(last_vertex));
    l.size = l.quads + uint32_t(SKMD_QUADVERT_SIZE) * h.quadvert_count;
    return l;
}

void skmd_init_model_header(skmd_model_header& h)
{
    std::memset(&h, 0, sizeof h);
    h.value32 = -1;
    h.quantized_scale = 1;
    h.scale = 1.0f;
}

void skmd_init_bone(skmd_bone& b)
{
    std::memset(&b, 0, sizeof b);
    b.flags = uint32_t(SKMD_AXIS_NONE) << SKMD_BONE_AXIS_SHIFT;
    b.parent = SKMD_NO_PARENT;
    b.unconverted70[0] = b.unconverted70[1] = 0xFF;
    b.value114 = -1;
    b.value116 = -1;
    b.value156 = -1;
    b.byte160 = b.byte161 = 0xFF;
    b.unconverted162[0] = b.unconverted162[1] = 0xFF;
    for (float& s : b.bone_scale) s = 1.0f;
}

int16_t skmd_round_clamp(double value)
{
    if (std::isnan(value)) return 0;
    double r = value < 0 ? -std::floor(-value + 0.5) : std::floor(value + 0.5);
    return int16_t(std::clamp(r, -32767.0, 32767.0));
}

void skmd_quantize(TSkeletalModel& model)
{
    skmd_model_header& h = model.header;
    double scale = h.scale;
    double m = 0.00001;
    for (const skmd_bone& b : model.bones)
        for (float p : b.position) m = std::max(m, std::fabs(scale * p));
    int e = 0;
    while (e < MAXIMUM_QUANTIZATION_EXPONENT && !(std::ldexp(m, e) >= 16383.0)) ++e;
    h.position_exponent = int16_t(e);
    for (skmd_bone& b : model.bones)
        for (int k = 0; k < 3; ++k) b.quantized_position[k] = skmd_round_clamp(std::ldexp(scale * b.position[k], e));

    int s = 0;
    while (s < MAXIMUM_QUANTIZATION_EXPONENT && !(std::ldexp(std::fabs(scale), s) >= 16384.0)) ++s;
    h.scale_exponent = int16_t(s);
    h.quantized_scale = skmd_round_clamp(std::ldexp(scale, s));
}

uint64_t skmd_lay_out_levels(skmd_model_header& h, const std::vector<TSkeletalLevel>& levels)
{
    uint64_t end = skmd_model_block_size(h);
    for (size_t l = 0; l < levels.size() && l < size_t(MAXIMUM_LEVELS_OF_DETAIL); ++l) {
        uint64_t at = RoundUp16(end);
        skmd_level_layout layout =
            skmd_level_layout_for(levels[l].header, h.bone_count, h.lods[l].first_vertex, h.lods[l].last_vertex);
        h.lods[l].lod_offset = uint32_t(at);
        h.lods[l].lod_size = layout.size;
        end = at + layout.size;
    }
    return end;
}

skmd_load_result skmd_load(const uint8_t* data, size_t size)
{
    skmd_load_result result;
    skmd_tag_header& header = result.tag.header;
    if (!data || size < size_t(SKMD_TAG_HEADER_SIZE)) {
        result.failure = "the tag is shorter than a skeletal model header";
        return result;
    }
    byte_swap_copy("skmd", &header, data, SKMD_TAG_HEADER_SIZE, 1, skmd_header_codes);
    if (header.model_count < 0 || header.model_count > MAXIMUM_MODELS_PER_SKELETAL_MODEL) {
        result.failure = "the tag claims " + std::to_string(header.model_count) + " models (at most 16)";
        header.model_count = 0;
        return result;
    }
    for (int i = 0; i < header.model_count; ++i) {
        auto model = std::make_unique<TSkeletalModel>();
        std::string why;
        if (!LoadModel(data, size, header.models[i], *model, why)) {
            result.failure = ModelName(i) + ": " + why;
            header.model_count = int16_t(i);
            return result;
        }
        result.tag.models.push_back(std::move(model));
    }
    return result;
}

TSkeletalModelTag load_skeletal_model_tag(tag_entry* e)
{
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(e, &size);
    if (!data && size) model_read_error(std::string(tag_get_name(e)) + " - the tag's data cannot be read.");
    skmd_load_result loaded = skmd_load(data, size);
    if (!loaded.failure.empty())
        model_read_error(std::string(tag_get_name(e)) + " - not a valid skeletal model: " + loaded.failure + ".");
    return std::move(loaded.tag);
}

namespace {

void StoreLevel(uint8_t* p, const TSkeletalLevel& level, int bone_count, const skmd_lod_entry& entry)
{
    skmd_level_layout layout = skmd_level_layout_for(level.header, bone_count, entry.first_vertex, entry.last_vertex);
    WriteArray(p, SKMD_LEVEL_HEADER_SIZE, level.triangles);
    WriteArray(p, layout.weights_per_bone, level.weights_per_bone);
    WriteArray(p, layout.edge_collapse, level.edge_collapse);
    WriteArray(p, layout.min_vertices_for_tri, level.min_vertices_for_tri);
    WriteArray(p, layout.weight_refs, level.weight_refs);
    if (!level.vertex_weights.empty())
        std::memcpy(p + layout.vertex_weights, level.vertex_weights.data(), level.vertex_weights.size());
    WriteArray(p, layout.quads, level.quads);
    skmd_lod_header h = level.header;
    std::memset(h.pointer_slots, 0, sizeof h.pointer_slots);
    byte_swap_copy("skmd", p, &h, 12, 1, skmd_lod_header_codes);
    std::memset(p + 12, 0, 24);
}

// Checks that the arrays agree with the counts they are stored under.
void CheckModelArrays(const TSkeletalModel& m, int index)
{
    const skmd_model_header& h = m.header;
    bool ok = m.bones.size() == h.bone_count && m.uv.size() == size_t(h.vertex_count) * 2 &&
              m.collision_boxes.size() == h.collision_box_count &&
              m.collision_triangles.size() == h.collision_triangle_count && h.min_vertex_count <= h.vertex_count &&
              m.real_vertex_counts.size() == size_t(h.vertex_count) + 1 - h.min_vertex_count &&
              m.levels.size() == h.lod_count && h.lod_count <= MAXIMUM_LEVELS_OF_DETAIL;
    for (size_t i = 0; ok && i < m.levels.size(); ++i) {
        const TSkeletalLevel& l = m.levels[i];
        const skmd_lod_entry& e = h.lods[i];
        ok = e.first_vertex <= e.last_vertex && l.triangles.size() == size_t(l.header.triangle_count) * 3 &&
             l.weights_per_bone.size() == h.bone_count &&
             l.edge_collapse.size() == size_t(e.last_vertex - e.first_vertex) &&
             l.min_vertices_for_tri.size() == l.header.triangle_count &&
             l.weight_refs.size() == l.header.weight_ref_count && l.vertex_weights.size() == e.last_vertex &&
             l.quads.size() == l.header.quadvert_count;
    }
    if (!ok) throw XGPostError(kXGAssertionFailure, {"model arrays match their counts", "skmd", index});
}

} // namespace

std::vector<uint8_t> skmd_store(const TSkeletalModelTag& tag)
{
    if (tag.models.size() > size_t(MAXIMUM_MODELS_PER_SKELETAL_MODEL))
        throw XGPostError(kXGAssertionFailure, {"model_count<=16", "skmd", __LINE__});
    skmd_tag_header header = tag.header;
    header.model_count = int16_t(tag.models.size());

    // Layout.
    std::vector<skmd_model_header> headers;
    uint64_t end = SKMD_TAG_HEADER_SIZE;
    for (size_t i = 0; i < tag.models.size(); ++i) {
        const TSkeletalModel& m = *tag.models[i];
        CheckModelArrays(m, int(i));
        skmd_model_header h = m.header;
        uint64_t start = RoundUp16(end);
        uint64_t model_end = skmd_lay_out_levels(h, m.levels);
        if (start + model_end > 0xFFFFFFF0ull) throw XGPostError(kXGOutOfMemory);
        header.models[i].offset = uint32_t(start);
        header.models[i].size = uint32_t(model_end);
        headers.push_back(h);
        end = start + model_end;
    }

    std::vector<uint8_t> out(size_t(end), 0);
    byte_swap_copy("skmd", out.data(), &header, SKMD_TAG_HEADER_SIZE, 1, skmd_header_codes);
    for (size_t i = 0; i < tag.models.size(); ++i) {
        const TSkeletalModel& m = *tag.models[i];
        TSkeletalModel quantized;
        quantized.header = headers[i];
        quantized.bones = m.bones;
        skmd_quantize(quantized);
        skmd_model_header& h = quantized.header;
        h.uv_slot = h.box_slot = h.triangle_slot = h.real_count_slot = 0;
        for (skmd_lod_entry& l : h.lods) l.slot = 0;

        uint8_t* block = out.data() + header.models[i].offset;
        std::memcpy(block, &h, SKMD_MODEL_HEADER_SIZE);
        byte_swap_data("skmd", block, kModelHeaderConverted, 1, skmd_modelheader_codes);
        if (h.bone_count)
            byte_swap_copy("skmd", block + SKMD_MODEL_HEADER_SIZE, quantized.bones.data(), SKMD_BONE_SIZE,
                           h.bone_count, skmd_bone_codes);
        const skmd_model_layout layout = skmd_model_layout_for(h);
        WriteArray(block, layout.uv, m.uv);
        if (h.collision_box_count)
            byte_swap_copy("skmd", block + layout.boxes, m.collision_boxes.data(), SKMD_COLLISION_BOX_SIZE,
                           h.collision_box_count, skmd_collision_box_codes);
        if (h.collision_triangle_count)
            byte_swap_copy("skmd", block + layout.triangles, m.collision_triangles.data(),
                           SKMD_COLLISION_TRIANGLE_SIZE, h.collision_triangle_count, skmd_collision_triangle_codes);
        WriteArray(block, layout.real_counts, m.real_vertex_counts);
        for (size_t l = 0; l < m.levels.size(); ++l)
            StoreLevel(block + h.lods[l].lod_offset, m.levels[l], h.bone_count, h.lods[l]);
    }
    return out;
}

void store_skeletal_model_tag(const TSkeletalModelTag& tag, tag_entry* e)
{
    std::vector<uint8_t> bytes = skmd_store(tag);
    if (!tag_set_data(e, bytes.data(), uint32_t(bytes.size()))) throw XGPostError(kXGOutOfMemory);
}

std::vector<uint8_t> skmd_default_data()
{
    return std::vector<uint8_t>(SKMD_TAG_HEADER_SIZE, 0);
}
