#include "shell/TControlAccess.h"

#include <algorithm>
#include <cmath>

#include "framework/qt/XGForm.h"
#include "framework/qt/XGView.h"
#include "shell/TBitmapView.h"
#include "shell/TTagPickList.h"
#include "shell/tag_field_text.h"
#include "tags/tags.h"

namespace {

// Controls whose value, not text, is what they show.
bool ShowsValue(const XGView* v)
{
    switch (v->GetClassCode()) {
    case "chkb"_4cc:
    case "radb"_4cc:
    case "slid"_4cc:
    case "popm"_4cc:
    case "list"_4cc: return true;
    default: return false;
    }
}

} // namespace

XGView* TControlAccess::Find(int32_t control) const
{
    return control ? fForm.FindView(control) : nullptr;
}

void TControlAccess::Remember(int32_t control, int64_t raw, double number)
{
    XGView* v = Find(control);
    if (!v) return;
    fShown[control] = {v->GetText(), v->GetValue(), raw, number};
}

const TControlAccess::Shown* TControlAccess::Untouched(int32_t control) const
{
    auto it = fShown.find(control);
    if (it == fShown.end()) return nullptr;
    XGView* v = Find(control);
    if (!v || v->GetText() != it->second.text || v->GetValue() != it->second.value) return nullptr;
    return &it->second;
}

bool TControlAccess::IsUnchanged(int32_t control) const
{
    auto ref = fRefs.find(control);
    if (ref != fRefs.end()) {
        auto it = fShown.find(control);
        return it != fShown.end() && it->second.raw == int64_t(ref->second.id);
    }
    return Untouched(control) != nullptr;
}

void TControlAccess::SetInteger(int32_t control, int64_t value)
{
    XGView* v = Find(control);
    if (!v) return;
    if (ShowsValue(v)) v->SetValue(int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)));
    else v->SetText(std::to_string(value));
    Remember(control, value, double(value));
}

int64_t TControlAccess::GetInteger(int32_t control, int64_t lo, int64_t hi) const
{
    if (const Shown* s = Untouched(control)) return s->raw;
    XGView* v = Find(control);
    if (!v) return std::clamp<int64_t>(0, lo, hi);
    if (ShowsValue(v)) return std::clamp<int64_t>(v->GetValue(), lo, hi);
    return field_limit(ReadNumber(control, v->GetText()), lo, hi);
}

void TControlAccess::SetNumber(int32_t control, double value, int decimals)
{
    XGView* v = Find(control);
    if (!v) return;
    v->SetText(field_number_text(value, decimals));
    Remember(control, 0, value);
}

double TControlAccess::GetNumber(int32_t control) const
{
    if (const Shown* s = Untouched(control)) return s->number;
    XGView* v = Find(control);
    return v ? ReadNumber(control, v->GetText()) : 0.0;
}

void TControlAccess::SetScaled(int32_t control, int64_t raw, const TFieldUnit& unit)
{
    XGView* v = Find(control);
    if (!v) return;
    if (unit.decimals < 0) {
        SetInteger(control, raw);
        return;
    }
    double shown = double(raw) * unit.scale;
    v->SetText(field_number_text(shown, unit.decimals));
    Remember(control, raw, shown);
}

int64_t TControlAccess::GetScaled(int32_t control, const TFieldUnit& unit, int64_t lo, int64_t hi) const
{
    lo = std::max(lo, unit.lo);
    hi = std::min(hi, unit.hi);
    if (const Shown* s = Untouched(control)) return s->raw;
    XGView* v = Find(control);
    if (!v) return std::clamp<int64_t>(0, lo, hi);
    if (unit.decimals < 0) return GetInteger(control, lo, hi);
    return field_limit(ReadNumber(control, v->GetText()) / unit.scale, lo, hi);
}

double TControlAccess::ReadNumber(int32_t control, const std::string& text) const
{
    double value = 0.0;
    if (!field_text_parse(text, value) && !fRefused) fRefused = Refused{control, text};
    return value;
}

std::string TControlAccess::FieldLabel(int32_t control) const
{
    XGView* v = Find(control);
    if (!v || !v->GetParent()) return {};
    XGRect f = v->GetFrame();
    // the nearest label on the control's line to its left, else the nearest above it
    const XGView* left = nullptr;
    const XGView* above = nullptr;
    const XGView* field = nullptr; // the field before a "to:" label
    for (const XGView* s : v->GetParent()->GetSubviews()) {
        if (s == v) continue;
        XGRect r = s->GetFrame();
        bool sameLine = r.top < f.top + f.height && f.top < r.top + r.height;
        bool sameColumn = r.left < f.left + f.width && f.left < r.left + r.width;
        if (sameLine && r.left + r.width <= f.left + 4) {
            if (s->GetClassCode() == "text"_4cc && !s->GetText().empty()) {
                if (!left || r.left > left->GetFrame().left) left = s;
            } else if (s->GetID() != 0 && (!field || r.left > field->GetFrame().left)) {
                field = s;
            }
        } else if (sameColumn && r.top + r.height <= f.top + 4 && s->GetClassCode() == "text"_4cc &&
                   !s->GetText().empty() && (!above || r.top > above->GetFrame().top)) {
            above = s;
        }
    }
    const XGView* label = left ? left : above;
    if (!label) return {};
    std::string text = label->GetText();
    while (!text.empty() && (text.back() == ':' || text.back() == ' ')) text.pop_back();
    // the upper bound of a range is labelled "to:"
    if (text == "to" && field && field->GetFrame().left < label->GetFrame().left) {
        std::string lower = FieldLabel(field->GetID());
        if (!lower.empty()) return lower + " (upper bound)";
    }
    return text;
}

std::string TControlAccess::RefusedMessage() const
{
    if (!fRefused) return {};
    std::string label = FieldLabel(fRefused->control);
    std::string field = label.empty()                ? "the field " + std::to_string(fRefused->control)
                        : label.rfind("Field ", 0) == 0 ? label
                                                         : "the field " + label;
    return "The text \"" + fRefused->text + "\" of " + field +
           " is not a number. Type a number, or leave the field empty for 0.";
}

void TControlAccess::SetText(int32_t control, const std::string& text)
{
    XGView* v = Find(control);
    if (!v) return;
    v->SetText(text);
    fShown.erase(control);
}

std::string TControlAccess::GetText(int32_t control) const
{
    XGView* v = Find(control);
    return v ? v->GetText() : std::string();
}

std::string TControlAccess::ReferenceLabel(tag_code type, tag_code id) const
{
    return TTagPickList::ReferenceLabel(fStore, type, id);
}

void TControlAccess::SetTagRef(int32_t control, tag_code type, tag_code id)
{
    XGView* v = Find(control);
    if (!v) return;
    fRefs[control] = {type, id};
    v->SetText(ReferenceLabel(type, id));
    fShown[control] = {v->GetText(), v->GetValue(), int64_t(id), 0.0};
}

void TControlAccess::ChooseTagRef(int32_t control, tag_code id)
{
    auto ref = fRefs.find(control);
    XGView* v = Find(control);
    if (ref == fRefs.end() || !v) return;
    ref->second.id = id;
    v->SetText(ReferenceLabel(ref->second.type, id));
}

tag_code TControlAccess::GetTagRef(int32_t control) const
{
    auto ref = fRefs.find(control);
    if (ref == fRefs.end() || !Find(control)) return 0;
    tag_code id = ref->second.id;
    auto shown = fShown.find(control);
    if (shown != fShown.end() && shown->second.raw == int64_t(id)) return id;
    return id == 0 || tag_id_shows_blank(id) ? NONE_TAG : id;
}

tag_code TControlAccess::GetTagRefType(int32_t control) const
{
    auto ref = fRefs.find(control);
    return ref == fRefs.end() ? 0 : ref->second.type;
}

void TControlAccess::SetColor(int32_t control, uint16_t red, uint16_t green, uint16_t blue)
{
    if (auto* swatch = dynamic_cast<TBitmapView*>(Find(control)))
        swatch->SetColor(uint8_t(red >> 8), uint8_t(green >> 8), uint8_t(blue >> 8));
}
