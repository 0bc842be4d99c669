// The dependency walk's entry point for the types' collect-dependencies hooks:
// every hook calls add_dependency (type, id) once per reference it finds, in order.
#pragma once

#include "tags/tag_code.h"

struct tag_entry;

// Receives the references reported by the hooks. The foundation build installs
// itself here while it walks; tests install a recorder.
class TDependencySink {
public:
    virtual ~TDependencySink() = default;
    virtual void AddDependency(tag_code type, tag_code id) = 0;
    // A hook could not read the tag it was given (its data is missing or too short).
    virtual void UnreadableTag(tag_entry* e) { (void)e; }
};

// Installs a sink and returns the one it replaces (none: references are dropped).
TDependencySink* set_dependency_sink(TDependencySink* sink);
TDependencySink* get_dependency_sink();

// Reports one reference to the installed sink. Ids 0 and -1 are passed on as they
// are; the sink decides what they mean.
void add_dependency(tag_code type, tag_code id);

// Reports that a hook could not read its tag; its references are not collected.
void report_unreadable_tag(tag_entry* e);
