// IMA ADPCM: 16-bit samples packed four bits each into 34-byte packets of 64 samples.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int NUMBER_OF_IMA_SAMPLES_PER_PACKET = 64;
constexpr int IMA_PACKET_HEAD_SIZE = 2;
constexpr int IMA_PACKET_CODE_BYTES = NUMBER_OF_IMA_SAMPLES_PER_PACKET / 2;
constexpr int IMA_PACKET_SIZE = IMA_PACKET_HEAD_SIZE + IMA_PACKET_CODE_BYTES; // 34
constexpr int IMA_MAXIMUM_STEP_INDEX = 88;

extern const int16_t ima_step_table[IMA_MAXIMUM_STEP_INDEX + 1];
extern const int8_t ima_index_adjustment[16];

// What the encoder carries from sample to sample, and from packet to packet.
struct ima_encoder_state {
    int32_t predictor = 0;
    int32_t step_index = 0;
};

struct ima_decoder_state {
    int16_t* destination = nullptr;
    int32_t samples_to_produce = 0;
    const uint8_t* codes = nullptr; // the packet's 32 code bytes
    int32_t first_code = 0;         // code number to start at, 0..63
    int32_t predictor = 0;
    int32_t step_index = 0;
};

// The packet head: top nine bits of the predictor over a seven-bit step index.
constexpr uint16_t ima_packet_head(int32_t predictor, int32_t step_index)
{
    return uint16_t((step_index & 0x7F) | (predictor & 0xFF80));
}

// Encodes count samples (count even) into count / 2 code bytes, low nibble first,
// and leaves the state after the last sample.
void ima_encode(const int16_t* samples, int32_t count, uint8_t* codes, int32_t* step_index, int32_t* predictor);

// Decodes the first samples_to_decompress (0..64) samples of a packet whose head is
// given as a native value and whose 32 code bytes follow.
void ima_decode_packet(uint16_t head, const uint8_t* codes, int16_t* destination, int32_t samples_to_decompress);

// Decodes from state.first_code on, continuing from the state's predictor and index;
// leaves the state after the last code.
void ima_decode_run(ima_decoder_state& state);

// Packs one channel: the samples padded with zeros to whole packets, one encoder
// state from predictor 0 and index 0. Packet j goes to packets + j * stride; its head
// is written as a native 16-bit value.
void ima_pack_channel(const int16_t* samples, size_t count, uint8_t* packets, size_t stride);

// Packets needed for count samples of one channel.
constexpr size_t ima_packet_count(size_t samples)
{
    return (samples + NUMBER_OF_IMA_SAMPLES_PER_PACKET - 1) / NUMBER_OF_IMA_SAMPLES_PER_PACKET;
}
