#include "render/map_marker_models.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "framework/XGError.h"
#include "model/skmd_format.h"
#include "model/skmd_pose.h"
#include "tags/gameplay/mons.h"
#include "tags/gameplay/proj.h"
#include "tags/gameplay/scen.h"
#include "tags/gameplay/tag_struct.h"
#include "tags/gameplay/unit.h"

namespace {

template <class T>
bool read_definition(const TTagStore* store, tag_code type, tag_code id, T& out)
{
    tag_entry* e = store ? store->find_tag(type, id) : nullptr;
    if (!e) return false;
    try {
        return read_tag_struct(e, out);
    } catch (const XGError&) {
        return false;
    }
}

bool assigned(tag_code id)
{
    return id != NONE_TAG && id != 0;
}

} // namespace

tag_code marker_model_id(const TTagStore* store, const marker_palette_entry& entry)
{
    switch (entry.type) {
    case 1: {
        scenery_definition s{};
        if (read_definition(store, "scen"_4cc, entry.tag, s) && (s.flags & SCENERY_USES_SKELETAL_MODELS))
            return assigned(s.skeletal_model_tags[0]) ? s.skeletal_model_tags[0] : s.skeletal_model_tags[1];
        return NONE_TAG;
    }
    case 3: {
        unit_definition u{};
        monster_definition m{};
        if (read_definition(store, "unit"_4cc, entry.tag, u) && read_definition(store, "mons"_4cc, u.monster_tag, m) &&
            (m.flags & MONSTER_HAS_3D_MODEL))
            return m.collection_tag;
        return NONE_TAG;
    }
    case 9: {
        projectile_definition p{};
        if (read_definition(store, "proj"_4cc, entry.tag, p) && p.model_kind == PROJECTILE_USES_SKELETAL_MODEL)
            return p.collection_tag;
        return NONE_TAG;
    }
    default: return NONE_TAG;
    }
}

const map_marker_model* map_model_cache::model(tag_code id, int permutation, bool complex)
{
    if (!assigned(id)) return nullptr;
    auto key = std::make_tuple(id, permutation, complex);
    auto it = fModels.find(key);
    if (it != fModels.end()) return it->second.get();
    tag_entry* e = fStore ? fStore->find_tag("skmd"_4cc, id) : nullptr;
    if (!e) return nullptr;
    auto built = std::make_unique<map_marker_model>();
    try {
        TSkeletalModelTag tag = load_skeletal_model_tag(e);
        if (tag.models.empty()) return nullptr;
        int index = permutation >= 0 && size_t(permutation) < tag.models.size() ? permutation : 0;
        const TSkeletalModel& model = *tag.models[size_t(index)];
        if (model.levels.empty()) return nullptr;
        float scale = model.header.scale;
        if (!(scale > 0) || !std::isfinite(scale)) scale = 1;
        built->mesh = skmd_mesh_for_level(model, complex ? int(model.levels.size()) - 1 : 0,
                                          skmd_rest_transforms(model), scale);
        const std::vector<float>& positions = built->mesh.positions;
        if (positions.empty()) return nullptr;
        vec3 low{1e30, 1e30, 1e30}, high{-1e30, -1e30, -1e30};
        for (size_t v = 0; v + 2 < positions.size(); v += 3) {
            const float* p = &positions[v];
            low = {std::min(low.x, double(p[0])), std::min(low.y, double(p[1])), std::min(low.z, double(p[2]))};
            high = {std::max(high.x, double(p[0])), std::max(high.y, double(p[1])), std::max(high.z, double(p[2]))};
        }
        built->bounds = {low, high};
        built->skin = tag_code(tag.header.word4);
        built->id = id;
        built->permutation = index;
    } catch (const XGError&) {
        return nullptr;
    }
    return (fModels[key] = std::move(built)).get();
}

void map_model_cache::drop(tag_code id)
{
    std::erase_if(fModels, [&](const auto& item) { return std::get<0>(item.first) == id; });
}

map_box marker_model_box(const marker_data& m, const map_marker_model& model)
{
    vec3 p = marker_position(m);
    double yaw = m.yaw * 2 * std::numbers::pi / 65536, c = std::cos(yaw), s = std::sin(yaw);
    vec3 low{1e30, 1e30, 1e30}, high{-1e30, -1e30, -1e30};
    for (int k = 0; k < 8; ++k) {
        double x = k & 1 ? model.bounds.high.x : model.bounds.low.x;
        double y = k & 2 ? model.bounds.high.y : model.bounds.low.y;
        double z = k & 4 ? model.bounds.high.z : model.bounds.low.z;
        vec3 q{p.x + x * c - y * s, p.y + x * s + y * c, p.z + z};
        low = {std::min(low.x, q.x), std::min(low.y, q.y), std::min(low.z, q.z)};
        high = {std::max(high.x, q.x), std::max(high.y, q.y), std::max(high.z, q.z)};
    }
    return {low, high};
}
