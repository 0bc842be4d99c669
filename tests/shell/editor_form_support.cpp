#include "shell/editor_form_support.h"

#include <algorithm>
#include <random>
#include <set>

#include "framework/qt/XGDialog.h"
#include "framework/qt/XGEditText.h"
#include "framework/qt/XGListControl.h"
#include "framework/qt/XGPopupMenu.h"
#include "framework/qt/XGWindow.h"
#include "shell/tag_field_text.h"
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

bool EditorFormTest::Change(TTagEditForm* form, const TFieldBinding& row, ModalScript& script)
{
    XGView* v = View(form, row.control);
    if (!v) {
        ADD_FAILURE() << "no control " << row.control;
        return false;
    }
    v->Enable(true);
    switch (row.kind) {
    case TFieldKind::Scaled: {
        std::string current = v->GetText();
        for (double candidate : {0.5, 1.0, 7.0}) {
            std::string text = row.unit->decimals < 0 ? std::to_string(int(candidate * 2))
                                                      : field_number_text(candidate, row.unit->decimals);
            if (text == current) continue;
            Type(form, row.control, text);
            return true;
        }
        return false;
    }
    case TFieldKind::Range: {
        double lower = field_text_number(form->GetText(row.control));
        std::string upper = form->GetText(row.upper_control);
        for (double step : {3.0, 5.0}) {
            std::string text = row.unit->decimals < 0 ? std::to_string(int64_t(lower + step))
                                                      : field_number_text(lower + step, row.unit->decimals);
            if (text == upper) continue;
            Type(form, row.upper_control, text);
            return true;
        }
        return false;
    }
    case TFieldKind::Flag: v->Click(); return true;
    case TFieldKind::Popup: {
        auto* popup = dynamic_cast<XGPopupMenu*>(v);
        popup->Choose(popup->GetValue() < 0 ? 0 : (popup->GetValue() + 1) % popup->GetItemCount());
        return true;
    }
    case TFieldKind::TagRef:
        answer_pick_list(script, form->GetTagRef(row.control) == NONE_TAG ? "target (tgt_)" : "");
        v->Click();
        return true;
    case TFieldKind::Color: return false;
    }
    return false;
}

void EditorFormTest::CheckEveryControl(const std::string& type, const bytes& original)
{
    SCOPED_TRACE(type);
    tag_entry* e = MakeTag(type, original);
    TTagEditForm* form = Open(e);
    ASSERT_NE(form, nullptr);
    EXPECT_FALSE(form->HasChanges());
    EXPECT_EQ(form->GetNote(), "");
    const TBindingTable* table = form->GetBindings();
    ASSERT_NE(table, nullptr);
    EXPECT_GT(table->Rows().size(), 0u);
    for (const TFieldBinding& row : table->Rows()) {
        SCOPED_TRACE("control " + std::to_string(row.control));
        tag_set_data(e, original.data(), uint32_t(original.size()));
        form->LoadTag();
        ASSERT_FALSE(form->HasChanges());
        ModalScript script;
        if (!Change(form, row, script)) continue;
        EXPECT_TRUE(form->HasChanges());
        form->ApplyChanges();
        EXPECT_FALSE(form->HasChanges());
        bytes after = Data(e);
        ASSERT_EQ(after.size(), original.size());
        std::vector<int32_t> field = table->FieldBytes(row);
        std::set<int32_t> allowed(field.begin(), field.end());
        int changed = 0;
        for (size_t i = 0; i < after.size(); ++i) {
            if (after[i] == original[i]) continue;
            ++changed;
            EXPECT_TRUE(allowed.count(int32_t(i))) << "byte " << i << " is not the field's";
        }
        EXPECT_GT(changed, 0);
    }
    form->GetWindow()->Close(false);
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
