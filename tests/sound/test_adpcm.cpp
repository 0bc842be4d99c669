#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "sound/adpcm.h"
#include "sound_test_support.h"

namespace {

// An IMA decoder written apart from the program's, carrying its state across packets.
struct ReferenceDecoder {
    int predictor = 0;
    int index = 0;

    int16_t Next(int code)
    {
        static const int kSteps[89] = {
            7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 19, 21, 23, 25, 28, 31, 34, 37, 41, 45, 50, 55, 60, 66, 73, 80, 88,
            97, 107, 118, 130, 143, 157, 173, 190, 209, 230, 253, 279, 307, 337, 371, 408, 449, 494, 544, 598, 658,
            724, 796, 876, 963, 1060, 1166, 1282, 1411, 1552, 1707, 1878, 2066, 2272, 2499, 2749, 3024, 3327, 3660,
            4026, 4428, 4871, 5358, 5894, 6484, 7132, 7845, 8630, 9493, 10442, 11487, 12635, 13899, 15289, 16818,
            18500, 20350, 22385, 24623, 27086, 29794, 32767};
        int step = kSteps[index];
        int magnitude = step >> 3;
        for (int bit = 2; bit >= 0; --bit)
            if (code & (1 << bit)) magnitude += step >> (2 - bit);
        predictor += (code & 8) ? -magnitude : magnitude;
        predictor = std::max(-32768, std::min(32767, predictor));
        int magnitude_code = code & 7;
        index += magnitude_code < 4 ? -1 : 2 * (magnitude_code - 3);
        index = std::max(0, std::min(88, index));
        return int16_t(predictor);
    }

    void FromHead(uint16_t head)
    {
        predictor = int16_t(head & 0xFF80);
        index = std::min(88, head & 0x7F);
    }

    std::vector<int16_t> Packet(const uint8_t* codes, int count = 64)
    {
        std::vector<int16_t> out;
        for (int i = 0; i < count; ++i) out.push_back(Next((codes[i / 2] >> (4 * (i & 1))) & 0xF));
        return out;
    }
};

std::vector<int16_t> DecodePacket(uint16_t head, const uint8_t* codes, int count = 64)
{
    std::vector<int16_t> out(64, 0x5555);
    ima_decode_packet(head, codes, out.data(), count);
    return out;
}

uint16_t NativeHead(const uint8_t* packet)
{
    uint16_t head;
    std::memcpy(&head, packet, 2);
    return head;
}

bytes Pack(const std::vector<int16_t>& samples)
{
    bytes packets(ima_packet_count(samples.size()) * IMA_PACKET_SIZE, 0xEE);
    ima_pack_channel(samples.data(), samples.size(), packets.data(), IMA_PACKET_SIZE);
    return packets;
}

// Decodes packed packets the way playback does: each packet from its own head.
std::vector<int16_t> Unpack(const bytes& packets)
{
    std::vector<int16_t> out;
    for (size_t at = 0; at < packets.size(); at += IMA_PACKET_SIZE) {
        std::vector<int16_t> p = DecodePacket(NativeHead(&packets[at]), &packets[at + 2]);
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

bytes RandomCodes(std::mt19937& rng, size_t n)
{
    bytes b(n);
    for (uint8_t& x : b) x = uint8_t(rng());
    return b;
}

} // namespace

TEST(Adpcm, ValuesAndStepIndexStayInTheirRanges)
{
    // The encoder's predictor clamps instead of wrapping (the decoder's: AgreesWithAnIndependentDecoder).
    for (int16_t level : {int16_t(32767), int16_t(-32768)}) {
        std::vector<int16_t> plateau(64, level);
        int32_t index = 0, predictor = 0;
        bytes out(32);
        ima_encode(plateau.data(), 64, out.data(), &index, &predictor);
        EXPECT_GE(predictor, -32768);
        EXPECT_LE(predictor, 32767);
        EXPECT_LT(std::abs(predictor - level), 100);
    }
    // Full-scale swings drive the encoder's index to the top, silence back to the bottom.
    int32_t index = 0, predictor = 0;
    std::vector<int16_t> loud;
    for (int i = 0; i < 64; ++i) loud.push_back(i % 2 ? -32768 : 32767);
    bytes out(128);
    ima_encode(loud.data(), 64, out.data(), &index, &predictor);
    EXPECT_EQ(index, 88);
    std::vector<int16_t> silence(256, 0);
    ima_encode(silence.data(), 256, out.data(), &index, &predictor);
    EXPECT_EQ(index, 0);
}

TEST(Adpcm, RunsMayStartAtAnyCode)
{
    std::mt19937 rng(3);
    bytes codes = RandomCodes(rng, 32);
    uint16_t head = 0x2A80 | 40;
    std::vector<int16_t> whole = DecodePacket(head, codes.data());
    for (int first = 0; first < 64; ++first)
        for (int count : {0, 1, 2, 3, 64 - first}) {
            if (first + count > 64) continue;
            ima_decoder_state s;
            std::vector<int16_t> lead(64);
            s.destination = lead.data();
            s.codes = codes.data();
            s.samples_to_produce = first;
            s.predictor = int16_t(head & 0xFF80);
            s.step_index = head & 0x7F;
            ima_decode_run(s);
            ASSERT_EQ(s.first_code, first);
            std::vector<int16_t> tail(65, 0x5555);
            s.destination = tail.data();
            s.samples_to_produce = count;
            ima_decode_run(s);
            for (int i = 0; i < count; ++i)
                ASSERT_EQ(tail[size_t(i)], whole[size_t(first + i)]) << "first " << first << " count " << count;
            ASSERT_EQ(tail[size_t(count)], 0x5555) << "first " << first << " count " << count;
        }
    // The packet entry point decodes only the samples asked, too.
    std::vector<int16_t> part = DecodePacket(head, codes.data(), 13);
    EXPECT_TRUE(std::equal(part.begin(), part.begin() + 13, whole.begin()));
    EXPECT_TRUE(std::all_of(part.begin() + 13, part.end(), [](int16_t s) { return s == 0x5555; }));
}

TEST(Adpcm, AgreesWithAnIndependentDecoder)
{
    // random heads include step indexes 89 to 127, which read as 88
    std::mt19937 rng(5);
    for (int trial = 0; trial < 500; ++trial) {
        bytes codes = RandomCodes(rng, 32);
        uint16_t head = uint16_t(rng());
        ReferenceDecoder reference;
        reference.FromHead(head);
        ASSERT_EQ(DecodePacket(head, codes.data()), reference.Packet(codes.data())) << "head " << head;
    }
}

TEST(Adpcm, EncoderCarriesItsStateFromPacketToPacket)
{
    // Each head holds the state a decoder carrying on from the start reaches, not a
    // predictor restarted from the previous head.
    std::vector<int16_t> signal = sine_wave(64 * 40 + 17, 523.0, 12000);
    bytes packets = Pack(signal);
    ASSERT_EQ(packets.size(), 41u * 34);
    EXPECT_EQ(NativeHead(&packets[0]), 0);
    ReferenceDecoder reference;
    for (size_t at = 0; at < packets.size(); at += IMA_PACKET_SIZE) {
        EXPECT_EQ(NativeHead(&packets[at]), ima_packet_head(reference.predictor, reference.index)) << at / 34;
        reference.Packet(&packets[at + 2]);
    }
    // The tail of the last packet is encoded zeros, and the tone comes back.
    std::vector<int16_t> padded = signal;
    padded.resize(41 * 64, 0);
    EXPECT_EQ(Pack(padded), packets);
    EXPECT_GT(snr_db(padded, Unpack(packets)), 20.0);
}
