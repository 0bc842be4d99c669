#include "texture/spri.h"

#include <algorithm>
#include <cstring>

#include "build/tagdepend.h"
#include "tags/tags.h"
#include "texture/texture_errors.h"
#include "texture/texture_pixels.h"
#include "texture/txst_format.h"

#define SPRI_CHECK(expr, text) ((expr) ? (void)0 : texture_check_failed(text, "spri", __LINE__))

#define B _begin_bs_array
#define E _end_bs_array
const bs_code sprite_header_codes[] = {B, 1, _4byte, _4byte, _4byte, _4byte, 4, 4, 4, E};
const bs_code sprite_frame_codes[] = {B, 1,
                                      B, 4, B, 2, _4byte, E, E,
                                      B, 4, B, 2, _4byte, E, E,
                                      B, 2, B, 2, _4byte, E, E,
                                      B, 2, _4byte, E,
                                      B, 2, _4byte, E,
                                      _4byte, _4byte, _4byte, 4, 8, 8, E};
const bs_code sprite_sequence_codes[] = {B, 1, _4byte, _4byte, _4byte, _4byte, 4, 4, 4, 4, 4, 4, E};
const bs_code sprite_step_codes[] = {B, 1, _4byte, E};
#undef B
#undef E

namespace {

constexpr uint32_t kStepBytes = 4 + 4 + 16 + 4 + 4 + 4;

// Copies count 4-byte values from stored bytes into memory order.
template <class T>
void ReadSteps(const char* label, std::vector<T>& into, const uint8_t*& from, int32_t count)
{
    const int32_t values = int32_t(sizeof(T) / 4) * count;
    if (values) byte_swap_copy(label, into.data(), from, 4, values, sprite_step_codes);
    from += size_t(values) * 4;
}

template <class T>
void WriteSteps(const char* label, const std::vector<T>& from, uint8_t*& into, int32_t count)
{
    const int32_t values = int32_t(sizeof(T) / 4) * count;
    if (values) byte_swap_copy(label, into, from.data(), 4, values, sprite_step_codes);
    into += size_t(values) * 4;
}

uint64_t StoredSize(const sprite_definition& def)
{
    uint64_t size = sizeof(sprite_header) + uint64_t(sizeof(sprite_frame)) * def.header.num_frames +
                    uint64_t(sizeof(sprite_sequence_record)) * def.header.num_sequences;
    for (int32_t i = 0; i < def.header.num_sequences; ++i)
        size += uint64_t(kStepBytes) * def.sequences[i].record.num_steps;
    return size;
}

void SizeSteps(sprite_sequence& s, int32_t steps)
{
    s.frames.assign(steps, 0);
    s.ticks.assign(steps, 0);
    s.colors.assign(steps, sprite_color{});
    s.rots.assign(steps, 0);
    s.sound_tags.assign(steps, 0);
    s.scales.assign(steps, 0);
}

} // namespace

std::unique_ptr<sprite_definition> create_sprite_definition(int32_t frames, int32_t sequences, int32_t steps)
{
    auto def = std::make_unique<sprite_definition>();
    def->header.num_frames = frames;
    def->header.num_sequences = sequences;
    def->frames.assign(frames, sprite_frame{});
    def->images.resize(frames);
    def->sequences.resize(sequences);
    for (sprite_sequence& s : def->sequences) {
        s.record = {};
        SizeSteps(s, steps);
    }
    def->step_capacity = steps;
    return def;
}

bool read_sprite_definition(sprite_definition& def, tag_entry* tag, bool load_images)
{
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(tag, &size);
    if (!data) return false;
    const std::string what = std::string("The sprite definition \"") + tag_get_name(tag) + "\"";
    if (size < sizeof(sprite_header)) texture_read_error(what + " is shorter than its header.");

    sprite_header header;
    byte_swap_copy("std", &header, data, sizeof header, 1, sprite_header_codes);
    SPRI_CHECK(header.num_frames >= 0 && header.num_sequences >= 0, "def->num_frames >= 0 && def->num_sequences >= 0");
    SPRI_CHECK(header.num_frames <= MAX_SPRITE_FRAMES, "def->num_frames <= MAX_SPRITE_FRAMES");
    SPRI_CHECK(header.num_sequences <= MAX_SPRITE_SEQUENCES, "def->num_sequences <= MAX_SPRITE_SEQUENCES");
    SPRI_CHECK(size_t(header.num_frames) <= def.frames.size(), "def->num_frames <= frame capacity");
    SPRI_CHECK(size_t(header.num_sequences) <= def.sequences.size(), "def->num_sequences <= sequence capacity");

    const uint8_t* at = data + sizeof(sprite_header);
    uint64_t needed = sizeof(sprite_header) + uint64_t(sizeof(sprite_frame)) * header.num_frames +
                      uint64_t(sizeof(sprite_sequence_record)) * header.num_sequences;
    if (needed > size) texture_read_error(what + " is shorter than its frames and sequences.");
    std::vector<sprite_sequence_record> records(header.num_sequences);
    const uint8_t* sequence_at = at + sizeof(sprite_frame) * header.num_frames;
    if (header.num_sequences)
        byte_swap_copy("ssd", records.data(), sequence_at, sizeof(sprite_sequence_record), header.num_sequences,
                       sprite_sequence_codes);
    for (const sprite_sequence_record& r : records) {
        SPRI_CHECK(r.num_steps >= 0 && r.num_steps <= def.step_capacity, "num_steps <= step capacity");
        needed += uint64_t(kStepBytes) * r.num_steps;
    }
    if (needed > size) texture_read_error(what + " is shorter than its sequence steps.");

    // Everything fits: fill the definition.
    def.header = header;
    def.tag = tag;
    if (header.num_frames)
        byte_swap_copy("sfd", def.frames.data(), at, sizeof(sprite_frame), header.num_frames, sprite_frame_codes);
    for (int32_t i = 0; i < header.num_frames; ++i) {
        std::memset(def.frames[i].data_slot, 0, sizeof def.frames[i].data_slot);
        def.images[i].data.reset();
    }
    at = sequence_at + sizeof(sprite_sequence_record) * header.num_sequences;
    for (int32_t i = 0; i < header.num_sequences; ++i) {
        sprite_sequence& s = def.sequences[i];
        s.record = records[i];
        const int32_t n = s.record.num_steps;
        ReadSteps("ssf", s.frames, at, n);
        ReadSteps("sst", s.ticks, at, n);
        ReadSteps("ssc", s.colors, at, n);
        ReadSteps("ssr", s.rots, at, n);
        ReadSteps("ssf", s.sound_tags, at, n);
        ReadSteps("sss", s.scales, at, n);
    }
    if (load_images)
        for (int32_t i = 0; i < header.num_frames; ++i) load_sprite_frame_image(def, i);
    return true;
}

void write_sprite_definition(const sprite_definition& def, tag_entry* tag)
{
    SPRI_CHECK(def.header.num_frames >= 0 && size_t(def.header.num_frames) <= def.frames.size(), "def->frames");
    SPRI_CHECK(def.header.num_sequences >= 0 && size_t(def.header.num_sequences) <= def.sequences.size(),
               "def->sequences");
    for (int32_t i = 0; i < def.header.num_sequences; ++i) {
        const sprite_sequence& s = def.sequences[i];
        const size_t n = size_t(s.record.num_steps);
        SPRI_CHECK(s.record.num_steps >= 0 && n <= s.frames.size() && n <= s.ticks.size() && n <= s.colors.size() &&
                       n <= s.rots.size() && n <= s.sound_tags.size() && n <= s.scales.size(),
                   "def->sequences[i].frames");
    }
    const uint64_t size = StoredSize(def);
    SPRI_CHECK(size > 0, "size > 0");
    tag_data_ptr block(new uint8_t[size]);
    uint8_t* at = block.get();
    byte_swap_copy("std", at, &def.header, sizeof(sprite_header), 1, sprite_header_codes);
    at += sizeof(sprite_header);
    if (def.header.num_frames)
        byte_swap_copy("sfd", at, def.frames.data(), sizeof(sprite_frame), def.header.num_frames, sprite_frame_codes);
    at += sizeof(sprite_frame) * def.header.num_frames;
    for (int32_t i = 0; i < def.header.num_sequences; ++i) {
        byte_swap_copy("ssd", at, &def.sequences[i].record, sizeof(sprite_sequence_record), 1, sprite_sequence_codes);
        at += sizeof(sprite_sequence_record);
    }
    for (int32_t i = 0; i < def.header.num_sequences; ++i) {
        const sprite_sequence& s = def.sequences[i];
        const int32_t n = s.record.num_steps;
        WriteSteps("ssf", s.frames, at, n);
        WriteSteps("sst", s.ticks, at, n);
        WriteSteps("ssc", s.colors, at, n);
        WriteSteps("ssr", s.rots, at, n);
        WriteSteps("ssf", s.sound_tags, at, n);
        WriteSteps("sss", s.scales, at, n);
    }
    tag_set_data_owned(tag, std::move(block), uint32_t(size));
}

bool compare_sprite_definitions(const sprite_definition& a, const sprite_definition& b)
{
    // both header values count: an edit to either must show
    if (a.header.num_frames != b.header.num_frames || a.header.num_sequences != b.header.num_sequences ||
        a.header.values[0] != b.header.values[0] || a.header.values[1] != b.header.values[1])
        return true;
    for (int32_t i = 0; i < a.header.num_frames; ++i)
        if (std::memcmp(&a.frames[i], &b.frames[i], offsetof(sprite_frame, data_slot)) != 0) return true;
    for (int32_t i = 0; i < a.header.num_sequences; ++i) {
        const sprite_sequence& x = a.sequences[i];
        const sprite_sequence& y = b.sequences[i];
        if (x.record.num_steps != y.record.num_steps ||
            std::memcmp(x.record.values, y.record.values, sizeof x.record.values) != 0)
            return true;
        const size_t n = size_t(x.record.num_steps);
        auto same = [n](const auto& p, const auto& q) {
            return std::memcmp(p.data(), q.data(), n * sizeof(p[0])) == 0;
        };
        if (!same(x.frames, y.frames) || !same(x.ticks, y.ticks) || !same(x.colors, y.colors) ||
            !same(x.rots, y.rots) || !same(x.sound_tags, y.sound_tags) || !same(x.scales, y.scales))
            return true;
    }
    return false;
}

void load_sprite_frame_image(sprite_definition& def, int32_t frame)
{
    if (frame < 0 || size_t(frame) >= def.images.size()) return;
    def.images[frame].data.reset();
    if (!def.tag) return;
    const sprite_frame& f = def.frames[frame];
    tag_entry* stack_tag = def.tag->file->store->find_tag("txst"_4cc, f.texture_stack);
    if (!stack_tag) return;
    if (f.stack_index < 0 || f.texture_index < 0) return;
    try {
        // Decoded in place: the tag's other textures are not copied. Stacks without
        // textures do not count, as they are dropped when the tag is read as a set.
        const stored_texture_set stored = read_stored_texture_set(stack_tag);
        int32_t stack = f.stack_index;
        for (const stored_texture_set::stack& s : stored.stacks) {
            if (s.header.texture_count == 0) continue;
            if (stack-- > 0) continue;
            if (f.texture_index >= s.header.texture_count) return;
            const stored_texture& t = stored.textures[s.first + uint32_t(f.texture_index)];
            const txst_texture_header& h = t.header;
            auto image = std::make_unique<texture_image>();
            if (decode_texture_data(t.data, h.data_size, {h.format, h.channels, h.width, h.height}, {0, true}, *image))
                def.images[frame].data = std::move(image);
            return;
        }
    } catch (const XGError&) {
    }
}

const texture_image* sprite_frame_pixels(const sprite_definition& def, int32_t frame_num)
{
    SPRI_CHECK(frame_num < def.header.num_frames, "frame_num < def->num_frames");
    if (frame_num < 0 || size_t(frame_num) >= def.images.size()) return nullptr;
    return def.images[frame_num].data.get();
}

void spri_set_defaults(tag_entry* tag)
{
    uint8_t bytes[sizeof(sprite_header)] = {};
    tag_set_data(tag, bytes, sizeof bytes);
}

void spri_collect_dependencies(tag_entry* tag)
{
    auto def = create_sprite_definition(MAX_SPRITE_FRAMES, MAX_SPRITE_SEQUENCES, MAX_SPRITE_STEPS);
    if (!read_sprite_definition(*def, tag, false)) {
        report_unreadable_tag(tag);
        return;
    }
    for (int32_t i = 0; i < def->num_frames(); ++i) add_dependency("txst"_4cc, def->frames[i].texture_stack);
    for (int32_t i = 0; i < def->num_sequences(); ++i) {
        const sprite_sequence& s = def->sequences[i];
        for (int32_t j = 0; j < s.record.num_steps; ++j) add_dependency("soun"_4cc, s.sound_tags[j]);
    }
}

int32_t sprite_sequence_step_at(const sprite_sequence& s, int64_t tick)
{
    int64_t total = 0;
    for (int32_t i = 0; i < s.record.num_steps; ++i) total += std::max(s.ticks[i], 0);
    if (s.record.num_steps <= 0) return -1;
    if (total == 0) return 0;
    tick = ((tick % total) + total) % total;
    for (int32_t i = 0; i < s.record.num_steps; ++i) {
        tick -= std::max(s.ticks[i], 0);
        if (tick < 0) return i;
    }
    return s.record.num_steps - 1;
}
