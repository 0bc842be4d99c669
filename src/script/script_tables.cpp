#include "script/script_tables.h"

const script_command_row script_command_table[] = {
    {_build_monolithic, "build_monolithic", 1u << _file_parameter, true},
    {_export_raw, "export_raw", 1u << _type_parameter | 1u << _tag_parameter, false},
    {_create_sounds, "create_sounds", 1u << _soun_parameter, true},
    {_replace_sounds, "replace_sounds", 1u << _tag_parameter, false},
    {_replace_models, "replace_models", 1u << _tag_parameter, false},
    {_replace_monster_stats, "replace_monster_stats",
     1u << _mons_parameter | 1u << _attk_parameter | 1u << _obje_parameter | 1u << _proj_parameter, false},
    {_create_monster_stats, "create_monster_stats", 1u << _type_parameter | 1u << _tag_parameter, true},
    {_export_text, "export_text", 1u << _type_parameter | 1u << _tag_parameter, false},
    {_import_text, "import_text", 1u << _type_parameter | 1u << _tag_parameter, true},
    {_dump_names, "dump_names", 1u << _file_parameter | 1u << _type_parameter, false},
    {_no_script_command, "", 0, false},
};

const script_parameter_row script_parameter_table[] = {
    {_file_parameter, "file"}, {_type_parameter, "type"}, {_tag_parameter, "tag"},   {_mons_parameter, "mons"},
    {_attk_parameter, "attk"}, {_obje_parameter, "obje"}, {_proj_parameter, "proj"}, {_soun_parameter, "soun"},
    {_no_script_parameter, ""},
};

namespace {

char Lower(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

template <class Row>
const Row& Find(const Row* table, std::string_view name)
{
    const Row* row = table;
    for (; row->code != 0; ++row)
        if (script_names_match(name, row->name)) break;
    return *row;
}

} // namespace

bool script_names_match(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

const script_command_row& find_script_command(std::string_view name)
{
    return Find(script_command_table, name);
}

const script_parameter_row& find_script_parameter(std::string_view name)
{
    return Find(script_parameter_table, name);
}

const script_command_row& script_command_for(int32_t code)
{
    const script_command_row* row = script_command_table;
    while (row->code != 0 && row->code != code) ++row;
    return *row;
}

const char* script_parameter_name(int32_t code)
{
    const script_parameter_row* row = script_parameter_table;
    while (row->code != 0 && row->code != code) ++row;
    return row->name;
}
