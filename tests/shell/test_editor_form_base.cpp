// The form base: header, title, accessors and their display rules, reference buttons,
// the close question, the commands and the tag-changed broadcast.
#include <gtest/gtest.h>

#include <QWidget>
#include <functional>

#include "framework/XGFileSpecifier.h"

#include "framework/XGResources.h"
#include "framework/qt/XGAlert.h"
#include "framework/qt/XGDialog.h"
#include "framework/qt/XGEditText.h"
#include "framework/qt/XGFactories.h"
#include "framework/qt/XGGroupBox.h"
#include "framework/qt/XGMessages.h"
#include "framework/qt/XGWindow.h"
#include "shell/TTagFileForm.h"
#include "shell/TTagPickList.h"
#include "shell/TTolvaneApp.h"
#include "shell/TTreeView.h"
#include "shell/editor_form_support.h"
#include "tags/gameplay/gameplay.h"

namespace {

// Controls of the object form (view resource 1016).
constexpr int32_t kGravity = 21000;
constexpr int32_t kVitality = 21003;
constexpr int32_t kVitalityUpper = 21004;
constexpr int32_t kDrawSelection = 21010;
// Controls of the monster form (view resource 1015).
constexpr int32_t kModel = 11501;
constexpr int32_t kObjectTag = 11503;
constexpr int32_t kAmmunition = 11553;
constexpr int32_t kAmmunitionUpper = 11554;
constexpr int32_t kTurningSpeed = 11556;

object_definition Object()
{
    object_definition o{};
    tag_struct_defaults(o);
    return o;
}

class EditorFormBaseTest : public EditorFormTest {
protected:
    tag_entry* ObjectTag(const object_definition& o) { return MakeTag("obje", tag_struct_bytes(o), "boulder"); }
    static std::string Text(TTagEditForm* form, int32_t control) { return form->GetText(control); }
};

} // namespace

TEST_F(EditorFormBaseTest, TheHeaderShowsThePathAndFollowsTheChanges)
{
    TTagEditForm* form = Open(ObjectTag(Object()));
    ASSERT_NE(form, nullptr);
    XGWindow* w = form->GetWindow();
    EXPECT_EQ(w->GetTitle(), "boulder (" + tag_code_to_text(form->GetTag()->id) + "/obje)");
    EXPECT_EQ(Text(form, TTagEditForm::kPathText), "plugins/forms.tag");
    // the form's views sit below the header, and the window grew by it
    XGView* background = nullptr;
    for (XGView* v : w->GetRootView()->GetSubviews())
        if (v->GetClassCode() == "TGBK"_4cc) background = v;
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->GetFrame().top, TTagEditForm::kHeaderHeight);
    int width = 0, height = 0;
    w->GetSize(width, height);
    EXPECT_EQ(height, XGLoadViewResource(1016).frame.height + TTagEditForm::kHeaderHeight);
    EXPECT_EQ(w->GetDefaultButton(), TTagEditForm::kApplyButton);

    XGAppCore* app = fApp.get();
    EXPECT_FALSE(View(form, TTagEditForm::kApplyButton)->IsEnabled());
    EXPECT_FALSE(app->GetCommandStatus(TTagEditForm::kCommandApplyTagChanges).enabled);
    EXPECT_TRUE(app->GetCommandStatus(TTagEditForm::kCommandTagInfo).enabled);
    Type(form, kGravity, "1.5");
    EXPECT_TRUE(View(form, TTagEditForm::kApplyButton)->IsEnabled());
    EXPECT_TRUE(View(form, TTagEditForm::kReloadButton)->IsEnabled());
    EXPECT_TRUE(app->GetCommandStatus(TTagEditForm::kCommandReloadTag).enabled);

    // Reload puts the tag back into the controls
    View(form, TTagEditForm::kReloadButton)->Click();
    EXPECT_EQ(Text(form, kGravity), "0.0");
    EXPECT_FALSE(View(form, TTagEditForm::kReloadButton)->IsEnabled());

    // Apply writes it
    Type(form, kGravity, "1.5");
    EXPECT_TRUE(app->DoCommand(TTagEditForm::kCommandApplyTagChanges));
    object_definition stored{};
    ASSERT_TRUE(read_tag_struct(form->GetTag(), stored));
    EXPECT_EQ(stored.field_2, 768);
    EXPECT_FALSE(form->HasChanges());
}

TEST_F(EditorFormBaseTest, TheFileButtonTagInfoAndTheChangeBroadcastLeadToTheTagsFile)
{
    tag_entry* e = ObjectTag(Object());
    TTagEditForm* form = Open(e);
    TTagFileForm* window = TTagFileForm::FromFile(e->file);
    ASSERT_NE(window, nullptr);
    window->GetTree()->ClearSelection();
    View(form, TTagEditForm::kFileButton)->Click();
    EXPECT_EQ(fApp->GetFrontWindow(), window->GetWindow());
    ASSERT_EQ(window->GetSelectedTags().size(), 1u);
    EXPECT_EQ(window->GetSelectedTags()[0], e);

    // the broadcast of a change retitles the editor and shows the changed tag in its file's window
    Type(form, kGravity, "3");
    form->ApplyChanges();
    tag_set_name(e, "renamed boulder");
    window->GetTree()->ClearSelection();
    fApp->GetStore().tag_changed(code("obje"), e->id);
    pump_events();
    EXPECT_EQ(form->GetWindow()->GetTitle(), "renamed boulder (" + tag_code_to_text(e->id) + "/obje)");
    EXPECT_NE(window->GetWindow()->GetTitle().find("(modified)"), std::string::npos);
    ASSERT_EQ(window->GetSelectedTags().size(), 1u);
    EXPECT_EQ(window->GetSelectedTags()[0], e);

    // Tag Info renames the tag; the editor takes the new title
    form->GetWindow()->BringToFront();
    ModalScript script;
    script.Then([](XGDialog& d) {
        EXPECT_EQ(d.GetTitle(), "Tag Info");
        d.FindView(1)->SetText("pebble");
        d.ClickControl(101);
    });
    EXPECT_TRUE(fApp->DoCommand(TTagEditForm::kCommandTagInfo));
    EXPECT_STREQ(e->name, "pebble");
    EXPECT_EQ(form->GetWindow()->GetTitle(), "pebble (" + tag_code_to_text(e->id) + "/obje)");
}

TEST_F(EditorFormBaseTest, AccessorsShowStoredNumbersAsDecimals)
{
    TTagEditForm* form = Open(ObjectTag(Object()));
    const int32_t c = kGravity;
    form->SetFraction16(c, 32768);
    EXPECT_EQ(Text(form, c), "0.5");
    form->SetWorldUnits(c, 16384);
    EXPECT_EQ(Text(form, c), "32.0");
    form->SetAngle(c, 16384);
    EXPECT_EQ(Text(form, c), "90.0");
    form->SetAngularRate(c, 182);
    EXPECT_EQ(Text(form, c), "29.99");
    form->SetFixed8Signed(c, -384);
    EXPECT_EQ(Text(form, c), "-1.5");
    form->SetFixed16(c, 0x18000);
    EXPECT_EQ(Text(form, c), "1.5");
    form->SetFraction8(c, 255);
    EXPECT_EQ(Text(form, c), "1.0");
    form->SetWorldUnitsSigned(c, -256);
    EXPECT_EQ(Text(form, c), "-0.5");
    form->SetInteger(c, -7);
    EXPECT_EQ(Text(form, c), "-7");
    form->SetNumber(c, 2.126, 2);
    EXPECT_EQ(Text(form, c), "2.13");

    // an untouched control gives back exactly what was set, though the text is rounded
    form->SetFraction16(c, 5);
    EXPECT_EQ(Text(form, c), "0.0001");
    EXPECT_EQ(form->GetFraction16(c), 5);
    form->SetAngularRate(c, 182);
    EXPECT_EQ(form->GetAngularRate(c), 182);

    // typed text is multiplied back, rounded and limited to the stored width
    Type(form, c, "29.99");
    EXPECT_EQ(form->GetAngularRate(c), 182);
    Type(form, c, "0.5");
    EXPECT_EQ(form->GetFraction16(c), 32768);
    Type(form, c, "-2");
    EXPECT_EQ(form->GetFraction16(c), 0);
    Type(form, c, "1000");
    EXPECT_EQ(form->GetFixed8Signed(c), 32767);
    EXPECT_EQ(form->GetWorldUnits(c), 65535);
    Type(form, c, "90");
    EXPECT_EQ(form->GetAngle(c), 16384);
    Type(form, c, "not a number");
    EXPECT_EQ(form->GetFixed8Signed(c), 0);
    EXPECT_EQ(form->GetInteger(c), 0);
    EXPECT_EQ(form->GetNumber(c), 0.0);

    // a control the form lacks is skipped
    form->SetFraction16(4242, 7);
    EXPECT_EQ(form->GetFraction16(4242), 0);
    EXPECT_EQ(form->GetTagRef(4242), 0u);
}

TEST_F(EditorFormBaseTest, ApplyRefusesTextThatIsNotANumberAndShowsLimitedNumbersAsStored)
{
    tag_entry* e = ObjectTag(Object());
    TTagEditForm* form = Open(e);
    const bytes before = Data(e);
    // text that reads as the stored 0 still differs from it
    Type(form, kGravity, "abc");
    EXPECT_TRUE(View(form, TTagEditForm::kApplyButton)->IsEnabled());
    Type(form, kGravity, "-100000");
    struct Case {
        int32_t control;
        const char* text;
        const char* field;
    };
    for (const Case& c : {Case{kVitality, "abc", "field Vitality "}, Case{kVitalityUpper, "1O", "Vitality (upper bound)"}}) {
        Type(form, c.control, c.text);
        ModalScript script;
        script.Click(kXGAlertOK);
        View(form, TTagEditForm::kApplyButton)->Click();
        ASSERT_EQ(script.Shown().size(), 1u) << c.text;
        EXPECT_TRUE(script.Shown()[0].Mentions(std::string("\"") + c.text + "\"")) << c.text;
        EXPECT_TRUE(script.Shown()[0].Mentions(c.field)) << c.text;
        EXPECT_EQ(Data(e), before) << c.text;
        EXPECT_EQ(Text(form, c.control), c.text);
        Type(form, c.control, "");
    }
    // closing offers Apply, which refuses the same way and keeps the window
    Type(form, kVitality, "x1");
    {
        ModalScript script;
        script.Click(TTagEditForm::kCommitApply).Click(kXGAlertOK);
        EXPECT_FALSE(form->GetWindow()->Close(true));
        EXPECT_EQ(Data(e), before);
    }
    // empty reads as 0; a number beyond the field is limited and shown as stored
    Type(form, kVitality, " ");
    EXPECT_TRUE(fApp->DoCommand(TTagEditForm::kCommandApplyTagChanges));
    object_definition stored{};
    ASSERT_TRUE(read_tag_struct(e, stored));
    EXPECT_EQ(stored.field_2, INT16_MIN);
    EXPECT_EQ(stored.maximum_vitality, 0);
    EXPECT_EQ(Text(form, kGravity), "-64.0");
    EXPECT_FALSE(form->HasChanges());
}

TEST_F(EditorFormBaseTest, ASubDialogKeepsItsCopyUntilEveryNumberReads)
{
    monster_definition m{};
    tag_struct_defaults(m);
    m.field_8[0] = 12;
    TTagEditForm* form = Open(MakeTag("mons", tag_struct_bytes(m)));
    ModalScript script;
    bool stayed = false;
    script.Then([&](XGDialog& d) {
        EXPECT_EQ(d.GetTitle(), "Monster Animation States");
        d.FindView(10)->SetText("seven");
        d.ClickControl(1);
        stayed = !d.IsDone();
        d.FindView(10)->SetText("7");
        d.ClickControl(1);
    });
    script.Click(kXGAlertOK);
    form->FindView(13041)->Click();
    EXPECT_TRUE(stayed);
    ASSERT_EQ(script.Shown().size(), 2u);
    EXPECT_TRUE(script.Shown()[1].Mentions("\"seven\" of Field 8 "));
    form->ApplyFromControls();
    monster_definition stored{};
    ASSERT_TRUE(read_tag_struct(form->GetTag(), stored));
    EXPECT_EQ(stored.field_8[0], 7);
}

TEST_F(EditorFormBaseTest, RangesShowTheUpperBoundAndStoreADelta)
{
    monster_definition m{};
    tag_struct_defaults(m);
    m.initial_ammunition_lower_bound = 5;
    m.initial_ammunition_delta = 0;
    m.turning_speed = 182;
    TTagEditForm* form = Open(MakeTag("mons", tag_struct_bytes(m)));
    EXPECT_EQ(Text(form, kAmmunition), "5");
    EXPECT_EQ(Text(form, kAmmunitionUpper), "5");
    EXPECT_EQ(Text(form, kTurningSpeed), "29.99");
    Type(form, kAmmunitionUpper, "8");
    form->ApplyChanges();
    monster_definition stored{};
    ASSERT_TRUE(read_tag_struct(form->GetTag(), stored));
    EXPECT_EQ(stored.initial_ammunition_lower_bound, 5);
    EXPECT_EQ(stored.initial_ammunition_delta, 4);
    EXPECT_EQ(stored.turning_speed, 182);

    // a delta of 1 shows the lower bound and stays 1 until the range is edited
    object_definition o = Object();
    o.maximum_vitality = 2560;
    o.maximum_vitality_delta = 1;
    TTagEditForm* object = Open(ObjectTag(o));
    EXPECT_EQ(Text(object, kVitality), "10.0");
    EXPECT_EQ(Text(object, kVitalityUpper), "10.0");
    EXPECT_FALSE(object->HasChanges());
    // the lower bound moves: the upper bound shown stays where it was
    Type(object, kVitality, "9");
    object->ApplyChanges();
    ASSERT_TRUE(read_tag_struct(object->GetTag(), o));
    EXPECT_EQ(o.maximum_vitality, 2304);
    EXPECT_EQ(o.maximum_vitality_delta, 257);
}

TEST_F(EditorFormBaseTest, ReferenceButtonsNameTheirTagsPickFromTheListAndReadZeroAsNone)
{
    monster_definition m{};
    tag_struct_defaults(m);
    m.object_tag = code("tgt_");
    m.collection_tag = code("gone");
    TTagEditForm* form = Open(MakeTag("mons", tag_struct_bytes(m)));
    EXPECT_EQ(Text(form, kObjectTag), "target");
    EXPECT_EQ(Text(form, kModel), "(missing tag 'gone')");
    EXPECT_EQ(Text(form, 11541), "(tag unassigned)");

    ModalScript script;
    // Cancel keeps the tag, None gives -1, Select the tag chosen
    script.Then([](XGDialog& d) {
        EXPECT_EQ(d.GetTitle(), "Pick Object (obje)");
        d.ClickControl(TTagPickList::kCancel);
    });
    View(form, kObjectTag)->Click();
    EXPECT_EQ(form->GetTagRef(kObjectTag), code("tgt_"));
    script.Click(TTagPickList::kNone);
    View(form, kObjectTag)->Click();
    EXPECT_EQ(form->GetTagRef(kObjectTag), NONE_TAG);
    EXPECT_EQ(Text(form, kObjectTag), "(tag unassigned)");
    answer_pick_list(script, "target (tgt_)");
    View(form, kObjectTag)->Click();
    EXPECT_EQ(form->GetTagRef(kObjectTag), code("tgt_"));

    // the narrow button opens the referenced tag's editor
    tag_entry* object = fApp->GetStore().find_tag(code("obje"), code("tgt_"));
    View(form, kObjectTag + 1)->Click();
    EXPECT_NE(TTagEditorBase::FromTag(object), nullptr);
    // a missing tag opens nothing
    size_t windows = fApp->GetWindows().size();
    View(form, kModel + 1)->Click();
    EXPECT_EQ(fApp->GetWindows().size(), windows);

    // an id of zero: untouched, the stored 0 is kept; once the button changes, zero or blanks read as none
    m.object_tag = 0;
    tag_entry* e = MakeTag("mons", tag_struct_bytes(m));
    form = Open(e);
    EXPECT_EQ(form->GetTagRef(kObjectTag), 0u);
    EXPECT_FALSE(form->HasChanges());
    form->Access().ChooseTagRef(kObjectTag, 0x01020304);
    EXPECT_EQ(Text(form, kObjectTag), "(missing tag '____')");
    EXPECT_EQ(form->GetTagRef(kObjectTag), NONE_TAG);
    form->Access().ChooseTagRef(kObjectTag, 0);
    EXPECT_EQ(form->GetTagRef(kObjectTag), 0u);
}

TEST_F(EditorFormBaseTest, ClosingAChangedFormAsksWhatToDo)
{
    tag_entry* e = ObjectTag(Object());
    bytes original = Data(e);
    ModalScript script;

    // unchanged: nothing is asked
    TTagEditForm* form = Open(e);
    EXPECT_TRUE(form->GetWindow()->Close(true));
    EXPECT_EQ(TTagEditorBase::FromTag(e), nullptr);

    // Cancel keeps the window and the changes
    form = Open(e);
    Type(form, kGravity, "2");
    std::string title = form->GetWindow()->GetTitle();
    script.Then([&](XGDialog& d) {
        EXPECT_EQ(d.GetTitle(), "Commit Tag Changes?");
        EXPECT_EQ(d.FindView(TTagEditForm::kCommitText)->GetText(),
                  "Should the changes to " + title + " be applied to the file before the editing window is closed?");
        d.ClickControl(TTagEditForm::kCommitCancel);
    });
    EXPECT_FALSE(form->GetWindow()->Close(true));
    EXPECT_EQ(TTagEditorBase::FromTag(e), form);
    EXPECT_EQ(Text(form, kGravity), "2");

    // Discard Changes closes and leaves the tag
    script.Click(TTagEditForm::kCommitDiscard);
    EXPECT_TRUE(form->GetWindow()->Close(true));
    EXPECT_EQ(Data(e), original);

    // Apply writes, then closes
    form = Open(e);
    Type(form, kGravity, "2");
    script.Click(TTagEditForm::kCommitApply);
    EXPECT_TRUE(form->GetWindow()->Close(true));
    object_definition stored{};
    ASSERT_TRUE(read_tag_struct(e, stored));
    EXPECT_EQ(stored.field_2, 1024);
}

TEST_F(EditorFormBaseTest, ShortDataOpensWithTheControlsAsBuiltAndLongDataKeepsItsTail)
{
    bytes shortData = tag_struct_bytes(Object());
    shortData.resize(20);
    tag_entry* e = MakeTag("obje", shortData);
    TTagEditForm* form = Open(e);
    EXPECT_NE(form->GetNote().find("20 bytes, shorter than its 64-byte structure"), std::string::npos);
    EXPECT_FALSE(form->IsViewShown(TTagEditForm::kPathText));
    EXPECT_EQ(Text(form, kGravity), "");
    EXPECT_TRUE(form->HasChanges());
    form->ApplyChanges();
    EXPECT_EQ(Data(e).size(), sizeof(object_definition));
    EXPECT_EQ(form->GetNote(), "");
    EXPECT_TRUE(form->IsViewShown(TTagEditForm::kPathText));

    // the bytes after the structure stay
    bytes longData = tag_struct_bytes(Object());
    for (int i = 0; i < 10; ++i) longData.push_back(uint8_t(0xA0 + i));
    tag_entry* tail = MakeTag("obje", longData);
    TTagEditForm* longForm = Open(tail);
    EXPECT_FALSE(longForm->HasChanges());
    View(longForm, kDrawSelection)->Click();
    longForm->ApplyChanges();
    bytes after = Data(tail);
    ASSERT_EQ(after.size(), longData.size());
    EXPECT_EQ(bytes(after.begin() + 64, after.end()), bytes(longData.begin() + 64, longData.end()));
    EXPECT_EQ(after[1], 0x01);
}

TEST_F(EditorFormBaseTest, EveryOpenEditorHearsOfEveryChangeInOrder)
{
    struct TListening : public TTagEditForm {
        explicit TListening(tag_entry* e, std::vector<std::string>& heard) : TTagEditForm(e), fHeard(heard) {}
        void LoadTag() override {}
        bool HasChanges() override { return false; }
        void ApplyChanges() override {}
        void TagChanged(tag_code type, tag_code id) override
        {
            fHeard.push_back(std::string(GetTag()->name) + ":" + tag_code_to_text(type) + "/" + tag_code_to_text(id));
        }
        std::vector<std::string>& fHeard;
    };
    std::vector<std::string> heard;
    tag_entry* a = MakeTag("rawd", bytes(4), "first");
    tag_entry* b = MakeTag("rawd", bytes(4), "second");
    TListening first(a, heard), second(b, heard);
    EXPECT_EQ(TTagEditForm::OpenEditors().size(), 2u);
    tag_set_data(a, "abcd", 4);
    EXPECT_EQ(heard, (std::vector<std::string>{"first:rawd/" + tag_code_to_text(a->id),
                                               "second:rawd/" + tag_code_to_text(a->id)}));
}

TEST_F(EditorFormBaseTest, ProtectedTagsOpenReadOnlyAndAreOverriddenInAPlugin)
{
    object_definition o = Object();
    o.field_2 = 512;
    const bytes data = tag_struct_bytes(o);
    std::string basePath = fData / "tags/base.tag";
    write_file(basePath, build_multi_tag_file({{"obje", "bldr", "boulder", 1, data}, {"obje", "rock", "rock", 1, data}},
                                              TAG_FILE_KIND_BASE));
    tag_file* base = fApp->OpenTagFile(basePath);
    tag_entry* e = tag_find_in_file(base, code("obje"), code("bldr"));
    ASSERT_NE(e, nullptr);
    TTagEditForm* form = Open(e);
    ASSERT_TRUE(form->IsReadOnly());
    EXPECT_EQ(Text(form, TTagEditForm::kProtectedText), "Base file: changes cannot be saved here");
    EXPECT_TRUE(View(form, TTagEditForm::kProtectedText)->IsShown());
    EXPECT_TRUE(View(form, TTagEditForm::kOverrideButton)->IsShown());
    EXPECT_TRUE(dynamic_cast<XGEditText*>(View(form, kGravity))->IsReadOnly());
    EXPECT_FALSE(View(form, kDrawSelection)->IsEnabled());
    // whatever the controls hold, nothing is applied
    Type(form, kGravity, "3");
    EXPECT_FALSE(View(form, TTagEditForm::kApplyButton)->IsEnabled());
    EXPECT_FALSE(fApp->DoCommand(TTagEditForm::kCommandApplyTagChanges));
    form->ApplyFromControls();
    EXPECT_EQ(Data(e), data);
    EXPECT_FALSE(base->needupdate);

    // the copy goes to a plugin behind the base file, which then comes first
    ASSERT_NE(fApp->GetStore().first_file(), fFile);
    {
        ModalScript script;
        script.File(fData / "plugins/forms.tag");
        View(form, TTagEditForm::kOverrideButton)->Click();
    }
    tag_entry* copy = fApp->GetStore().find_tag(code("obje"), code("bldr"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->file, fFile);
    EXPECT_EQ(Data(copy), data);
    auto* copyForm = dynamic_cast<TTagEditForm*>(TTagEditorBase::FromTag(copy));
    ASSERT_NE(copyForm, nullptr);
    EXPECT_FALSE(copyForm->IsReadOnly());
    Type(copyForm, kGravity, "3");
    copyForm->ApplyFromControls();
    EXPECT_EQ(be16(Data(copy), 2), 1536);
    EXPECT_EQ(Data(e), data);
    // closing the read-only editor asks nothing
    EXPECT_TRUE(form->GetWindow()->Close(true));

    // from the base file's window, into a new file in a new folder
    TTagFileForm* window = fApp->ShowTagFileWindow(base, true);
    window->Refresh(true);
    select_rows(window->GetTree(), {"rock (rock) [0k]"});
    EXPECT_TRUE(fApp->GetCommandStatus(kCommandOverrideInPlugin).enabled);
    {
        ModalScript script;
        script.File(fData / "plugins/more/over.tag");
        EXPECT_TRUE(fApp->DoCommand(kCommandOverrideInPlugin));
    }
    tag_entry* rock = fApp->GetStore().find_tag(code("obje"), code("rock"));
    ASSERT_NE(rock, nullptr);
    EXPECT_EQ(rock->file->path, XGNormalPath(fData / "plugins/more/over.tag"));
    EXPECT_TRUE(tag_file_needs_saving(rock->file) || rock->file->kind == TAG_FILE_KIND_NEW);
    EXPECT_NE(TTagFileForm::FromFile(rock->file), nullptr);
    EXPECT_NE(TTagEditorBase::FromTag(rock), nullptr);

    // a protected file cannot take the copy
    window->GetWindow()->BringToFront();
    select_rows(window->GetTree(), {"rock (rock) [0k]"});
    ModalScript script;
    script.File(basePath).Click(kXGAlertOK);
    EXPECT_TRUE(fApp->DoCommand(kCommandOverrideInPlugin));
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_TRUE(script.Shown()[0].Mentions("base.tag cannot be saved"));
}

TEST_F(EditorFormBaseTest, FieldsWithoutNamesFoldAwayBelowTheNamedOnes)
{
    // in every document window, a field labelled by its offset sits in a foldable group
    // that nothing else of the form lies below
    for (int32_t n = 1; n < 32768; ++n) {
        if (!XGGetResource(kXGViewResourceType, n)) continue;
        XGViewRecord top = XGLoadViewResource(n);
        if (top.classCode != "wind"_4cc) continue;
        std::function<void(const XGViewRecord&, const XGViewRecord*, int)> walk =
            [&](const XGViewRecord& r, const XGViewRecord* group, int groupTop) {
                for (const XGViewRecord& c : r.children) {
                    bool unnamed = c.classCode == "text"_4cc && c.text.rfind("Field ", 0) == 0;
                    if (unnamed) {
                        ASSERT_NE(group, nullptr) << n << " " << c.text;
                        EXPECT_TRUE(group->Has("collapsible")) << n << " " << group->text;
                    }
                    if (c.classCode == "grou"_4cc && c.Has("collapsible")) walk(c, &c, c.frame.top);
                    else walk(c, group, groupTop);
                }
            };
        walk(top, nullptr, 0);
    }

    unit_definition u{};
    tag_struct_defaults(u);
    u.records[2].field_8[3] = 42;
    TTagEditForm* form = Open(MakeTag("unit", tag_struct_bytes(u)));
    constexpr int32_t kRecord2Field14 = 22043;
    EXPECT_EQ(Text(form, kRecord2Field14), "42");
    EXPECT_EQ(form->Access().FieldLabel(kRecord2Field14), "Field 70");
    XGGroupBox* group = nullptr;
    for (XGView* v = View(form, kRecord2Field14); v; v = v->GetParent())
        if ((group = dynamic_cast<XGGroupBox*>(v))) break;
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->GetText(), "Other fields");
    // the decals and the monster lie above it
    for (int32_t named : {22001, 22011, 22017})
        EXPECT_LT(View(form, named)->GetWidget()->mapTo(form->GetWindow()->GetWidget(), QPoint(0, 0)).y(),
                  group->GetWidget()->mapTo(form->GetWindow()->GetWidget(), QPoint(0, 0)).y());

    int width = 0, open = 0, folded = 0;
    form->GetWindow()->GetSize(width, open);
    group->SetCollapsed(true);
    pump_events();
    form->GetWindow()->GetSize(width, folded);
    EXPECT_EQ(open - folded, group->GetFrame().height == XGGroupBox::kCollapsedHeight ? 280 - XGGroupBox::kCollapsedHeight : -1);
    EXPECT_FALSE(View(form, kRecord2Field14)->GetWidget()->isVisibleTo(form->GetWindow()->GetWidget()));
    // folded fields keep their values
    EXPECT_FALSE(form->HasChanges());
    group->SetCollapsed(false);
    pump_events();
    form->GetWindow()->GetSize(width, folded);
    EXPECT_EQ(folded, open);
}
