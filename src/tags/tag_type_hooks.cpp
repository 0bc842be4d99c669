#include "tags/tag_type_hooks.h"

void install_texture_tag_hooks();

// Each subsystem adds its installer here.
void install_core_tag_hooks()
{
    install_texture_tag_hooks();
}
