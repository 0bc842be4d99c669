#include "sound/sound_import.h"

#include <cstring>

#include "framework/ProgramAssert.h"
#include "sound/adpcm.h"
#include "sound/sound_intermediate.h"
#include "tags/tag_units.h"
#include "sound/wav_file.h"
#include "tags/tag_types.h"
#include "tags/tags.h"

namespace {

int Refuse(std::string* why, int result, std::string text)
{
    if (why) *why = std::move(text);
    return result;
}

} // namespace

std::string sound_permutation_name_for_path(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && name.size() - dot - 1 <= 3) name.resize(dot);
    if (name.size() > MAXIMUM_PERMUTATION_NAME_LENGTH) name.resize(MAXIMUM_PERMUTATION_NAME_LENGTH);
    return name;
}

std::string sound_permutation_name(const sound_permutation_data& permutation)
{
    const char* name = permutation.permutation_name;
    return std::string(name, strnlen(name, sizeof permutation.permutation_name));
}

int import_wav_permutation(TSoundDefinition& sound, const std::string& wav_path, int32_t index, std::string* why)
{
    int32_t count = sound.PermutationCount();
    if (index == -1) index = count;
    PROGRAM_ASSERT(index >= 0 && index <= count && index < MAXIMUM_PERMUTATIONS_PER_SOUND, "sound_import");

    wav_sound wav;
    std::string reason;
    if (!read_wav_file(wav_path, wav, &reason)) return Refuse(why, _sound_import_unreadable, reason);
    if (!wav.pcm)
        return Refuse(why, _sound_import_unreadable,
                      "\"" + wav_path + "\" holds compressed or floating-point data, not PCM samples");
    if (wav.number_of_channels != 1 && wav.number_of_channels != 2)
        return Refuse(why, _sound_import_unreadable,
                      "\"" + wav_path + "\" has " + std::to_string(wav.number_of_channels) +
                          " channels; only mono and stereo sounds can be imported");
    if (wav.bits_per_sample != 16)
        return Refuse(why, _sound_import_not_16_bit, "\"" + wav_path + "\" is not a 16-bit sound");
    if (wav.samples_per_second != SOUND_IMPORT_SAMPLE_RATE)
        return Refuse(why, _sound_import_not_22khz, "\"" + wav_path + "\" is not sampled at 22050 Hz");

    int16_t channels = int16_t(wav.number_of_channels);
    uint32_t frames = uint32_t(wav.data.size() / 2 / size_t(channels));
    TIntermediateSound intermediate;
    intermediate.Initialize(_no_compression, frames, 16, wav.samples_per_second, channels);
    intermediate.SetSamples(std::move(wav.data));
    intermediate.Convert(_ima_adpcm_compression);

    std::vector<uint8_t> block = intermediate.TakeSamples();
    for (size_t at = 0; at + IMA_PACKET_SIZE <= block.size(); at += IMA_PACKET_SIZE) {
        uint16_t head;
        std::memcpy(&head, block.data() + at, sizeof head);
        write_be16(block.data() + at, head);
    }

    if (index < count) sound_release_permutation_data(sound, index);
    // The record's two unnamed bytes stay as they were.
    sound_permutation_data& permutation = sound.fPermutations[index];
    permutation.unknown_0 = 0;
    permutation.skip_fraction = 0;
    std::memset(permutation.permutation_name, 0, sizeof permutation.permutation_name);
    std::string name = sound_permutation_name_for_path(wav_path);
    std::memcpy(permutation.permutation_name, name.data(), name.size());

    sampled_sound_header& header = sound.fHeaders[index];
    header = {};
    header.flags = _sound_compressed;
    header.sample_size_in_bits = 16;
    header.sample_size_shift = 16 / 8 - 1;
    header.number_of_channels = uint16_t(channels);
    header.sample_rate = wav.samples_per_second << 16;
    header.sample_count = uint32_t(uint32_t(channels) * intermediate.FrameCount());

    sound.fDefinition.sound_size += uint32_t(block.size()) + (index == count ? SAMPLED_SOUND_HEADER_SIZE : 0);
    sound.fSamples[index] = std::move(block);
    return _sound_import_done;
}

int replace_sound_permutation(tag_entry* sound_tag, const std::string& wav_path, double skip_percentage,
                              int32_t index, std::string* why)
{
    if (index >= MAXIMUM_PERMUTATIONS_PER_SOUND) return _sound_import_done;
    if (index < 0) return Refuse(why, _sound_import_unreadable, "there is no permutation " + std::to_string(index));
    TSoundDefinition sound;
    if (!read_sound_definition(sound, sound_tag))
        return Refuse(why, _sound_import_unreadable,
                      std::string("the sound tag \"") + tag_get_name(sound_tag) + "\" cannot be read");
    int32_t count = sound.PermutationCount();
    if (index > count)
        return Refuse(why, _sound_import_unreadable,
                      "permutation " + std::to_string(index) + " is past the sound's " + std::to_string(count));

    int result = import_wav_permutation(sound, wav_path, index, why);
    if (result != _sound_import_done) return result;
    if (index == count) sound_append_permutation(sound);
    sound.fPermutations[index].skip_fraction = encode_fraction16(skip_percentage * 0.01);
    if (!write_sound_definition(sound, sound_tag))
        return Refuse(why, _sound_import_unreadable, "the sound tag is too large to be stored");
    return _sound_import_done;
}

bool create_sound_tag(tag_file* file, const sound_creation_record& record, std::string* why)
{
    TSoundDefinition sound;
    sound_definition& d = sound.fDefinition;
    d = default_sound_definition();
    d.loudness = int16_t(record.loudness - 1);
    d.subtitle_stringlist = record.subtitle_stringlist;
    d.subtitle_index = int16_t(record.subtitle_index - 1);
    d.play_fraction = encode_fraction16(double(record.play_fraction) * 0.01);
    d.frequency_modifier = encode_fixed8(record.frequency_modifier);
    d.pitch_lower_bound = encode_fixed8(record.pitch_min);
    d.pitch_delta = range_delta(encode_fixed8(record.pitch_min), encode_fixed8(record.pitch_max));
    d.volume_lower_bound = encode_fixed8(record.volume_min);
    d.volume_delta = range_delta(encode_fixed8(record.volume_min), encode_fixed8(record.volume_max));
    d.flags = record.flags;

    std::string name(record.name, strnlen(record.name, sizeof record.name));
    uint8_t empty[SOUND_DEFINITION_SIZE] = {};
    TTagStore* store = file->store;
    tag_entry* tag = store->create_tag(file, "soun"_4cc, record.tag, int16_t(tag_type_version("soun"_4cc)),
                                       name.c_str(), 0, sizeof empty, empty);
    if (!tag) {
        if (why) *why = "the sound tag \"" + name + "\" cannot be added";
        return false;
    }
    if (!write_sound_definition(sound, tag)) {
        store->delete_tag(tag);
        if (why) *why = "the sound tag \"" + name + "\" cannot be written";
        return false;
    }
    return true;
}
