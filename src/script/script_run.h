// One run of a parsed script against the tag store: a method per command, each going
// through the entries in order, logging what fails and going on with the next entry.
#pragma once

#include <functional>
#include <string>

#include "script/script_definition.h"
#include "script/script_log.h"
#include "tags/tags.h"

constexpr uint32_t EXPORT_TEXT_BUFFER_SIZE = 32768;
constexpr uint32_t IMPORT_TEXT_BUFFER_SIZE = 16384;

class TScriptRun {
public:
    TScriptRun(TTagStore& store, const script_definition& script, TScriptLog& log);
    void run();

private:
    void build_monolithic();
    void export_raw();
    void create_sounds();
    void replace_sounds();
    void replace_models();
    void replace_monster_stats();
    void create_monster_stats();
    void export_text();
    void import_text();
    void dump_names();

    // Every entry that holds a keyword, an error of one entry logged on its line.
    void Each(const std::function<void(const script_entry&)>& action);
    void Guard(const script_entry& e, const std::function<void()>& action);
    // Writes a file made by the script to path without adopting the path. A path where a
    // tag file is open is refused, so the open file keeps the bytes it refers to.
    bool WriteNewFile(tag_file* f, const std::string& path, tag_file_layout layout);
    // Logs and refuses a tag whose file may not be changed.
    bool Protected(const tag_entry* e);
    bool WriteTextFile(const std::string& path, const std::string& text);

    void MonsterBlock(const script_entry& e, std::string& text);
    void ObjectBlock(const script_entry& e, std::string& text);
    void ProjectileBlock(const script_entry& e, std::string& text);
    // The changes of one statistics line (and a monster's attack lines); the index of the
    // entry after those it used.
    int32_t ReplaceStats(int32_t index);

    TTagStore& fStore;
    const script_definition& fScript;
    TScriptLog& fLog;
    const char* fName; // the command, as the log names it
};

// The four characters of a code as log lines and texts show them.
std::string code_text(tag_code code);
