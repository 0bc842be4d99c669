// Every structure form, on its default tag and on a tag of random bytes: loading shows
// no changes, and changing any one control changes exactly that field's bytes.
#include <gtest/gtest.h>

#include "framework/qt/XGPopupMenu.h"
#include "framework/qt/XGView.h"
#include "framework/qt/XGWindow.h"
#include "shell/TTolvaneApp.h"
#include "shell/TFieldBinding.h"
#include "shell/editor_form_support.h"
#include "shell/tag_field_text.h"

namespace {

using EditorFormsTest = EditorFormTest;

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
