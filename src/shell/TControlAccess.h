// The typed control accessors of the tag editor forms and their dialogs. Setters show a
// stored value in a control by id; getters read it back as the stored form. A control
// that still shows exactly what a setter put there gives back the value that was set,
// so that reading an untouched form reproduces the stored bytes even where the text is
// rounded. A missing control makes a setter do nothing and a getter give 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "shell/TFieldUnit.h"
#include "tags/tag_code.h"

class TTagStore;
class XGForm;
class XGView;

class TControlAccess {
public:
    // store names the tags of reference buttons (none: every reference is missing).
    TControlAccess(XGForm& form, const TTagStore* store) : fForm(form), fStore(store) {}

    // Check box, radio button, slider, pop-up: the value; list: the selected row; other
    // controls: the number as text.
    void SetInteger(int32_t control, int64_t value);
    int64_t GetInteger(int32_t control, int64_t lo = INT32_MIN, int64_t hi = INT32_MAX) const;
    void SetBoolean(int32_t control, bool value) { SetInteger(control, value ? 1 : 0); }
    bool GetBoolean(int32_t control) const { return GetInteger(control, 0, 1) != 0; }
    // A decimal with the given decimals.
    void SetNumber(int32_t control, double value, int decimals);
    double GetNumber(int32_t control) const;
    // A stored value shown in a unit; read back multiplied back, rounded and limited
    // to lo..hi as well as to the unit's own range.
    void SetScaled(int32_t control, int64_t raw, const TFieldUnit& unit);
    int64_t GetScaled(int32_t control, const TFieldUnit& unit, int64_t lo = INT64_MIN, int64_t hi = INT64_MAX) const;
    void SetText(int32_t control, const std::string& text);
    std::string GetText(int32_t control) const;
    // A reference button: keeps the type and id and shows "(tag unassigned)", the tag's
    // name or "(missing tag '%s')". Read back: the id, -1 for 0 and for "____".
    void SetTagRef(int32_t control, tag_code type, tag_code id);
    tag_code GetTagRef(int32_t control) const;
    // What the user picked for a reference button (-1 for none).
    void ChooseTagRef(int32_t control, tag_code id);
    // Whether the control is a reference button, and its type.
    bool IsTagRef(int32_t control) const { return fRefs.count(control) != 0; }
    tag_code GetTagRefType(int32_t control) const;
    // A 4 x 4 swatch of the high bytes of three 16-bit channels.
    void SetColor(int32_t control, uint16_t red, uint16_t green, uint16_t blue);

    // Whether the control still shows what its setter put there.
    bool IsUnchanged(int32_t control) const;

    // The first control, since the last ClearRefused, whose text a getter could not read
    // as a number (the getter gave 0).
    struct Refused {
        int32_t control;
        std::string text;
    };
    const std::optional<Refused>& GetRefused() const { return fRefused; }
    void ClearRefused() { fRefused.reset(); }
    // "The text "abc" of the field Gravity is not a number." for the refused control.
    std::string RefusedMessage() const;
    // The label beside or above the control, without its colon ("" when there is none).
    std::string FieldLabel(int32_t control) const;

    XGView* Find(int32_t control) const;

private:
    struct Shown {
        std::string text;
        int32_t value;
        int64_t raw;
        double number;
    };
    struct Reference {
        tag_code type;
        tag_code id;
    };
    void Remember(int32_t control, int64_t raw, double number);
    const Shown* Untouched(int32_t control) const;
    std::string ReferenceLabel(tag_code type, tag_code id) const;
    // The text as a number; text that is not one gives 0 and is remembered as refused.
    double ReadNumber(int32_t control, const std::string& text) const;

    XGForm& fForm;
    const TTagStore* fStore;
    std::unordered_map<int32_t, Shown> fShown;
    std::unordered_map<int32_t, Reference> fRefs;
    mutable std::optional<Refused> fRefused;
};
