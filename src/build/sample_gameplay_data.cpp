// Gameplay tags and two maps for the sample data: a base file of shared definitions, a
// plugin with units, projectiles and maps that reference them, a local unit that
// duplicates the plugin's, and the root list of a foundation build.
#include "build/sample_data.h"
#include "map/mesh_map.h"
#include "tags/gameplay/gameplay.h"

namespace {

tag_code Id(const char* text)
{
    return text_to_tag_code(text);
}

template <class T>
T Defaults()
{
    T d{};
    tag_struct_defaults(d);
    return d;
}

std::vector<uint8_t> Text(const std::string& s)
{
    return std::vector<uint8_t>(s.begin(), s.end());
}

void AddBase(TSampleData& data)
{
    tag_file* base = data.base();
    object_definition body = Defaults<object_definition>();
    body.flags = 0x3;
    body.maximum_vitality = 10 * 256;
    body.scale_lower_bound = 256;
    body.effect_modifiers[1] = 128;
    data.add(base, "obje"_4cc, "body", "flesh and bone", tag_struct_bytes(body));
    object_definition wood = Defaults<object_definition>();
    wood.maximum_vitality = 40 * 256;
    wood.scale_lower_bound = 256;
    wood.scale_delta = 64;
    data.add(base, "obje"_4cc, "wood", "wooden object", tag_struct_bytes(wood));
    data.add(base, "glli"_4cc, "dawn", "dawn light", tag_struct_bytes(Defaults<global_light_definition>()));
    data.add(base, "meli"_4cc, "lite", "mesh lighting", tag_struct_bytes(Defaults<mesh_lighting_definition>()));
    data.add(base, "obpc"_4cc, "obsv", "observer constants",
             tag_struct_bytes(Defaults<observer_constants_definition>()));
    wind_definition gust = Defaults<wind_definition>();
    gust.fields[0] = 30;
    gust.fields[1] = 512;
    data.add(base, "wind"_4cc, "gust", "light wind", tag_struct_bytes(gust));
    local_physics_definition fall = Defaults<local_physics_definition>();
    fall.type = 0;
    data.add(base, "phys"_4cc, "fall", "falling", tag_struct_bytes(fall));
    data.add(base, "loli"_4cc, "glow", "ember glow", tag_struct_bytes(Defaults<local_light_definition>()));
    formation_definition line{};
    line.fields[0] = 1;
    line.fields[1] = 8;
    data.add(base, "form"_4cc, "line", "line formation", tag_struct_bytes(line));

    data.add(base, ".256"_4cc, "clas", "classic collection", std::vector<uint8_t>(96, 0x3C));
    data.add(base, ".256"_4cc, "MTit", "title collection", std::vector<uint8_t>(48, 0x5A));
    data.add(base, ".256"_4cc, "pre1", "pregame picture", std::vector<uint8_t>(64, 0x21));
    collection_reference_definition reference{};
    reference.collection_tag = Id("clas");
    data.add(base, "core"_4cc, "clrf", "classic reference", tag_struct_bytes(reference));

    data.add(base, "stli"_4cc, "m1ti", "valley title", Text("The Sample Valley\r\nA quiet valley with a river.\r\n"));
    data.add(base, "stli"_4cc, "m2ti", "ridge title", Text("The Sample Ridge\r\nWind and rock.\r\n"));
    data.add(base, "stli"_4cc, "name", "unit names", Text("Warrior\r\nGhoul\r\nDwarf\r\n"));
}

monster_definition Monster(const char* collection, int16_t attacks, const char* projectile)
{
    monster_definition m = Defaults<monster_definition>();
    m.collection_tag = Id(collection);
    m.object_tag = Id("body");
    m.attack_count = attacks;
    for (int i = 0; i < attacks; ++i) {
        m.attacks[i].projectile_tag = Id(projectile);
        m.attacks[i].minimum_range = 512;
        m.attacks[i].maximum_range = 10 * 512;
        m.attacks[i].recovery_time = 30;
    }
    m.projectile_group_tag_404 = Id("hit_");
    m.string_list_tags[1] = Id("name");
    m.pathfinding_radius = 256;
    m.base_movement_speed = 300;
    m.turning_speed = 182;
    m.cost = 10;
    return m;
}

unit_definition Unit(const char* monster)
{
    unit_definition u = Defaults<unit_definition>();
    u.monster_tag = Id(monster);
    return u;
}

projectile_definition Projectile(const char* object)
{
    projectile_definition p{};
    p.collection_tag = Id("clas");
    p.projectile_group_tag = Id("hit_");
    p.contrail_tag = NONE_TAG;
    p.object_tag = Id(object);
    p.lightning_tag = NONE_TAG;
    for (tag_code& s : p.sound_tags) s = NONE_TAG;
    p.projectile_tag_92 = NONE_TAG;
    p.projectile_group_tag_96 = NONE_TAG;
    p.texture_stack_tag_100 = NONE_TAG;
    p.artifact_tag = NONE_TAG;
    p.projectile_group_tag_124 = NONE_TAG;
    p.texture_stack_tag_128 = NONE_TAG;
    p.local_projectile_group_tag = NONE_TAG;
    p.damage_type = 5;
    p.damage_lower_bound = 2 * 256;
    p.damage_delta = 256;
    p.volume = 1;
    return p;
}

marker_palette_entry Palette(int16_t type, const char* tag, int16_t team)
{
    marker_palette_entry p{};
    p.type = type;
    p.tag = Id(tag);
    p.team = team;
    p.netgame_types = 0x3FFF;
    if (type == 3) p.property_flags = 6;
    return p;
}

marker_data Marker(const TMeshMap& map, int16_t palette_index, int16_t identifier, int x, int y)
{
    marker_data m{};
    m.type = map.fPalette[size_t(palette_index)].type;
    m.palette_index = palette_index;
    m.identifier = identifier;
    m.position[0] = x * 512;
    m.position[1] = y * 512;
    m.yaw = uint16_t(x * 1024);
    return m;
}

void AppendParameter(std::vector<uint8_t>& actions, int16_t type, const std::vector<tag_code>& ids)
{
    size_t at = actions.size();
    actions.resize(at + MAP_ACTION_PARAMETER_HEADER_SIZE + 4 * ids.size(), 0);
    write_be16(actions.data() + at, uint16_t(type));
    write_be16(actions.data() + at + 2, uint16_t(ids.size()));
    for (size_t i = 0; i < ids.size(); ++i) write_be32(actions.data() + at + 8 + 4 * i, ids[i]);
}

std::vector<uint8_t> Valley()
{
    TMeshMap map = default_mesh_map(64, 64);
    mesh_header& h = map.fHeader;
    h.media_tag = Id("watr");
    h.global_lights_tag = Id("dawn");
    h.connector_tag = Id("brdg");
    h.particle_system_tag = Id("snow");
    h.ambient_sound_tag = Id("brez");
    h.map_description_tag = Id("m1ti");
    h.wind_tag = Id("gust");
    h.pregame_collection_tag = Id("pre1");
    h.next_mesh_tags[0] = Id("m002");
    h.flags = 0x1 | 0x10000;
    for (int y = 0; y < map.fHeight; ++y)
        for (int x = 0; x < map.fWidth; ++x) {
            mesh_cell& c = map.Cell(x, y);
            c.physical_height = int16_t((x + y) * 16);
            c.render_height = int16_t(c.physical_height + 8);
            if (x >= 20 && x < 24) {
                c.flags |= MESH_CELL_MEDIA;
                c.media_height = 400;
            }
        }
    map.fPalette = {Palette(1, "tree", -1), Palette(3, "warr", 0), Palette(3, "ghol", 1), Palette(5, "brez", -1),
                    Palette(10, "sprk", -1)};
    map.fMarkers = {Marker(map, 0, 10000, 5, 5), Marker(map, 0, 10001, 9, 40), Marker(map, 1, 10002, 30, 30),
                    Marker(map, 2, 10003, 50, 12), Marker(map, 3, 10004, 22, 22), Marker(map, 4, 10005, 21, 40)};
    map.fMapActions.assign(MAP_ACTION_SIZE, 0); // one action record, kept as it stands
    map.fHeader.map_action_count = 1;
    AppendParameter(map.fMapActions, 22, {Id("rock")});
    AppendParameter(map.fMapActions, 9, {Id("hit_")});
    return map_tag_bytes(map);
}

std::vector<uint8_t> Ridge()
{
    TMeshMap map = default_mesh_map(32, 32);
    mesh_header& h = map.fHeader;
    h.global_lights_tag = Id("dawn");
    h.map_description_tag = Id("m2ti");
    h.wind_tag = Id("gust");
    h.team_count = 3;
    map.fPalette = {Palette(3, "warr", 0), Palette(3, "dwrf", 1), Palette(1, "tree", -1), Palette(1, "rock", -1)};
    map.fMarkers = {Marker(map, 0, 10000, 4, 4), Marker(map, 1, 10001, 20, 20), Marker(map, 2, 10002, 10, 25),
                    Marker(map, 3, 10003, 28, 3)};
    return map_tag_bytes(map);
}

void AddPlugin(TSampleData& data)
{
    tag_file* plugin = data.plugin();
    data.add(plugin, "mons"_4cc, "warr", "warrior", tag_struct_bytes(Monster("clas", 1, "arro")));
    data.add(plugin, "mons"_4cc, "ghol", "ghoul", tag_struct_bytes(Monster("clas", 0, "arro")));
    data.add(plugin, "mons"_4cc, "dwrf", "dwarf", tag_struct_bytes(Monster("clas", 2, "bolt")));
    data.add(plugin, "unit"_4cc, "warr", "warrior", tag_struct_bytes(Unit("warr")));
    data.add(plugin, "unit"_4cc, "ghol", "ghoul", tag_struct_bytes(Unit("ghol")));
    data.add(plugin, "unit"_4cc, "dwrf", "dwarf", tag_struct_bytes(Unit("dwrf")));

    data.add(plugin, "proj"_4cc, "arro", "arrow", tag_struct_bytes(Projectile("wood")));
    projectile_definition bolt = Projectile("body");
    bolt.lightning_tag = Id("zapp");
    bolt.artifact_tag = Id("amul");
    data.add(plugin, "proj"_4cc, "bolt", "lightning bolt", tag_struct_bytes(bolt));

    projectile_group_definition hit = Defaults<projectile_group_definition>();
    hit.mesh_effect_tag = Id("shak");
    hit.local_projectile_group_tag = Id("sprk");
    hit.part_count = 1;
    hit.parts[0].projectile_tag = Id("arro");
    data.add(plugin, "prgr"_4cc, "hit_", "arrow hit", tag_struct_bytes(hit));
    mesh_effect_definition shake = Defaults<mesh_effect_definition>();
    shake.collection_reference_tag = Id("clrf");
    data.add(plugin, "meef"_4cc, "shak", "ground shake", tag_struct_bytes(shake));
    local_projectile_group_definition sparks = Defaults<local_projectile_group_definition>();
    sparks.graphic_tag = Id("clrf");
    sparks.local_physics_tag = Id("fall");
    sparks.local_light_tag = Id("glow");
    data.add(plugin, "lpgr"_4cc, "sprk", "sparks", tag_struct_bytes(sparks));
    data.add(plugin, "ligh"_4cc, "zapp", "zap", tag_struct_bytes(Defaults<lightning_definition>()));
    artifact_definition amulet = Defaults<artifact_definition>();
    amulet.collection_tag = Id("clas");
    amulet.projectile_tags[0] = Id("bolt");
    data.add(plugin, "arti"_4cc, "amul", "amulet", tag_struct_bytes(amulet));
    media_type_definition water = Defaults<media_type_definition>();
    water.local_projectile_group_tag = Id("sprk");
    water.projectile_group_tags[0] = Id("hit_");
    data.add(plugin, "medi"_4cc, "watr", "water", tag_struct_bytes(water));
    particle_system_definition snow = Defaults<particle_system_definition>();
    snow.ambient_sound_tag = Id("brez");
    snow.local_projectile_group_tag = Id("sprk");
    data.add(plugin, "part"_4cc, "snow", "snowfall", tag_struct_bytes(snow));
    data.add(plugin, "amso"_4cc, "brez", "breeze", tag_struct_bytes(Defaults<ambient_sound_definition>()));
    scenery_definition tree = Defaults<scenery_definition>();
    tree.object_tag = Id("wood");
    tree.collection_reference_tag = Id("clrf");
    data.add(plugin, "scen"_4cc, "tree", "tree", tag_struct_bytes(tree));
    scenery_definition rock = Defaults<scenery_definition>();
    rock.object_tag = Id("wood");
    data.add(plugin, "scen"_4cc, "rock", "boulder", tag_struct_bytes(rock));
    connector_definition bridge = Defaults<connector_definition>();
    bridge.collection_reference_tag = Id("clrf");
    data.add(plugin, "conn"_4cc, "brdg", "bridge", tag_struct_bytes(bridge));

    game_parameter_definition game = Defaults<game_parameter_definition>();
    game.mesh_tags[0] = Id("m001");
    game.mesh_tags[1] = Id("m002");
    data.add(plugin, "game"_4cc, "gpar", "game parameters", tag_struct_bytes(game));
    data.add(plugin, "mesh"_4cc, "m001", "Sample Valley", Valley());
    data.add(plugin, "mesh"_4cc, "m002", "Sample Ridge", Ridge());
}

} // namespace

void add_sample_gameplay_data(TSampleData& data)
{
    AddBase(data);
    AddPlugin(data);
    unit_definition local = Unit("warr");
    local.records[0].field_8[1] = 3;
    data.add(data.local("warrior"), "unit"_4cc, "warr", "warrior (local)", tag_struct_bytes(local));

    for (auto [type, id] : {std::pair{"game"_4cc, "gpar"}, {"mesh"_4cc, "m001"}, {"mesh"_4cc, "m002"},
                            {"obpc"_4cc, "obsv"}, {"meli"_4cc, "lite"}, {"form"_4cc, "line"}, {".256"_4cc, "MTit"},
                            {"stli"_4cc, "name"}})
        data.add_root(type, Id(id));
}
