// Mesh lighting: the incident light vector and the ambient and diffuse intensities.
#include <cstddef>

#include "shell/TStructEditForm.h"
#include "shell/forms/editor_forms.h"
#include "tags/gameplay/meli.h"

namespace {

using T = mesh_lighting_definition;

enum : int32_t {
    kIncidentX = 20900,
    kAmbient = 20903,
    kDiffuse = 20904,
};

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        value_series(kIncidentX, offsetof(T, field_0), 3, 4, kFixed16SignedUnit),
        bind_value(kAmbient, offsetof(T, field_0) + 12, kFixed16Unit),
        bind_value(kDiffuse, offsetof(T, field_0) + 16, kFixed16Unit),
    });
    return table;
}

class TmeliEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1012;
    explicit TmeliEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}
};

} // namespace

void* open_meli_editor(tag_entry* e)
{
    return TTagEditForm::Open<TmeliEditForm>(e, TmeliEditForm::kResource);
}
