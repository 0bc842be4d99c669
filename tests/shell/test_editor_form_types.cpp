// What the forms do beyond their binding tables: the monster's pop-ups, model and
// attacks, list forms, the text forms, the physics and projectile dialogs.
#include <gtest/gtest.h>

#include <cstring>

#include "framework/ProgramAssert.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGFactories.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGPopupMenu.h"
#include "shell/TControlAccess.h"
#include "shell/TFieldBinding.h"
#include "shell/TTagPickList.h"
#include "shell/TTolvaneApp.h"
#include "shell/editor_form_support.h"
#include "sound/sound_list.h"
#include "tags/gameplay/gameplay.h"
#include "tags/tag_types.h"

namespace {

// monster form
constexpr int32_t kModel = 11501;
constexpr int32_t kVisibility = 11510;
constexpr int32_t kAttacks = 11514;
constexpr int32_t kAddAttack = 11515;
constexpr int32_t kDeleteAttack = 11517;
constexpr int32_t kWarningDistance = 11538;
constexpr int32_t kFirstMovementModifier = 11580;
constexpr int32_t kUse3DModel = 12000;
constexpr int32_t kMonsterFlags = 13040;
// projectile group form
constexpr int32_t kParts = 21310;
constexpr int32_t kAddPart = 21311;
constexpr int32_t kDuplicatePart = 21313;
constexpr int32_t kDeletePart = 21314;
// sound list form
constexpr int32_t kSounds = 21600;
constexpr int32_t kAddSound = 21601;
constexpr int32_t kDeleteSound = 21603;
// physics form
constexpr int32_t kPhysicsType = 20500;
constexpr int32_t kEditPhysics = 20501;
// projectile form
constexpr int32_t kProjectileCollection = 21401;
constexpr int32_t kUseSkelModel = 21403;
constexpr int32_t kCollectionsUnsupported = 21404;
constexpr int32_t kContrail = 21407;
constexpr int32_t kProjectileFlags = 21450;
constexpr int32_t kProjectileDamage = 21451;

monster_definition Monster()
{
    monster_definition m{};
    tag_struct_defaults(m);
    return m;
}

class EditorFormTypesTest : public EditorFormTest {
protected:
    template <class T>
    T Stored(tag_entry* e)
    {
        T s{};
        EXPECT_TRUE(read_tag_struct(e, s));
        return s;
    }
    static XGPopupMenu* Popup(TTagEditForm* form, int32_t control)
    {
        return dynamic_cast<XGPopupMenu*>(form->FindView(control));
    }
    static XGListControl* List(TTagEditForm* form, int32_t control)
    {
        return dynamic_cast<XGListControl*>(form->FindView(control));
    }
};

} // namespace

TEST_F(EditorFormTypesTest, EveryFormCarriesTheTitleOfItsViewResource)
{
    const std::pair<int32_t, const char*> titles[] = {
        {1000, "Ambient Sound Window"}, {1001, "Artifact Window"}, {1003, "Connectors Window"},
        {1005, "Formations Window"}, {1007, "Lightning Window"}, {1008, "Local Physics Window"},
        {1009, "Local Projectile Group"}, {1010, "Media Type Window"}, {1011, "Mesh Effect Window"},
        {1012, "Mesh Lighting Dialog"}, {1015, "Monster Window"}, {1016, "Object Window"},
        {1017, "Observer Constants Window"}, {1018, "Particle Systems Window"}, {1019, "Projectile Groups Window"},
        {1020, "Projectile Window"}, {1021, "Scenery Window"}, {1022, "Sound Lists Window"},
        {1024, "String List Editing Window"}, {1025, "Template Editing Window"}, {1026, "Text Editing Window"},
        {1027, "Unit Window"}, {1028, "Wind Dialog"}, {1030, "Local Light"}, {1031, "Global Light"},
        {156, "Linear Physics"}, {157, "Cylindrical Physics"}, {158, "Spherical Spring Physics"},
        {159, "Point Attractor Physics"}, {160, "Converging Physics"}, {163, "Pell's Explosive Gas"},
        {31333, "Monster Attack Info"}, {150, "Monster Flags"}, {142, "Monster Animation States"},
        {147, "Projectile Group Part"}, {146, "Projectile Flags"}, {153, "Projectile Damage"},
        {154, "Effect Modifiers"}, {132, "Commit Tag Changes?"},
    };
    for (auto [resource, title] : titles) EXPECT_EQ(XGLoadViewResource(resource).text, title) << resource;
    for (const char* type : {"amso", "arti", "conn", "form", "ligh", "phys", "lpgr", "medi", "meef", "meli", "mons",
                             "obje", "obpc", "part", "prgr", "proj", "scen", "soli", "stli", "temp", "text", "unit",
                             "wind", "loli", "glli", "game"})
        EXPECT_NE(tag_type_editor_hook(code(type), false), nullptr) << type;
}

TEST_F(EditorFormTypesTest, MonsterVisibilityNoneIsMinusOneAndABlankMovementModifierIsNone)
{
    monster_definition m = Monster();
    ASSERT_EQ(m.field_438, -1);
    m.movement_modifier_markers[0] = 0xFF;
    m.movement_modifiers[1] = 51;
    tag_entry* e = MakeTag("mons", tag_struct_bytes(m));
    TTagEditForm* form = Open(e);
    XGPopupMenu* visibility = Popup(form, kVisibility);
    EXPECT_EQ(visibility->GetText(), "None");
    EXPECT_EQ(visibility->GetItemCount(), 3);
    EXPECT_EQ(form->GetText(kFirstMovementModifier), "");
    EXPECT_EQ(form->GetText(kFirstMovementModifier + 1), "0.2");
    EXPECT_FALSE(form->HasChanges());
    Type(form, kWarningDistance, "4");
    Type(form, kFirstMovementModifier, "0.5");
    Type(form, kFirstMovementModifier + 1, " ");
    form->ApplyChanges();
    monster_definition stored = Stored<monster_definition>(e);
    EXPECT_EQ(stored.field_438, -1);
    EXPECT_EQ(stored.movement_modifier_markers[0], 0);
    EXPECT_EQ(stored.movement_modifiers[0], 128);
    EXPECT_EQ(stored.movement_modifier_markers[1], 0xFF);
    EXPECT_EQ(stored.movement_modifiers[1], 51);
    for (auto [row, value] : {std::pair{2, 1}, {0, -1}}) {
        visibility->Choose(row);
        form->ApplyChanges();
        EXPECT_EQ(Stored<monster_definition>(e).field_438, value) << "row " << row;
    }
}

TEST_F(EditorFormTypesTest, UseThreeDModelSwitchesTheModelTypeAndKeepsTheSequenceBytes)
{
    monster_definition m = Monster();
    m.attack_count = 1;
    for (int s = 0; s < MAXIMUM_SEQUENCES_PER_ATTACK; ++s) m.attacks[0].sequences[s].field_0 = int16_t(0x0102 + s);
    tag_entry* e = MakeTag("mons", tag_struct_bytes(m));
    bytes before = Data(e);
    TTagEditForm* form = Open(e);
    ModalScript script;
    script.Then([](XGDialog& d) {
        EXPECT_EQ(d.GetTitle(), "Pick Classic Collection (.256)");
        d.ClickControl(TTagPickList::kCancel);
    });
    form->FindView(kModel)->Click();
    form->FindView(kUse3DModel)->Click();
    script.Then([](XGDialog& d) {
        EXPECT_EQ(d.GetTitle(), "Pick Skeletal Model (skmd)");
        d.ClickControl(TTagPickList::kCancel);
    });
    form->FindView(kModel)->Click();
    form->ApplyChanges();
    bytes after = Data(e);
    EXPECT_EQ(after[1], before[1] | 0x20);
    // the attack's sequences: the same bytes, now left as they are
    EXPECT_EQ(bytes(after.begin() + 152, after.begin() + 184), bytes(before.begin() + 152, before.begin() + 184));
    // and back
    form->FindView(kUse3DModel)->Click();
    form->ApplyChanges();
    EXPECT_EQ(Data(e), before);
}

TEST_F(EditorFormTypesTest, AttacksAreAddedInTheirDialogAndDeleted)
{
    tag_entry* e = MakeTag("mons", tag_struct_bytes(Monster()));
    TTagEditForm* form = Open(e);
    EXPECT_EQ(List(form, kAttacks)->GetItemCount(), 0);
    EXPECT_FALSE(form->FindView(kDeleteAttack)->IsEnabled());
    ModalScript script;
    script.Then([](XGDialog& d) {
        EXPECT_EQ(d.GetTitle(), "Monster Attack Info");
        d.FindView(12)->SetText("0.5");   // miss fraction
        d.FindView(19)->SetText("2.0");   // recovery time, seconds
        d.FindView(30)->SetText("7");     // first sequence field
        d.FindView(100 + 4)->Click();     // uses ammo
        d.FindView(100 + 17)->Click();    // vs small sized
        d.ClickControl(1);
    });
    form->FindView(kAddAttack)->Click();
    ASSERT_EQ(List(form, kAttacks)->GetItemCount(), 1);
    EXPECT_EQ(List(form, kAttacks)->GetItemText(0), "Attack 1: (tag unassigned)");
    form->ApplyChanges();
    monster_definition stored = Stored<monster_definition>(e);
    EXPECT_EQ(stored.attack_count, 1);
    EXPECT_EQ(stored.attacks[0].miss_fraction, 32768);
    EXPECT_EQ(stored.attacks[0].recovery_time, 60);
    EXPECT_EQ(stored.attacks[0].sequences[0].field_0, 7);
    EXPECT_EQ(stored.attacks[0].flags_1, 0x10);
    EXPECT_EQ(stored.attacks[0].flags_2, 0x2);
    EXPECT_EQ(stored.attacks[0].projectile_tag, NONE_TAG);

    List(form, kAttacks)->Choose(0);
    form->FindView(kDeleteAttack)->Click();
    form->ApplyChanges();
    EXPECT_EQ(Stored<monster_definition>(e).attack_count, 0);

    // the flags dialog sets the monster's bits
    script.Then([](XGDialog& d) {
        EXPECT_EQ(d.GetTitle(), "Monster Flags");
        d.FindView(100 + 3)->Click(); // flies
        d.ClickControl(1);
    });
    form->FindView(kMonsterFlags)->Click();
    form->ApplyChanges();
    EXPECT_EQ(Stored<monster_definition>(e).flags, 0x8u);
}

TEST_F(EditorFormTypesTest, AMissingPopupIsAnAssertionNamingTheList)
{
    TTagEditForm* form = Open(MakeTag("obje", bytes(64)));
    const char* const items[] = {"Small", "Giant"};
    TFieldBinding row = bind_popup(4242, 0, items);
    row.list_name = "pList1";
    row.source = "mons";
    const bs_code codes[] = {_begin_bs_array, 1, _2byte, _end_bs_array};
    TBindingTable table(codes, 2, {row});
    int16_t value = 0;
    try {
        table.Fill(form->Access(), &value);
        FAIL() << "no assertion";
    } catch (const AssertionThrown& a) {
        EXPECT_NE(std::string(a.what()).find("Assertion (pList1) failed in \"mons\""), std::string::npos) << a.what();
    }
}

TEST_F(EditorFormTypesTest, AProjectileGroupKeepsBetweenOneAndFifteenParts)
{
    projectile_group_definition g{};
    tag_struct_defaults(g);
    g.part_count = 1;
    tag_entry* e = MakeTag("prgr", tag_struct_bytes(g));
    TTagEditForm* form = Open(e);
    XGListControl* parts = List(form, kParts);
    ASSERT_EQ(parts->GetItemCount(), 1);
    parts->Choose(0);
    EXPECT_FALSE(form->FindView(kDeletePart)->IsEnabled());
    for (int i = 1; i < MAXIMUM_PARTS_PER_PROJECTILE_GROUP; ++i) form->FindView(kDuplicatePart)->Click();
    EXPECT_EQ(parts->GetItemCount(), 15);
    EXPECT_FALSE(form->FindView(kAddPart)->IsEnabled());
    EXPECT_FALSE(form->FindView(kDuplicatePart)->IsEnabled());
    EXPECT_TRUE(form->FindView(kDeletePart)->IsEnabled());
    form->ApplyChanges();
    EXPECT_EQ(Stored<projectile_group_definition>(e).part_count, 15);

    // a part is edited in its dialog
    parts->Choose(3);
    ModalScript script;
    script.Then([](XGDialog& d) {
        EXPECT_EQ(d.GetTitle(), "Projectile Group Part");
        d.FindView(21)->SetText("12");
        d.ClickControl(1);
    });
    form->FindView(21312)->Click();
    form->FindView(kDeletePart)->Click();
    form->ApplyChanges();
    projectile_group_definition stored = Stored<projectile_group_definition>(e);
    EXPECT_EQ(stored.part_count, 14);
    EXPECT_EQ(stored.parts[3].field_8, 0);   // the edited part was deleted
    EXPECT_EQ(stored.parts[14].projectile_tag, NONE_TAG);
}

TEST_F(EditorFormTypesTest, ASoundListKeepsItsCountUntilEdited)
{
    sound_list list = default_sound_list();
    list.count = 77; // beyond the 30 slots
    list.sounds[0].sound = code("tgt_");
    bytes stored(SOUND_LIST_SIZE);
    byte_swap_copy("soli", stored.data(), &list, SOUND_LIST_SIZE, 1, sound_list_bs);
    tag_entry* e = MakeTag("soli", stored);
    TTagEditForm* form = Open(e);
    XGListControl* sounds = List(form, kSounds);
    EXPECT_EQ(sounds->GetItemCount(), 30);
    EXPECT_EQ(sounds->GetItemText(0), "tgt_  target");
    EXPECT_FALSE(form->HasChanges());
    EXPECT_FALSE(form->FindView(kAddSound)->IsEnabled());
    sounds->Choose(29);
    form->FindView(kDeleteSound)->Click();
    sounds->Choose(0);
    form->FindView(kDeleteSound)->Click();
    ModalScript script;
    answer_pick_list(script, "target (tgt_)");
    form->FindView(kAddSound)->Click();
    form->ApplyChanges();
    bytes after = Data(e);
    EXPECT_EQ(be16(after, 0), 29);
    EXPECT_EQ(be32(after, 16 + 8 * 28), code("tgt_"));
    EXPECT_EQ(be32(after, 16 + 8 * 29), NONE_TAG);

    // random bytes load without a change
    TTagEditForm* random = Open(MakeTag("soli", random_bytes(SOUND_LIST_SIZE, 3)));
    EXPECT_FALSE(random->HasChanges());
}

TEST_F(EditorFormTypesTest, TextFormsShowTheWholeTextAndKeepItsBytes)
{
    for (const char* type : {"stli", "temp", "text"}) {
        SCOPED_TRACE(type);
        bytes random = random_bytes(300, 7);
        tag_entry* e = MakeTag(type, random);
        TTagEditForm* form = Open(e);
        ASSERT_NE(form, nullptr);
        EXPECT_FALSE(form->HasChanges());
        form->GetWindow()->Close(true);

        tag_entry* list = MakeTag(type, bytes{'o', 'n', 'e', '\r', 't', 'w', 'o', '\r'});
        form = Open(list);
        int32_t control = type == std::string("stli") ? 21700 : type == std::string("temp") ? 21800 : 21900;
        EXPECT_EQ(form->GetText(control), "one\ntwo\n");
        Type(form, control, "one\ntwo\nthree");
        EXPECT_TRUE(form->HasChanges());
        form->ApplyChanges();
        EXPECT_EQ(Data(list), (bytes{'o', 'n', 'e', '\r', 't', 'w', 'o', '\r', 't', 'h', 'r', 'e', 'e'}));
        EXPECT_FALSE(form->HasChanges());
    }
    // a new tag of these types holds no text
    tag_entry* fresh = fApp->GetStore().create_tag(fFile, code("stli"), code("new_"), 1, "new", 0, 0, nullptr);
    tag_type_set_defaults_hook(code("stli"))(fresh);
    EXPECT_EQ(Data(fresh).size(), 0u);
    TTagEditForm* form = Open(fresh);
    EXPECT_FALSE(form->HasChanges());
}

TEST_F(EditorFormTypesTest, EditPhysicsOpensTheDialogOfTheType)
{
    local_physics_definition p{};
    p.type = 2;
    tag_entry* e = MakeTag("phys", tag_struct_bytes(p));
    TTagEditForm* form = Open(e);
    EXPECT_EQ(Popup(form, kPhysicsType)->GetText(), "Spherical Spring");
    ModalScript script;
    script.Then([](XGDialog& d) {
        EXPECT_EQ(d.GetTitle(), "Spherical Spring Physics");
        d.FindView(10)->SetText("1.5");
        d.ClickControl(1);
    });
    form->FindView(kEditPhysics)->Click();
    Popup(form, kPhysicsType)->Choose(5);
    script.Then([](XGDialog& d) {
        EXPECT_EQ(d.GetTitle(), "Pell's Explosive Gas");
        EXPECT_EQ(d.FindView(10)->GetText(), "1.5");
        d.ClickControl(2);
    });
    form->FindView(kEditPhysics)->Click();
    form->ApplyChanges();
    bytes after = Data(e);
    EXPECT_EQ(be16(after, 0), 5);
    EXPECT_EQ(be32(after, 4), 0x18000u);
}

TEST_F(EditorFormTypesTest, TheProjectilesDialogsAndSkeletalModel)
{
    projectile_definition p{};
    p.model_kind = 7;
    tag_entry* e = MakeTag("proj", tag_struct_bytes(p));
    TTagEditForm* form = Open(e);
    EXPECT_TRUE(form->IsViewShown(kCollectionsUnsupported));
    form->FindView(kUseSkelModel)->Click();
    EXPECT_FALSE(form->IsViewShown(kCollectionsUnsupported));
    EXPECT_EQ(form->Access().GetTagRefType(kProjectileCollection), code("skmd"));
    form->ApplyChanges();
    EXPECT_EQ(Stored<projectile_definition>(e).model_kind, PROJECTILE_USES_SKELETAL_MODEL);
    // unchecked, the kind the tag had comes back
    form->FindView(kUseSkelModel)->Click();
    form->ApplyChanges();
    EXPECT_EQ(Stored<projectile_definition>(e).model_kind, 7);

    ModalScript script;
    script.Then([](XGDialog& d) {
        EXPECT_EQ(d.GetTitle(), "Projectile Flags");
        d.FindView(100 + 29)->Click(); // has sprite contrail
        d.FindView(100 + 4)->Click();  // affected by wind
        d.ClickControl(1);
    });
    form->FindView(kProjectileFlags)->Click();
    EXPECT_EQ(form->Access().GetTagRefType(kContrail), code("spri"));
    script.Then([](XGDialog& d) {
        EXPECT_EQ(d.GetTitle(), "Projectile Damage");
        auto* type = dynamic_cast<XGPopupMenu*>(d.FindView(10));
        EXPECT_EQ(type->GetText(), "Explosion");
        type->Choose(10); // Fire
        d.FindView(12)->SetText("2.0");
        d.FindView(100 + 1)->Click(); // area of effect
        d.ClickControl(1);
    });
    form->FindView(kProjectileDamage)->Click();
    form->ApplyChanges();
    projectile_definition stored = Stored<projectile_definition>(e);
    EXPECT_EQ(stored.flags, PROJECTILE_HAS_SPRITE_CONTRAIL | 0x40u);
    EXPECT_EQ(stored.damage_type, 9);
    EXPECT_EQ(stored.damage_delta, 513);
    EXPECT_EQ(stored.damage_flags, 0x2);
}
