#include "framework/XGResources.h"

#include <map>
#include <utility>

#include "framework/XGErrorTable.h"

namespace {

std::map<std::pair<XGCode, int32_t>, XGResourceData>& Resources()
{
    static std::map<std::pair<XGCode, int32_t>, XGResourceData> resources;
    return resources;
}

} // namespace

void XGAddResource(XGCode type, int32_t number, XGResourceData data)
{
    Resources()[{type, number}] = std::move(data);
}

const XGResourceData* XGGetResource(XGCode type, int32_t number)
{
    XGRegisterFrameworkErrorTable();
    auto& resources = Resources();
    auto it = resources.find({type, number});
    return it == resources.end() ? nullptr : &it->second;
}
