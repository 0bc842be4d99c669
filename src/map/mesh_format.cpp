#include "map/mesh_format.h"

#include "framework/ProgramAssert.h"

namespace {

const marker_type_info kMarkerTypes[NUMBER_OF_MARKER_TYPES] = {
    {"Observer", 0, false},
    {"Scenery", "scen"_4cc, true},
    {"<unused1>", 0, false},
    {"Monster", "unit"_4cc, true},
    {"<unused2>", 0, false},
    {"Sound Source", "amso"_4cc, true},
    {"<varn2 model>", "geom"_4cc, false},
    {"<unused3>", 0, false},
    {"<unused4>", 0, false},
    {"Projectile", "proj"_4cc, true},
    {"Local Projectile Group", "lpgr"_4cc, true},
    {"<varn2 model animation>", "anim"_4cc, false},
};

const marker_type_info kNoMarkerType = {"", 0, false};

struct parameter_type {
    int32_t element_size;
    tag_code reference;
};

const parameter_type kParameterTypes[MAXIMUM_MAP_ACTION_PARAMETER_TYPE + 1] = {
    {1, 0},  {1, 0}, {2, 0}, {2, 0}, {2, 0}, {4, 0}, {4, 0}, {4, 0}, {4, 0}, {4, "prgr"_4cc},
    {4, "stli"_4cc}, {4, "soun"_4cc}, {4, "proj"_4cc}, {8, 0}, {16, 0}, {2, 0}, {2, 0}, {2, 0}, {12, 0}, {2, 0},
    {2, 0}, {2, 0}, {4, "scen"_4cc},
};

} // namespace

const marker_type_info& marker_type(int index)
{
    if (index < 0 || index >= NUMBER_OF_MARKER_TYPES) return kNoMarkerType;
    return kMarkerTypes[index];
}

int32_t map_action_parameter_element_size(int type)
{
    PROGRAM_ASSERT(type >= 0 && type <= MAXIMUM_MAP_ACTION_PARAMETER_TYPE, "mesh");
    return kParameterTypes[type].element_size;
}

tag_code map_action_parameter_reference_type(int type)
{
    PROGRAM_ASSERT(type >= 0 && type <= MAXIMUM_MAP_ACTION_PARAMETER_TYPE, "mesh");
    return kParameterTypes[type].reference;
}
