#include "texture/texture_set.h"

#include <algorithm>

std::unique_ptr<texture_set> create_texture_set(uint32_t capacity)
{
    auto set = std::make_unique<texture_set>();
    set->stacks.reserve(capacity);
    set->modified = true;
    return set;
}

void insert_stack(texture_set& set, uint32_t index)
{
    const size_t needed = std::max<size_t>(set.stacks.size(), index) + 1;
    if (needed > set.stacks.capacity()) set.stacks.reserve(needed + 20);
    if (index >= set.stacks.size()) set.stacks.resize(index);
    texture_stack_entry opened;
    opened.second_attribute = 1;
    set.stacks.insert(set.stacks.begin() + index, std::move(opened));
    set.modified = true;
}

int insert_texture(texture_set* set, uint32_t stack_index, int position, std::unique_ptr<stacked_texture> texture)
{
    if (!set || !texture) return -1;
    if (stack_index >= set->stack_count()) insert_stack(*set, stack_index);
    auto& list = set->stacks[stack_index].textures;
    size_t at = position < 0 ? list.size() : std::min<size_t>(size_t(position), list.size());
    list.insert(list.begin() + at, std::move(texture));
    set->modified = true;
    return int(at);
}

bool find_texture(const texture_set& set, const stacked_texture* texture, uint32_t* stack, uint32_t* position)
{
    for (uint32_t s = 0; s < set.stack_count(); ++s) {
        const auto& list = set.stacks[s].textures;
        for (uint32_t p = 0; p < list.size(); ++p)
            if (list[p].get() == texture) {
                if (stack) *stack = s;
                if (position) *position = p;
                return true;
            }
    }
    return false;
}

std::unique_ptr<stacked_texture> remove_texture(texture_set& set, const stacked_texture* texture)
{
    uint32_t s = 0, p = 0;
    if (!find_texture(set, texture, &s, &p)) return nullptr;
    auto& list = set.stacks[s].textures;
    std::unique_ptr<stacked_texture> taken = std::move(list[p]);
    list.erase(list.begin() + p);
    set.modified = true;
    return taken;
}
