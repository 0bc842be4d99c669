// The sample data folder: tags of every kind the editor can make, a map and a root
// list, so that the editor and the batch tools have something real to work on.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tags/tags.h"

// What the parts of the sample data share while it is made.
class TSampleData {
public:
    explicit TSampleData(std::string folder);

    const std::string& folder() const { return fFolder; }
    TTagStore& store() { return fStore; }

    // The base file (tags/sample_base.tag), the plugin file (plugins/sample.tag).
    tag_file* base() { return fBase; }
    tag_file* plugin() { return fPlugin; }
    // A new single-tag file local/NAME.tag holding one tag.
    tag_file* local(const std::string& name);

    // Adds a tag with the given bytes (already in file order).
    tag_entry* add(tag_file* f, tag_code type, const char* id, const char* name, const std::vector<uint8_t>& data);
    // Root list items (type:id), written to root_list.txt.
    void add_root(tag_code type, tag_code id);

    // Saves every file; raises XGError on failure.
    void save();

private:
    std::string fFolder;
    TTagStore fStore;
    tag_file* fBase = nullptr;
    tag_file* fPlugin = nullptr;
    std::vector<tag_file*> fLocals;
    std::vector<std::string> fRoots;
};

using sample_data_part = void (*)(TSampleData& data);

// Writes a complete sample data folder into folder (made when missing); existing
// sample files are replaced. Raises XGError on failure.
void make_sample_data(const std::string& folder);
