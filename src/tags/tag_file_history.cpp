#include "tags/tag_file_history.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

#include "framework/XGError.h"

namespace {

constexpr size_t kMaximumSteps = 100;

std::vector<tag_entry*> Entries(const tag_file* f)
{
    std::vector<tag_entry*> entries;
    for (tag_group* g = f->groups; g; g = g->next)
        for (tag_entry* e = g->entries; e; e = e->next) entries.push_back(e);
    return entries;
}

// Links the file's groups and entries in the order given (groups by their first tag).
void SetOrder(tag_file* f, const std::vector<tag_entry*>& order)
{
    std::vector<tag_group*> groups;
    std::unordered_map<tag_group*, std::vector<tag_entry*>> members;
    for (tag_entry* e : order) {
        auto& list = members[e->group];
        if (list.empty()) groups.push_back(e->group);
        list.push_back(e);
    }
    tag_group* previous = nullptr;
    for (tag_group* g : groups) {
        g->prev = previous;
        if (previous) previous->next = g;
        else f->groups = g;
        previous = g;
        tag_entry* last = nullptr;
        for (tag_entry* e : members[g]) {
            e->prev = last;
            if (last) last->next = e;
            else g->entries = e;
            last = e;
        }
        last->next = nullptr;
        g->last = last;
    }
    if (previous) previous->next = nullptr;
    else f->groups = nullptr;
}

} // namespace

TTagFileHistory::Snapshot TTagFileHistory::Capture(const std::vector<tag_entry*>& keepData)
{
    Snapshot s;
    std::unordered_set<tag_entry*> keep(keepData.begin(), keepData.end());
    std::vector<tag_entry*> entries = Entries(fFile);
    // handles of tags no longer in the file point nowhere
    std::unordered_set<tag_entry*> live(entries.begin(), entries.end());
    for (const auto& h : fHandles)
        if (h->entry && !live.count(h->entry)) h->entry = nullptr;
    fHandles.erase(std::remove_if(fHandles.begin(), fHandles.end(), [](const auto& h) { return h.use_count() == 1; }),
                   fHandles.end());
    std::unordered_map<tag_entry*, std::shared_ptr<Handle>> handles;
    for (const auto& h : fHandles)
        if (h->entry) handles.emplace(h->entry, h);
    for (tag_entry* e : entries) {
        Item item{};
        auto it = handles.find(e);
        if (it != handles.end()) {
            item.handle = it->second;
        } else {
            item.handle = std::make_shared<Handle>();
            item.handle->entry = e;
            fHandles.push_back(item.handle);
        }
        item.type = e->group->type;
        item.id = e->id;
        std::memcpy(item.name, e->name, sizeof item.name);
        item.version = e->version;
        if (keep.count(e)) {
            uint32_t size = 0;
            const uint8_t* data = tag_get_data(e, &size);
            // a tag whose data cannot be had cannot come back
            if (!data) throw XGError(kXGError, "Undo", std::string("The data of ") + e->name +
                                                           " cannot be read, so the change could not be undone; "
                                                           "nothing was changed.");
            item.data = std::make_shared<std::vector<uint8_t>>(data, data + size);
        }
        s.push_back(std::move(item));
    }
    return s;
}

bool TTagFileHistory::Holds(const Snapshot& s) const
{
    std::vector<tag_entry*> entries = Entries(fFile);
    if (entries.size() != s.size()) return false;
    for (size_t i = 0; i < s.size(); ++i) {
        const tag_entry* e = entries[i];
        const Item& item = s[i];
        if (item.handle->entry != e || item.type != e->group->type || item.id != e->id ||
            item.version != e->version || std::memcmp(item.name, e->name, sizeof item.name) != 0)
            return false;
    }
    return true;
}

void TTagFileHistory::Begin(tag_file* f, const std::vector<tag_entry*>& removing)
{
    if (f != fFile) {
        Clear();
        fFile = f;
    }
    // a change made elsewhere since the last step: what came before cannot be undone
    if (!fUndo.empty() && !Holds(fUndo.back().after)) Clear();
    if (!fRedo.empty() && !fUndo.empty() && !Holds(fUndo.back().after)) fRedo.clear();
    fPending = Capture(removing);
    fOpen = true;
}

void TTagFileHistory::End()
{
    if (!fOpen) return;
    fOpen = false;
    if (Holds(fPending)) {
        fPending.clear();
        return;
    }
    // the data of the tags the step added, for redo
    std::unordered_set<tag_entry*> before;
    for (const Item& item : fPending)
        if (item.handle->entry) before.insert(item.handle->entry);
    std::vector<tag_entry*> added;
    for (tag_entry* e : Entries(fFile))
        if (!before.count(e)) added.push_back(e);
    Step step{std::move(fPending), Capture(added)};
    fPending.clear();
    fUndo.push_back(std::move(step));
    if (fUndo.size() > kMaximumSteps) fUndo.erase(fUndo.begin());
    fRedo.clear();
}

void TTagFileHistory::Cancel()
{
    fOpen = false;
    fPending.clear();
}

bool TTagFileHistory::CanUndo() const
{
    return fFile && !fUndo.empty() && Holds(fUndo.back().after);
}

bool TTagFileHistory::CanRedo() const
{
    return fFile && !fRedo.empty() && Holds(fRedo.back().before);
}

void TTagFileHistory::Undo(const std::function<void(tag_entry*)>& removing)
{
    if (!CanUndo()) return;
    Step step = std::move(fUndo.back());
    fUndo.pop_back();
    Restore(step.before, removing);
    fRedo.push_back(std::move(step));
}

void TTagFileHistory::Redo(const std::function<void(tag_entry*)>& removing)
{
    if (!CanRedo()) return;
    Step step = std::move(fRedo.back());
    fRedo.pop_back();
    Restore(step.after, removing);
    fUndo.push_back(std::move(step));
}

void TTagFileHistory::Clear()
{
    fUndo.clear();
    fRedo.clear();
    fPending.clear();
    fHandles.clear();
    fOpen = false;
}

void TTagFileHistory::Restore(const Snapshot& s, const std::function<void(tag_entry*)>& removing)
{
    TTagStore& store = *fFile->store;
    std::unordered_set<Handle*> wanted;
    for (const Item& item : s) wanted.insert(item.handle.get());
    // every tag the snapshot lacks goes
    std::unordered_set<tag_entry*> kept;
    for (const Item& item : s)
        if (item.handle->entry) kept.insert(item.handle->entry);
    std::unordered_map<tag_entry*, Handle*> handles;
    for (const auto& h : fHandles)
        if (h->entry) handles[h->entry] = h.get();
    for (tag_entry* e : Entries(fFile)) {
        if (kept.count(e)) continue;
        if (removing) removing(e);
        if (auto it = handles.find(e); it != handles.end()) it->second->entry = nullptr;
        store.delete_tag(e, true);
    }
    // every tag it holds comes back as it was
    std::vector<tag_entry*> order;
    for (const Item& item : s) {
        tag_entry* e = item.handle->entry;
        if (!e) {
            const std::vector<uint8_t> empty;
            const std::vector<uint8_t>& data = item.data ? *item.data : empty;
            e = store.create_tag(fFile, item.type, item.id, item.version, item.name, 0, uint32_t(data.size()),
                                 data.data());
            if (!e) throw XGPostError(kXGOutOfMemory);
            item.handle->entry = e;
        } else {
            if (e->group->type != item.type) tag_set_type(e, item.type);
            if (e->id != item.id) tag_set_id(e, item.id);
            if (e->version != item.version) tag_set_version(e, item.version);
            if (std::memcmp(e->name, item.name, sizeof item.name) != 0) tag_set_name(e, item.name);
        }
        order.push_back(e);
    }
    SetOrder(fFile, order);
    fFile->needupdate = fFile->needrewrite = true;
}
