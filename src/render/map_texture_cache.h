// The map view's OpenGL textures, built on first use from the texture stack tags and
// kept per stack tag, per layer (a stack of the tag), as (index, selector a, selector b,
// name). Selector a is a texture's layer field, selector b its use.
#pragma once

#include <map>
#include <vector>

#include "render/gl_functions.h"
#include "tags/tags.h"

class map_texture_cache {
public:
    explicit map_texture_cache(TTagStore* store) : fStore(store) {}
    ~map_texture_cache();
    // Drawing goes through gl from now on; textures made before are forgotten (names of
    // another context mean nothing here) unless release_all ran first.
    void set_gl(const gl_functions* gl)
    {
        fGL = gl;
        fStacks.clear();
        fBound = 0;
    }

    // The texture of the tag's layer: the cached one whose index is index, or whose
    // selector b is b and selector a is a (or a < 0); otherwise built from the tag, at
    // index when it is in range, else the first whose selectors match. Bound on return;
    // 0 when the tag is not open, the layer is not there, no texture matches or its
    // pixels cannot be decoded (nothing is cached then).
    GLuint texture(tag_code stack_id, int layer, int index, int a, int b);

    // Forgets the tag's textures, deleting their names.
    void drop(tag_code stack_id);
    void release_all();
    // Binding is skipped when the name was bound last; drawing that binds on its own
    // must forget it.
    void forget_binding() { fBound = 0; }
    size_t size() const;

private:
    struct built {
        int index;
        int a, b;
        GLuint name;
    };
    struct stack_record {
        tag_code id;
        tag_entry* entry;
        std::map<int, std::vector<built>> layers;
    };
    void bind(GLuint name);

    TTagStore* fStore;
    const gl_functions* fGL = nullptr;
    std::map<tag_code, stack_record> fStacks;
    GLuint fBound = 0;
};
