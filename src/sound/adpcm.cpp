#include "sound/adpcm.h"

#include <algorithm>
#include <cstring>

#include "framework/ProgramAssert.h"

const int16_t ima_step_table[IMA_MAXIMUM_STEP_INDEX + 1] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767,
};

const int8_t ima_index_adjustment[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

namespace {

inline int32_t ClampSample(int32_t v)
{
    return std::clamp<int32_t>(v, -32768, 32767);
}

inline int32_t ClampIndex(int32_t i)
{
    return std::clamp<int32_t>(i, 0, IMA_MAXIMUM_STEP_INDEX);
}

// Applies one code to the state and returns the new predictor.
inline int32_t Step(int32_t code, int32_t& predictor, int32_t& step_index)
{
    int32_t step = ima_step_table[step_index];
    int32_t v = step >> 3;
    if (code & 4) v += step;
    if (code & 2) v += step >> 1;
    if (code & 1) v += step >> 2;
    predictor = ClampSample((code & 8) ? predictor - v : predictor + v);
    step_index = ClampIndex(step_index + ima_index_adjustment[code]);
    return predictor;
}

inline int32_t EncodeSample(int32_t sample, int32_t& predictor, int32_t& step_index)
{
    int32_t step = ima_step_table[step_index];
    int32_t d = sample - predictor;
    int32_t code = 0;
    if (d < 0) {
        code = 8;
        d = -d;
    }
    if (d >= step) {
        code |= 4;
        d -= step;
    }
    if (d >= (step >> 1)) {
        code |= 2;
        d -= step >> 1;
    }
    if (d >= (step >> 2)) code |= 1;
    Step(code, predictor, step_index);
    return code;
}

} // namespace

void ima_encode(const int16_t* samples, int32_t count, uint8_t* codes, int32_t* step_index, int32_t* predictor)
{
    int32_t p = *predictor;
    int32_t i = ClampIndex(*step_index);
    for (int32_t n = 0; n + 1 < count; n += 2) {
        int32_t low = EncodeSample(samples[n], p, i);
        int32_t high = EncodeSample(samples[n + 1], p, i);
        *codes++ = uint8_t((high << 4) | low);
    }
    *predictor = p;
    *step_index = i;
}

void ima_decode_run(ima_decoder_state& s)
{
    PROGRAM_ASSERT(s.first_code >= 0 && s.samples_to_produce >= 0 &&
                       s.first_code + s.samples_to_produce <= NUMBER_OF_IMA_SAMPLES_PER_PACKET,
                   "adpcm");
    int32_t p = ClampSample(s.predictor);
    int32_t i = ClampIndex(s.step_index);
    int16_t* out = s.destination;
    const uint8_t* in = s.codes + s.first_code / 2;
    int32_t left = s.samples_to_produce;
    if (left > 0 && (s.first_code & 1)) {
        *out++ = int16_t(Step(*in++ >> 4, p, i));
        --left;
    }
    for (; left >= 2; left -= 2) {
        uint8_t byte = *in++;
        *out++ = int16_t(Step(byte & 0x0F, p, i));
        *out++ = int16_t(Step(byte >> 4, p, i));
    }
    if (left) *out++ = int16_t(Step(*in & 0x0F, p, i));
    s.destination = out;
    s.first_code += s.samples_to_produce;
    s.samples_to_produce = 0;
    s.predictor = p;
    s.step_index = i;
}

void ima_decode_packet(uint16_t head, const uint8_t* codes, int16_t* destination, int32_t samples_to_decompress)
{
    PROGRAM_ASSERT(destination && codes, "adpcm");
    PROGRAM_ASSERT(samples_to_decompress >= 0 && samples_to_decompress <= NUMBER_OF_IMA_SAMPLES_PER_PACKET,
                   "adpcm");
    ima_decoder_state s;
    s.destination = destination;
    s.samples_to_produce = samples_to_decompress;
    s.codes = codes;
    s.first_code = 0;
    s.predictor = int16_t(head & 0xFF80);
    // Seven bits can name indexes past the table; a stored head is outside input.
    s.step_index = ClampIndex(head & 0x7F);
    ima_decode_run(s);
}

void ima_pack_channel(const int16_t* samples, size_t count, uint8_t* packets, size_t stride)
{
    ima_encoder_state state;
    int16_t block[NUMBER_OF_IMA_SAMPLES_PER_PACKET];
    size_t packet_total = ima_packet_count(count);
    for (size_t j = 0; j < packet_total; ++j) {
        size_t first = j * NUMBER_OF_IMA_SAMPLES_PER_PACKET;
        size_t n = std::min<size_t>(NUMBER_OF_IMA_SAMPLES_PER_PACKET, count - first);
        const int16_t* source = samples + first;
        if (n < NUMBER_OF_IMA_SAMPLES_PER_PACKET) {
            std::memset(block, 0, sizeof block);
            std::memcpy(block, source, n * sizeof(int16_t));
            source = block;
        }
        uint8_t* packet = packets + j * stride;
        uint16_t head = ima_packet_head(state.predictor, state.step_index);
        std::memcpy(packet, &head, sizeof head);
        ima_encode(source, NUMBER_OF_IMA_SAMPLES_PER_PACKET, packet + IMA_PACKET_HEAD_SIZE, &state.step_index,
                   &state.predictor);
    }
}
