// Records what collect-dependencies hooks report, while it exists.
#pragma once

#include <string>
#include <vector>

#include "build/tagdepend.h"
#include "tags/tag_types.h"
#include "tags/tags.h"

class DependencyRecorder : public TDependencySink {
public:
    DependencyRecorder() : fPrevious(set_dependency_sink(this)) {}
    ~DependencyRecorder() override { set_dependency_sink(fPrevious); }

    void AddDependency(tag_code type, tag_code id) override
    {
        fItems.push_back(tag_code_to_text(type) + ":" + tag_code_to_text(id));
    }

    void UnreadableTag(tag_entry* e) override { fUnreadable.push_back(e); }

    // Calls the type's hook on the entry and returns "type:id" for each reference, in order.
    std::vector<std::string> Collect(tag_entry* e)
    {
        fItems.clear();
        fUnreadable.clear();
        tag_collect_dependencies_hook hook = tag_type_collect_dependencies_hook(tag_get_type(e));
        if (hook) hook(e);
        return fItems;
    }

    const std::vector<std::string>& Items() const { return fItems; }
    // The tags whose hook could not read them, since the last Collect.
    const std::vector<tag_entry*>& Unreadable() const { return fUnreadable; }

private:
    TDependencySink* fPrevious;
    std::vector<std::string> fItems;
    std::vector<tag_entry*> fUnreadable;
};
