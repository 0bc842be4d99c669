// The hooks of texture stacks, sprite definitions and ground sprites.
#include "tags/tag_types.h"
#include "texture/grsp.h"
#include "texture/spri.h"
#include "texture/txst_format.h"

void install_texture_tag_hooks()
{
    set_tag_type_core_hooks("txst"_4cc, txst_set_defaults, nullptr, nullptr);
    set_tag_type_core_hooks("spri"_4cc, spri_set_defaults, spri_collect_dependencies, nullptr);
    set_tag_type_core_hooks("grsp"_4cc, grsp_set_defaults, grsp_collect_dependencies, nullptr);
}
