#include "textform/text_codec.h"

namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kHex[] = "0123456789abcdef";

int Base64Value(char c)
{
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::string base64_encode(const uint8_t* data, size_t size)
{
    std::string out;
    out.resize((size + 2) / 3 * 4);
    char* o = out.data();
    size_t i = 0;
    for (; i + 3 <= size; i += 3) {
        uint32_t v = (uint32_t(data[i]) << 16) | (uint32_t(data[i + 1]) << 8) | data[i + 2];
        *o++ = kBase64[v >> 18];
        *o++ = kBase64[(v >> 12) & 63];
        *o++ = kBase64[(v >> 6) & 63];
        *o++ = kBase64[v & 63];
    }
    if (size - i == 1) {
        uint32_t v = uint32_t(data[i]) << 16;
        *o++ = kBase64[v >> 18];
        *o++ = kBase64[(v >> 12) & 63];
        *o++ = '=';
        *o++ = '=';
    } else if (size - i == 2) {
        uint32_t v = (uint32_t(data[i]) << 16) | (uint32_t(data[i + 1]) << 8);
        *o++ = kBase64[v >> 18];
        *o++ = kBase64[(v >> 12) & 63];
        *o++ = kBase64[(v >> 6) & 63];
        *o++ = '=';
    }
    return out;
}

std::optional<std::vector<uint8_t>> base64_decode(std::string_view text)
{
    if (text.size() % 4) return std::nullopt;
    size_t padding = 0;
    if (!text.empty() && text.back() == '=') padding = text[text.size() - 2] == '=' ? 2 : 1;
    std::vector<uint8_t> out;
    out.reserve(text.size() / 4 * 3);
    for (size_t i = 0; i < text.size(); i += 4) {
        bool last = i + 4 == text.size();
        size_t digits = last ? 4 - padding : 4;
        uint32_t v = 0;
        for (size_t k = 0; k < 4; ++k) {
            int d = k < digits ? Base64Value(text[i + k]) : 0;
            if (d < 0) return std::nullopt;
            v = (v << 6) | uint32_t(d);
        }
        out.push_back(uint8_t(v >> 16));
        if (digits >= 3) out.push_back(uint8_t(v >> 8));
        if (digits == 4) out.push_back(uint8_t(v));
        // the bits the padding leaves over must be zero, so that one text means one byte string
        if ((digits == 2 && (v & 0xFFFF)) || (digits == 3 && (v & 0xFF))) return std::nullopt;
    }
    return out;
}

std::string hex_encode(const uint8_t* data, size_t size)
{
    std::string out(size * 2, '0');
    for (size_t i = 0; i < size; ++i) {
        out[2 * i] = kHex[data[i] >> 4];
        out[2 * i + 1] = kHex[data[i] & 15];
    }
    return out;
}

bool hex_decode(std::string_view text, uint8_t* out, size_t size)
{
    if (text.size() != size * 2) return false;
    for (size_t i = 0; i < size; ++i) {
        int high = HexValue(text[2 * i]), low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) return false;
        out[i] = uint8_t(high << 4 | low);
    }
    return true;
}

std::string latin1_to_utf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        auto b = uint8_t(c);
        if (b < 0x80) {
            out.push_back(c);
        } else {
            out.push_back(char(0xC0 | (b >> 6)));
            out.push_back(char(0x80 | (b & 0x3F)));
        }
    }
    return out;
}

std::optional<std::string> utf8_to_latin1(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        auto b = uint8_t(text[i]);
        if (b < 0x80) {
            out.push_back(char(b));
            continue;
        }
        // only the two-byte forms of 128..255 (lead bytes C2 and C3)
        if ((b != 0xC2 && b != 0xC3) || i + 1 >= text.size()) return std::nullopt;
        auto next = uint8_t(text[i + 1]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        out.push_back(char(((b & 0x1F) << 6) | (next & 0x3F)));
        ++i;
    }
    return out;
}

std::string code_to_utf8(tag_code code)
{
    char bytes[4] = {char(code >> 24), char(code >> 16), char(code >> 8), char(code)};
    return latin1_to_utf8(std::string_view(bytes, 4));
}

std::optional<tag_code> utf8_to_code(std::string_view text)
{
    std::optional<std::string> bytes = utf8_to_latin1(text);
    if (!bytes || bytes->size() != 4) return std::nullopt;
    return read_be32(reinterpret_cast<const uint8_t*>(bytes->data()));
}

std::string escape_for_line(std::string_view text, bool from_latin1)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        auto b = uint8_t(c);
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default:
            if (b < 0x20 || b == 0x7F) {
                out += "\\x";
                out += kHex[b >> 4];
                out += kHex[b & 15];
            } else if (from_latin1) {
                out += latin1_to_utf8(std::string_view(&c, 1));
            } else {
                out += c;
            }
        }
    }
    return out;
}

std::string tag_name_for_line(std::string_view name) { return escape_for_line(name, true); }
