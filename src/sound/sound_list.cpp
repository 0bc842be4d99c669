#include "sound/sound_list.h"

#include <algorithm>

#include "tags/tags.h"

const bs_code sound_list_bs[] = {
    _begin_bs_array, 1,
    _2byte, 14,
    _begin_bs_array, MAXIMUM_SOUNDS_PER_LIST, _4byte, 4, _end_bs_array,
    _end_bs_array,
};

sound_list default_sound_list()
{
    sound_list list{};
    for (sound_list_entry& e : list.sounds) e.sound = NONE_TAG;
    return list;
}

int sound_list_count(const sound_list& list)
{
    return std::clamp<int>(list.count, 0, MAXIMUM_SOUNDS_PER_LIST);
}

bool read_sound_list(sound_list& list, tag_entry* tag)
{
    sound_list read;
    if (!tag_read_structs("soli", tag, &read, SOUND_LIST_SIZE, 1, sound_list_bs)) return false;
    read.count = int16_t(sound_list_count(read));
    list = read;
    return true;
}

bool write_sound_list(const sound_list& list, tag_entry* tag)
{
    return tag_write_structs("soli", tag, &list, SOUND_LIST_SIZE, 1, sound_list_bs);
}
