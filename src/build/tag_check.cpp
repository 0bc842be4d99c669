#include "build/tag_check.h"

#include <unordered_set>

#include "build/tagdepend.h"
#include "framework/XGError.h"
#include "tags/tag_types.h"
#include "tags/tags.h"
#include "textform/text_codec.h"

namespace {

// Takes the references of one hook call.
class TCheckSink : public TDependencySink {
public:
    TCheckSink() : fPrevious(set_dependency_sink(this)) {}
    ~TCheckSink() override { set_dependency_sink(fPrevious); }

    void AddDependency(tag_code type, tag_code id) override
    {
        if (!tag_id_is_none(id)) fReferences.emplace_back(type, id);
    }
    void UnreadableTag(tag_entry*) override { fUnreadable = true; }

    void Clear()
    {
        fReferences.clear();
        fUnreadable = false;
    }

    std::vector<std::pair<tag_code, tag_code>> fReferences;
    bool fUnreadable = false;

private:
    TDependencySink* fPrevious;
};

std::string PathOf(const tag_file* f)
{
    return f->path.empty() ? std::string("unsaved file") : f->path;
}

class TChecker {
public:
    explicit TChecker(TTagStore& store) : fStore(store) {}

    std::vector<tag_problem> Run()
    {
        for (tag_file* f = fStore.first_file(); f; f = f->next) File(f);
        return std::move(fProblems);
    }

private:
    void File(tag_file* f)
    {
        for (tag_group* g = f->groups; g; g = g->next) {
            fSeen.clear();
            for (tag_entry* e = g->entries; e; e = e->next) {
                if (!fSeen.insert(e->id).second) fProblems.push_back({tag_problem_kind::duplicate_id, e});
                Tag(e);
            }
        }
    }

    void Unreadable(tag_entry* e, std::string reason)
    {
        fProblems.push_back({tag_problem_kind::unreadable_tag, e, 0, 0, std::move(reason)});
    }

    void Tag(tag_entry* e)
    {
        bool held = e->data != nullptr;
        // data on disk: only its place in the file as read is checked unless a hook needs it
        if (!held && !tag_read_stored_data(e, 0, nullptr, 0))
            return Unreadable(e, "its data cannot be read from " + PathOf(e->file));
        tag_collect_dependencies_hook hook = tag_type_collect_dependencies_hook(tag_get_type(e));
        if (!hook) return;
        if (!held && !tag_get_data(e)) return Unreadable(e, "its data cannot be read from " + PathOf(e->file));
        fSink.Clear();
        try {
            hook(e);
            if (fSink.fUnreadable) Unreadable(e, "its data is too short or damaged");
        } catch (const XGError& error) {
            Unreadable(e, error.GetMessage());
        }
        for (const auto& [type, id] : fSink.fReferences)
            if (!fStore.find_tag(type, id)) fProblems.push_back({tag_problem_kind::missing_reference, e, type, id});
        if (!held) tag_release_data(e);
    }

    TTagStore& fStore;
    TCheckSink fSink;
    std::unordered_set<tag_code> fSeen;
    std::vector<tag_problem> fProblems;
};

std::string Counted(size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

std::vector<tag_problem> check_tags(TTagStore& store)
{
    return TChecker(store).Run();
}

std::string tag_problem_text(const tag_problem& p)
{
    const tag_entry* e = p.entry;
    std::string tag = tag_code_to_text(e->group->type) + " " + tag_code_to_text(e->id) + " (" +
                      tag_name_for_line(e->name) + ")";
    switch (p.kind) {
    case tag_problem_kind::missing_reference:
        return tag + " -> " + tag_code_to_text(p.type) + " " + tag_code_to_text(p.id) + " missing";
    case tag_problem_kind::unreadable_tag: return tag + " unreadable: " + p.reason;
    case tag_problem_kind::duplicate_id: return tag + " duplicate id in " + PathOf(e->file);
    }
    return tag;
}

std::string tag_problem_count_text(const std::vector<tag_problem>& problems)
{
    size_t counts[3] = {};
    for (const tag_problem& p : problems) ++counts[int(p.kind)];
    return Counted(counts[0], "missing reference", "missing references") + ", " +
           Counted(counts[1], "unreadable tag", "unreadable tags") + ", " +
           Counted(counts[2], "duplicate id", "duplicate ids");
}
