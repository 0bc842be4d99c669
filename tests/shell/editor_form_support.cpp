#include "shell/editor_form_support.h"

#include <algorithm>
#include <random>

#include "framework/qt/XGDialog.h"
#include "framework/qt/XGEditText.h"
#include "framework/qt/XGListControl.h"
#include "shell/TTagPickList.h"
#include "shell/TTolvaneApp.h"
#include "sound/sound_list.h"
#include "tags/gameplay/gameplay.h"
#include "tags/tag_types.h"

namespace {

template <class T>
bytes Defaults()
{
    T d{};
    tag_struct_defaults(d);
    return tag_struct_bytes(d);
}

} // namespace

void EditorFormTest::SetUp()
{
    ShellTest::SetUp();
    std::vector<test_tag> targets;
    for (int i = 0; tag_type_by_index(i); ++i) {
        tag_code type = tag_type_by_index(i);
        targets.push_back({tag_code_to_text(type), "tgt_", "target", int16_t(tag_type_version(type)), bytes(4, 0)});
    }
    std::string path = WriteTagFile("plugins/forms.tag", targets);
    StartApp();
    fFile = fApp->GetStore().find_open_file(path);
    ASSERT_NE(fFile, nullptr);
}

tag_entry* EditorFormTest::MakeTag(const std::string& type, const bytes& data, const std::string& name)
{
    tag_code t = code(type);
    return fApp->GetStore().create_tag(fFile, t, 0, int16_t(tag_type_version(t)), name.c_str(), 0,
                                       uint32_t(data.size()), data.data());
}

TTagEditForm* EditorFormTest::Open(tag_entry* e)
{
    fApp->OpenTagEditor(e, false);
    return dynamic_cast<TTagEditForm*>(TTagEditorBase::FromTag(e));
}

bytes EditorFormTest::Data(tag_entry* e)
{
    uint32_t size = 0;
    const uint8_t* data = tag_get_data(e, &size);
    return data ? bytes(data, data + size) : bytes();
}

XGView* EditorFormTest::View(TTagEditForm* form, int32_t control)
{
    return form->FindView(control);
}

void EditorFormTest::Type(TTagEditForm* form, int32_t control, const std::string& text)
{
    auto* edit = dynamic_cast<XGEditText*>(form->FindView(control));
    ASSERT_NE(edit, nullptr) << "no edit " << control;
    edit->Type(text);
}

std::vector<form_case> structure_form_cases()
{
    return {
        {"amso", Defaults<ambient_sound_definition>()},
        {"arti", Defaults<artifact_definition>()},
        {"conn", Defaults<connector_definition>()},
        {"form", bytes(sizeof(formation_definition), 0)},
        {"ligh", Defaults<lightning_definition>()},
        {"phys", Defaults<local_physics_definition>()},
        {"lpgr", Defaults<local_projectile_group_definition>()},
        {"medi", Defaults<media_type_definition>()},
        {"meef", Defaults<mesh_effect_definition>()},
        {"meli", Defaults<mesh_lighting_definition>()},
        {"mons", Defaults<monster_definition>()},
        {"obje", Defaults<object_definition>()},
        {"obpc", Defaults<observer_constants_definition>()},
        {"part", Defaults<particle_system_definition>()},
        {"prgr", Defaults<projectile_group_definition>()},
        {"proj", bytes(sizeof(projectile_definition), 0)},
        {"scen", Defaults<scenery_definition>()},
        {"unit", Defaults<unit_definition>()},
        {"wind", Defaults<wind_definition>()},
        {"loli", Defaults<local_light_definition>()},
        {"glli", Defaults<global_light_definition>()},
        {"game", Defaults<game_parameter_definition>()},
    };
}

bytes random_bytes(size_t size, unsigned seed)
{
    std::mt19937 random(seed);
    bytes data(size);
    for (uint8_t& b : data) b = uint8_t(random());
    return data;
}

void answer_pick_list(ModalScript& script, const std::string& row)
{
    script.Then([row](XGDialog& d) {
        if (row.empty()) {
            d.ClickControl(TTagPickList::kNone);
            return;
        }
        auto* list = dynamic_cast<XGListControl*>(d.FindView(TTagPickList::kList));
        ASSERT_NE(list, nullptr);
        for (int32_t i = 0; i < list->GetItemCount(); ++i)
            if (list->GetItemText(i) == row) list->Choose(i);
        EXPECT_EQ(list->GetText(), row);
        d.ClickControl(TTagPickList::kSelect);
    });
}
