// Lightning: its texture stack and the texture numbers of the fork, the main bolt and the mesh stain.
#include <cstddef>

#include "shell/TStructEditForm.h"
#include "shell/forms/editor_forms.h"
#include "tags/gameplay/ligh.h"

namespace {

using T = lightning_definition;

enum : int32_t {
    kTextureStack = 20401,
    kForkTexture = 20410,
    kMainBoltTexture = 20411,
    kMeshStainTexture = 20412,
};

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        bind_tag(kTextureStack, offsetof(T, texture_stack_tag), "txst"_4cc),
        value_series(kForkTexture, offsetof(T, field_20), 3, 2, kInteger16Unit),
    });
    return table;
}

class TlighEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1007;
    explicit TlighEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}
};

} // namespace

void* open_ligh_editor(tag_entry* e)
{
    return TTagEditForm::Open<TlighEditForm>(e, TlighEditForm::kResource);
}
