// The editor hooks of the per-type forms: each builds its form's window on the tag.
#pragma once

struct tag_entry;

void* open_amso_editor(tag_entry* e);
void* open_arti_editor(tag_entry* e);
void* open_conn_editor(tag_entry* e);
void* open_form_editor(tag_entry* e);
void* open_ligh_editor(tag_entry* e);
void* open_phys_editor(tag_entry* e);
void* open_lpgr_editor(tag_entry* e);
void* open_medi_editor(tag_entry* e);
void* open_meef_editor(tag_entry* e);
void* open_meli_editor(tag_entry* e);
void* open_mons_editor(tag_entry* e);
void* open_obje_editor(tag_entry* e);
void* open_obpc_editor(tag_entry* e);
void* open_part_editor(tag_entry* e);
void* open_prgr_editor(tag_entry* e);
void* open_proj_editor(tag_entry* e);
void* open_scen_editor(tag_entry* e);
void* open_soli_editor(tag_entry* e);
void* open_stli_editor(tag_entry* e);
void* open_temp_editor(tag_entry* e);
void* open_text_editor(tag_entry* e);
void* open_unit_editor(tag_entry* e);
void* open_wind_editor(tag_entry* e);
void* open_loli_editor(tag_entry* e);
void* open_glli_editor(tag_entry* e);
void* open_game_editor(tag_entry* e);
void* open_soun_editor(tag_entry* e);
void* open_txst_editor(tag_entry* e);
void* open_spri_editor(tag_entry* e);
void* open_grsp_editor(tag_entry* e);
void* open_skmd_editor(tag_entry* e);
void* open_skan_editor(tag_entry* e);

// Installs every hook above on its type.
void install_tag_editor_forms();
