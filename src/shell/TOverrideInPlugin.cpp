#include "shell/TOverrideInPlugin.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "framework/XGError.h"
#include "framework/qt/XGFileDialog.h"
#include "shell/TTagFileForm.h"
#include "shell/TTolvaneApp.h"
#include "tags/gameplay/tag_struct.h"

namespace {

constexpr const char* kTitle = "Override in Plugin";

} // namespace

std::vector<tag_entry*> OverrideInPlugin(const std::vector<tag_entry*>& tags)
{
    TTolvaneApp* app = TTolvaneApp::Get();
    if (!app || tags.empty()) return {};
    TTagStore& store = app->GetStore();
    struct Source {
        tag_code type, id;
        int16_t version;
        std::string name;
        tag_file* file;
        std::vector<uint8_t> bytes;
    };
    std::vector<Source> sources;
    for (tag_entry* e : tags) {
        uint32_t size = 0;
        const uint8_t* data = tag_get_data(e, &size);
        if (!data)
            throw XGError(kXGError, kTitle, "The data of " + tag_label(e) + " cannot be read; nothing was copied.");
        sources.push_back({e->group->type, e->id, e->version, e->name, e->file, {data, data + size}});
    }

    XGFileRequest request;
    request.save = true;
    request.confirmOverwrite = false;
    request.filter = "Varn 3 Tag File|*.tag";
    request.defaultExtension = "tag";
    request.proposedName = app->GetDataFolder() + "/plugins/overrides.tag";
    std::string path = XGChooseFile(request);
    if (path.empty()) return {};

    // a new file under a folder that is not there yet
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    std::string why;
    tag_file* into = store.open_tag_file(path, true, &why);
    if (!into) throw XGPostError(kXGFileOpenError, {path + " (" + why + ")"});
    for (const Source& s : sources)
        if (into == s.file || tag_file_is_protected(into))
            throw XGError(kXGError, kTitle,
                          tag_file_name(into) + " cannot be saved; choose a plugin file that can, or name a new one.");
    std::vector<tag_entry*> copies;
    for (const Source& s : sources) {
        tag_entry* copy = tag_find_in_file(into, s.type, s.id);
        if (!copy) copy = store.create_tag(into, s.type, s.id, s.version, s.name.c_str(), 0, uint32_t(s.bytes.size()),
                                           s.bytes.data());
        if (!copy) throw XGPostError(kXGOutOfMemory);
        copies.push_back(copy);
    }
    store.move_file_to_front(into);
    app->TagListChanged();
    TTagFileForm* window = app->ShowTagFileWindow(into, false);
    window->UpdateTitle();
    window->Refresh(true);
    for (tag_entry* copy : copies) app->OpenTagEditor(copy, false);
    return copies;
}
