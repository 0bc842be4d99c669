// Game parameters: the three maps they name.
#include <cstddef>

#include "shell/TStructEditForm.h"
#include "shell/forms/editor_forms.h"
#include "tags/gameplay/game.h"

namespace {

using T = game_parameter_definition;

enum : int32_t {
    kMap = 22401,
};

const TBindingTable& Table()
{
    static const TBindingTable table = struct_bindings<T>({
        tag_series(kMap, offsetof(T, mesh_tags), NUMBER_OF_GAME_MESH_TAGS, "mesh"_4cc),
    });
    return table;
}

class TgameEditForm : public TStructEditForm<T> {
public:
    static constexpr int32_t kResource = 1033;
    explicit TgameEditForm(tag_entry* e) : TStructEditForm(e, Table()) {}
};

} // namespace

void* open_game_editor(tag_entry* e)
{
    return TTagEditForm::Open<TgameEditForm>(e, TgameEditForm::kResource);
}
