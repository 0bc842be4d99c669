// What the shell asks of the editor form open on a tag: the tag records its form
// (tag_set_window), the form answers its window's close check, loads the tag and
// carries the title "%s (%s/%s)" (name, id, type). The tag editor forms derive from it.
#pragma once

#include "framework/qt/XGForm.h"
#include "tags/tags.h"

class TTagEditorBase : public XGForm {
public:
    // Records itself as the tag's form.
    explicit TTagEditorBase(tag_entry* e);
    // Forgets the tag.
    ~TTagEditorBase() override;

    tag_entry* GetTag() const { return fTag; }
    // The form open on the tag, or null.
    static TTagEditorBase* FromTag(const tag_entry* e);

    // Tag → controls.
    virtual void LoadTag() = 0;
    // Sets the window's title from the tag.
    void UpdateTitle();
    static std::string TitleFor(const tag_entry* e);

private:
    tag_entry* fTag;
};
