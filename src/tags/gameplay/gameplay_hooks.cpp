// The set-defaults and collect-dependencies hooks of the types defined by one structure.
#include "framework/XGError.h"
#include "tags/gameplay/gameplay.h"
#include "tags/tag_types.h"

namespace {

template <class T>
void SetDefaults(tag_entry* e)
{
    T d{};
    tag_struct_defaults(d);
    if (!set_tag_struct_data(e, d)) throw XGPostError(kXGOutOfMemory);
}

template <class T>
void CollectDependencies(tag_entry* e)
{
    T d;
    if (read_tag_struct_or_report(e, d)) collect_dependencies(d);
}

// Types that reference nothing still have the hook.
void CollectNothing(tag_entry*)
{
}

template <class T>
void InstallBoth()
{
    set_tag_type_core_hooks(tag_struct_info<T>::type, SetDefaults<T>, CollectDependencies<T>, nullptr);
}

template <class T>
void InstallDefaults()
{
    set_tag_type_core_hooks(tag_struct_info<T>::type, SetDefaults<T>, CollectNothing, nullptr);
}

template <class T>
void InstallDependencies()
{
    set_tag_type_core_hooks(tag_struct_info<T>::type, nullptr, CollectDependencies<T>, nullptr);
}

} // namespace

void install_gameplay_tag_hooks()
{
    InstallBoth<ambient_sound_definition>();
    InstallBoth<artifact_definition>();
    InstallDependencies<collection_reference_definition>();
    InstallBoth<connector_definition>();
    set_tag_type_core_hooks(tag_struct_info<formation_definition>::type, nullptr, CollectNothing, nullptr);
    InstallBoth<game_parameter_definition>();
    InstallDefaults<global_light_definition>();
    InstallBoth<lightning_definition>();
    InstallDefaults<local_light_definition>();
    InstallBoth<local_projectile_group_definition>();
    InstallBoth<media_type_definition>();
    InstallBoth<mesh_effect_definition>();
    InstallDefaults<mesh_lighting_definition>();
    InstallBoth<monster_definition>();
    InstallDefaults<object_definition>();
    InstallDefaults<observer_constants_definition>();
    InstallBoth<particle_system_definition>();
    InstallDefaults<local_physics_definition>();
    InstallBoth<projectile_group_definition>();
    InstallDependencies<projectile_definition>();
    InstallBoth<scenery_definition>();
    InstallBoth<unit_definition>();
    InstallDefaults<wind_definition>();
}
