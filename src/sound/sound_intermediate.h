// The intermediate sound: samples on their way from a WAV file into a sound tag,
// uncompressed or as IMA ADPCM packets.
#pragma once

#include <cstdint>
#include <vector>

constexpr uint32_t SOUND_MAGIC_COOKIE = 0x534F554E; // "SOUN"

enum sound_compression_type : int16_t {
    _no_compression = 0,
    _unsupported_compression = 1,
    _ima_adpcm_compression = 2,
};

class TIntermediateSound {
public:
    TIntermediateSound();
    ~TIntermediateSound();
    TIntermediateSound(const TIntermediateSound&) = delete;
    TIntermediateSound& operator=(const TIntermediateSound&) = delete;

    // frames: samples per channel when uncompressed, packets per channel when compressed.
    void Initialize(int16_t compression_type, uint32_t frames, int16_t bits, uint32_t sample_rate,
                    int16_t channels);
    // Only while no block is set; the sound takes the block. Uncompressed samples are
    // little-endian; packets carry their head as a native 16-bit value.
    void SetSamples(std::vector<uint8_t> block);
    const std::vector<uint8_t>& GetSamples() const;
    std::vector<uint8_t> TakeSamples();

    int16_t CompressionType() const;
    int16_t Channels() const;
    int16_t BitsPerSample() const;
    uint32_t SampleRate() const;
    uint32_t FrameCount() const;
    uint64_t SampleCount() const; // channels × frames
    uint64_t DataSize() const;    // bytes the block holds

    // Converts to the compression type, decompressing first when needed.
    void Convert(int16_t compression_type);

private:
    void CheckValid() const;
    void Compress();
    void Decompress();

    uint32_t fMagicCookie = SOUND_MAGIC_COOKIE;
    bool fInitialized = false;
    int16_t fCompressionType = _no_compression;
    int16_t fUncompressedSampleSizeInBits = 0;
    uint32_t fSampleRate = 0;
    int16_t fNumberOfChannels = 0;
    uint32_t fFrameCount = 0;
    bool fHasSamples = false;
    std::vector<uint8_t> fSamples;
};
