// What the Create Tag and Tag Info dialogs share: the name (control 1), the id choice
// (radio buttons 3 to 6) and the id field (control 7, enabled only with "Specify:"),
// recomputed whenever the name, the type or the choice changes.
#pragma once

#include <string>

#include "framework/qt/XGForm.h"
#include "tags/tags.h"

enum : int32_t {
    kTagIdNameControl = 1,
    kTagIdFieldControl = 7,
};

class TTagIdForm : public XGForm {
    XG_DECLARE_DISPATCH()

public:
    // The choice whose radio button is on (TAG_ID_UNIQUE_IN_TYPE when none is).
    int32_t GetChoice() const;
    // The id the controls give now.
    tag_code GetId() const;
    std::string GetName() const;

protected:
    // file: what "Unique for type within file" means.
    TTagIdForm(TTagStore& store, tag_file* file) : fStore(store), fFile(file) {}
    virtual tag_code GetType() const = 0;
    // The type or name control changed.
    virtual void Changed() {}
    void SetChoice(int32_t choice);
    void Recompute();

    int32_t DoChange(XGCode code, XGParam id, XGParam view);
    int32_t DoClick(XGCode code, XGParam id, XGParam view);

    TTagStore& fStore;
    tag_file* fFile;
};
