#include "tags/gameplay/mons.h"

namespace {

// Converts the attack records between file and memory order; the sequences only when
// the monster has no 3D model. flags is the monster's flag word in memory order.
void SwapAttacks(monster_definition& m, uint32_t flags)
{
    using attack_info = tag_struct_info<monster_attack>;
    if (!(flags & MONSTER_HAS_3D_MODEL))
        for (monster_attack& a : m.attacks)
            byte_swap_data(monster_attack_sequences_info::label, a.sequences, int32_t(sizeof a.sequences), 1,
                           monster_attack_sequences_info::codes);
    byte_swap_data(attack_info::label, m.attacks, int32_t(sizeof(monster_attack)), MAXIMUM_ATTACKS_PER_MONSTER,
                   attack_info::codes);
}

// A copy whose attacks are already in file order; the general conversion does the rest.
monster_definition AttacksInFileOrder(const monster_definition& m)
{
    monster_definition stored = m;
    SwapAttacks(stored, m.flags);
    return stored;
}

} // namespace

int monster_attacks_in_use(const monster_definition& m)
{
    if (m.attack_count < 0) return 0;
    return m.attack_count < MAXIMUM_ATTACKS_PER_MONSTER ? m.attack_count : MAXIMUM_ATTACKS_PER_MONSTER;
}

bool read_tag_struct(tag_entry* e, monster_definition& m)
{
    monster_definition read;
    if (!read_tag_struct<monster_definition>(e, read)) return false;
    SwapAttacks(read, read.flags);
    m = read;
    return true;
}

bool write_tag_struct(tag_entry* e, const monster_definition& m)
{
    return write_tag_struct<monster_definition>(e, AttacksInFileOrder(m));
}

bool compare_tag_struct(tag_entry* e, const monster_definition& m, bool exact)
{
    return compare_tag_struct<monster_definition>(e, AttacksInFileOrder(m), exact);
}

std::vector<uint8_t> tag_struct_bytes(const monster_definition& m)
{
    return tag_struct_bytes<monster_definition>(AttacksInFileOrder(m));
}

void tag_struct_defaults(monster_definition& d)
{
    apply_tag_defaults(d,
                       {{4, -1},   {136, -1}, {396, -1}, {410, -1}, {412, -1}, {414, -1}, {416, -1},
                        {420, -1}, {438, -1}, {440, -1}, {442, -1}, {444, -1}, {448, -1}, {452, -1},
                        {456, -1}, {460, -1}, {464, -1}, {468, -1}, {472, -1}, {476, -1}, {480, -1},
                        {516, -1}, {534, -1}, {536, 5},  {544, -32768}},
                       {{148, 2, 0xFF}, {208, 4, 0xFF}, {270, 2, 0xFF}, {332, 2, 0xFF}, {390, 2, 0xFF},
                        {512, 2, 0xFF}, {514, 2, 0xFF}});
}

void collect_dependencies(const monster_definition& d)
{
    add_dependency(d.flags & MONSTER_HAS_3D_MODEL ? "skmd"_4cc : ".256"_4cc, d.collection_tag);
    add_dependency("obje"_4cc, d.object_tag);
    int attacks = monster_attacks_in_use(d);
    for (int i = 0; i < attacks; ++i) add_dependency("proj"_4cc, d.attacks[i].projectile_tag);
    add_dependency("prgr"_4cc, d.projectile_group_tag_404);
    add_dependency("prgr"_4cc, d.projectile_group_tag_416);
    add_dependency("prgr"_4cc, d.projectile_group_tag_420);
    for (tag_code id : d.string_list_tags) add_dependency("stli"_4cc, id);
    for (tag_code id : d.sound_tags) add_dependency("soun"_4cc, id);
    add_dependency("prgr"_4cc, d.projectile_group_tag_484);
    add_dependency("prgr"_4cc, d.projectile_group_tag_488);
    add_dependency("proj"_4cc, d.ammunition_tag);
    add_dependency("prgr"_4cc, d.projectile_group_tag_516);
    add_dependency("lpgr"_4cc, d.local_projectile_group_tag);
    add_dependency("stli"_4cc, d.string_list_tag_524);
    add_dependency("prgr"_4cc, d.projectile_group_tag_528);
    add_dependency(".256"_4cc, d.collection_tag_540);
}
