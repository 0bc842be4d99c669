// Replacing one model of a skeletal model tag from a skeleton export.
#pragma once

#include <string>

struct tag_entry;

// Model k (0..15) of the skmd tag becomes the model imported from the export at path;
// k equal to the tag's model count adds the model. Raises an XGError with the reason
// when the tag or the file cannot be used or k is out of range; the tag is then
// unchanged.
void replace_skeletal_model(tag_entry* e, int k, const std::string& path);
