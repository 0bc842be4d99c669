// Monster: its model (a collection, or a skeletal model with "Use 3D Model"), the tags
// it names, its pop-ups, statistics and movement modifiers, its attacks (each edited in
// "Monster Attack Info"), its flags ("Monster Flags") and its animation states
// ("Monster Animation States").
#include <algorithm>
#include <cstddef>

#include "framework/qt/XGListControl.h"
#include "shell/TEditDialogForm.h"
#include "shell/TStructEditForm.h"
#include "shell/TTagPickList.h"
#include "shell/forms/editor_forms.h"
#include "shell/forms/record_rows.h"
#include "tags/gameplay/mons.h"

namespace {

using T = monster_definition;
using Attack = monster_attack;

enum : int32_t {
    kModel = 11501,
    kObject = 11503,
    kProjectileGroup = 11505,
    kSize = 11509,
    kVisibility = 11510,
    kClass = 11511,
    kAllegiance = 11512,
    kDesiredProjectileVolume = 11513,
    kAttacks = 11514,
    kAddAttack = 11515,
    kDuplicateAttack = 11516,
    kDeleteAttack = 11517,
    kGibDeath = 11518,
    kImpact = 11520,
    kDeath = 11522,
    kBlocked = 11524,
    kAbsorbed = 11526,
    kEntrance = 11528,
    kSpelling = 11530,
    kNames = 11532,
    kFlavorText = 11534,
    kSpecialAbility = 11536,
    kWarningDistance = 11538,
    kCriticalDistance = 11539,
    kActivationDistance = 11540,
    kAmmoTag = 11541,
    kPathfindingRadius = 11550,
    kAbsorbedFraction = 11551,
    kHealingFraction = 11552,
    kInitialAmmunition = 11553,
    kInitialAmmunitionUpper = 11554,
    kMaximumAmmunition = 11555,
    kTurningSpeed = 11556,
    kBaseMovementSpeed = 11557,
    kLeftHandedFraction = 11558,
    kHardDeathSystemShock = 11559,
    kFlinchSystemShock = 11560,
    kExperiencePointValue = 11561,
    kCombinedPower = 11562,
    kLongestRange = 11563,
    kCost = 11564,
    kMaximumMana = 11565,
    kManaRechargeRate = 11566,
    kBerserkSystemShock = 11567,
    kBerserkVitality = 11568,
    kKillsForMaximumBonus = 11569,
    kExperienceBonusSize = 11570,
    kExperienceBonusRadius = 11571,
    kBlockingFraction = 11572,
    kFirstMovementModifier = 11580,
    kUse3DModel = 12000,
    kCarryingIcon = 13000,
    kOtherProjectileGroup = 13002,
    kFirstSound = 13010,
    kFlagsButton = 13040,
    kAnimationStatesButton = 13041,
    // the dialogs
    kAttackResource = 31333,
    kFlagsResource = 150,
    kAnimationStatesResource = 142,
    kDialogOK = 1,
    kAttackProjectile = 10,
    kMissFraction = 12,
    kMinimumRange = 13,
    kMaximumRange = 14,
    kRepetitions = 15,
    kInitialVelocity = 16,
    kInitialVelocityUpper = 17,
    kInitialVelocityError = 18,
    kRecoveryTime = 19,
    kRecoveryTimeExperienceDelta = 20,
    kVelocityImprovement = 21,
    kManaCost = 22,
    kFirstSequenceField = 30,
    kFirstAttackFlag = 100,
    kFirstMonsterFlag = 100,
    kFirstAnimationState = 10,
};

const char* const kSizeItems[] = {"Small", "Man-Sized", "Giant"};
const char* const kVisibilityItems[] = {"None", "Nearsighted", "Farsighted"};
const char* const kClassItems[] = {"Melee", "Missile", "Suicide", "Special", "Harmless", "Ambient Life"};
const char* const kAllegianceItems[] = {"Light", "Dark"};
const char* const kVolumeItems[] = {"None", "Unwieldly", "Small", "Large"};

// The monster flags of the flags dialog, in its order (the 3D model has its own box).
const uint32_t kMonsterFlagBits[] = {0x1,     0x2,     0x4,      0x8,      0x10,     0x20,     0x40,    0x80,
                                     0x100,   0x200,   0x400,    0x800,    0x1000,   0x2000,   0x4000,  0x8000,
                                     0x10000, 0x20000, 0x40000,  0x80000,  0x100000, 0x400000};

tag_code ModelType(const void* s)
{
    return static_cast<const T*>(s)->flags & MONSTER_HAS_3D_MODEL ? "skmd"_4cc : ".256"_4cc;
}

TFieldBinding Popup(TFieldBinding row, const char* name)
{
    row.list_name = name;
    row.source = "mons";
    return row;
}

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        bind_flag(kUse3DModel, offsetof(T, flags), MONSTER_HAS_3D_MODEL),
        bind_tag(kModel, offsetof(T, collection_tag), ModelType),
        bind_tag(kObject, offsetof(T, object_tag), "obje"_4cc),
        bind_tag(kProjectileGroup, offsetof(T, local_projectile_group_tag), "lpgr"_4cc),
        bind_tag(kGibDeath, offsetof(T, projectile_group_tag_404), "prgr"_4cc),
        bind_tag(kImpact, offsetof(T, projectile_group_tag_416), "prgr"_4cc),
        bind_tag(kDeath, offsetof(T, projectile_group_tag_420), "prgr"_4cc),
        bind_tag(kBlocked, offsetof(T, projectile_group_tag_484), "prgr"_4cc),
        bind_tag(kAbsorbed, offsetof(T, projectile_group_tag_488), "prgr"_4cc),
        bind_tag(kEntrance, offsetof(T, projectile_group_tag_516), "prgr"_4cc),
        bind_tag(kOtherProjectileGroup, offsetof(T, projectile_group_tag_528), "prgr"_4cc),
        bind_tag(kSpecialAbility, offsetof(T, string_list_tag_524), "stli"_4cc),
        bind_tag(kAmmoTag, offsetof(T, ammunition_tag), "proj"_4cc),
        bind_tag(kCarryingIcon, offsetof(T, collection_tag_540), ".256"_4cc),
        Popup(bind_popup(kSize, offsetof(T, field_400), kSizeItems), "pList1"),
        Popup(bind_popup(kVisibility, offsetof(T, field_438), kVisibilityItems, 1), "pList2"),
        Popup(bind_popup(kClass, offsetof(T, field_402), kClassItems), "pList3"),
        Popup(bind_popup(kAllegiance, offsetof(T, field_496), kAllegianceItems), "pList4"),
        Popup(bind_popup(kDesiredProjectileVolume, offsetof(T, desired_projectile_volume), kVolumeItems, 1),
              "pList5"),
        bind_value(kWarningDistance, offsetof(T, warning_distance), kWorldUnitsUnit, true),
        bind_value(kCriticalDistance, offsetof(T, critical_distance), kWorldUnitsUnit, true),
        bind_value(kActivationDistance, offsetof(T, activation_distance), kWorldUnitsUnit, true),
        bind_value(kPathfindingRadius, offsetof(T, pathfinding_radius), kWorldUnitsUnit, true),
        bind_value(kAbsorbedFraction, offsetof(T, absorbed_fraction), kFraction16Unit),
        bind_value(kHealingFraction, offsetof(T, healing_fraction), kFixed8SignedUnit),
        bind_range(kInitialAmmunition, kInitialAmmunitionUpper, offsetof(T, initial_ammunition_lower_bound),
                   offsetof(T, initial_ammunition_delta), kInteger16Unit),
        bind_value(kMaximumAmmunition, offsetof(T, maximum_ammunition_count), kInteger16Unit),
        bind_value(kTurningSpeed, offsetof(T, turning_speed), kAngularRateUnit),
        bind_value(kBaseMovementSpeed, offsetof(T, base_movement_speed), kWorldUnitsUnit, true),
        bind_value(kLeftHandedFraction, offsetof(T, left_handed_fraction), kFraction16Unit),
        bind_value(kHardDeathSystemShock, offsetof(T, hard_death_system_shock), kFraction16Unit),
        bind_value(kFlinchSystemShock, offsetof(T, flinch_system_shock), kFraction16Unit),
        bind_value(kExperiencePointValue, offsetof(T, experience_point_value), kInteger16Unit),
        bind_value(kCombinedPower, offsetof(T, combined_power), kInteger16Unit),
        bind_value(kLongestRange, offsetof(T, longest_range), kWorldUnitsUnit, true),
        bind_value(kCost, offsetof(T, cost), kInteger16Unit),
        bind_value(kMaximumMana, offsetof(T, maximum_mana), kFixed8SignedUnit),
        bind_value(kManaRechargeRate, offsetof(T, mana_recharge_rate), kFixed8SignedUnit),
        bind_value(kBerserkSystemShock, offsetof(T, berserk_system_shock), kFraction16Unit),
        bind_value(kBerserkVitality, offsetof(T, berserk_vitality), kFraction16Unit),
        bind_value(kKillsForMaximumBonus, offsetof(T, kills_for_maximum_experience_bonus), kInteger16Unit),
        bind_value(kExperienceBonusSize, offsetof(T, experience_bonus_size), kInteger16Unit),
        bind_value(kExperienceBonusRadius, offsetof(T, experience_bonus_radius), kWorldUnitsUnit, true),
        bind_value(kBlockingFraction, offsetof(T, blocking_fraction), kFraction16Unit),
        tag_series(kSpelling, offsetof(T, string_list_tags), 3, "stli"_4cc),
        tag_series(kFirstSound, offsetof(T, sound_tags), NUMBER_OF_MONSTER_SOUND_TAGS, "soun"_4cc),
    });
    return table;
}

const TBindingTable& FlagsTable()
{
    static const TBindingTable table =
        struct_bindings<T>({flag_series(kFirstMonsterFlag, offsetof(T, flags), kMonsterFlagBits)});
    return table;
}

const TBindingTable& AnimationStatesTable()
{
    static const TBindingTable table =
        struct_bindings<T>({value_series(kFirstAnimationState, offsetof(T, field_8), 32, 2, kInteger16Unit)});
    return table;
}

// An attack in memory order; its sequences are numbers only for a monster without a 3D model.
constexpr bs_code kAttackCodes[] = {_begin_bs_array, 1, _2byte, _2byte, _4byte, _2byte, _2byte,
                                    _begin_bs_array, 4, _2byte, _2byte, _2byte, 2, _end_bs_array,
                                    _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte, _2byte,
                                    _2byte, 2, _end_bs_array};

const TBindingTable& AttackTable(bool sequences)
{
    auto make = [](bool withSequences) {
        std::vector<TFieldBinding> rows = {
            bind_tag(kAttackProjectile, offsetof(Attack, projectile_tag), "proj"_4cc),
            bind_value(kMissFraction, offsetof(Attack, miss_fraction), kFraction16Unit),
            bind_value(kMinimumRange, offsetof(Attack, minimum_range), kWorldUnitsUnit, true),
            bind_value(kMaximumRange, offsetof(Attack, maximum_range), kWorldUnitsUnit, true),
            bind_value(kRepetitions, offsetof(Attack, repetitions), kInteger16Unit),
            bind_range(kInitialVelocity, kInitialVelocityUpper, offsetof(Attack, initial_velocity_lower_bound),
                       offsetof(Attack, initial_velocity_delta), kWorldUnitsSignedUnit),
            bind_value(kInitialVelocityError, offsetof(Attack, initial_velocity_error), kWorldUnitsUnit, true),
            bind_value(kRecoveryTime, offsetof(Attack, recovery_time), kTicksAsSecondsUnit),
            bind_value(kRecoveryTimeExperienceDelta, offsetof(Attack, recovery_time_experience_delta),
                       kTicksAsSecondsUnit),
            bind_value(kVelocityImprovement, offsetof(Attack, velocity_improvement_with_experience),
                       kWorldUnitsUnit, true),
            bind_value(kManaCost, offsetof(Attack, mana_cost), kFixed8SignedUnit),
        };
        for (int bit = 0; bit < 16; ++bit)
            rows.push_back(bind_flag(kFirstAttackFlag + bit, offsetof(Attack, flags_1), 1u << bit));
        for (int bit = 0; bit < 3; ++bit)
            rows.push_back(bind_flag(kFirstAttackFlag + 16 + bit, offsetof(Attack, flags_2), 1u << bit));
        for (int s = 0; withSequences && s < MAXIMUM_SEQUENCES_PER_ATTACK; ++s) {
            int32_t at = int32_t(offsetof(Attack, sequences) + sizeof(monster_attack_sequence) * size_t(s));
            for (const TFieldBinding& row : value_series(kFirstSequenceField + 3 * s, at, 3, 2, kInteger16Unit))
                rows.push_back(row);
        }
        return TBindingTable(kAttackCodes, sizeof(Attack), rows);
    };
    static const TBindingTable withSequences = make(true);
    static const TBindingTable without = make(false);
    return sequences ? withSequences : without;
}

Attack NewAttack()
{
    Attack a{};
    a.projectile_tag = NONE_TAG;
    return a;
}

// Swaps the attacks' sequence bytes between file and memory order.
void SwapSequences(T& m)
{
    for (Attack& a : m.attacks)
        byte_swap_data(monster_attack_sequences_info::label, a.sequences, int32_t(sizeof a.sequences), 1,
                       monster_attack_sequences_info::codes);
}

class TmonsEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1015;
    explicit TmonsEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}

protected:
    bool ReadTag(T& s) override
    {
        if (!read_tag_struct(GetTag(), s)) return false;
        fLoadedFlags = s.flags;
        return true;
    }

    // The stored form of the copy: the attacks' sequence bytes stay as they were read
    // when "Use 3D Model" changed since.
    T Stored() const
    {
        T m = fCopy;
        if ((m.flags ^ fLoadedFlags) & MONSTER_HAS_3D_MODEL) SwapSequences(m);
        return m;
    }

    bool WriteTag() override
    {
        if (!write_tag_struct(GetTag(), Stored())) return false;
        ReadTag(fCopy);
        return true;
    }

    bool CompareTag() override { return compare_tag_struct(GetTag(), Stored(), false); }

    void Decode(const uint8_t* bytes, T& s) override
    {
        TStructEditForm::Decode(bytes, s);
        byte_swap_data(tag_struct_info<Attack>::label, s.attacks, int32_t(sizeof(Attack)), MAXIMUM_ATTACKS_PER_MONSTER,
                       tag_struct_info<Attack>::codes);
        if (!(s.flags & MONSTER_HAS_3D_MODEL)) SwapSequences(s);
        fLoadedFlags = s.flags;
    }

    void FillControls() override
    {
        TStructEditForm::FillControls();
        for (int i = 0; i < NUMBER_OF_MOVEMENT_MODIFIERS; ++i) {
            int32_t control = kFirstMovementModifier + i;
            if (fCopy.movement_modifier_markers[i] == 0xFF) SetText(control, "");
            else SetFraction8(control, fCopy.movement_modifiers[i]);
        }
        FillAttacks(GetControlValue(kAttacks));
    }

    void ReadControls() override
    {
        TStructEditForm::ReadControls();
        // a blank modifier is no modifier; its value stays
        for (int i = 0; i < NUMBER_OF_MOVEMENT_MODIFIERS; ++i) {
            int32_t control = kFirstMovementModifier + i;
            if (!FindView(control) || fAccess.IsUnchanged(control)) continue;
            std::string text = GetText(control);
            if (text.find_first_not_of(" \t") == std::string::npos) {
                if (fCopy.movement_modifier_markers[i] == 0xFF) continue;
                fCopy.movement_modifier_markers[i] = 0xFF;
            } else {
                fCopy.movement_modifier_markers[i] = 0;
                fCopy.movement_modifiers[i] = GetFraction8(control);
            }
        }
    }

    void UpdateControls() override
    {
        int count = monster_attacks_in_use(fCopy);
        bool selected = SelectedAttack() >= 0;
        EnableView(kAddAttack, count < MAXIMUM_ATTACKS_PER_MONSTER);
        EnableView(kDuplicateAttack, selected && count < MAXIMUM_ATTACKS_PER_MONSTER);
        EnableView(kDeleteAttack, selected);
    }

    bool HandleControl(XGCode message, int32_t control) override
    {
        if (control == kAttacks) {
            if (message == "lval"_4cc && SelectedAttack() >= 0) EditAttack(SelectedAttack());
            UpdateControls();
            return true;
        }
        if (message != "cclk"_4cc) return TStructEditForm::HandleControl(message, control);
        int count = monster_attacks_in_use(fCopy);
        int row = SelectedAttack();
        switch (control) {
        case kFlagsButton:
            ReadControls();
            TEditDialogForm::Run(kFlagsResource, kDialogOK, FlagsTable(), &fCopy, GetTag()->file);
            return true;
        case kAnimationStatesButton:
            ReadControls();
            TEditDialogForm::Run(kAnimationStatesResource, kDialogOK, AnimationStatesTable(), &fCopy, GetTag()->file);
            return true;
        case kAddAttack: {
            if (count >= MAXIMUM_ATTACKS_PER_MONSTER) return true;
            Attack a = NewAttack();
            if (!RunAttackDialog(a)) return true;
            fCopy.attacks[count] = a;
            fCopy.attack_count = int16_t(count + 1);
            FillAttacks(count);
            return true;
        }
        case kDuplicateAttack:
            if (!duplicate_record(fCopy.attacks, count, row, MAXIMUM_ATTACKS_PER_MONSTER)) return true;
            fCopy.attack_count = int16_t(count);
            FillAttacks(row + 1);
            return true;
        case kDeleteAttack:
            if (!delete_record(fCopy.attacks, count, row, NewAttack())) return true;
            fCopy.attack_count = int16_t(count);
            FillAttacks(std::min(row, count - 1));
            return true;
        default: return TStructEditForm::HandleControl(message, control);
        }
    }

private:
    int SelectedAttack() const
    {
        int row = GetControlValue(kAttacks);
        return row >= 0 && row < monster_attacks_in_use(fCopy) ? row : -1;
    }

    // The sequences are numbers only while they are in memory order: read from a
    // monster without a 3D model.
    bool RunAttackDialog(Attack& a)
    {
        bool sequences = !(fLoadedFlags & MONSTER_HAS_3D_MODEL);
        return TEditDialogForm::Run(kAttackResource, kDialogOK, AttackTable(sequences), &a, GetTag()->file,
                                    [sequences](TEditDialogForm& dialog) {
                                        for (int i = 0; i < 3 * MAXIMUM_SEQUENCES_PER_ATTACK; ++i)
                                            dialog.EnableControl(kFirstSequenceField + i, sequences);
                                    });
    }

    void EditAttack(int row)
    {
        Attack a = fCopy.attacks[row];
        if (RunAttackDialog(a)) fCopy.attacks[row] = a;
        FillAttacks(row);
    }

    void FillAttacks(int selected)
    {
        auto* list = dynamic_cast<XGListControl*>(FindView(kAttacks));
        if (!list) return;
        std::vector<std::string> rows;
        for (int i = 0; i < monster_attacks_in_use(fCopy); ++i)
            rows.push_back("Attack " + std::to_string(i + 1) + ": " +
                           TTagPickList::ReferenceLabel(&Store(), "proj"_4cc, fCopy.attacks[i].projectile_tag));
        list->SetItems(rows);
        list->SetValue(selected < int(rows.size()) ? selected : -1);
        UpdateControls();
    }

    uint32_t fLoadedFlags = 0;
};

} // namespace

void* open_mons_editor(tag_entry* e)
{
    return TTagEditForm::Open<TmonsEditForm>(e, TmonsEditForm::kResource);
}
