#include "support/gl_recorder.h"

#include <cstring>
#include <map>
#include <type_traits>

namespace {

gl_recorder* gCurrent = nullptr;

template <class T>
double as_number(T value)
{
    if constexpr (std::is_pointer_v<T>)
        return value ? 1.0 : 0.0;
    else
        return double(value);
}

template <class... A>
gl_recorder::call& note(const char* name, A... args)
{
    gCurrent->calls.push_back({name, {as_number(args)...}, {}});
    return gCurrent->calls.back();
}

size_t pixel_bytes(GLenum format)
{
    switch (format) {
    case GL_LUMINANCE:
    case GL_ALPHA: return 1;
    case GL_LUMINANCE_ALPHA: return 2;
    case GL_RGB: return 3;
    default: return 4;
    }
}

size_t index_bytes(GLenum type)
{
    return type == GL_UNSIGNED_BYTE ? 1 : type == GL_UNSIGNED_SHORT ? 2 : 4;
}

template <class T>
T nothing()
{
    return T();
}

#define QUENCHOLD_GL_RECORD(ret, name, params, args) \
    ret record_##name params                         \
    {                                                \
        note(#name QUENCHOLD_GL_COMMA_ARGS args);    \
        return nothing<ret>();                       \
    }
#define QUENCHOLD_GL_COMMA_ARGS(...) __VA_OPT__(, ) __VA_ARGS__
QUENCHOLD_GL_REQUIRED(QUENCHOLD_GL_RECORD)
QUENCHOLD_GL_OPTIONAL(QUENCHOLD_GL_RECORD)
#undef QUENCHOLD_GL_RECORD

// Calls that answer or carry data.
void GenTextures(GLsizei n, GLuint* names)
{
    note("GenTextures", n, names);
    for (GLsizei i = 0; i < n; ++i) {
        names[i] = gCurrent->next_texture++;
        gCurrent->live_textures.insert(names[i]);
    }
}

void DeleteTextures(GLsizei n, const GLuint* names)
{
    auto& c = note("DeleteTextures", n, names);
    for (GLsizei i = 0; i < n; ++i) {
        c.args.push_back(names[i]);
        gCurrent->live_textures.erase(names[i]);
    }
}

GLuint GenLists(GLsizei range)
{
    note("GenLists", range);
    GLuint first = gCurrent->next_list;
    gCurrent->next_list += GLuint(range);
    return first;
}

const GLubyte* GetString(GLenum name)
{
    note("GetString", name);
    static const char* const other = "recorder";
    const std::string* text = name == GL_EXTENSIONS ? &gCurrent->extensions : name == GL_VERSION ? &gCurrent->version : nullptr;
    return reinterpret_cast<const GLubyte*>(text ? text->c_str() : other);
}

void GetIntegerv(GLenum name, GLint* values)
{
    note("GetIntegerv", name);
    if (name == GL_MAX_TEXTURE_SIZE)
        values[0] = gCurrent->max_texture_size;
    else if (name == GL_VIEWPORT)
        std::memcpy(values, gCurrent->viewport, sizeof gCurrent->viewport);
    else
        values[0] = 0;
}

void GetFloatv(GLenum name, GLfloat* values)
{
    note("GetFloatv", name);
    values[0] = 0;
}

void TexImage2D(GLenum target, GLint level, GLint internal, GLsizei w, GLsizei h, GLint border, GLenum format,
                GLenum type, const GLvoid* pixels)
{
    auto& c = note("TexImage2D", target, level, internal, w, h, border, format, type, pixels);
    if (pixels) {
        auto* p = static_cast<const uint8_t*>(pixels);
        c.data.assign(p, p + size_t(w) * size_t(h) * pixel_bytes(format));
    }
}

void LoadMatrixf(const GLfloat* m)
{
    auto& c = note("LoadMatrixf");
    c.args.assign(m, m + 16);
}

void MultMatrixf(const GLfloat* m)
{
    auto& c = note("MultMatrixf");
    c.args.assign(m, m + 16);
}

void DrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices)
{
    auto& c = note("DrawElements", mode, count, type, indices);
    if (indices) {
        auto* p = static_cast<const uint8_t*>(indices);
        c.data.assign(p, p + size_t(count) * index_bytes(type));
    }
}

void DrawRangeElementsEXT(GLenum mode, GLuint start, GLuint end, GLsizei count, GLenum type, const GLvoid* indices)
{
    auto& c = note("DrawRangeElementsEXT", mode, start, end, count, type, indices);
    if (indices) {
        auto* p = static_cast<const uint8_t*>(indices);
        c.data.assign(p, p + size_t(count) * index_bytes(type));
    }
}

void ReadPixels(GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type, GLvoid* p)
{
    note("ReadPixels", x, y, w, h, format, type, p);
    if (p) std::memset(p, 0, size_t(w) * size_t(h) * pixel_bytes(format));
}

const std::map<std::string, void*>& entry_points()
{
    static const std::map<std::string, void*> table = [] {
        std::map<std::string, void*> t;
#define QUENCHOLD_GL_ENTRY(ret, name, params, args) t["gl" #name] = reinterpret_cast<void*>(&record_##name);
        QUENCHOLD_GL_REQUIRED(QUENCHOLD_GL_ENTRY)
        QUENCHOLD_GL_OPTIONAL(QUENCHOLD_GL_ENTRY)
#undef QUENCHOLD_GL_ENTRY
        t["glGenTextures"] = reinterpret_cast<void*>(&GenTextures);
        t["glDeleteTextures"] = reinterpret_cast<void*>(&DeleteTextures);
        t["glGenLists"] = reinterpret_cast<void*>(&GenLists);
        t["glGetString"] = reinterpret_cast<void*>(&GetString);
        t["glGetIntegerv"] = reinterpret_cast<void*>(&GetIntegerv);
        t["glGetFloatv"] = reinterpret_cast<void*>(&GetFloatv);
        t["glTexImage2D"] = reinterpret_cast<void*>(&TexImage2D);
        t["glLoadMatrixf"] = reinterpret_cast<void*>(&LoadMatrixf);
        t["glMultMatrixf"] = reinterpret_cast<void*>(&MultMatrixf);
        t["glDrawElements"] = reinterpret_cast<void*>(&DrawElements);
        t["glDrawRangeElementsEXT"] = reinterpret_cast<void*>(&DrawRangeElementsEXT);
        t["glReadPixels"] = reinterpret_cast<void*>(&ReadPixels);
        return t;
    }();
    return table;
}

} // namespace

gl_recorder::gl_recorder() : fPrevious(gCurrent)
{
    gCurrent = this;
}

gl_recorder::~gl_recorder()
{
    gCurrent = fPrevious;
}

gl_functions gl_recorder::functions()
{
    gl_functions gl;
    load_gl_functions(gl, proc_address);
    calls.clear();
    return gl;
}

void* gl_recorder::proc_address(const char* name)
{
    auto it = entry_points().find(name);
    return it == entry_points().end() ? nullptr : it->second;
}

size_t gl_recorder::count(const std::string& name) const
{
    size_t n = 0;
    for (const call& c : calls) n += c.name == name;
    return n;
}

std::vector<const gl_recorder::call*> gl_recorder::named(const std::string& name) const
{
    std::vector<const call*> found;
    for (const call& c : calls)
        if (c.name == name) found.push_back(&c);
    return found;
}
