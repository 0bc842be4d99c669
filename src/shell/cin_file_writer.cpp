#include "shell/cin_file_writer.h"

#include "framework/ProgramAssert.h"
#include "framework/XGCode.h"
#include "shell/cin_file.h"

namespace {

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    write_be32(b.data() + at, v);
}

// A length byte and at most 255 characters, padded to an even length.
void AppendText(std::vector<uint8_t>& b, const std::string& text)
{
    size_t n = text.size() > 255 ? 255 : text.size();
    size_t start = b.size();
    b.resize(start + cin_text_size(n));
    b[start] = uint8_t(n);
    text.copy(reinterpret_cast<char*>(b.data() + start + 1), n);
}

// Length, type, a 16-bit field and the name (not padded); the caller appends the
// body and sets the length.
size_t BeginEntry(std::vector<uint8_t>& b, tag_code type, const std::string& name)
{
    size_t entry = b.size();
    size_t n = name.size() > 255 ? 255 : name.size();
    b.resize(entry + 11 + n);
    Put32(b, entry + 4, type);
    b[entry + 10] = uint8_t(n);
    name.copy(reinterpret_cast<char*>(b.data() + entry + 11), n);
    return entry;
}

void EndEntry(std::vector<uint8_t>& b, size_t entry)
{
    Put32(b, entry, uint32_t(b.size() - entry));
}

} // namespace

TCinWriter::TCinWriter() : fBytes(CIN_FILE_HEADER_SIZE)
{
    Put32(fBytes, 0, "@!ZC"_4cc);
    Put32(fBytes, 4, CIN_FILE_VERSION);
}

void TCinWriter::add_resource(tag_code type, const std::string& name, const std::vector<uint8_t>& body)
{
    size_t entry = BeginEntry(fBytes, type, name);
    fBytes.insert(fBytes.end(), body.begin(), body.end());
    EndEntry(fBytes, entry);
}

void TCinWriter::add_dialog(const std::string& name, const std::string& title, int32_t x, int32_t y,
                            int32_t width, int32_t height, const std::vector<TCinControl>& controls)
{
    size_t entry = BeginEntry(fBytes, "VRes"_4cc, name);
    size_t window = fBytes.size() + 4;
    size_t title_length = title.size() > 255 ? 255 : title.size();
    fBytes.resize(window + 0x4C + title_length);
    Put32(fBytes, window + 0x08, "wind"_4cc);
    Put32(fBytes, window + 0x16, uint32_t(x));
    Put32(fBytes, window + 0x1A, uint32_t(y));
    Put32(fBytes, window + 0x2E, uint32_t(width));
    Put32(fBytes, window + 0x32, uint32_t(height));
    fBytes[window + 0x46] = uint8_t(title_length);
    title.copy(reinterpret_cast<char*>(fBytes.data() + window + 0x47), title_length);

    for (size_t i = 0; i < controls.size(); ++i) {
        const TCinControl& c = controls[i];
        const cin_view_class* vc = cin_view_class_for(c.view_class);
        PROGRAM_ASSERT(vc != nullptr, "cin_file_writer");
        size_t at = fBytes.size();
        fBytes.resize(at + CIN_CONTROL_RECORD_SIZE);
        Put32(fBytes, at, i + 1 < controls.size() ? 1 : 0);
        Put32(fBytes, at + 0x0C, c.view_class);
        Put32(fBytes, at + 0x10, uint32_t(c.id));
        Put32(fBytes, at + 0x20, uint32_t(c.left));
        Put32(fBytes, at + 0x24, uint32_t(c.top));
        Put32(fBytes, at + 0x28, uint32_t(c.right));
        Put32(fBytes, at + 0x2C, uint32_t(c.bottom));
        if (vc->text == CIN_TEXT_FIRST) AppendText(fBytes, c.text);
        fBytes.resize(fBytes.size() + vc->fixed_bytes);
        if (vc->text == CIN_TEXT_AFTER_FIXED) AppendText(fBytes, c.text);
    }
    EndEntry(fBytes, entry);
}
