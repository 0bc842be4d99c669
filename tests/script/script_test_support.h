// Scripts written to a scratch folder, parsed and run against a store of their own.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/script.h"
#include "tags/gameplay/mons.h"
#include "tags/gameplay/obje.h"
#include "tags/gameplay/proj.h"
#include "support/tag_file_bytes.h"
#include "support/test_support.h"
#include "tags/tags.h"

class ScriptTest : public ::testing::Test {
protected:
    TempFolder folder;
    TScript script;
    TTagStore store;

    // Parses text as a script file; false with script.error_text() on a parse error.
    bool Parse(const std::string& text);
    const script_definition& Parsed(const std::string& text);
    // The "Line %d: %s" of a script that must not parse.
    std::string ErrorOf(const std::string& text);
    // Parses and runs text; the lines it logged.
    std::string Run(const std::string& text);

    // A file of the store holding one tag of each given data.
    tag_file* NewFile(const std::string& name);
    tag_entry* Add(tag_file* f, const char* type, const char* id, const char* name, const bytes& data);
    bytes Data(tag_entry* e);
};

// The tag file at path, opened in a store of its own: (type, id, version, name, data) per tag.
struct stored_tag {
    std::string type, id, name;
    int16_t version;
    bytes data;
};
std::vector<stored_tag> read_tags(const std::string& path);

// Gameplay tags with a known value in every statistics field, and a few bits that no flag
// name covers.

monster_definition known_monster();
object_definition known_object();
projectile_definition known_projectile();
