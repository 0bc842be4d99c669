#include "texture_test_support.h"

#include <cmath>
#include <cstdlib>

#include "framework/XGError.h"
#include "support/tag_file_bytes.h"
#include "tags/tag_types.h"

bytes build_txst(const std::vector<hand_stack>& stacks)
{
    bytes out(4 + 12 * stacks.size());
    put_be16(out, 0, uint16_t(stacks.size()));
    for (size_t i = 0; i < stacks.size(); ++i) {
        const hand_stack& s = stacks[i];
        bytes block(4 + 28 * s.textures.size());
        put_be16(block, 0, uint16_t(s.textures.size()));
        for (size_t j = 0; j < s.textures.size(); ++j) {
            const hand_texture& t = s.textures[j];
            const size_t h = 4 + 28 * j;
            put_be32(block, h, uint32_t(block.size()));
            put_be32(block, h + 4, uint32_t(t.data.size()));
            block[h + 8] = t.channels;
            block[h + 9] = t.format;
            block[h + 10] = t.use;
            block[h + 11] = t.layer;
            put_be16(block, h + 12, t.width);
            put_be16(block, h + 14, t.height);
            for (int k = 0; k < 6; ++k) put_be16(block, h + 16 + 2 * k, uint16_t(t.placement[k]));
            block.insert(block.end(), t.data.begin(), t.data.end());
        }
        put_be32(out, 4 + 12 * i, uint32_t(out.size()));
        put_be32(out, 8 + 12 * i, uint32_t(block.size()));
        put_be16(out, 12 + 12 * i, s.first);
        put_be16(out, 14 + 12 * i, s.second);
        out.insert(out.end(), block.begin(), block.end());
    }
    return out;
}

std::unique_ptr<stacked_texture> patterned_texture(uint16_t width, uint16_t height, uint8_t channels, int seed,
                                                   uint8_t use, uint8_t layer)
{
    auto t = std::make_unique<stacked_texture>();
    t->width = width;
    t->height = height;
    t->channels = channels;
    t->use = use;
    t->layer = layer;
    t->compressed_data = make_bytes(t->raw_size(), uint8_t(seed));
    return t;
}

texture_image smooth_image(uint32_t width, uint32_t height, uint32_t channels, int seed)
{
    texture_image image{width, height, channels, {}};
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            for (uint32_t k = 0; k < channels; ++k)
                image.pixels.push_back(uint8_t(128 + 100 * std::sin((x + seed) * 0.09 + k) * std::cos((y - seed) * 0.07)));
    return image;
}

texture_store::texture_store()
{
    file = store.open_tag_file(folder / "textures.tag", true);
}

tag_entry* texture_store::add(const char* type, const char* id, const bytes& data, const char* name)
{
    return store.create_tag(file, code(type), code(id), int16_t(tag_type_version(code(type))), name, 0,
                            uint32_t(data.size()), data.data());
}

bytes tag_bytes(tag_entry* e)
{
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(e, &size);
    return data ? bytes(data, data + size) : bytes{};
}

std::string error_message(const std::function<void()>& f, bool with_title)
{
    try {
        f();
    } catch (const XGError& e) {
        return with_title ? e.GetTitle() + ": " + e.GetMessage() : e.GetMessage();
    }
    return "";
}

std::string fixture(const std::string& name)
{
    return std::string(QUENCHOLD_TEXTURE_FIXTURES) + "/" + name;
}

int run_tool(const std::string& command)
{
    int status = std::system((command + " >/dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bytes imagemagick_pixels(const std::string& path, const std::string& map)
{
    const std::string out = path + "." + map;
    if (run_tool("convert '" + path + "' -depth 8 " + map + ":'" + out + "'") != 0) return {};
    return read_file(out);
}

int max_difference(const bytes& a, const bytes& b)
{
    if (a.size() != b.size()) return 256;
    int worst = 0;
    for (size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::abs(int(a[i]) - int(b[i])));
    return worst;
}
