#include "model/skmd_replace.h"

#include "model/skeleton_model_import.h"
#include "tags/tags.h"

void replace_skeletal_model(tag_entry* e, int k, const std::string& path)
{
    TSkeletalModelTag tag = load_skeletal_model_tag(e);
    int count = int(tag.models.size());
    if (k < 0 || k > count || k >= MAXIMUM_MODELS_PER_SKELETAL_MODEL)
        model_read_error(std::string(tag_get_name(e)) + " - it has " + std::to_string(count) +
                         " models; model " + std::to_string(k) + " cannot be replaced.");
    std::unique_ptr<TSkeletalModel> model = import_skeletal_model(path);
    if (k == count) {
        tag.models.push_back(std::move(model));
    } else {
        tag.models[size_t(k)] = std::move(model);
    }
    store_skeletal_model_tag(tag, e);
}
