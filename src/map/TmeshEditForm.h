// The map header form (view resource 1013), the map's alternate editor.
#pragma once

struct tag_entry;

// The hook that opens it on the tag.
void* open_mesh_header_editor(tag_entry* e);
