#include "sound/sound_intermediate.h"

#include <cstring>

#include "framework/ProgramAssert.h"
#include "sound/adpcm.h"

namespace {
constexpr const char* kSource = "sound_intermediate";
}

TIntermediateSound::TIntermediateSound() = default;

TIntermediateSound::~TIntermediateSound()
{
    fMagicCookie = 0;
}

void TIntermediateSound::CheckValid() const
{
    PROGRAM_ASSERT(fMagicCookie == SOUND_MAGIC_COOKIE, kSource);
    PROGRAM_ASSERT(fInitialized, kSource);
    PROGRAM_ASSERT(fCompressionType != _unsupported_compression, kSource);
}

void TIntermediateSound::Initialize(int16_t compression_type, uint32_t frames, int16_t bits, uint32_t sample_rate,
                                    int16_t channels)
{
    PROGRAM_ASSERT(fMagicCookie == SOUND_MAGIC_COOKIE && !fInitialized, kSource);
    PROGRAM_ASSERT(compression_type == _no_compression || compression_type == _ima_adpcm_compression, kSource);
    fCompressionType = compression_type;
    fFrameCount = frames;
    fUncompressedSampleSizeInBits = bits;
    fSampleRate = sample_rate;
    fNumberOfChannels = channels;
    fInitialized = true;
}

void TIntermediateSound::SetSamples(std::vector<uint8_t> block)
{
    CheckValid();
    PROGRAM_ASSERT(!fHasSamples, kSource);
    fSamples = std::move(block);
    fHasSamples = true;
}

const std::vector<uint8_t>& TIntermediateSound::GetSamples() const
{
    CheckValid();
    return fSamples;
}

std::vector<uint8_t> TIntermediateSound::TakeSamples()
{
    CheckValid();
    fHasSamples = false;
    return std::move(fSamples);
}

int16_t TIntermediateSound::CompressionType() const
{
    CheckValid();
    return fCompressionType;
}

int16_t TIntermediateSound::Channels() const
{
    CheckValid();
    return fNumberOfChannels;
}

int16_t TIntermediateSound::BitsPerSample() const
{
    CheckValid();
    return fUncompressedSampleSizeInBits;
}

uint32_t TIntermediateSound::SampleRate() const
{
    CheckValid();
    return fSampleRate;
}

uint32_t TIntermediateSound::FrameCount() const
{
    CheckValid();
    return fFrameCount;
}

uint64_t TIntermediateSound::SampleCount() const
{
    CheckValid();
    return uint64_t(fNumberOfChannels) * fFrameCount;
}

uint64_t TIntermediateSound::DataSize() const
{
    CheckValid();
    if (fCompressionType == _ima_adpcm_compression) return SampleCount() * IMA_PACKET_SIZE;
    return SampleCount() * uint64_t(fUncompressedSampleSizeInBits / 8);
}

void TIntermediateSound::Convert(int16_t compression_type)
{
    CheckValid();
    PROGRAM_ASSERT(compression_type == _no_compression || compression_type == _ima_adpcm_compression, kSource);
    if (compression_type == fCompressionType) return;
    if (fCompressionType != _no_compression) Decompress();
    if (compression_type == _ima_adpcm_compression) Compress();
}

void TIntermediateSound::Compress()
{
    PROGRAM_ASSERT(fUncompressedSampleSizeInBits == 16, kSource);
    PROGRAM_ASSERT(fNumberOfChannels == 1 || fNumberOfChannels == 2, kSource);
    PROGRAM_ASSERT(fSamples.size() >= DataSize(), kSource);
    size_t channels = size_t(fNumberOfChannels);
    size_t frames = fFrameCount;
    size_t packets = ima_packet_count(frames);

    std::vector<uint8_t> block(packets * channels * IMA_PACKET_SIZE);
    std::vector<int16_t> channel(frames);
    for (size_t c = 0; c < channels; ++c) {
        const uint8_t* in = fSamples.data() + 2 * c;
        for (size_t i = 0; i < frames; ++i, in += 2 * channels) channel[i] = int16_t(in[0] | (in[1] << 8));
        ima_pack_channel(channel.data(), frames, block.data() + c * IMA_PACKET_SIZE, channels * IMA_PACKET_SIZE);
    }
    fSamples = std::move(block);
    fCompressionType = _ima_adpcm_compression;
    fFrameCount = uint32_t(packets);
}

void TIntermediateSound::Decompress()
{
    PROGRAM_ASSERT(fNumberOfChannels == 1 || fNumberOfChannels == 2, kSource);
    size_t channels = size_t(fNumberOfChannels);
    size_t total = size_t(SampleCount());
    PROGRAM_ASSERT(fSamples.size() >= total * IMA_PACKET_SIZE, kSource);
    std::vector<uint8_t> block(total * NUMBER_OF_IMA_SAMPLES_PER_PACKET * 2);
    int16_t decoded[NUMBER_OF_IMA_SAMPLES_PER_PACKET];
    // Packet j belongs to channel j % channels; its samples go to every channels-th slot.
    for (size_t j = 0; j < total; ++j) {
        const uint8_t* packet = fSamples.data() + j * IMA_PACKET_SIZE;
        uint16_t head;
        std::memcpy(&head, packet, sizeof head);
        ima_decode_packet(head, packet + IMA_PACKET_HEAD_SIZE, decoded, NUMBER_OF_IMA_SAMPLES_PER_PACKET);
        size_t first_frame = (j / channels) * NUMBER_OF_IMA_SAMPLES_PER_PACKET;
        uint8_t* out = block.data() + (first_frame * channels + j % channels) * 2;
        for (int16_t s : decoded) {
            out[0] = uint8_t(s);
            out[1] = uint8_t(uint16_t(s) >> 8);
            out += 2 * channels;
        }
    }
    fSamples = std::move(block);
    fFrameCount = uint32_t(total * NUMBER_OF_IMA_SAMPLES_PER_PACKET / channels);
    fCompressionType = _no_compression;
}
