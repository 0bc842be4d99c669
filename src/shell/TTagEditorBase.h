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
    // The tag's file was read again: the form shows the tag's new entry from now on, loaded
    // afresh. The old entry is gone and is not touched.
    virtual void Retarget(tag_entry* e);
    // Lets go of the tag without touching it (its file is read again and it is gone).
    void ReleaseTag() { fTag = nullptr; }
    // Sets the window's title from the tag.
    void UpdateTitle();
    static std::string TitleFor(const tag_entry* e);

private:
    tag_entry* fTag;
};
