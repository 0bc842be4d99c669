// Every structure form, on its default tag and on a tag of random bytes: loading shows
// no changes, and changing any one control changes exactly that field's bytes.
#include <gtest/gtest.h>

#include <set>

#include "framework/qt/XGPopupMenu.h"
#include "framework/qt/XGView.h"
#include "framework/qt/XGWindow.h"
#include "shell/TTolvaneApp.h"
#include "shell/TFieldBinding.h"
#include "shell/editor_form_support.h"
#include "shell/tag_field_text.h"

namespace {

class EditorFormsTest : public EditorFormTest {
protected:
    // Changes the row's control as the user would; false when the row has nothing to change.
    bool Change(TTagEditForm* form, const TFieldBinding& row, ModalScript& script)
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

    void CheckEveryControl(const std::string& type, const bytes& original)
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
};

} // namespace

TEST_F(EditorFormsTest, EveryControlOfADefaultTagChangesOnlyItsField)
{
    for (const form_case& c : structure_form_cases()) CheckEveryControl(c.type, c.defaults);
}

TEST_F(EditorFormsTest, EveryControlOfARandomTagChangesOnlyItsField)
{
    unsigned seed = 1;
    for (const form_case& c : structure_form_cases()) CheckEveryControl(c.type, random_bytes(c.defaults.size(), seed++));
}
