#include "render/gl_functions.h"

#include <cstring>
#include <type_traits>

bool gl_extension_listed(const char* extensions, const char* name)
{
    if (!extensions || !name || !*name) return false;
    size_t length = std::strlen(name);
    for (const char* p = extensions; (p = std::strstr(p, name)) != nullptr; p += length) {
        bool starts = p == extensions || p[-1] == ' ';
        bool ends = p[length] == '\0' || p[length] == ' ';
        if (starts && ends) return true;
    }
    return false;
}

bool load_gl_functions(gl_functions& gl, const gl_proc_address& proc, std::string* why)
{
    gl_functions table;
    std::string missing;
#define QUENCHOLD_GL_LOAD(ret, name, params, args)                                    \
    table.name = reinterpret_cast<ret(*) params>(proc ? proc("gl" #name) : nullptr); \
    if (!table.name && missing.empty()) missing = "gl" #name;
    QUENCHOLD_GL_REQUIRED(QUENCHOLD_GL_LOAD)
#undef QUENCHOLD_GL_LOAD
    if (!missing.empty()) {
        gl = gl_functions();
        if (why) *why = "the OpenGL context has no " + missing;
        return false;
    }

    const char* extensions = reinterpret_cast<const char*>(table.GetString(GL_EXTENSIONS));
    const char* version = reinterpret_cast<const char*>(table.GetString(GL_VERSION));
    // glDrawRangeElements is part of 1.2
    bool version_12 = version && (version[0] > '1' || (version[0] == '1' && version[1] == '.' && version[2] >= '2'));
    auto take = [&](auto& slot, const char* name, bool wanted) {
        using T = std::remove_reference_t<decltype(slot)>;
        slot = wanted ? reinterpret_cast<T>(proc(name)) : nullptr;
    };
    bool multitexture = gl_extension_listed(extensions, "GL_ARB_multitexture");
    take(table.ActiveTextureARB, "glActiveTextureARB", multitexture);
    take(table.ClientActiveTextureARB, "glClientActiveTextureARB", multitexture);
    take(table.MultiTexCoord2fARB, "glMultiTexCoord2fARB", multitexture);
    take(table.DrawRangeElementsEXT, "glDrawRangeElementsEXT",
         version_12 || gl_extension_listed(extensions, "GL_EXT_draw_range_elements"));
    bool compiled = gl_extension_listed(extensions, "GL_EXT_compiled_vertex_array");
    take(table.LockArraysEXT, "glLockArraysEXT", compiled);
    take(table.UnlockArraysEXT, "glUnlockArraysEXT", compiled);
    if (!table.LockArraysEXT || !table.UnlockArraysEXT) table.LockArraysEXT = nullptr, table.UnlockArraysEXT = nullptr;

    GLint size = 0;
    table.GetIntegerv(GL_MAX_TEXTURE_SIZE, &size);
    table.max_texture_size = size > 0 ? size : 64;
    gl = table;
    return true;
}
