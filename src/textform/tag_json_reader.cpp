// Tags from JSON.
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "tags/tag_types.h"
#include "tags/tags.h"
#include "textform/tag_json.h"
#include "textform/tag_layout.h"
#include "textform/text_codec.h"

namespace {

using json = nlohmann::json;

const char* const kKeys[] = {"type", "id", "version", "name", "summary", "fields", "extra", "data"};

std::string Kind(const json& v)
{
    switch (v.type()) {
    case json::value_t::null: return "null";
    case json::value_t::boolean: return v.dump();
    case json::value_t::string: return "a string";
    case json::value_t::array: return "an array";
    case json::value_t::object: return "an object";
    case json::value_t::number_float: return v.dump();
    default: return "a number";
    }
}

// Errors below are raised with the place relative to the value read; each level adds its
// own part on the way out, so that nothing is built unless something is wrong.
[[noreturn]] void Within(const std::string& place, const tag_json_error& e)
{
    throw tag_json_error(place + e.field, e.reason);
}

// The text's own words for a code: four characters, or null for -1.
tag_code Code(const json& v, const std::string& path)
{
    if (v.is_null()) return NONE_TAG;
    if (v.is_string())
        if (std::optional<tag_code> code = utf8_to_code(v.get_ref<const std::string&>())) return *code;
    throw tag_json_error(path, "expected a four-character id or null, not " +
                                   (v.is_string() ? "\"" + v.get<std::string>() + "\"" : Kind(v)));
}

int64_t Integer(const json& v, const std::string& path, int64_t minimum, int64_t maximum)
{
    if (!v.is_number_integer()) throw tag_json_error(path, "expected an integer, not " + Kind(v));
    bool inside = v.is_number_unsigned() ? v.get<uint64_t>() <= uint64_t(maximum)
                                         : v.get<int64_t>() >= minimum && v.get<int64_t>() <= maximum;
    if (!inside)
        throw tag_json_error(path, v.dump() + " is outside " + std::to_string(minimum) + ".." + std::to_string(maximum));
    return v.is_number_unsigned() ? int64_t(v.get<uint64_t>()) : v.get<int64_t>();
}

void Value(const text_field& f, const json& v, uint8_t* p)
{
    int64_t value = f.kind == text_field_kind::reference
                        ? int64_t(Code(v, ""))
                        : Integer(v, "", text_field_minimum(f), text_field_maximum(f));
    write_text_field_value(f, p, value);
}

void Record(const std::vector<text_field>& fields, const json& object, uint8_t* record, bool scalars_only);

const json& Array(const json& v, uint32_t count, const char* what)
{
    if (!v.is_array() || v.size() != count)
        throw tag_json_error("", "expected an array of " + std::to_string(count) + " " + what + ", not " +
                                     (v.is_array() ? std::to_string(v.size()) : Kind(v)));
    return v;
}

void Field(const text_field& f, const json& v, uint8_t* p)
{
    uint32_t i = 0;
    try {
        switch (f.kind) {
        case text_field_kind::bytes:
            if (!v.is_string() || !hex_decode(v.get_ref<const std::string&>(), p, f.size))
                throw tag_json_error("", "expected " + std::to_string(2 * f.size) + " hex digits");
            return;
        case text_field_kind::records: {
            const json& records = Array(v, f.count, "records");
            for (++i; i <= f.count; ++i) Record(f.fields, records[i - 1], p + (i - 1) * f.size, false);
            return;
        }
        default:
            if (!f.count) return Value(f, v, p);
            const json& values = Array(v, f.count, f.kind == text_field_kind::reference ? "ids" : "integers");
            for (++i; i <= f.count; ++i) Value(f, values[i - 1], p + (i - 1) * f.size);
        }
    } catch (const tag_json_error& e) {
        if (!i) throw;
        Within("[" + std::to_string(i - 1) + "]", e);
    }
}

// Lays the object's fields over the record; fields it leaves out keep their bytes.
void Record(const std::vector<text_field>& fields, const json& object, uint8_t* record, bool scalars_only)
{
    if (!object.is_object()) throw tag_json_error("", "expected an object, not " + Kind(object));
    size_t found = 0;
    for (const text_field& f : fields) {
        auto v = object.find(f.name);
        if (v == object.end()) continue;
        ++found;
        bool scalar = f.count == 0 && f.kind != text_field_kind::bytes && f.kind != text_field_kind::records;
        if (scalars_only && !scalar) continue;
        try {
            Field(f, *v, record + f.offset);
        } catch (const tag_json_error& e) {
            Within("." + f.name, e);
        }
    }
    if (found == object.size()) return;
    for (auto item = object.begin(); item != object.end(); ++item)
        if (std::none_of(fields.begin(), fields.end(), [&](const text_field& f) { return f.name == item.key(); }))
            throw tag_json_error("." + item.key(), "unknown field");
}

bool HexBytes(const std::string& text, std::vector<uint8_t>& out)
{
    if (text.size() % 2) return false;
    out.resize(text.size() / 2);
    return hex_decode(text, out.data(), out.size());
}

// The data a new tag of the type is given.
std::vector<uint8_t> Defaults(tag_code type)
{
    static std::mutex lock;
    static std::map<tag_code, std::vector<uint8_t>> made;
    std::lock_guard<std::mutex> hold(lock);
    auto found = made.find(type);
    if (found != made.end()) return found->second;
    std::vector<uint8_t>& defaults = made[type];
    tag_set_defaults_hook hook = tag_type_set_defaults_hook(type);
    if (!hook) return defaults;
    TTagStore scratch;
    tag_entry* e = scratch.create_tag(scratch.new_tag_file(), type, "dflt"_4cc, int16_t(tag_type_version(type)),
                                      "", 0, 0, nullptr);
    hook(e);
    uint32_t size = 0;
    if (const uint8_t* data = tag_get_data(e, &size)) defaults.assign(data, data + size);
    return defaults;
}

// Names the first key given twice in an object (the parser keeps only the last).
class DuplicateKeys {
public:
    bool operator()(int depth, json::parse_event_t event, json& parsed)
    {
        switch (event) {
        case json::parse_event_t::object_start: fCounts.push_back(0); break;
        case json::parse_event_t::key:
            ++fCounts.back();
            fKeys.push_back(parsed.get<std::string>());
            break;
        case json::parse_event_t::object_end: {
            size_t count = fCounts.back();
            if (parsed.size() != count) {
                std::vector<std::string> keys(fKeys.end() - long(count), fKeys.end());
                std::sort(keys.begin(), keys.end());
                throw tag_json_error(*std::adjacent_find(keys.begin(), keys.end()), "given twice");
            }
            fKeys.resize(fKeys.size() - count);
            fCounts.pop_back();
            break;
        }
        default: break;
        }
        return true;
    }

private:
    std::vector<size_t> fCounts;
    std::vector<std::string> fKeys; // of the objects being read
};

// Builds the document as the parser does, and tells whether an object may have a key
// twice: the hashes of each object's keys are compared when the object ends.
class KeyHashScan {
public:
    explicit KeyHashScan(json& result) : fDom(result) {}

    bool null() { return fDom.null(); }
    bool boolean(bool v) { return fDom.boolean(v); }
    bool number_integer(json::number_integer_t v) { return fDom.number_integer(v); }
    bool number_unsigned(json::number_unsigned_t v) { return fDom.number_unsigned(v); }
    bool number_float(json::number_float_t v, const json::string_t& s) { return fDom.number_float(v, s); }
    bool string(json::string_t& v) { return fDom.string(v); }
    bool binary(json::binary_t& v) { return fDom.binary(v); }
    bool start_object(std::size_t n)
    {
        fStarts.push_back(fHashes.size());
        return fDom.start_object(n);
    }
    bool key(json::string_t& k)
    {
        fHashes.push_back(std::hash<std::string>{}(k));
        return fDom.key(k);
    }
    bool end_object()
    {
        auto first = fHashes.begin() + long(fStarts.back());
        std::sort(first, fHashes.end());
        fTwice |= std::adjacent_find(first, fHashes.end()) != fHashes.end();
        fHashes.erase(first, fHashes.end());
        fStarts.pop_back();
        return fDom.end_object();
    }
    bool start_array(std::size_t n) { return fDom.start_array(n); }
    bool end_array() { return fDom.end_array(); }
    bool parse_error(std::size_t at, const std::string& token, const nlohmann::detail::exception& e)
    {
        return fDom.parse_error(at, token, e);
    }

    bool twice() const { return fTwice; }

private:
    nlohmann::detail::json_sax_dom_parser<json> fDom;
    std::vector<size_t> fHashes;
    std::vector<size_t> fStarts;
    bool fTwice = false;
};

json Parse(std::string_view text)
{
    try {
        json parsed;
        KeyHashScan scan(parsed);
        json::sax_parse(text.begin(), text.end(), &scan);
        if (!scan.twice()) return parsed;
        // read again, keeping the keys, to say which one
        DuplicateKeys duplicates;
        return json::parse(text.begin(), text.end(), std::ref(duplicates));
    } catch (const json::exception& e) {
        std::string what = e.what();
        size_t bracket = what.find("] ");
        throw tag_json_error("", bracket == std::string::npos ? what : what.substr(bracket + 2));
    }
}

} // namespace

TTagJsonDocument::TTagJsonDocument(std::string_view text)
{
    fText = Parse(text);
    if (!fText.is_object()) throw tag_json_error("", "expected an object, not " + Kind(fText));
    for (auto item = fText.begin(); item != fText.end(); ++item)
        if (std::find(std::begin(kKeys), std::end(kKeys), item.key()) == std::end(kKeys))
            throw tag_json_error(item.key(), "unknown key");
    for (const char* key : {"type", "id"})
        if (!fText.contains(key)) throw tag_json_error(key, "missing");
    fType = Code(fText["type"], "type");
    fId = Code(fText["id"], "id");
    if (fText.contains("version")) Integer(fText["version"], "version", INT16_MIN, INT16_MAX);
    if (fText.contains("name")) {
        const json& name = fText["name"];
        std::optional<std::string> bytes = name.is_string() ? utf8_to_latin1(name.get<std::string>()) : std::nullopt;
        if (!bytes) throw tag_json_error("name", "expected a text of characters 1 to 255");
        if (bytes->find('\0') != std::string::npos) throw tag_json_error("name", "holds a NUL character");
        if (bytes->size() > MAXIMUM_TAG_NAME_LENGTH)
            throw tag_json_error("name", "longer than " + std::to_string(MAXIMUM_TAG_NAME_LENGTH) + " characters");
    }
    bool fields = fText.contains("fields"), data = fText.contains("data");
    if (fields && data) throw tag_json_error("data", "cannot be given with fields");
    if (fText.contains("extra")) {
        if (!fields) throw tag_json_error("extra", "is given only with fields");
        const json& extra = fText["extra"];
        std::vector<uint8_t> bytes;
        if (!extra.is_string() || !HexBytes(extra.get_ref<const std::string&>(), bytes))
            throw tag_json_error("extra", "expected hex digits");
    }
    if (data) {
        const json& d = fText["data"];
        if (!d.is_string() || !base64_decode(d.get_ref<const std::string&>()))
            throw tag_json_error("data", "expected base64");
    }
    if (fields) {
        int32_t current = tag_type_version(fType);
        if (!text_layout_size(fType))
            throw tag_json_error("fields", tag_code_to_text(fType) + " tags have no named fields; give their bytes as data");
        if (fText.contains("version") && fText["version"].get<int64_t>() != current)
            throw tag_json_error("version", "the fields are those of version " + std::to_string(current) +
                                                "; give the bytes of other versions as data");
        if (!fText["fields"].is_object()) throw tag_json_error("fields", "expected an object, not " + Kind(fText["fields"]));
    }
}

tag_json_tag TTagJsonDocument::Build(tag_entry* base) const
{
    tag_json_tag tag;
    tag.type = fType;
    tag.id = fId;
    int32_t current = tag_type_version(fType);
    if (fText.contains("version")) tag.version = int16_t(fText["version"].get<int64_t>());
    else tag.version = base ? base->version : int16_t(current);
    if (fText.contains("name")) tag.name = *utf8_to_latin1(fText["name"].get<std::string>());
    else tag.name = base ? base->name : std::string("Untitled ") + tag_type_name(fType);

    uint32_t base_size = 0;
    const uint8_t* base_data = base ? tag_get_data(base, &base_size) : nullptr;
    if (base && !base_data && !fText.contains("data"))
        throw tag_json_error("", "the tag it replaces cannot be read");

    if (fText.contains("data")) {
        tag.data = *base64_decode(fText["data"].get_ref<const std::string&>());
        return tag;
    }
    if (!fText.contains("fields")) {
        tag.data = base ? std::vector<uint8_t>(base_data, base_data + base_size) : Defaults(fType);
        return tag;
    }

    // the fields go over the tag they replace when it has them, else over the defaults
    const text_layout* layout = base && base->version == current ? text_layout_for(fType, base_data, base_size) : nullptr;
    if (layout) tag.data.assign(base_data, base_data + base_size);
    else tag.data = Defaults(fType);
    uint32_t size = text_layout_size(fType);
    if (tag.data.size() < size) tag.data.resize(size, 0);
    if (fText.contains("extra")) {
        std::vector<uint8_t> extra;
        HexBytes(fText["extra"].get_ref<const std::string&>(), extra);
        tag.data.resize(size);
        tag.data.insert(tag.data.end(), extra.begin(), extra.end());
    }

    // the flags come first: a monster's layout depends on them
    const json& fields = fText["fields"];
    layout = text_layout_for(fType, tag.data.data(), uint32_t(tag.data.size()));
    try {
        Record(layout->fields, fields, tag.data.data(), true);
        layout = text_layout_for(fType, tag.data.data(), uint32_t(tag.data.size()));
        Record(layout->fields, fields, tag.data.data(), false);
    } catch (const tag_json_error& e) {
        Within("fields", e);
    }
    return tag;
}
