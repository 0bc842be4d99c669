// Scripts of the sample data, run from the sample data folder: a statistics export of
// its units, projectiles and objects, and the creation of two sounds that a second
// script fills with the sample WAV files.
#include <filesystem>
#include <string>

#include "build/sample_data.h"
#include "framework/XGError.h"
#include "framework/XGFile.h"

namespace {

const char* const kExportStats = R"(// The statistics of the sample units, their projectiles and objects, as text.
// unit_stats.txt is itself a script: edit it, then run it to read the values back.
create_monster_stats unit_stats.txt

type mons tag warr
type mons tag dwrf
type mons tag ghol
type proj tag arro
type proj tag bolt
type obje tag body
type obje tag wood
)";

const char* const kCreateSounds = R"(// Two sounds without permutations in plugins/created_sounds.tag;
// scripts/replace_sounds.QSF then gives them the sample WAV files.
create_sounds plugins/created_sounds.tag

// name        tag  loudness list index play% frequency pitch     volume    flags
soun "bell toll" bell 3       ____ 1     100   1         0.9 1.1   0.8 1     0
soun click       ____ 1       ____ 1     50    1         1 1       0.5 0.75  0
)";

const char* const kReplaceSounds = R"(// Permutations for the sounds that scripts/create_sounds.QSF made: WAV file, then
// the percentage of the time the permutation is skipped.
replace_sounds

tag bell sounds/chime.wav 0 sounds/chime_low.wav 25
tag clic sounds/click.wav 0
)";

void Write(const std::string& path, const std::string& text)
{
    XGFile out(path);
    out.Create();
    out.Write(text.data(), text.size());
    out.Close();
}

} // namespace

void add_sample_scripts(TSampleData& data)
{
    std::string folder = data.folder() + "/scripts";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) throw XGPostError(kXGFileCreateError, {folder});
    Write(folder + "/export_stats.QSF", kExportStats);
    Write(folder + "/create_sounds.QSF", kCreateSounds);
    Write(folder + "/replace_sounds.QSF", kReplaceSounds);
}
