// The editor forms on a data folder of their own: a plugin file holding one tag named
// "target" (id tgt_) of every type, for the reference buttons to pick, and the tags the
// tests edit.
#pragma once

#include <string>
#include <vector>

#include "framework/qt/XGView.h"
#include "shell/TFieldBinding.h"
#include "shell/TTagEditForm.h"
#include "shell/shell_test_support.h"

class EditorFormTest : public ShellTest {
protected:
    void SetUp() override;

    // A tag of the type at the type's current version in the plugin file.
    tag_entry* MakeTag(const std::string& type, const bytes& data, const std::string& name = "edited");
    // Opens the tag's editor as the application does and gives its form.
    TTagEditForm* Open(tag_entry* e);
    static bytes Data(tag_entry* e);
    static XGView* View(TTagEditForm* form, int32_t control);
    // Types text into an edit as the user does.
    static void Type(TTagEditForm* form, int32_t control, const std::string& text);
    // Changes the row's control as the user would; false when the row has nothing to change.
    bool Change(TTagEditForm* form, const TFieldBinding& row, ModalScript& script);
    // A tag of the type holding original: loading shows no changes, and changing any one
    // bound control changes exactly that field's bytes.
    void CheckEveryControl(const std::string& type, const bytes& original);

    tag_file* fFile = nullptr;
};

// The gameplay types with a structure form, the default bytes of each and its size.
struct form_case {
    std::string type;
    bytes defaults;
};
std::vector<form_case> structure_form_cases();
// size bytes from a fixed seed.
bytes random_bytes(size_t size, unsigned seed);
