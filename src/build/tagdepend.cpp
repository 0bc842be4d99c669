#include "build/tagdepend.h"

namespace {
TDependencySink* gDependencySink = nullptr;
}

TDependencySink* set_dependency_sink(TDependencySink* sink)
{
    TDependencySink* old = gDependencySink;
    gDependencySink = sink;
    return old;
}

TDependencySink* get_dependency_sink()
{
    return gDependencySink;
}

void add_dependency(tag_code type, tag_code id)
{
    if (gDependencySink) gDependencySink->AddDependency(type, id);
}

void report_unreadable_tag(tag_entry* e)
{
    if (gDependencySink) gDependencySink->UnreadableTag(e);
}
