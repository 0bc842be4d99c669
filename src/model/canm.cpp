#include "model/canm.h"

#include <climits>
#include <cstring>

#include "framework/XGError.h"
#include "model/skeleton_file.h"
#include "model/skmd_format.h"
#include "model/text_tokenizer.h"
#include "tags/tag_types.h"
#include "tags/tags.h"

const bs_code canm_header_codes[] = {_begin_bs_array, 1, _4byte, _4byte, _end_bs_array};
const bs_code canm_sample_codes[] = {_begin_bs_array, 6, _4byte, _end_bs_array};

namespace {

class TTrackReader {
public:
    TTrackReader(std::string_view text, const std::string& source) : fIn(text), fSource(source) {}

    [[noreturn]] void Fail(const std::string& what) const
    {
        model_read_error(fSource + " - line " + std::to_string(fIn.Line()) + ": " + what + ".");
    }

    void Track(const char* keyword, const char* sample_keyword, int values, std::vector<canm_sample>& out)
    {
        if (!fIn.Find(keyword)) Fail(std::string("the file has no \"") + keyword + "\"");
        std::string token;
        if (!fIn.Next(token) || token != "{") Fail(std::string("\"") + keyword + "\" is not followed by \"{\"");
        for (;;) {
            if (!fIn.Next(token)) Fail(std::string("the file ends inside \"") + keyword + "\"");
            if (token == "}") return;
            if (token != sample_keyword) Fail("expected \"" + std::string(sample_keyword) + "\", found \"" + token + "\"");
            canm_sample sample{};
            long time = 0;
            if (!fIn.Integer(time) || time < INT32_MIN || time > INT32_MAX) Fail("a sample time cannot be read");
            sample.time = int32_t(time);
            for (int k = 0; k < values; ++k) {
                double value = 0;
                if (!fIn.Real(value)) Fail("a sample value cannot be read");
                sample.values[k] = float(value);
            }
            out.push_back(sample);
        }
    }

private:
    TTextTokenizer fIn;
    const std::string& fSource;
};

} // namespace

canm_tracks read_ase_camera_tracks(std::string_view text, const std::string& source)
{
    canm_tracks tracks;
    TTrackReader in(text, source);
    in.Track("*CONTROL_POS_TRACK", "*CONTROL_POS_SAMPLE", 3, tracks.positions);
    in.Track("*CONTROL_ROT_TRACK", "*CONTROL_ROT_SAMPLE", 4, tracks.rotations);
    return tracks;
}

std::vector<uint8_t> canm_build_data(const canm_tracks& tracks)
{
    uint64_t count = uint64_t(tracks.positions.size()) + tracks.rotations.size();
    uint64_t len = CANM_HEADER_SIZE + CANM_SAMPLE_SIZE * count;
    if (len > 0x7FFFFFFFull) throw XGPostError(kXGOutOfMemory);
    std::vector<uint8_t> data(size_t(len), 0);
    int32_t counts[2] = {int32_t(tracks.positions.size()), int32_t(tracks.rotations.size())};
    byte_swap_copy("canm", data.data(), counts, CANM_HEADER_SIZE, 1, canm_header_codes);
    size_t data_pos = CANM_HEADER_SIZE;
    for (const std::vector<canm_sample>* track : {&tracks.positions, &tracks.rotations})
        for (canm_sample sample : *track) {
            sample.zero = 0;
            byte_swap_copy("canm", data.data() + data_pos, &sample, CANM_SAMPLE_SIZE, 1, canm_sample_codes);
            data_pos += CANM_SAMPLE_SIZE;
        }
    if (data_pos != len) throw XGPostError(kXGAssertionFailure, {"(data_pos-data) == len", "canm", __LINE__});
    return data;
}

canm_tracks canm_read_data(const uint8_t* data, size_t size)
{
    canm_tracks tracks;
    if (!data || size < size_t(CANM_HEADER_SIZE)) model_read_error("the camera animation is shorter than its header.");
    int32_t counts[2];
    byte_swap_copy("canm", counts, data, CANM_HEADER_SIZE, 1, canm_header_codes);
    if (counts[0] < 0 || counts[1] < 0 ||
        CANM_HEADER_SIZE + uint64_t(CANM_SAMPLE_SIZE) * (uint64_t(counts[0]) + uint64_t(counts[1])) != size)
        model_read_error("the camera animation's sample counts disagree with its size.");
    size_t pos = CANM_HEADER_SIZE;
    for (int t = 0; t < 2; ++t) {
        std::vector<canm_sample>& track = t == 0 ? tracks.positions : tracks.rotations;
        track.resize(size_t(counts[t]));
        if (counts[t]) byte_swap_copy("canm", track.data(), data + pos, CANM_SAMPLE_SIZE, counts[t], canm_sample_codes);
        pos += CANM_SAMPLE_SIZE * size_t(counts[t]);
    }
    return tracks;
}

tag_entry* import_camera_motion(TTagStore& store, tag_file* f, const std::string& path)
{
    std::string name = path_file_name(path);
    canm_tracks tracks = read_ase_camera_tracks(read_text_file(path), name);
    std::vector<uint8_t> data = canm_build_data(tracks);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    name = name.substr(0, MAXIMUM_TAG_NAME_LENGTH);
    tag_entry* e = store.create_tag(f, "canm"_4cc, 0, int16_t(tag_type_version("canm"_4cc)), name.c_str(), 0,
                                    uint32_t(data.size()), data.data());
    if (!e) throw XGPostError(kXGOutOfMemory);
    return e;
}
