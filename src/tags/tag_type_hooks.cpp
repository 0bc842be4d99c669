#include "tags/tag_type_hooks.h"

void install_gameplay_tag_hooks();
void install_map_tag_hooks();
void install_format_updaters();

// Each subsystem adds its installer here.
void install_core_tag_hooks()
{
    install_gameplay_tag_hooks();
    install_map_tag_hooks();
    install_format_updaters();
}
