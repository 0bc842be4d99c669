// The commands that make and replace sounds and models.
#include "framework/XGError.h"
#include "model/skmd_replace.h"
#include "script/script_run.h"
#include "script/unit_stats_fields.h"
#include "sound/sound_import.h"

void TScriptRun::replace_sounds()
{
    Each([&](const script_entry& e) {
        tag_entry* sound = fStore.find_tag("soun"_4cc, e.tag);
        if (!sound || Protected(sound)) return;
        for (int32_t k = 0; k < e.string_count / 2; ++k) {
            if (k >= MAXIMUM_PERMUTATIONS_PER_SOUND) {
                fLog.printf("script line %d: (%s) tried to add too many permutations, skipping\n", e.line, fName);
                return;
            }
            double skip = 0;
            if (!parse_decimal(e.string(size_t(2 * k + 1)), skip)) {
                fLog.printf("script line %d: (%s) skip_percentage %s is not a number, skipping\n", e.line, fName,
                            e.string(size_t(2 * k + 1)).c_str());
                return;
            }
            if (skip == 100.0)
                fLog.printf("WARNING: script line %d: (%s) skip_percentage was 100.0\n", e.line, fName);
            if (e.string_count <= 2) skip = 0;
            switch (replace_sound_permutation(sound, e.string(size_t(2 * k)), skip, k)) {
            case _sound_import_done:
                continue;
            case _sound_import_not_16_bit:
                fLog.printf("script line %d: (%s) failed on permutation %d (sound not 16 bit)\n", e.line, fName, k);
                return;
            case _sound_import_not_22khz:
                fLog.printf("script line %d: (%s) failed on permutation %d (sound not 22khz)\n", e.line, fName, k);
                return;
            default:
                fLog.printf("script line %d: (%s) failed on permutation %d\n", e.line, fName, k);
                return;
            }
        }
    });
}

void TScriptRun::replace_models()
{
    Each([&](const script_entry& e) {
        tag_entry* model = fStore.find_tag("skmd"_4cc, e.tag);
        if (!model || Protected(model)) return;
        // Every model file of the line, a last one without a partner too.
        for (size_t k = 0; k < e.strings.size(); ++k) {
            try {
                replace_skeletal_model(model, int(k), e.strings[k]);
            } catch (const XGError&) {
                fLog.printf("script line %d: (%s) failed on permutation %d\n", e.line, fName, int(k));
            }
        }
    });
}

void TScriptRun::create_sounds()
{
    tag_file* output = fStore.new_tag_file();
    int32_t last_line = 0;
    Each([&](const script_entry& e) {
        last_line = e.line;
        sound_creation_record r = e.value.soun;
        if (r.tag == NONE_TAG) r.tag = fStore.make_tag_id(r.name, "soun"_4cc, nullptr);
        if (r.subtitle_stringlist == NONE_TAG) r.subtitle_stringlist = 0;
        if (!create_sound_tag(output, r)) fLog.printf("script line %d: (%s) sound creation failed\n", e.line, fName);
    });
    if (!WriteNewFile(output, fScript.destination, TAG_FILE_TYPE_PLUGIN))
        fLog.printf("script line %d: (%s) could not write tag file\n", last_line, fName);
}
