#include "tags/tag_types.h"

#include <cstring>
#include <array>

#include "framework/ProgramAssert.h"
#include "tags/tag_type_hooks.h"

namespace {

tag_type_info gTagTypes[] = {
    {"amso"_4cc, 1, "Ambient Sound", "Ambient Sounds", 0, "ESC"},
    {"arti"_4cc, 1, "Artifact", "Artifacts", 0, "ESC"},
    {"core"_4cc, 1, "Classic Collection Reference", "Classic Collection References", 0, "C"},
    {".256"_4cc, 4, "Classic Collection", "Classic Collections", 0, ""},
    {"conn"_4cc, 1, "Connector", "Connectors", 0, "ESC"},
    {"ditl"_4cc, 1, "Dialog String List", "Dialog String Lists", 1, ""},
    {"bina"_4cc, 1, "Dialog", "Dialogs", 1, ""},
    {"font"_4cc, 1, "Font", "Fonts", 1, ""},
    {"form"_4cc, 1, "Formation", "Formations", 0, "EC"},
    {"geom"_4cc, 1, "Geometry", "Geometries", 0, ""},
    {"inte"_4cc, 1, "Interface", "Interface", 0, ""},
    {"ligh"_4cc, 1, "Lightning", "Lightning", 0, "ESC"},
    {"phys"_4cc, 1, "Local Physics", "Local Physics", 0, "ESC"},
    {"lpgr"_4cc, 1, "Local Projectile Group", "Local Projectile Groups", 0, "ESC"},
    {"medi"_4cc, 1, "Media Type", "Media Types", 0, "ESC"},
    {"meef"_4cc, 1, "Mesh Effect", "Mesh Effects", 0, "ESC"},
    {"meli"_4cc, 1, "Mesh Lighting", "Mesh Lighting", 0, "ESC"},
    {"mesh"_4cc, 11, "Mesh", "Meshes", 0, "EASC"},
    {"anim"_4cc, 1, "Classic Model Animation", "Classic Model Animations", 0, ""},
    {"mode"_4cc, 4, "Classic Model", "Classic Models", 0, ""},
    {"mons"_4cc, 1, "Monster", "Monsters", 0, "ESC"},
    {"obje"_4cc, 1, "Object", "Objects", 0, "ESC"},
    {"obpc"_4cc, 1, "Observer Constants", "Observer Constants", 0, "ESC"},
    {"part"_4cc, 1, "Particle System", "Particle Systems", 0, "ESC"},
    {"pref"_4cc, 1, "Preferences", "Preferences", 1, ""},
    {"prel"_4cc, 1, "Preloaded Data", "Preloaded Data", 0, ""},
    {"prgr"_4cc, 1, "Projectile Group", "Projectile Groups", 0, "ESC"},
    {"proj"_4cc, 2, "Projectile", "Projectiles", 0, "ECU"},
    {"reco"_4cc, 1, "Recording", "Recordings", 1, ""},
    {"save"_4cc, 1, "Saved Game", "Saved Games", 1, ""},
    {"scen"_4cc, 2, "Scenery", "Scenery", 0, "ESCU"},
    {"soli"_4cc, 1, "Sound List", "Sound Lists", 1, "ESC"},
    {"soun"_4cc, 1, "Sound", "Sounds", 0, "ESC"},
    {"stli"_4cc, 1, "String List", "String Lists", 1, "ES"},
    {"temp"_4cc, 1, "Template", "Templates", 1, "ES"},
    {"text"_4cc, 1, "Text", "Text", 1, "ES"},
    {"unit"_4cc, 2, "Units", "Units", 0, "ESCU"},
    {"wind"_4cc, 1, "Wind", "Wind", 0, "ESC"},
    {"txst"_4cc, 1, "Texture Stack", "Texture Stacks", 0, "ES"},
    {"skmd"_4cc, 1, "Skeletal Model", "Skeletal Models", 0, "ESC"},
    {"skan"_4cc, 2, "Skeletal Animation", "Skeletal Animation", 0, "ESCU"},
    {"canm"_4cc, 1, "Camera Animation", "Camera Animations", 0, ""},
    {"loli"_4cc, 1, "Local Light", "Local Lights", 0, "ESC"},
    {"glli"_4cc, 1, "Global Light", "Global Lights", 0, "ESC"},
    {"grsp"_4cc, 1, "Ground Sprites", "Ground Sprites", 0, "ESC"},
    {"spri"_4cc, 1, "Sprite Definition", "Sprite Definitions", 0, "ESC"},
    {"game"_4cc, 1, "Game Parameter", "Game Parameters", 1, "ESC"},
    {"rawd"_4cc, 1, "Raw File Data", "Raw Files", 0, ""},
    {"jpeg"_4cc, 1, "JPEG File Data", "JPEG Files", 0, ""},
    {"quik"_4cc, 1, "Quicktime/MP3", "Quicktime/MP3", 1, ""},
    {0, 0, nullptr, nullptr, 0, nullptr},
};
static_assert(sizeof gTagTypes / sizeof gTagTypes[0] == NUMBER_OF_TAG_TYPES + 1);

// An open-addressed index of the table: lookups happen for every group the store makes.
constexpr unsigned kIndexBits = 8;

unsigned Slot(tag_code type)
{
    return (type * 2654435761u) >> (32 - kIndexBits);
}

tag_type_info* Find(tag_code type)
{
    static const auto index = [] {
        std::array<tag_type_info*, 1u << kIndexBits> slots{};
        for (tag_type_info* t = gTagTypes; t->type; ++t) {
            unsigned i = Slot(t->type);
            while (slots[i]) i = (i + 1) & ((1u << kIndexBits) - 1);
            slots[i] = t;
        }
        return slots;
    }();
    if (type == 0) return nullptr;
    for (unsigned i = Slot(type);; i = (i + 1) & ((1u << kIndexBits) - 1)) {
        tag_type_info* t = index[i];
        if (!t || t->type == type) return t;
    }
}

void EnsureCoreHooks()
{
    static bool installed = false;
    if (installed) return;
    installed = true;
    install_core_tag_hooks();
}

const tag_type_info* Lookup(tag_code type)
{
    EnsureCoreHooks();
    return Find(type);
}

} // namespace

const tag_type_info* tag_type_info_for(tag_code type)
{
    return Lookup(type);
}

int32_t tag_type_version(tag_code type)
{
    const tag_type_info* t = Lookup(type);
    return t ? t->version : 1;
}

const char* tag_type_name(tag_code type)
{
    const tag_type_info* t = Lookup(type);
    return t ? t->name : "UNKNOWN TYPE";
}

const char* tag_type_plural_name(tag_code type)
{
    const tag_type_info* t = Lookup(type);
    return t ? t->plural_name : "UNKNOWN TYPE";
}

bool tag_type_is_localized(tag_code type)
{
    const tag_type_info* t = Lookup(type);
    return t && t->localized;
}

tag_editor_hook tag_type_editor_hook(tag_code type, bool alternate)
{
    const tag_type_info* t = Lookup(type);
    if (!t) return nullptr;
    return alternate ? t->new_alternate_editor : t->new_editor;
}

tag_set_defaults_hook tag_type_set_defaults_hook(tag_code type)
{
    const tag_type_info* t = Lookup(type);
    return t ? t->set_defaults : nullptr;
}

tag_collect_dependencies_hook tag_type_collect_dependencies_hook(tag_code type)
{
    const tag_type_info* t = Lookup(type);
    return t ? t->collect_dependencies : nullptr;
}

tag_updater_hook tag_type_updater_hook(tag_code type)
{
    const tag_type_info* t = Lookup(type);
    return t ? t->updater : nullptr;
}

tag_code tag_type_by_index(int n)
{
    if (n < 0 || n >= NUMBER_OF_TAG_TYPES) return 0;
    return gTagTypes[n].type;
}

bool tag_type_declares_hook(tag_code type, char hook)
{
    const tag_type_info* t = Find(type);
    return t && std::strchr(t->hooks, hook) != nullptr;
}

// A hook installed before the first lookup must not be replaced by the subsystems'
// own, which are installed then: they go in first.
void set_tag_type_editor_hooks(tag_code type, tag_editor_hook editor, tag_editor_hook alternate)
{
    EnsureCoreHooks();
    tag_type_info* t = Find(type);
    PROGRAM_ASSERT(t != nullptr, "tags");
    PROGRAM_ASSERT(!editor || std::strchr(t->hooks, 'E'), "tags");
    PROGRAM_ASSERT(!alternate || std::strchr(t->hooks, 'A'), "tags");
    t->new_editor = editor;
    t->new_alternate_editor = alternate;
}

void set_tag_type_core_hooks(tag_code type, tag_set_defaults_hook defaults,
                             tag_collect_dependencies_hook dependencies, tag_updater_hook updater)
{
    EnsureCoreHooks();
    tag_type_info* t = Find(type);
    PROGRAM_ASSERT(t != nullptr, "tags");
    PROGRAM_ASSERT(!defaults || std::strchr(t->hooks, 'S'), "tags");
    PROGRAM_ASSERT(!dependencies || std::strchr(t->hooks, 'C'), "tags");
    PROGRAM_ASSERT(!updater || std::strchr(t->hooks, 'U'), "tags");
    if (defaults) t->set_defaults = defaults;
    if (dependencies) t->collect_dependencies = dependencies;
    if (updater) t->updater = updater;
}
