// Parses the input as a script file, checks the limits of what it holds, and writes the
// statistics lines of its value records back as text. Nothing is run: a script names
// files to write.
#include <cstdint>
#include <cstring>

#include "fuzz_support.h"
#include "script/script.h"
#include "script/unit_stats_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TScript script;
    if (!script.load_script(fuzz_write_input("input.QSF", data, size))) {
        const quenchold_script_exception& error = script.last_error();
        if (error.message.empty() || error.line < -1 || script.definition()) __builtin_trap();
        return 0;
    }
    const script_definition& d = *script.definition();
    if (d.entry_count() < 1 || d.entry_count() > MAXIMUM_SCRIPT_LAST_INDEX + 1 || d.entry_count() > d.capacity ||
        d.destination.size() > MAXIMUM_SCRIPT_STRING_LENGTH)
        __builtin_trap();
    for (int32_t i = 0; i < d.entry_count(); ++i) {
        const script_entry& e = d.entries[size_t(i)];
        if (e.strings.size() > MAXIMUM_SCRIPT_STRINGS || e.string_count < 0 ||
            size_t(e.string_count) > e.strings.size())
            __builtin_trap();
        for (const std::string& s : e.strings)
            if (s.size() > MAXIMUM_SCRIPT_STRING_LENGTH) __builtin_trap();
        switch (e.keyword) {
        case _mons_parameter:
            monster_stats_line(e.tag, e.value.mons);
            break;
        case _attk_parameter:
            attack_stats_line(e.tag, e.value.attk.attack_index, e.value.attk);
            break;
        case _obje_parameter:
            object_stats_line(e.tag, e.value.obje);
            break;
        case _proj_parameter:
            projectile_stats_line(e.tag, e.value.proj);
            break;
        case _soun_parameter:
            if (strnlen(e.value.soun.name, sizeof e.value.soun.name) == sizeof e.value.soun.name) __builtin_trap();
            break;
        default:
            break;
        }
    }
    return 0;
}
