#include "shell/forms/editor_forms.h"

#include "shell/TTagEditForm.h"
#include "shell/TTextTagEditForm.h"
#include "tags/tag_types.h"

void* open_stli_editor(tag_entry* e)
{
    return TTagEditForm::Open<TstliEditForm>(e, TstliEditForm::kResource);
}

void* open_temp_editor(tag_entry* e)
{
    return TTagEditForm::Open<TtempEditForm>(e, TtempEditForm::kResource);
}

void* open_text_editor(tag_entry* e)
{
    return TTagEditForm::Open<TtextEditForm>(e, TtextEditForm::kResource);
}

void install_tag_editor_forms()
{
    struct Form {
        tag_code type;
        void* (*open)(tag_entry*);
    };
    static const Form kForms[] = {
        {"amso"_4cc, open_amso_editor},
        {"arti"_4cc, open_arti_editor},
        {"conn"_4cc, open_conn_editor},
        {"form"_4cc, open_form_editor},
        {"ligh"_4cc, open_ligh_editor},
        {"phys"_4cc, open_phys_editor},
        {"lpgr"_4cc, open_lpgr_editor},
        {"medi"_4cc, open_medi_editor},
        {"meef"_4cc, open_meef_editor},
        {"meli"_4cc, open_meli_editor},
        {"mons"_4cc, open_mons_editor},
        {"obje"_4cc, open_obje_editor},
        {"obpc"_4cc, open_obpc_editor},
        {"part"_4cc, open_part_editor},
        {"prgr"_4cc, open_prgr_editor},
        {"proj"_4cc, open_proj_editor},
        {"scen"_4cc, open_scen_editor},
        {"soli"_4cc, open_soli_editor},
        {"stli"_4cc, open_stli_editor},
        {"temp"_4cc, open_temp_editor},
        {"text"_4cc, open_text_editor},
        {"unit"_4cc, open_unit_editor},
        {"wind"_4cc, open_wind_editor},
        {"loli"_4cc, open_loli_editor},
        {"glli"_4cc, open_glli_editor},
        {"game"_4cc, open_game_editor},
        {"soun"_4cc, open_soun_editor},
        {"txst"_4cc, open_txst_editor},
        {"spri"_4cc, open_spri_editor},
        {"grsp"_4cc, open_grsp_editor},
        {"skmd"_4cc, open_skmd_editor},
        {"skan"_4cc, open_skan_editor},
    };
    for (const Form& f : kForms) set_tag_type_editor_hooks(f.type, f.open, nullptr);
}
