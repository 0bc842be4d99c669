#include "shell/TTagEditorBase.h"

#include "framework/qt/XGWindow.h"

TTagEditorBase::TTagEditorBase(tag_entry* e) : fTag(e)
{
    tag_set_window(e, this);
}

TTagEditorBase::~TTagEditorBase()
{
    if (fTag && fTag->form == this) fTag->form = nullptr;
}

TTagEditorBase* TTagEditorBase::FromTag(const tag_entry* e)
{
    return static_cast<TTagEditorBase*>(e->form);
}

std::string TTagEditorBase::TitleFor(const tag_entry* e)
{
    return std::string(e->name) + " (" + tag_code_to_text(e->id) + "/" + tag_code_to_text(e->group->type) + ")";
}

void TTagEditorBase::UpdateTitle()
{
    if (GetWindow()) GetWindow()->SetTitle(TitleFor(fTag));
}

void TTagEditorBase::Retarget(tag_entry* e)
{
    fTag = e;
    tag_set_window(e, this);
    UpdateTitle();
    LoadTag();
}
