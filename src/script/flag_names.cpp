#include "script/flag_names.h"

#include "script/script_tables.h"

const flag_name_row* find_flag_name(flag_names names, std::string_view name)
{
    for (const flag_name_row& row : names)
        if (script_names_match(name, row.name)) return &row;
    return nullptr;
}

uint32_t flag_names_mask(flag_names names)
{
    uint32_t mask = 0;
    for (const flag_name_row& row : names) mask |= uint32_t(row.value);
    return mask;
}

const char* enumeration_name(flag_names names, int32_t value)
{
    int64_t index = int64_t(value) + 1;
    if (index < 0 || index >= int64_t(names.size())) return nullptr;
    return names[size_t(index)].name;
}
