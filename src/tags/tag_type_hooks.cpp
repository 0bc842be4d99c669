#include "tags/tag_type_hooks.h"

// Each subsystem adds its installer here.
void install_core_tag_hooks()
{
}
