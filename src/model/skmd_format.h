// Skeletal model tags: the stored layout of the tag header, the model blocks and
// their level-of-detail blocks, and the in-memory form they load into.
//
// In memory every structure holds native numbers; pointer slots are kept as the
// 32-bit values they had in the file (or zero) and never hold host pointers: the
// arrays live beside the structures and their places are computed from the counts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tags/byte_swapping.h"
#include "tags/tag_code.h"

struct tag_entry;

constexpr int MAXIMUM_MODELS_PER_SKELETAL_MODEL = 16;
constexpr int MAXIMUM_LEVELS_OF_DETAIL = 12;
constexpr int MAXIMUM_REDUCED_LEVELS = 11;
constexpr int SKMD_TAG_HEADER_SIZE = 268;
constexpr int SKMD_MODEL_HEADER_SIZE = 368;
constexpr int SKMD_BONE_SIZE = 176;
constexpr int SKMD_LEVEL_HEADER_SIZE = 36;
constexpr int SKMD_QUADVERT_SIZE = 16;
constexpr int SKMD_COLLISION_BOX_SIZE = 20;
constexpr int SKMD_COLLISION_TRIANGLE_SIZE = 40;
// Bound of the exponent searches of quantization (a scale of 0 never reaches the
// target); the position search of a model with every bone at the origin ends there.
constexpr int MAXIMUM_QUANTIZATION_EXPONENT = 31;

constexpr uint32_t SKMD_BONE_LIMB = 0x10;
constexpr uint32_t SKMD_BONE_AXIS_MASK = 0x0C;
constexpr int SKMD_BONE_AXIS_SHIFT = 2;
constexpr int SKMD_AXIS_NONE = 3;
constexpr uint16_t SKMD_NO_PARENT = 0xFFFF;
constexpr uint16_t SKMD_LAST_LEVEL = 0x0001;

struct skmd_model_entry {
    uint32_t offset;
    uint32_t size;
    int16_t value8; // carried unchanged
    int16_t value10;
    uint32_t slot; // pointer slot, as read
};

struct skmd_tag_header {
    int32_t word0; // carried unchanged
    int32_t word4;
    int16_t model_count;
    int16_t word10;
    skmd_model_entry models[MAXIMUM_MODELS_PER_SKELETAL_MODEL];
};
static_assert(sizeof(skmd_tag_header) == SKMD_TAG_HEADER_SIZE);

struct skmd_lod_entry {
    uint16_t first_vertex;
    uint16_t last_vertex;
    uint32_t lod_offset;
    uint32_t lod_size;
    uint32_t slot;
};

struct skmd_model_header {
    char name[32];
    int32_t value32; // -1 in a new model
    uint16_t min_vertex_count;
    uint16_t value38; // min_vertex_count in a new model
    uint16_t vertex_count;
    uint16_t lod_count;
    uint16_t bone_count;
    int16_t position_exponent;
    int16_t quantized_scale;
    int16_t scale_exponent;
    float scale;
    int32_t extents[3][3]; // (radius, 0, height) in 1/512
    uint16_t collision_triangle_count;
    uint16_t collision_box_count;
    uint8_t unconverted96[62];
    uint8_t unconverted158[2];
    uint32_t uv_slot;
    uint32_t box_slot;
    uint32_t triangle_slot;
    uint32_t real_count_slot;
    skmd_lod_entry lods[MAXIMUM_LEVELS_OF_DETAIL];
};
static_assert(sizeof(skmd_model_header) == SKMD_MODEL_HEADER_SIZE);
static_assert(offsetof(skmd_model_header, lods) == 176);

struct skmd_bone {
    char name[64];
    uint32_t flags;
    uint16_t parent;
    uint8_t unconverted70[2]; // 0xFFFF
    float rotation[4];        // x, y, z, w
    float position[3];
    int16_t rotation16[4];
    int16_t quantized_position[3];
    int16_t value114;
    int32_t value116;
    float bounds[6]; // min x, max x, min y, max y, min z, max z
    float near;
    float far;
    float radius;
    int32_t value156;
    uint8_t byte160;
    uint8_t byte161;
    uint8_t unconverted162[2];
    float bone_scale[3];
};
static_assert(sizeof(skmd_bone) == SKMD_BONE_SIZE);
static_assert(offsetof(skmd_bone, bounds) == 120 && offsetof(skmd_bone, bone_scale) == 164);

struct skmd_lod_header {
    uint16_t quadvert_count;
    uint16_t value2;
    uint16_t triangle_count;
    uint16_t weight_ref_count;
    uint16_t lod_flags;
    uint16_t value10;
    uint32_t pointer_slots[6];
};
static_assert(sizeof(skmd_lod_header) == SKMD_LEVEL_HEADER_SIZE);

struct skmd_quadvert {
    float x, y, z, w;
};

struct skmd_collision_box {
    int16_t values[10];
};
struct skmd_collision_triangle {
    int16_t values[12];
    uint32_t words[4];
};
static_assert(sizeof(skmd_collision_triangle) == SKMD_COLLISION_TRIANGLE_SIZE);

// The structure descriptions.
extern const bs_code skmd_header_codes[];
extern const bs_code skmd_modelheader_codes[]; // covers 360 of the 368 bytes
extern const bs_code skmd_bone_codes[];
extern const bs_code skmd_lod_header_codes[];
extern const bs_code skmd_collision_box_codes[];
extern const bs_code skmd_collision_triangle_codes[];

// One level of detail: the arrays of a level block.
struct TSkeletalLevel {
    skmd_lod_header header{};
    std::vector<uint16_t> triangles;          // 3 per triangle
    std::vector<uint16_t> weights_per_bone;   // bone_count
    std::vector<uint16_t> edge_collapse;      // for vertices first_vertex .. last_vertex - 1
    std::vector<uint16_t> min_vertices_for_tri;
    std::vector<uint16_t> weight_refs;
    std::vector<uint8_t> vertex_weights; // last_vertex bytes: weights per vertex
    std::vector<skmd_quadvert> quads;
};

// One model: its header, bones, per-vertex texture coordinates, collision data,
// real vertex counts (from min_vertex_count to vertex_count) and levels.
struct TSkeletalModel {
    skmd_model_header header{};
    std::vector<skmd_bone> bones;
    std::vector<float> uv; // u, v per vertex
    std::vector<skmd_collision_box> collision_boxes;
    std::vector<skmd_collision_triangle> collision_triangles;
    std::vector<uint16_t> real_vertex_counts;
    std::vector<TSkeletalLevel> levels;

    // Real vertex count n for min_vertex_count <= n <= vertex_count.
    uint16_t real_vertex_count(int n) const { return real_vertex_counts.at(size_t(n - header.min_vertex_count)); }
};

// The loaded tag: its header (model entries as read) and the models.
struct TSkeletalModelTag {
    skmd_tag_header header{};
    std::vector<std::unique_ptr<TSkeletalModel>> models;
};

// Layout arithmetic ("rebuilding pointers"): places relative to the block's start.
uint32_t skmd_uv_offset(int bone_count);
// The places of a model block's arrays, and its own size (header, bones, texture
// coordinates, collision arrays, real vertex counts) without its levels.
struct skmd_model_layout {
    uint32_t uv, boxes, triangles, real_counts, size;
};
skmd_model_layout skmd_model_layout_for(const skmd_model_header& h);
uint32_t skmd_model_block_size(const skmd_model_header& h);
struct skmd_level_layout {
    uint32_t weights_per_bone, edge_collapse, min_vertices_for_tri, weight_refs, vertex_weights, quads, size;
};
skmd_level_layout skmd_level_layout_for(const skmd_lod_header& h, int bone_count, int first_vertex,
                                        int last_vertex);

// Places the levels after the model's arrays (lod_offset, lod_size from their counts);
// returns the model's whole size.
uint64_t skmd_lay_out_levels(skmd_model_header& h, const std::vector<TSkeletalLevel>& levels);

// A new model: every field at its default, no vertices.
void skmd_init_model_header(skmd_model_header& h);
void skmd_init_bone(skmd_bone& b);

// Rounded half away from zero and clamped to -32767..32767.
int16_t skmd_round_clamp(double value);

// Fills position_exponent and quantized_position of the bones, scale_exponent and
// quantized_scale from scale.
void skmd_quantize(TSkeletalModel& model);

// Loading. Raises XGError (File Read Error with the reason) when the tag's data is
// not a skeletal model; a level whose size disagrees with its entry ends the load
// there: the models before it are kept in the result and model_count is cut to them.
struct skmd_load_result {
    TSkeletalModelTag tag;
    std::string failure; // empty when every model loaded
};
skmd_load_result skmd_load(const uint8_t* data, size_t size);
// The whole tag or an error (any failure raises).
TSkeletalModelTag load_skeletal_model_tag(tag_entry* e);

// Storing: the tag's bytes, laid out and converted to file order.
std::vector<uint8_t> skmd_store(const TSkeletalModelTag& tag);
void store_skeletal_model_tag(const TSkeletalModelTag& tag, tag_entry* e);

// The data of a new skeletal model tag.
std::vector<uint8_t> skmd_default_data();

[[noreturn]] void model_read_error(const std::string& sentence);
