#include "build/sample_data.h"

#include <cstring>
#include <filesystem>

#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "tags/tag_types.h"

void add_sample_raw_data(TSampleData& data);
void add_sample_gameplay_data(TSampleData& data);
void add_sample_dialogs(TSampleData& data);
void add_sample_models(TSampleData& data);
void add_sample_sounds(TSampleData& data);
void add_sample_scripts(TSampleData& data);
void add_sample_textures(TSampleData& data);
void add_sample_forms(TSampleData& data);
void add_sample_map(TSampleData& data);

namespace {

// Each subsystem adds the tags it can make.
const sample_data_part kParts[] = {
    add_sample_raw_data,
    add_sample_gameplay_data,
    add_sample_dialogs,
    add_sample_models,
    add_sample_sounds,
    add_sample_scripts,
    add_sample_textures,
    add_sample_forms,
    add_sample_map,
};

tag_file* FreshFile(TTagStore& store, const std::string& path)
{
    std::error_code ec;
    std::filesystem::remove(path, ec);
    tag_file* f = store.open_tag_file(path, true);
    if (!f) throw XGPostError(kXGFileCreateError, {path});
    return f;
}

} // namespace

TSampleData::TSampleData(std::string folder) : fFolder(std::move(folder))
{
    for (const char* sub : {"tags", "local", "plugins"}) {
        std::error_code ec;
        std::filesystem::create_directories(fFolder + "/" + sub, ec);
        if (ec) throw XGPostError(kXGFileCreateError, {fFolder + "/" + sub});
    }
    fBase = FreshFile(fStore, fFolder + "/tags/sample_base.tag");
    fPlugin = FreshFile(fStore, fFolder + "/plugins/sample.tag");
}

tag_file* TSampleData::local(const std::string& name)
{
    tag_file* f = FreshFile(fStore, fFolder + "/local/" + name + ".tag");
    fLocals.push_back(f);
    return f;
}

tag_entry* TSampleData::add(tag_file* f, tag_code type, const char* id, const char* name,
                            const std::vector<uint8_t>& data)
{
    tag_code code = id ? text_to_tag_code(id) : 0;
    tag_entry* e = fStore.create_tag(f, type, code, int16_t(tag_type_version(type)), name, 0,
                                     uint32_t(data.size()), data.data());
    if (!e) throw XGPostError(kXGOutOfMemory);
    return e;
}

void TSampleData::add_root(tag_code type, tag_code id)
{
    fRoots.push_back(tag_code_to_text(type) + ":" + tag_code_to_text(id));
}

void TSampleData::save()
{
    for (tag_file* f = fStore.first_file(); f; f = f->next)
        if (tag_file_needs_saving(f) && f->groups) fStore.save_tag_file(f);
    std::string roots;
    for (const std::string& r : fRoots) roots += r + "\n";
    std::string path = fFolder + "/root_list.txt";
    XGFile out(path);
    out.Create();
    if (!roots.empty()) out.Write(roots.data(), roots.size());
    out.Close();
}

void make_sample_data(const std::string& folder)
{
    TSampleData data(folder);
    for (sample_data_part part : kParts) part(data);
    data.save();
}
