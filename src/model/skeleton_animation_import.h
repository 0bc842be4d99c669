// Importing an animation of a skan tag from the frames of a skeleton export.
#pragma once

#include <string>

#include "model/skelanim.h"
#include "model/skeleton_file.h"

struct tag_entry;

// Appends an animation named name made from the file's frames. A set without bones
// takes the file's bones as its bone bases; otherwise each bone base takes the pose
// of the file's bone of the same name. Raises File Read Error, leaving the set
// unchanged, when a bone or frame is missing.
TSkeletalAnimation& import_skeleton_animation(TSkeletalAnimationSet& set, const TSkeletonFile& file,
                                              const std::string& name);

// Parses the export at path and adds its animation (named after the file) to the
// skan tag, which is written only when everything succeeded.
void import_skeleton_animation_into_tag(tag_entry* e, const std::string& path);
