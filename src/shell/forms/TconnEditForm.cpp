// Connector: its collection reference, sequences, height fraction and interpolant distance.
#include <cstddef>

#include "shell/TStructEditForm.h"
#include "shell/forms/editor_forms.h"
#include "tags/gameplay/conn.h"

namespace {

using T = connector_definition;

enum : int32_t {
    kCollection = 20201,
    kNormalSequence = 20210,
    kDamagedSequence = 20211,
    kHeightFraction = 20212,
    kInterpolantDistance = 20213,
};

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        bind_tag(kCollection, offsetof(T, collection_reference_tag), "core"_4cc),
        bind_value(kNormalSequence, offsetof(T, field_8), kInteger16Unit),
        bind_value(kDamagedSequence, offsetof(T, field_10), kInteger16Unit),
        bind_value(kHeightFraction, offsetof(T, field_12), kFraction16Unit),
        bind_value(kInterpolantDistance, offsetof(T, field_14), kWorldUnitsUnit, true),
    });
    return table;
}

class TconnEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1003;
    explicit TconnEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}
};

} // namespace

void* open_conn_editor(tag_entry* e)
{
    return TTagEditForm::Open<TconnEditForm>(e, TconnEditForm::kResource);
}
