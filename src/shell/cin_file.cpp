#include "shell/cin_file.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "framework/XGCode.h"

namespace {

const cin_view_class kViewClasses[] = {
    {"pbtn"_4cc, "butt"_4cc, 8, CIN_TEXT_AFTER_FIXED},
    {"text"_4cc, "stat"_4cc, 4, CIN_TEXT_FIRST},
    {"chkb"_4cc, "chek"_4cc, 8, CIN_TEXT_AFTER_FIXED},
    {"edit"_4cc, "edit"_4cc, 26, CIN_TEXT_FIRST},
    {"list"_4cc, "list"_4cc, 14, CIN_NO_TEXT},
    {"scrb"_4cc, "slid"_4cc, 20, CIN_NO_TEXT},
    {"stsb"_4cc, "numb"_4cc, 12, CIN_NO_TEXT},
    {"popm"_4cc, "popu"_4cc, 4, CIN_NO_TEXT},
    {"head"_4cc, "head"_4cc, 14, CIN_NO_TEXT},
    {"pict"_4cc, "bitm"_4cc, 12, CIN_NO_TEXT},
    {"stat"_4cc, "prog"_4cc, 12, CIN_NO_TEXT},
};

// Controls the game finds by their own code rather than their class's.
struct id_control_code {
    tag_code view_class;
    int32_t id;
    tag_code code;
};

const id_control_code kIdCodes[] = {
    {"text"_4cc, 888, "game"_4cc},  {"text"_4cc, 1099, "repo"_4cc}, {"text"_4cc, 2222, "prol"_4cc},
    {"list"_4cc, 666, "lstm"_4cc},  {"list"_4cc, 999, "lstg"_4cc},  {"list"_4cc, 555, "plli"_4cc},
    {"list"_4cc, 556, "pbli"_4cc},  {"list"_4cc, 557, "poli"_4cc},  {"list"_4cc, 444, "chat"_4cc},
    {"list"_4cc, 777, "roli"_4cc},  {"list"_4cc, 888, "gaml"_4cc},  {"list"_4cc, 1040, "cstt"_4cc},
    {"list"_4cc, 1041, "cgrf"_4cc}, {"list"_4cc, 1098, "slst"_4cc}, {"list"_4cc, 1099, "slst"_4cc},
    {"list"_4cc, 6969, "kbls"_4cc}, {"list"_4cc, 4444, "game"_4cc}, {"list"_4cc, 4000, "logo"_4cc},
    {"list"_4cc, 4010, "plig"_4cc}, {"head"_4cc, 1000, "colr"_4cc}, {"head"_4cc, 2000, "colr"_4cc},
    {"head"_4cc, 1042, "ched"_4cc},
};

constexpr tag_code kMagic = "@!ZC"_4cc;
constexpr tag_code kViewResource = "VRes"_4cc;
constexpr tag_code kWindowClass = "wind"_4cc;

// Window record fields, from its start.
constexpr size_t kWindowClassAt = 0x08;
constexpr size_t kOriginAt = 0x16;
constexpr size_t kExtentAt = 0x2E;
constexpr size_t kTitleAt = 0x46;
constexpr size_t kWindowRecordSize = 0x4C;

// Control record fields, from its start.
constexpr size_t kClassAt = 0x0C;
constexpr size_t kIdAt = 0x10;
constexpr size_t kBoundsAt = 0x20;

struct CinFailure {
    std::string message;
};

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// The text up to its first NUL: one pool entry per control, whatever the text holds.
std::string TextOf(const uint8_t* chars, size_t n)
{
    const void* nul = std::memchr(chars, 0, n);
    return std::string(reinterpret_cast<const char*>(chars),
                       nul ? size_t(static_cast<const uint8_t*>(nul) - chars) : n);
}

class CinReader {
public:
    CinReader(const uint8_t* data, size_t size, const std::string& label, size_t pool_limit)
        : fData(data), fSize(size), fLabel(label), fPoolLimit(pool_limit)
    {
    }

    TCinFile Read()
    {
        TCinFile file;
        try {
            CheckHeader();
            for (size_t at = CIN_FILE_HEADER_SIZE; at < fSize;) {
                size_t length = ReadEntryLength(at);
                if (Be32(at + 4) == kViewResource) file.dialogs.push_back(ReadViewResource(at, at + length));
                at += length;
            }
        } catch (const CinFailure& failure) {
            file.dialogs.clear();
            file.failure = failure.message;
        }
        return file;
    }

private:
    [[noreturn]] void Damaged(const std::string& what)
    {
        throw CinFailure{fLabel + " is damaged: " + what + "."};
    }

    uint32_t Be32(size_t at) const { return read_be32(fData + at); }

    void CheckHeader()
    {
        if (fSize < 4 || Be32(0) != kMagic)
            throw CinFailure{fLabel + " is not an interface-builder file (it does not begin with \"@!ZC\")."};
        if (fSize < 8) Damaged("it ends inside its header");
        if (Be32(4) != CIN_FILE_VERSION)
            throw CinFailure{Format("%s is an interface-builder file of version %u; only version %u can be imported.",
                                    fLabel.c_str(), Be32(4), CIN_FILE_VERSION)};
        if (fSize <= CIN_FILE_HEADER_SIZE) Damaged("it holds no resources");
    }

    size_t ReadEntryLength(size_t at)
    {
        if (fSize - at < 4) Damaged(Format("the entry at offset %zu is cut off by the end of the file", at));
        uint32_t length = Be32(at);
        if (length < CIN_MINIMUM_ENTRY_LENGTH)
            Damaged(Format("the entry at offset %zu has the length %u, less than %u", at, length,
                           CIN_MINIMUM_ENTRY_LENGTH));
        if (length > fSize - at)
            Damaged(Format("the entry at offset %zu (length %u) runs past the end of the file", at, length));
        return length;
    }

    TCinDialog ReadViewResource(size_t entry, size_t end)
    {
        TCinDialog d;
        size_t at = entry + 10;
        if (at >= end || at + 1 + fData[at] > end)
            Damaged(Format("the view resource at offset %zu is too short for its name", entry));
        size_t n = fData[at];
        d.name = TextOf(fData + at + 1, n);

        size_t window = entry + 15 + n;
        if (window + kWindowRecordSize > end)
            Damaged("the view resource \"" + d.name + "\" is too short for its window record");
        tag_code window_class = Be32(window + kWindowClassAt);
        if (window_class != kWindowClass)
            Damaged("the view resource \"" + d.name + "\" does not begin with a window record (its class is `" +
                    tag_code_to_text(window_class) + "`)");
        size_t first = window + kWindowRecordSize + fData[window + kTitleAt];
        if (first > end) Damaged("the title of the view resource \"" + d.name + "\" runs past its entry");

        uint32_t x = Be32(window + kOriginAt), y = Be32(window + kOriginAt + 4);
        uint32_t width = Be32(window + kExtentAt), height = Be32(window + kExtentAt + 4);
        dlog_header& h = d.dialog.header;
        h.version = DIALOG_TAG_VERSION;
        h.top = int16_t(y);
        h.left = int16_t(x);
        h.bottom = int16_t(y + height);
        h.right = int16_t(x + width);
        ReadControls(first, end, d);
        h.control_count = int16_t(d.dialog.controls.size());
        return d;
    }

    // Controls from at while they lie in the entry, at most MAXIMUM_DIALOG_CONTROLS.
    void ReadControls(size_t at, size_t end, TCinDialog& d)
    {
        for (int number = 1; at < end && number <= MAXIMUM_DIALOG_CONTROLS; ++number) {
            auto cut_off = [&] {
                Damaged(Format("control %d of the view resource \"%s\" runs past the end of its entry", number,
                               d.name.c_str()));
            };
            if (end - at < CIN_CONTROL_RECORD_SIZE) cut_off();
            tag_code view_class = Be32(at + kClassAt);
            const cin_view_class* vc = cin_view_class_for(view_class);
            if (!vc) {
                d.abandoned =
                    Format("control %d has the unknown class `%s`", number, tag_code_to_text(view_class).c_str());
                return;
            }

            size_t tail = at + CIN_CONTROL_RECORD_SIZE;
            size_t tail_size = vc->fixed_bytes;
            std::string text;
            if (vc->text != CIN_NO_TEXT) {
                size_t text_at = vc->text == CIN_TEXT_FIRST ? tail : tail + vc->fixed_bytes;
                if (text_at >= end) cut_off();
                size_t n = fData[text_at];
                if (cin_text_size(n) > end - text_at) cut_off();
                text = TextOf(fData + text_at + 1, n);
                tail_size += cin_text_size(n);
            }
            if (tail_size > end - tail) cut_off();

            int32_t id = int32_t(Be32(at + kIdAt));
            dlog_control c{};
            c.code = cin_control_code(*vc, id);
            c.id = int16_t(id);
            c.left = int16_t(Be32(at + kBoundsAt));
            c.top = int16_t(Be32(at + kBoundsAt + 4));
            c.right = int16_t(Be32(at + kBoundsAt + 8));
            c.bottom = int16_t(Be32(at + kBoundsAt + 12));

            std::string& pool = d.dialog.texts;
            if (text.size() + 1 > fPoolLimit - pool.size()) {
                d.abandoned = Format("its texts need more than the %zu bytes a dialog can hold", fPoolLimit);
                return;
            }
            pool.append(text);
            pool.push_back('\0');
            d.dialog.controls.push_back(c);

            if (Be32(at) == 0) return;
            at = tail + tail_size;
        }
    }

    const uint8_t* fData;
    size_t fSize;
    const std::string& fLabel;
    size_t fPoolLimit;
};

} // namespace

const cin_view_class* cin_view_class_for(tag_code view_class)
{
    for (const cin_view_class& c : kViewClasses)
        if (c.view_class == view_class) return &c;
    return nullptr;
}

tag_code cin_control_code(const cin_view_class& view_class, int32_t id)
{
    for (const id_control_code& c : kIdCodes)
        if (c.view_class == view_class.view_class && c.id == id) return c.code;
    return view_class.control_code;
}

TCinFile read_cin_file(const uint8_t* data, size_t size, const std::string& label, size_t pool_limit)
{
    return CinReader(data, size, label, pool_limit).Read();
}
