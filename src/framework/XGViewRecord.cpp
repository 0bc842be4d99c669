#include "framework/XGViewRecord.h"

#include <charconv>
#include <cstdio>
#include <map>

#include "framework/XGTextLines.h"

namespace {

constexpr size_t kMaxDepth = 32;
constexpr size_t kMaxText = 0xFFFF;
constexpr size_t kMaxKey = 0xFF;
constexpr size_t kHeaderSize = 16;

bool Fail(std::string* why, std::string text)
{
    if (why) *why = std::move(text);
    return false;
}

bool ParseInt(std::string_view text, int32_t& out)
{
    if (text.empty()) return false;
    const char* first = text.data();
    const char* last = first + text.size();
    if (*first == '+') ++first;
    auto [end, ec] = std::from_chars(first, last, out);
    return ec == std::errc() && end == last;
}

// Splits one line into words; a quoted part keeps its blanks. Marks which words
// were quoted in full (a quoted word is never a key).
bool SplitWords(std::string_view line, std::vector<std::string>& words, std::vector<bool>& quoted,
                std::string& error)
{
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        std::string word;
        bool wholeQuoted = line[i] == '"';
        bool inQuote = false;
        for (; i < line.size(); ++i) {
            char c = line[i];
            if (inQuote) {
                if (c == '\\' && i + 1 < line.size()) {
                    char n = line[++i];
                    word += n == 't' ? '\t' : n == 'n' ? '\n' : n;
                } else if (c == '"') {
                    inQuote = false;
                } else {
                    word += c;
                }
            } else if (c == '"') {
                inQuote = true;
            } else if (c == ' ' || c == '\t') {
                break;
            } else {
                word += c;
            }
        }
        if (inQuote) {
            error = "a quoted text is not closed";
            return false;
        }
        words.push_back(std::move(word));
        quoted.push_back(wholeQuoted);
    }
    return true;
}

class Writer {
public:
    void Put32(uint32_t v)
    {
        for (int s = 24; s >= 0; s -= 8) fBytes.push_back(uint8_t(v >> s));
    }
    void Put16(uint16_t v)
    {
        fBytes.push_back(uint8_t(v >> 8));
        fBytes.push_back(uint8_t(v));
    }
    void PutText16(const std::string& s)
    {
        size_t n = std::min<size_t>(s.size(), 0xFFFF);
        Put16(uint16_t(n));
        fBytes.insert(fBytes.end(), s.begin(), s.begin() + std::ptrdiff_t(n));
    }
    void PutText8(const std::string& s)
    {
        size_t n = std::min<size_t>(s.size(), 0xFF);
        fBytes.push_back(uint8_t(n));
        fBytes.insert(fBytes.end(), s.begin(), s.begin() + std::ptrdiff_t(n));
    }
    void Record(const XGViewRecord& r)
    {
        Writer data;
        data.Put32(uint32_t(r.frame.left));
        data.Put32(uint32_t(r.frame.top));
        data.Put32(uint32_t(r.frame.width));
        data.Put32(uint32_t(r.frame.height));
        data.PutText16(r.text);
        data.Put16(uint16_t(std::min<size_t>(r.attributes.size(), 0xFFFF)));
        size_t count = 0;
        for (const auto& [key, value] : r.attributes) {
            if (count++ == 0xFFFF) break;
            data.PutText8(key);
            data.PutText16(value);
        }
        Put32(uint32_t(r.id));
        Put32(uint32_t(r.children.size()));
        Put32(uint32_t(data.fBytes.size()));
        Put32(r.classCode);
        fBytes.insert(fBytes.end(), data.fBytes.begin(), data.fBytes.end());
        for (const XGViewRecord& child : r.children) Record(child);
    }
    XGResourceData fBytes;
};

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : fData(data), fSize(size) {}

    bool Record(XGViewRecord& r, size_t depth, std::string* why)
    {
        if (depth > kMaxDepth) return Fail(why, "views are nested too deeply");
        if (fSize - fPos < kHeaderSize) return Fail(why, "a view record header runs past the end");
        r.id = int32_t(Get32());
        uint32_t children = Get32();
        uint32_t length = Get32();
        r.classCode = Get32();
        if (length > fSize - fPos) return Fail(why, "a view record's data runs past the end");
        size_t end = fPos + length;
        if (length < 18) return Fail(why, "a view record's data is too short");
        r.frame.left = int32_t(Get32());
        r.frame.top = int32_t(Get32());
        r.frame.width = int32_t(Get32());
        r.frame.height = int32_t(Get32());
        if (!Text16(r.text, end)) return Fail(why, "a view's text runs past its record");
        if (end - fPos < 2) return Fail(why, "a view's attribute count runs past its record");
        uint16_t count = Get16();
        for (uint16_t i = 0; i < count; ++i) {
            std::string key, value;
            if (!Text8(key, end) || !Text16(value, end))
                return Fail(why, "a view's attributes run past its record");
            r.attributes.emplace_back(std::move(key), std::move(value));
        }
        if (fPos != end) return Fail(why, "a view record's data has bytes left over");
        // every subview needs at least a header
        if (children > (fSize - fPos) / kHeaderSize) return Fail(why, "a view's subview count is too large");
        r.children.resize(children);
        for (XGViewRecord& child : r.children)
            if (!Record(child, depth + 1, why)) return false;
        return true;
    }
    bool AtEnd() const { return fPos == fSize; }

private:
    uint32_t Get32()
    {
        const uint8_t* p = fData + fPos;
        fPos += 4;
        return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
    }
    uint16_t Get16()
    {
        const uint8_t* p = fData + fPos;
        fPos += 2;
        return uint16_t((p[0] << 8) | p[1]);
    }
    bool Text16(std::string& out, size_t end)
    {
        if (end - fPos < 2) return false;
        uint16_t n = Get16();
        if (n > end - fPos) return false;
        out.assign(reinterpret_cast<const char*>(fData + fPos), n);
        fPos += n;
        return true;
    }
    bool Text8(std::string& out, size_t end)
    {
        if (end - fPos < 1) return false;
        uint8_t n = fData[fPos++];
        if (n > end - fPos) return false;
        out.assign(reinterpret_cast<const char*>(fData + fPos), n);
        fPos += n;
        return true;
    }

    const uint8_t* fData;
    size_t fSize;
    size_t fPos = 0;
};

} // namespace

bool XGViewRecord::Has(std::string_view key) const
{
    for (const auto& a : attributes)
        if (a.first == key) return true;
    return false;
}

std::string XGViewRecord::Get(std::string_view key, std::string_view fallback) const
{
    for (const auto& a : attributes)
        if (a.first == key) return a.second;
    return std::string(fallback);
}

int32_t XGViewRecord::GetInt(std::string_view key, int32_t fallback) const
{
    int32_t value;
    for (const auto& a : attributes)
        if (a.first == key) return ParseInt(a.second, value) ? value : fallback;
    return fallback;
}

std::vector<std::string> XGViewRecord::GetAll(std::string_view key) const
{
    std::vector<std::string> values;
    for (const auto& a : attributes)
        if (a.first == key) values.push_back(a.second);
    return values;
}

void XGViewRecord::Set(std::string key, std::string value)
{
    for (auto& a : attributes) {
        if (a.first == key) {
            a.second = std::move(value);
            return;
        }
    }
    attributes.emplace_back(std::move(key), std::move(value));
}

bool XGParseSize(std::string_view text, int32_t& width, int32_t& height)
{
    size_t x = text.find('x');
    if (x == std::string_view::npos) return false;
    return ParseInt(text.substr(0, x), width) && ParseInt(text.substr(x + 1), height);
}

bool XGParseViewText(std::string_view text, XGViewRecord& out, std::string* why)
{
    struct Open {
        size_t indent;
        XGViewRecord* record;
    };
    std::vector<Open> stack;
    std::map<int32_t, int> lineOfId; // a window finds its views by id: one view each
    bool haveTop = false;
    out = XGViewRecord();
    XGTextLines lines(text);
    auto failAt = [&](const std::string& reason) {
        char prefix[32];
        std::snprintf(prefix, sizeof prefix, "line %d: ", lines.Number());
        return Fail(why, prefix + reason);
    };
    std::string_view line;
    while (lines.Next(line)) {
        size_t indent = 0;
        while (indent < line.size() && line[indent] == ' ') ++indent;
        if (indent < line.size() && line[indent] == '\t') return failAt("indent with spaces, not tabs");
        std::string_view body = line.substr(indent);
        if (body.empty() || body[0] == '#') continue;

        std::vector<std::string> words;
        std::vector<bool> quoted;
        std::string error;
        if (!SplitWords(body, words, quoted, error)) return failAt(error);
        if (words.size() < 6) return failAt("a view needs a class code, an id and a frame");
        if (words[0].size() != 4) return failAt("the class code '" + words[0] + "' is not four characters");

        XGViewRecord record;
        const std::string& c = words[0];
        record.classCode = (XGCode(uint8_t(c[0])) << 24) | (XGCode(uint8_t(c[1])) << 16) |
                           (XGCode(uint8_t(c[2])) << 8) | XGCode(uint8_t(c[3]));
        int32_t numbers[5];
        for (int k = 0; k < 5; ++k)
            if (!ParseInt(words[size_t(k) + 1], numbers[k])) return failAt("'" + words[size_t(k) + 1] + "' is not a number");
        record.id = numbers[0];
        if (record.id != 0) {
            auto [seen, added] = lineOfId.emplace(record.id, lines.Number());
            if (!added)
                return failAt("the id " + std::to_string(record.id) + " is already used on line " +
                              std::to_string(seen->second));
        }
        record.frame = {numbers[1], numbers[2], numbers[3], numbers[4]};
        if (record.frame.width < 0 || record.frame.height < 0) return failAt("a view's size is negative");
        size_t k = 6;
        if (k < words.size() && quoted[k]) record.text = words[k++];
        if (record.text.size() > kMaxText) return failAt("a text is longer than 65535 characters");
        for (; k < words.size(); ++k) {
            if (quoted[k]) return failAt("a second text for one view");
            size_t eq = words[k].find('=');
            if (eq == 0) return failAt("an attribute without a name");
            std::string key = words[k].substr(0, eq);
            std::string value = eq == std::string::npos ? std::string() : words[k].substr(eq + 1);
            if (key.size() > kMaxKey) return failAt("an attribute name is longer than 255 characters");
            if (value.size() > kMaxText) return failAt("a value is longer than 65535 characters");
            if (record.attributes.size() == kMaxText) return failAt("a view has more than 65535 attributes");
            record.attributes.emplace_back(std::move(key), std::move(value));
        }

        if (!haveTop) {
            if (indent != 0) return failAt("the first view must not be indented");
            out = std::move(record);
            stack.push_back({0, &out});
            haveTop = true;
            continue;
        }
        while (!stack.empty() && stack.back().indent >= indent) stack.pop_back();
        if (stack.empty()) return failAt("a second top view; a resource holds one");
        if (stack.size() > kMaxDepth) return failAt("views are nested too deeply");
        XGViewRecord* parent = stack.back().record;
        parent->children.push_back(std::move(record));
        stack.push_back({indent, &parent->children.back()});
    }
    if (!haveTop) return Fail(why, "the resource holds no view");
    return true;
}

XGResourceData XGEncodeViewResource(const XGViewRecord& record)
{
    Writer w;
    w.Record(record);
    return std::move(w.fBytes);
}

bool XGDecodeViewResource(const uint8_t* data, size_t size, XGViewRecord& out, std::string* why)
{
    out = XGViewRecord();
    if (!data && size) return Fail(why, "no data");
    Reader reader(data, size);
    XGViewRecord record;
    if (!reader.Record(record, 0, why)) return false;
    if (!reader.AtEnd()) return Fail(why, "bytes follow the top view record");
    out = std::move(record);
    return true;
}
