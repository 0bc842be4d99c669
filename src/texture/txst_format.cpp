#include "texture/txst_format.h"

#include <algorithm>
#include <cstring>

#include "tags/tags.h"
#include "texture/texture_errors.h"

const bs_code txst_tagheader[] = {_begin_bs_array, 1, _2byte, 2, _end_bs_array};
const bs_code txst_stackref[] = {_begin_bs_array, 1, _4byte, _4byte, _2byte, _2byte, _end_bs_array};
const bs_code txst_stackheader[] = {_begin_bs_array, 1, _2byte, 2, _end_bs_array};
const bs_code txst_texheader[] = {_begin_bs_array, 1, _4byte, _4byte, 1, 1, 1, 1, _2byte, _2byte,
                                  _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _end_bs_array};

namespace {

constexpr uint32_t kTagHeaderSize = sizeof(txst_tag_header);
constexpr uint32_t kReferenceSize = sizeof(txst_stack_reference);
constexpr uint32_t kStackHeaderSize = sizeof(txst_stack_header);
constexpr uint32_t kTextureHeaderSize = sizeof(txst_texture_header);

std::string Describe(tag_entry* tag)
{
    return std::string("The texture stack \"") + tag_get_name(tag) + "\" (" + tag_code_to_text(tag_get_id(tag)) +
           ")";
}

template <class T>
T Convert(const uint8_t* at, const bs_code* codes, const char* label)
{
    T value;
    byte_swap_copy(label, &value, at, sizeof(T), 1, codes);
    return value;
}

template <class T>
void Store(uint8_t* at, const T& value, const bs_code* codes, const char* label)
{
    byte_swap_copy(label, at, &value, sizeof(T), 1, codes);
}

// A stack block within the stored bytes: its texture count, or -1 when it does not fit.
int64_t StoredTextureCount(const uint8_t* data, uint32_t size, uint32_t stack, uint32_t* offset)
{
    if (size < kTagHeaderSize) return -1;
    auto header = Convert<txst_tag_header>(data, txst_tagheader, "txst_tagheader");
    if (stack >= header.stack_count || uint64_t(kTagHeaderSize) + uint64_t(kReferenceSize) * (stack + 1) > size)
        return -1;
    auto reference =
        Convert<txst_stack_reference>(data + kTagHeaderSize + kReferenceSize * stack, txst_stackref, "txst_stackref");
    if (uint64_t(reference.offset) + kStackHeaderSize > size) return -1;
    auto stack_header = Convert<txst_stack_header>(data + reference.offset, txst_stackheader, "txst_stackheader");
    if (uint64_t(reference.offset) + kStackHeaderSize + uint64_t(kTextureHeaderSize) * stack_header.texture_count >
        size)
        return -1;
    *offset = reference.offset;
    return stack_header.texture_count;
}

} // namespace

stored_texture_set read_stored_texture_set(tag_entry* tag)
{
    if (tag_get_type(tag) != "txst"_4cc)
        texture_read_error(std::string("The tag \"") + tag_get_name(tag) + "\" is not a texture stack.");
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(tag, &size);
    if (!data) texture_read_error(Describe(tag) + " cannot be read from its file.");
    if (size < kTagHeaderSize) texture_read_error(Describe(tag) + " is shorter than its header.");

    stored_texture_set stored;
    stored.header = Convert<txst_tag_header>(data, txst_tagheader, "txst_tagheader");
    const uint32_t stack_count = stored.header.stack_count;
    if (kTagHeaderSize + uint64_t(kReferenceSize) * stack_count > size)
        texture_read_error(Describe(tag) + " lists more stacks than its data holds.");
    stored.stacks.reserve(stack_count);
    // Stack blocks lie end to end: blocks that overlap would claim more headers and data
    // than the tag holds, and are refused before they can multiply the work.
    uint64_t claimed = kTagHeaderSize + uint64_t(kReferenceSize) * stack_count;
    for (uint32_t i = 0; i < stack_count; ++i) {
        stored_texture_set::stack stack;
        stack.reference =
            Convert<txst_stack_reference>(data + kTagHeaderSize + kReferenceSize * i, txst_stackref, "txst_stackref");
        const uint64_t base = stack.reference.offset;
        if (base + kStackHeaderSize > size)
            texture_read_error(Describe(tag) + ": stack " + std::to_string(i) + " begins past the end of the data.");
        stack.header = Convert<txst_stack_header>(data + base, txst_stackheader, "txst_stackheader");
        if (base + kStackHeaderSize + uint64_t(kTextureHeaderSize) * stack.header.texture_count > size)
            texture_read_error(Describe(tag) + ": the texture headers of stack " + std::to_string(i) +
                               " run past the end of the data.");
        stack.first = uint32_t(stored.textures.size());
        claimed += kStackHeaderSize;
        for (uint32_t j = 0; j < stack.header.texture_count; ++j) {
            auto th = Convert<txst_texture_header>(data + base + kStackHeaderSize + kTextureHeaderSize * j,
                                                   txst_texheader, "txst_texheader");
            if (base + th.data_offset + th.data_size > size)
                texture_read_error(Describe(tag) + ": the data of texture " + std::to_string(j) + " of stack " +
                                   std::to_string(i) + " runs past the end of the data.");
            claimed += kTextureHeaderSize + th.data_size;
            if (claimed > size)
                texture_read_error(Describe(tag) + ": its stacks claim more bytes than its data holds.");
            stored.textures.push_back({th, data + base + th.data_offset});
        }
        stored.stacks.push_back(stack);
    }
    return stored;
}

stored_texture stored_view(const stacked_texture& t)
{
    return {{0, t.data_size(), t.channels, t.format, t.use, t.layer, t.width, t.height, t.origin_x, t.origin_y, t.u_x,
             t.u_y, t.v_x, t.v_y},
            t.compressed_data.data()};
}

std::unique_ptr<texture_set> read_texture_set(tag_entry* tag)
{
    const stored_texture_set stored = read_stored_texture_set(tag);
    auto set = create_texture_set(stored.header.stack_count + 20u);
    std::memcpy(set->header_unused, stored.header.unused, 2);
    for (const stored_texture_set::stack& stack : stored.stacks) {
        texture_stack_entry entry;
        entry.first_attribute = stack.reference.first_attribute;
        entry.second_attribute = stack.reference.second_attribute;
        std::memcpy(entry.header_unused, stack.header.unused, 2);
        entry.textures.reserve(stack.header.texture_count);
        for (uint32_t j = 0; j < stack.header.texture_count; ++j) {
            const stored_texture& st = stored.textures[stack.first + j];
            const txst_texture_header& th = st.header;
            auto t = std::make_unique<stacked_texture>();
            t->compressed_data.assign(st.data, st.data + th.data_size);
            t->channels = th.channels;
            t->format = th.format;
            t->use = th.use;
            t->layer = th.layer;
            t->width = th.width;
            t->height = th.height;
            t->origin_x = th.origin_x;
            t->origin_y = th.origin_y;
            t->u_x = th.u_x;
            t->u_y = th.u_y;
            t->v_x = th.v_x;
            t->v_y = th.v_y;
            entry.textures.push_back(std::move(t));
        }
        set->stacks.push_back(std::move(entry));
    }

    const size_t before = set->stacks.size();
    std::erase_if(set->stacks, [](const texture_stack_entry& s) { return s.textures.empty(); });
    set->modified = set->stacks.size() != before;
    set->tag = tag;
    return set;
}

bool write_texture_set(tag_entry* tag, texture_set& set, std::string* why)
{
    auto give_up = [why](const std::string& reason) {
        if (why) *why = reason;
        return false;
    };
    const uint32_t stack_count = set.stack_count();
    if (stack_count > 0xFFFF) return give_up("a texture stack tag holds at most 65535 stacks");
    uint64_t total = kTagHeaderSize + uint64_t(kReferenceSize + kStackHeaderSize) * stack_count;
    for (uint32_t i = 0; i < stack_count; ++i) {
        const auto& list = set.stacks[i].textures;
        if (list.size() > 0xFFFF) return give_up("stack " + std::to_string(i) + " holds more than 65535 textures");
        for (size_t j = 0; j < list.size(); ++j) {
            if (!list[j] || list[j]->compressed_data.empty())
                return give_up("texture " + std::to_string(j) + " of stack " + std::to_string(i) + " has no data");
            total += kTextureHeaderSize + list[j]->data_size();
        }
    }
    if (total > 0xFFFFFFFFull) return give_up("the texture stack would exceed 4 GB");

    tag_data_ptr block(new (std::nothrow) uint8_t[total]);
    if (!block) return give_up("there is not enough memory for the texture stack");
    uint8_t* out = block.get();
    txst_tag_header header{uint16_t(stack_count), {set.header_unused[0], set.header_unused[1]}};
    Store(out, header, txst_tagheader, "txst_tagheader");

    uint64_t running = kTagHeaderSize + uint64_t(kReferenceSize) * stack_count;
    uint64_t references = kTagHeaderSize;
    for (uint32_t i = 0; i < stack_count; ++i) {
        const texture_stack_entry& stack = set.stacks[i];
        const auto& list = stack.textures;
        uint64_t stack_size = kStackHeaderSize;
        for (const auto& t : list) stack_size += kTextureHeaderSize + t->data_size();

        txst_stack_reference reference{uint32_t(running), uint32_t(stack_size), stack.first_attribute,
                                       stack.second_attribute};
        Store(out + references, reference, txst_stackref, "txst_stackref");
        references += kReferenceSize;

        uint8_t* block_start = out + running;
        txst_stack_header stack_header{uint16_t(list.size()), {stack.header_unused[0], stack.header_unused[1]}};
        Store(block_start, stack_header, txst_stackheader, "txst_stackheader");
        uint64_t data_offset = kStackHeaderSize + uint64_t(kTextureHeaderSize) * list.size();
        uint64_t written = kStackHeaderSize;
        for (size_t j = 0; j < list.size(); ++j) {
            const stacked_texture& t = *list[j];
            txst_texture_header th{uint32_t(data_offset), t.data_size(), t.channels, t.format, t.use, t.layer,
                                   t.width, t.height, t.origin_x, t.origin_y, t.u_x, t.u_y, t.v_x, t.v_y};
            Store(block_start + kStackHeaderSize + kTextureHeaderSize * j, th, txst_texheader, "txst_texheader");
            std::memcpy(block_start + data_offset, t.compressed_data.data(), t.data_size());
            data_offset += t.data_size();
            written += kTextureHeaderSize + t.data_size();
        }
        if (written != stack_size || data_offset != stack_size) return give_up("the sizes of a stack do not add up");
        running += stack_size;
    }
    if (references != kTagHeaderSize + uint64_t(kReferenceSize) * stack_count || running != total)
        return give_up("the sizes of the texture stack do not add up");

    tag_set_data_owned(tag, std::move(block), uint32_t(total));
    set.tag = tag;
    set.modified = false;
    return true;
}

void txst_set_defaults(tag_entry* tag)
{
    uint8_t bytes[kTagHeaderSize];
    Store(bytes, txst_tag_header{0, {0, 0}}, txst_tagheader, "txst_tagheader");
    tag_set_data(tag, bytes, sizeof bytes);
}

uint32_t txst_stored_stack_count(const uint8_t* data, uint32_t size)
{
    if (!data || size < kTagHeaderSize) return 0;
    auto header = Convert<txst_tag_header>(data, txst_tagheader, "txst_tagheader");
    uint64_t fits = (size - kTagHeaderSize) / kReferenceSize;
    return uint32_t(std::min<uint64_t>(header.stack_count, fits));
}

uint32_t txst_stored_texture_count(const uint8_t* data, uint32_t size, uint32_t stack)
{
    uint32_t offset = 0;
    int64_t count = data ? StoredTextureCount(data, size, stack, &offset) : -1;
    return count < 0 ? 0 : uint32_t(count);
}

bool txst_stored_texture(const uint8_t* data, uint32_t size, uint32_t stack, uint32_t index,
                         txst_texture_header* header, const uint8_t** pixels)
{
    uint32_t offset = 0;
    int64_t count = data ? StoredTextureCount(data, size, stack, &offset) : -1;
    if (count < 0 || index >= count) return false;
    auto th = Convert<txst_texture_header>(data + offset + kStackHeaderSize + kTextureHeaderSize * index,
                                           txst_texheader, "txst_texheader");
    if (uint64_t(offset) + th.data_offset + th.data_size > size) return false;
    if (header) *header = th;
    if (pixels) *pixels = data + offset + th.data_offset;
    return true;
}
