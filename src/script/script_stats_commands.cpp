// The statistics commands: writing monster, object and projectile statistics as text,
// and reading such text back into the tags.
#include "script/script_run.h"
#include "script/unit_stats_access.h"
#include "script/unit_stats_text.h"

namespace {

// A tag name as a comment line holds it.
std::string CommentText(const char* name)
{
    std::string text = name;
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

} // namespace

void TScriptRun::create_monster_stats()
{
    std::string text = UNIT_STATS_TEXT_HEAD;
    Each([&](const script_entry& e) {
        if (e.type == "mons"_4cc) MonsterBlock(e, text);
        else if (e.type == "obje"_4cc) ObjectBlock(e, text);
        else if (e.type == "proj"_4cc) ProjectileBlock(e, text);
    });
    if (!WriteTextFile(fScript.destination, text))
        fLog.printf("(%s) could not write output file %s\n", fName, fScript.destination.c_str());
}

void TScriptRun::MonsterBlock(const script_entry& e, std::string& text)
{
    tag_entry* tag = fStore.find_tag(e.type, e.tag);
    monster_definition m;
    if (!tag) {
        fLog.printf("script line %d: (%s) monster tag export failed\n", e.line, fName);
        return;
    }
    if (!read_tag_struct(tag, m)) {
        fLog.printf("script line %d: (%s) monster tag data retrieval failed\n", e.line, fName);
        return;
    }
    monster_stats s = monster_stats_of(m);
    text += "// " + CommentText(tag->name) + "\n" + monster_stats_line(e.tag, s);
    for (int n = 0; n < s.attack_count; ++n) {
        attack_stats a{};
        a.attack_index = int16_t(n);
        if (!attack_stats_of(m, a)) {
            fLog.printf("script line %d: (%s) monster tag attack data retrieval failed\n", e.line, fName);
            break;
        }
        text += "\n" + attack_stats_line(e.tag, n, a);
    }
    text += "\n//\n";
}

void TScriptRun::ObjectBlock(const script_entry& e, std::string& text)
{
    tag_entry* tag = fStore.find_tag(e.type, e.tag);
    object_stats s;
    if (!tag) {
        fLog.printf("script line %d: (%s) object tag export failed\n", e.line, fName);
    } else if (!get_object_stats(tag, s)) {
        fLog.printf("script line %d: (%s) object tag data retrieval failed\n", e.line, fName);
    } else {
        text += object_stats_line(e.tag, s) + "\n//\n";
    }
}

void TScriptRun::ProjectileBlock(const script_entry& e, std::string& text)
{
    tag_entry* tag = fStore.find_tag(e.type, e.tag);
    projectile_stats s;
    if (!tag) {
        fLog.printf("script line %d: (%s) projectile tag export failed\n", e.line, fName);
    } else if (!get_projectile_stats(tag, s)) {
        fLog.printf("script line %d: (%s) projectile tag data retrieval failed\n", e.line, fName);
    } else {
        text += projectile_stats_line(e.tag, s) + "\n//\n";
    }
}

void TScriptRun::replace_monster_stats()
{
    int32_t count = fScript.entry_count();
    for (int32_t i = 0; i < count;) {
        const script_entry& e = fScript.entries[size_t(i)];
        int32_t next = i + 1;
        if (e.keyword != _no_script_parameter) Guard(e, [&] { next = ReplaceStats(i); });
        i = next;
    }
}

int32_t TScriptRun::ReplaceStats(int32_t index)
{
    const script_entry& e = fScript.entries[size_t(index)];
    // A monster's attack lines follow it and name it.
    int32_t end = index + 1;
    if (e.keyword == _mons_parameter)
        while (end < fScript.entry_count() && fScript.entries[size_t(end)].keyword == _attk_parameter &&
               fScript.entries[size_t(end)].tag == e.tag)
            ++end;

    std::string type = code_text(e.type), id = code_text(e.tag);
    tag_entry* tag = fStore.find_tag(e.type, e.tag);
    if (!tag) {
        fLog.printf("(%s) couldn't load tag %s/%s\n", fName, type.c_str(), id.c_str());
        return index + 1;
    }
    if (Protected(tag)) return end;
    switch (e.keyword) {
    case _mons_parameter: {
        // The monster and its attacks are read once and stored once.
        fLog.printf("(%s) updating data for tag %s/%s\n", fName, type.c_str(), id.c_str());
        monster_definition m;
        bool readable = read_tag_struct(tag, m);
        if (readable) apply_monster_stats(m, e.value.mons);
        else fLog.printf("script line %d: (%s) monster tag data import failed\n", e.line, fName);
        for (int32_t k = index + 1; k < end; ++k) {
            fLog.printf("(%s) updating attack index %d for tag %s/%s\n", fName, k - index - 1, type.c_str(),
                        id.c_str());
            if (!readable || !apply_attack_stats(m, fScript.entries[size_t(k)].value.attk))
                fLog.printf("script line %d: (%s) monster tag attack import failed\n", e.line, fName);
        }
        if (readable && !write_tag_struct(tag, m))
            fLog.printf("script line %d: (%s) monster tag data import failed\n", e.line, fName);
        return end;
    }
    case _obje_parameter:
        fLog.printf("(%s) updating data for tag %s/%s\n", fName, type.c_str(), id.c_str());
        if (!set_object_stats(tag, e.value.obje))
            fLog.printf("script line %d: (%s) object tag data import failed\n", e.line, fName);
        break;
    case _proj_parameter:
        fLog.printf("(%s) updating data for tag %s/%s\n", fName, type.c_str(), id.c_str());
        if (!set_projectile_stats(tag, e.value.proj))
            fLog.printf("script line %d: (%s) project tag data import failed\n", e.line, fName);
        break;
    default:
        break;
    }
    return index + 1;
}
