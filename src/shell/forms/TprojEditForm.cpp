// Projectile: its graphic (a collection, or a skeletal model with "Use Skel Model"),
// contrail, object, lightning, artifact, sounds and groups; its detonation and motion
// statistics; its flags, damage and effect modifiers in dialogs of their own.
#include <cstddef>

#include "shell/TEditDialogForm.h"
#include "shell/TStructEditForm.h"
#include "shell/forms/editor_forms.h"
#include "tags/gameplay/proj.h"

namespace {

using T = projectile_definition;

enum : int32_t {
    kCollection = 21401,
    kUseSkelModel = 21403,
    kCollectionsUnsupported = 21404,
    kDetonationGroup = 21405,
    kContrail = 21407,
    kObject = 21409,
    kLightning = 21411,
    kArtifact = 21413,
    kProjectile = 21415,
    kGroup96 = 21417,
    kGroup124 = 21419,
    kLocalProjectileGroup = 21421,
    kTextureStack100 = 21423,
    kTextureStack128 = 21425,
    kSound = 21427, // four pairs: 21427 ... 21433
    kDetonationFrequency = 21440,
    kMediaDetonationFrequency = 21441,
    kDetonationVelocity = 21442,
    kVolume = 21443,
    kInertia = 21444,
    kInertiaUpper = 21445,
    kRandomInitialVelocity = 21446,
    kTrackingPriority = 21447,
    kGuidedTurningSpeed = 21448,
    kStatistic140 = 21449,
    kFlagsButton = 21450,
    kDamageButton = 21451,
    kModifiersButton = 21452,
    // dialogs
    kFlagsResource = 146,
    kDamageResource = 153,
    kModifiersResource = 154,
    kDialogOK = 1,
    kFirstFlag = 100,
    kDamageType = 10,
    kDamage = 11,
    kDamageUpper = 12,
    kRadius = 13,
    kRadiusUpper = 14,
    kRateOfExpansion = 15,
    kDamageToVelocity = 16,
    kFirstDamageFlag = 100,
    kFirstModifier = 10,
};

constexpr int kModifierCount = 7;

const char* const kVolumeItems[] = {"None", "Small", "Medium", "Large"};
const char* const kDamageTypeItems[] = {"None",    "Explosion",       "Magical",   "Holding", "Healing",
                                        "Kinetic", "Slashing Metal",  "Stoning",   "Slashing Claws",
                                        "Explosive Electricity", "Fire", "Gas",   "Charm"};
// the projectile flags the dialog shows, in its order: groups A, B and C
const uint32_t kFlagBits[] = {0x8,      0x10,      0x20,       0x20000,   0x40,      0x4000,    0x2000,
                              0x1,      0x200,     0x800,      0x100,     0x80,      0x8000,    0x10000,
                              0x40000,  0x80000,   0x100000,   0x200000,  0x4000000, 0x1000000, 0x2000000,
                              0x800000, 0x8000000, 0x10000000, 0x20000000, 0x40000000, 0x4, 0x2, 0x80000000,
                              PROJECTILE_HAS_SPRITE_CONTRAIL};
const uint16_t kDamageFlagBits[] = {0x1,   0x2,   0x4,   0x80,   0x10,   0x20,   0x40,  0x100,
                                    0x200, 0x400, 0x800, 0x1000, 0x2000, 0x4000, 0x8000};

tag_code CollectionType(const void* s)
{
    return static_cast<const T*>(s)->model_kind == PROJECTILE_USES_SKELETAL_MODEL ? "skmd"_4cc : ".256"_4cc;
}

tag_code ContrailType(const void* s)
{
    return static_cast<const T*>(s)->flags & PROJECTILE_HAS_SPRITE_CONTRAIL ? "spri"_4cc : "proj"_4cc;
}

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        bind_tag(kCollection, offsetof(T, collection_tag), CollectionType),
        bind_tag(kDetonationGroup, offsetof(T, projectile_group_tag), "prgr"_4cc),
        bind_tag(kContrail, offsetof(T, contrail_tag), ContrailType),
        bind_tag(kObject, offsetof(T, object_tag), "obje"_4cc),
        bind_tag(kLightning, offsetof(T, lightning_tag), "ligh"_4cc),
        bind_tag(kArtifact, offsetof(T, artifact_tag), "arti"_4cc),
        bind_tag(kProjectile, offsetof(T, projectile_tag_92), "proj"_4cc),
        bind_tag(kGroup96, offsetof(T, projectile_group_tag_96), "prgr"_4cc),
        bind_tag(kGroup124, offsetof(T, projectile_group_tag_124), "prgr"_4cc),
        bind_tag(kLocalProjectileGroup, offsetof(T, local_projectile_group_tag), "lpgr"_4cc),
        bind_tag(kTextureStack100, offsetof(T, texture_stack_tag_100), "txst"_4cc),
        bind_tag(kTextureStack128, offsetof(T, texture_stack_tag_128), "txst"_4cc),
        tag_series(kSound, offsetof(T, sound_tags), NUMBER_OF_PROJECTILE_SOUND_TAGS, "soun"_4cc),
        bind_value(kDetonationFrequency, offsetof(T, detonation_frequency), kFraction16Unit),
        bind_value(kMediaDetonationFrequency, offsetof(T, media_detonation_frequency), kFraction16Unit),
        bind_value(kDetonationVelocity, offsetof(T, detonation_velocity), kWorldUnitsUnit, true),
        bind_popup(kVolume, offsetof(T, volume), kVolumeItems, 1),
        bind_range(kInertia, kInertiaUpper, offsetof(T, inertia_lower_bound), offsetof(T, inertia_delta),
                   kFixed8SignedUnit),
        bind_value(kRandomInitialVelocity, offsetof(T, random_initial_velocity), kWorldUnitsUnit, true),
        bind_value(kTrackingPriority, offsetof(T, tracking_priority), kInteger16Unit),
        bind_value(kGuidedTurningSpeed, offsetof(T, guided_turning_speed), kAngularRateUnit),
        bind_value(kStatistic140, offsetof(T, field_140), kInteger16Unit),
    });
    return table;
}

const TBindingTable& FlagsTable()
{
    static const TBindingTable table = struct_bindings<T>({flag_series(kFirstFlag, offsetof(T, flags), kFlagBits)});
    return table;
}

const TBindingTable& DamageTable()
{
    static const TBindingTable table = struct_bindings<T>({
        bind_popup(kDamageType, offsetof(T, damage_type), kDamageTypeItems, 1),
        bind_range(kDamage, kDamageUpper, offsetof(T, damage_lower_bound), offsetof(T, damage_delta),
                   kFixed8SignedUnit),
        bind_range(kRadius, kRadiusUpper, offsetof(T, radius_lower_bound), offsetof(T, radius_delta),
                   kWorldUnitsSignedUnit),
        bind_value(kRateOfExpansion, offsetof(T, rate_of_expansion), kWorldUnitsSignedUnit),
        bind_value(kDamageToVelocity, offsetof(T, damage_to_velocity), kFixed8SignedUnit),
        flag_series(kFirstDamageFlag, offsetof(T, damage_flags), kDamageFlagBits),
    });
    return table;
}

const TBindingTable& ModifiersTable()
{
    static const TBindingTable table =
        struct_bindings<T>({value_series(kFirstModifier, offsetof(T, field_76), kModifierCount, 2, kFixed8SignedUnit)});
    return table;
}

class TprojEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1020;
    explicit TprojEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}

protected:
    void FillControls() override
    {
        fStoredKind = fCopy.model_kind;
        SetBoolean(kUseSkelModel, fCopy.model_kind == PROJECTILE_USES_SKELETAL_MODEL);
        TStructEditForm::FillControls();
    }

    void ReadControls() override
    {
        TStructEditForm::ReadControls();
        if (!FindView(kUseSkelModel)) return;
        // unchecking restores the kind the tag had, or the collection's 0
        if (GetBoolean(kUseSkelModel)) fCopy.model_kind = PROJECTILE_USES_SKELETAL_MODEL;
        else if (fCopy.model_kind == PROJECTILE_USES_SKELETAL_MODEL)
            fCopy.model_kind = fStoredKind == PROJECTILE_USES_SKELETAL_MODEL ? 0 : fStoredKind;
    }

    void UpdateControls() override
    {
        ShowView(kCollectionsUnsupported, fCopy.model_kind != PROJECTILE_USES_SKELETAL_MODEL);
    }

    bool HandleControl(XGCode message, int32_t control) override
    {
        TStructEditForm::HandleControl(message, control);
        if (message != "cclk"_4cc) return false;
        const TBindingTable* table = control == kFlagsButton     ? &FlagsTable()
                                     : control == kDamageButton    ? &DamageTable()
                                     : control == kModifiersButton ? &ModifiersTable()
                                                                   : nullptr;
        int32_t resource = control == kFlagsButton    ? kFlagsResource
                           : control == kDamageButton ? kDamageResource
                                                      : kModifiersResource;
        if (!table) return false;
        ReadControls();
        if (TEditDialogForm::Run(resource, kDialogOK, *table, &fCopy, GetTag()->file)) {
            GetTable().FillTypedTags(fAccess, &fCopy);
            UpdateControls();
        }
        return true;
    }

private:
    int16_t fStoredKind = 0;
};

} // namespace

void* open_proj_editor(tag_entry* e)
{
    return TTagEditForm::Open<TprojEditForm>(e, TprojEditForm::kResource);
}
