// Tags as JSON text. The same tag always gives the same text, so that version control
// shows only what changed, and loading the text gives back the tag's bytes exactly.
//
// {"type", "id", "version", "name", then either "fields" (the named fields of a type with
// a layout, at its current version) and "extra" (hex of any bytes after the structure), or
// "summary" (what a person can read of a texture stack, sound or map) and "data" (base64)}.
// Codes are four characters, each standing for one byte; a reference of -1 is null.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "tags/tag_code.h"

struct tag_entry;

using tag_json = nlohmann::ordered_json;

// What a JSON text has wrong: where (a path such as fields.attacks[1].minimum_range, empty
// for the text as a whole) and why.
struct tag_json_error : std::runtime_error {
    tag_json_error(std::string field, std::string reason);
    std::string field;
    std::string reason;
};

// The tag as JSON. Raises the program's read error when its data cannot be had.
tag_json tag_to_json(tag_entry* e);
// Two-space indentation, UTF-8, a final newline.
std::string tag_json_text(const tag_json& j);
// What a person can read of a texture stack, sound or map; null for other types or data
// their readers refuse.
tag_json tag_json_summary(tag_entry* e);

struct tag_json_tag {
    tag_code type = 0;
    tag_code id = 0;
    int16_t version = 0;
    std::string name; // stored bytes
    std::vector<uint8_t> data;
};

// One tag's JSON text, checked as far as it can be without the tag it replaces.
class TTagJsonDocument {
public:
    // Raises tag_json_error for malformed JSON, unknown keys and values of the wrong kind.
    explicit TTagJsonDocument(std::string_view text);

    tag_code type() const { return fType; }
    tag_code id() const { return fId; }

    // The tag the text describes. Fields it leaves out keep their values in base (the tag
    // it replaces), or take the type's defaults when there is none. Raises tag_json_error
    // for unknown fields and values outside a field's width.
    tag_json_tag Build(tag_entry* base) const;

private:
    nlohmann::json fText;
    tag_code fType = 0;
    tag_code fId = 0;
};
