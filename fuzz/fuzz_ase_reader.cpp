// Reads the input as an ASE export's camera tracks and builds the tag data.
#include <cstdint>
#include <string_view>

#include "framework/XGError.h"
#include "model/canm.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        canm_tracks tracks = read_ase_camera_tracks(std::string_view((const char*)data, size), "fuzz.ase");
        std::vector<uint8_t> bytes = canm_build_data(tracks);
        canm_read_data(bytes.data(), bytes.size());
    } catch (const XGError&) {
    }
    return 0;
}
