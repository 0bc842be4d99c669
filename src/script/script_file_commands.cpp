// The commands that copy tags and text between tag files and plain files.
#include <cstdio>
#include <memory>

#include "script/script_run.h"
#include "tags/tag_types.h"

namespace {

// Closes a file the script made once it is written.
struct TScratchFile {
    TTagStore& store;
    tag_file* file;
    ~TScratchFile() { store.close_tag_file(file); }
};

bool IsTextType(tag_code type)
{
    return type == "stli"_4cc || type == "text"_4cc || type == "temp"_4cc;
}

// Text-mode line ends: a CR LF pair becomes one newline.
std::string WithoutCarriageReturns(const uint8_t* data, size_t size)
{
    std::string text;
    text.reserve(size);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n') continue;
        text.push_back(data[i] == '\r' ? '\n' : char(data[i]));
    }
    return text;
}

} // namespace

void TScriptRun::build_monolithic()
{
    tag_file* output = fStore.new_tag_file();
    Each([&](const script_entry& e) {
        const std::string& path = e.string(0);
        tag_file* f = path.empty() ? nullptr : fStore.open_tag_file(path, false);
        if (f && f != output)
            fStore.copy_missing_tags(f, output); // so the first file listed wins
        else
            fLog.printf("script line %d: (%s) failed on copy\n", e.line, fName);
    });
    if (!WriteNewFile(output, fScript.destination, TAG_FILE_TYPE_FOUNDATION))
        fLog.printf("(%s) output file failed to write\n", fName);
}

void TScriptRun::export_raw()
{
    Each([&](const script_entry& e) {
        tag_entry* tag = fStore.find_tag(e.type, e.tag);
        if (!tag) {
            fLog.printf("script line %d: (%s) could not find %s/%s - nothing written\n", e.line, fName,
                        code_text(e.type).c_str(), code_text(e.tag).c_str());
            return;
        }
        uint32_t size = 0;
        const uint8_t* data = tag_get_data(tag, &size);
        if (!data || size == 0) {
            fLog.printf("script line %d: (%s) %s/%s has no data - nothing written\n", e.line, fName,
                        code_text(e.type).c_str(), code_text(e.tag).c_str());
            return;
        }
        TScratchFile scratch{fStore, fStore.new_tag_file()};
        // The tag keeps its own version: its data is copied as it stands.
        bool made = fStore.create_tag(scratch.file, e.type, e.tag, tag->version, tag->name, 0, size, data);
        if (!made || !WriteNewFile(scratch.file, e.string(0), TAG_FILE_TYPE_LOCAL))
            fLog.printf("script line %d: (%s) file failed to write\n", e.line, fName);
    });
}

void TScriptRun::export_text()
{
    Each([&](const script_entry& e) {
        tag_entry* tag = fStore.find_tag(e.type, e.tag);
        std::string type = code_text(e.type), id = code_text(e.tag);
        if (!tag) {
            fLog.printf("script line %d: (%s) could not find tag %s/%s\n", e.line, fName, type.c_str(), id.c_str());
            return;
        }
        if (!IsTextType(e.type)) {
            fLog.printf("script line %d: (%s) the tag type to export from was not recognized\n", e.line, fName);
            return;
        }
        uint32_t size = tag_get_size(tag);
        const uint8_t* data = size ? tag_get_data(tag, &size) : nullptr;
        if (size && !data) {
            fLog.printf("script line %d: (%s) unable to retrive data from %s/%s\n", e.line, fName, type.c_str(),
                        id.c_str());
            return;
        }
        if (size > EXPORT_TEXT_BUFFER_SIZE) {
            fLog.printf("script line %d: (%s) %s/%s holds more than %u bytes - nothing written\n", e.line, fName,
                        type.c_str(), id.c_str(), EXPORT_TEXT_BUFFER_SIZE);
            return;
        }
        std::string text = WithoutCarriageReturns(data, size);
        const std::string& path = e.string(0);
        std::FILE* out = path.empty() ? nullptr : std::fopen(path.c_str(), "w");
        if (!out) {
            fLog.printf("script line %d: (%s) could not open output file %s\n", e.line, fName, path.c_str());
            return;
        }
        bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
        if (std::fclose(out) != 0 || !written)
            fLog.printf("script line %d: (%s) error writting to output file %s\n", e.line, fName, path.c_str());
    });
}

void TScriptRun::import_text()
{
    TScratchFile output{fStore, fStore.new_tag_file()};
    int32_t last_line = 0;
    Each([&](const script_entry& e) {
        last_line = e.line;
        const std::string& path = e.string(1);
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(path.empty() ? nullptr : std::fopen(path.c_str(), "rb"),
                                                           std::fclose);
        if (!in) {
            fLog.printf("script line %d: (%s) couldn't open file %s\n", e.line, fName, path.c_str());
            return;
        }
        std::vector<uint8_t> bytes(IMPORT_TEXT_BUFFER_SIZE + 1);
        size_t count = std::fread(bytes.data(), 1, bytes.size(), in.get());
        if (count > IMPORT_TEXT_BUFFER_SIZE) {
            fLog.printf("script line %d: (%s) file %s holds more than %u bytes - not imported\n", e.line, fName,
                        path.c_str(), IMPORT_TEXT_BUFFER_SIZE);
            return;
        }
        std::string text = count ? WithoutCarriageReturns(bytes.data(), count) : std::string();
        if (text.empty()) {
            fLog.printf("script line %d: (%s) couldn't read file %s\n", e.line, fName, path.c_str());
            return;
        }
        if (!fStore.create_tag(output.file, e.type, e.tag, int16_t(tag_type_version(e.type)), e.string(0).c_str(), 0,
                               uint32_t(text.size()), text.data()))
            fLog.printf("script line %d: (%s) couldn't read file %s\n", e.line, fName, path.c_str());
    });
    if (!WriteNewFile(output.file, fScript.destination, TAG_FILE_TYPE_PLUGIN))
        fLog.printf("script line %d: (%s) file failed to write\n", last_line, fName);
}

void TScriptRun::dump_names()
{
    Each([&](const script_entry& e) {
        const std::string& path = e.string(0);
        std::FILE* out = path.empty() ? nullptr : std::fopen(path.c_str(), "w");
        if (!out) {
            fLog.printf("script line %d: (%s) couldn't open output file %s\n", e.line, fName, path.c_str());
            return;
        }
        bool written = true;
        for (tag_file* f = fStore.first_file(); f; f = f->next)
            if (tag_group* g = tag_file_group(f, e.type))
                for (tag_entry* t = g->entries; t; t = t->next)
                    written &= std::fprintf(out, "%s:%s\n", code_text(t->id).c_str(), t->name) >= 0;
        if (std::fclose(out) != 0 || !written)
            fLog.printf("script line %d: (%s) error writting to output file %s\n", e.line, fName, path.c_str());
    });
}
