// Resource data by (type, number): error tables, view records, menus, pictures.
// The framework registers its own; the program adds the ones it embeds.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/XGCode.h"

using XGResourceData = std::vector<uint8_t>;

void XGAddResource(XGCode type, int32_t number, XGResourceData data);
// The resource, or null when there is none.
const XGResourceData* XGGetResource(XGCode type, int32_t number);
