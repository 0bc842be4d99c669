#include "script/script_run.h"

#include <cstdio>

#include "framework/XGError.h"
#include "script/script.h"
#include "script/script_tables.h"
#include "tags/tag_file_format.h"

std::string code_text(tag_code code)
{
    return tag_code_to_text(code);
}

bool TScript::run_script(TTagStore& store)
{
    if (!fScript) return false;
    TScriptLog log(fLogPath);
    std::string name = fScript->source_name();
    log.printf("Running script %s...\n", name.c_str());
    TScriptRun(store, *fScript, log).run();
    log.printf("Finished with script %s\n\n", name.c_str());
    return true;
}

TScriptRun::TScriptRun(TTagStore& store, const script_definition& script, TScriptLog& log)
    : fStore(store), fScript(script), fLog(log), fName(script_command_for(script.command).name)
{
}

void TScriptRun::run()
{
    switch (fScript.command) {
    case _build_monolithic:
        return build_monolithic();
    case _export_raw:
        return export_raw();
    case _create_sounds:
        return create_sounds();
    case _replace_sounds:
        return replace_sounds();
    case _replace_models:
        return replace_models();
    case _replace_monster_stats:
        return replace_monster_stats();
    case _create_monster_stats:
        return create_monster_stats();
    case _export_text:
        return export_text();
    case _import_text:
        return import_text();
    case _dump_names:
        return dump_names();
    default:
        return;
    }
}

void TScriptRun::Each(const std::function<void(const script_entry&)>& action)
{
    for (int32_t i = 0; i < fScript.entry_count(); ++i) {
        const script_entry& e = fScript.entries[size_t(i)];
        if (e.keyword != _no_script_parameter) Guard(e, [&] { action(e); });
    }
}

void TScriptRun::Guard(const script_entry& e, const std::function<void()>& action)
{
    try {
        action();
    } catch (const XGError& error) {
        fLog.printf("script line %d: (%s) %s\n", e.line, fName, error.GetMessage().c_str());
    } catch (const std::exception& error) {
        fLog.printf("script line %d: (%s) %s\n", e.line, fName, error.what());
    }
}

bool TScriptRun::WriteNewFile(tag_file* f, const std::string& path, tag_file_layout layout)
{
    if (fStore.find_open_file(path)) {
        fLog.printf("(%s) %s is an open tag file and was not replaced\n", fName, path.c_str());
        return false;
    }
    try {
        return !path.empty() && write_tag_file(f, path, layout, false);
    } catch (const XGError&) {
        return false;
    }
}

bool TScriptRun::Protected(const tag_entry* e)
{
    if (!tag_file_is_protected(e->file)) return false;
    fLog.printf("(%s) skipping readonly file %s\n", fName, tag_file_name(e->file).c_str());
    return true;
}

bool TScriptRun::WriteTextFile(const std::string& path, const std::string& text)
{
    std::FILE* out = path.empty() ? nullptr : std::fopen(path.c_str(), "wb");
    if (!out) return false;
    bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    return std::fclose(out) == 0 && written;
}
