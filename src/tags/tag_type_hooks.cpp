#include "tags/tag_type_hooks.h"

void install_gameplay_tag_hooks();
void install_map_tag_hooks();
void install_format_updaters();
void install_model_tag_hooks();
void install_sound_tag_hooks();
void install_texture_tag_hooks();
void install_text_tag_hooks();

// Each subsystem adds its installer here.
void install_core_tag_hooks()
{
    install_gameplay_tag_hooks();
    install_map_tag_hooks();
    install_format_updaters();
    install_model_tag_hooks();
    install_sound_tag_hooks();
    install_texture_tag_hooks();
    install_text_tag_hooks();
}
