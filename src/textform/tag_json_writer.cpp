// Tags to JSON.
#include <cstring>

#include "tags/gameplay/tag_struct.h"
#include "tags/tag_types.h"
#include "tags/tags.h"
#include "textform/tag_json.h"
#include "textform/tag_layout.h"
#include "textform/text_codec.h"

namespace {

tag_json Reference(const uint8_t* p)
{
    tag_code id = read_be32(p);
    if (id == NONE_TAG) return nullptr;
    return code_to_utf8(id);
}

tag_json Value(const text_field& f, const uint8_t* p)
{
    if (f.kind == text_field_kind::reference) return Reference(p);
    return read_text_field_value(f, p);
}

tag_json Record(const std::vector<text_field>& fields, const uint8_t* record);

tag_json Field(const text_field& f, const uint8_t* p)
{
    switch (f.kind) {
    case text_field_kind::bytes:
        return hex_encode(p, f.size);
    case text_field_kind::records: {
        tag_json records = tag_json::array();
        for (uint32_t i = 0; i < f.count; ++i) records.push_back(Record(f.fields, p + i * f.size));
        return records;
    }
    default:
        if (!f.count) return Value(f, p);
        tag_json values = tag_json::array();
        for (uint32_t i = 0; i < f.count; ++i) values.push_back(Value(f, p + i * f.size));
        return values;
    }
}

tag_json Record(const std::vector<text_field>& fields, const uint8_t* record)
{
    tag_json object = tag_json::object();
    auto& members = object.get_ref<tag_json::object_t&>();
    members.reserve(fields.size());
    // the names are unique: no need for the search that emplace makes
    for (const text_field& f : fields) members.emplace_back(f.name, Field(f, record + f.offset));
    return object;
}

tag_json Code(tag_code code)
{
    if (code == NONE_TAG) return nullptr;
    return code_to_utf8(code);
}

} // namespace

tag_json_error::tag_json_error(std::string f, std::string r)
    : std::runtime_error(f.empty() ? r : f + ": " + r), field(std::move(f)), reason(std::move(r))
{
}

tag_json tag_to_json(tag_entry* e)
{
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(e, &size);
    if (!data) throw tag_data_error(e, "cannot be read");
    tag_code type = tag_get_type(e);

    tag_json j = tag_json::object();
    j.emplace("type", Code(type));
    j.emplace("id", Code(e->id));
    j.emplace("version", e->version);
    j.emplace("name", latin1_to_utf8(e->name));
    // an older version is laid out otherwise: its bytes are all that can be said of it
    const text_layout* layout = e->version == tag_type_version(type) ? text_layout_for(type, data, size) : nullptr;
    if (layout) {
        j.emplace("fields", Record(layout->fields, data));
        if (size > layout->size) j.emplace("extra", hex_encode(data + layout->size, size - layout->size));
        return j;
    }
    tag_json summary = tag_json_summary(e);
    if (!summary.is_null()) j.emplace("summary", std::move(summary));
    data = tag_get_data(e, &size); // the readers of the summary may have loaded it anew
    if (!data) throw tag_data_error(e, "cannot be read");
    j.emplace("data", base64_encode(data, size));
    return j;
}

std::string tag_json_text(const tag_json& j)
{
    return j.dump(2) + "\n";
}
