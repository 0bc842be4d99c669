// The OpenGL calls the drawing code makes, reached through a table of entry points
// that the caller's context hands out (the editor's widget context, EGL offscreen, or a
// recording fake in tests). Drawing code never calls GL directly.
#pragma once

#include <GL/gl.h>

#include <functional>
#include <string>

// X(return type, name, parameters, arguments): the GL 1.1 calls, looked up as "gl" + name.
#define QUENCHOLD_GL_REQUIRED(X)                                                                      \
    X(void, AlphaFunc, (GLenum func, GLclampf ref), (func, ref))                                       \
    X(void, Begin, (GLenum mode), (mode))                                                              \
    X(void, BindTexture, (GLenum target, GLuint texture), (target, texture))                           \
    X(void, BlendFunc, (GLenum source, GLenum destination), (source, destination))                     \
    X(void, CallList, (GLuint list), (list))                                                           \
    X(void, Clear, (GLbitfield mask), (mask))                                                          \
    X(void, ClearColor, (GLclampf r, GLclampf g, GLclampf b, GLclampf a), (r, g, b, a))                \
    X(void, ClearDepth, (GLclampd depth), (depth))                                                     \
    X(void, Color3f, (GLfloat r, GLfloat g, GLfloat b), (r, g, b))                                     \
    X(void, Color4f, (GLfloat r, GLfloat g, GLfloat b, GLfloat a), (r, g, b, a))                       \
    X(void, Color4ub, (GLubyte r, GLubyte g, GLubyte b, GLubyte a), (r, g, b, a))                      \
    X(void, ColorMaterial, (GLenum face, GLenum mode), (face, mode))                                   \
    X(void, ColorPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid* p), (size, type, stride, p)) \
    X(void, CullFace, (GLenum mode), (mode))                                                           \
    X(void, DeleteLists, (GLuint list, GLsizei range), (list, range))                                  \
    X(void, DeleteTextures, (GLsizei n, const GLuint* names), (n, names))                              \
    X(void, DepthFunc, (GLenum func), (func))                                                          \
    X(void, DepthMask, (GLboolean flag), (flag))                                                       \
    X(void, Disable, (GLenum cap), (cap))                                                              \
    X(void, DisableClientState, (GLenum array), (array))                                               \
    X(void, DrawArrays, (GLenum mode, GLint first, GLsizei count), (mode, first, count))               \
    X(void, DrawElements, (GLenum mode, GLsizei count, GLenum type, const GLvoid* indices),           \
      (mode, count, type, indices))                                                                    \
    X(void, Enable, (GLenum cap), (cap))                                                               \
    X(void, EnableClientState, (GLenum array), (array))                                                \
    X(void, End, (), ())                                                                               \
    X(void, EndList, (), ())                                                                           \
    X(void, Finish, (), ())                                                                            \
    X(void, Flush, (), ())                                                                             \
    X(void, FrontFace, (GLenum mode), (mode))                                                          \
    X(GLuint, GenLists, (GLsizei range), (range))                                                      \
    X(void, GenTextures, (GLsizei n, GLuint* names), (n, names))                                       \
    X(GLenum, GetError, (), ())                                                                        \
    X(void, GetFloatv, (GLenum name, GLfloat* values), (name, values))                                 \
    X(void, GetIntegerv, (GLenum name, GLint* values), (name, values))                                 \
    X(const GLubyte*, GetString, (GLenum name), (name))                                                \
    X(void, Hint, (GLenum target, GLenum mode), (target, mode))                                        \
    X(GLboolean, IsEnabled, (GLenum cap), (cap))                                                       \
    X(void, LightModelfv, (GLenum name, const GLfloat* values), (name, values))                        \
    X(void, Lightfv, (GLenum light, GLenum name, const GLfloat* values), (light, name, values))        \
    X(void, LineWidth, (GLfloat width), (width))                                                       \
    X(void, LoadIdentity, (), ())                                                                      \
    X(void, LoadMatrixf, (const GLfloat* m), (m))                                                      \
    X(void, Materialfv, (GLenum face, GLenum name, const GLfloat* values), (face, name, values))       \
    X(void, MatrixMode, (GLenum mode), (mode))                                                         \
    X(void, MultMatrixf, (const GLfloat* m), (m))                                                      \
    X(void, NewList, (GLuint list, GLenum mode), (list, mode))                                         \
    X(void, Normal3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))                                    \
    X(void, NormalPointer, (GLenum type, GLsizei stride, const GLvoid* p), (type, stride, p))          \
    X(void, Ortho, (GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f), (l, r, b, t, n, f)) \
    X(void, PixelStorei, (GLenum name, GLint value), (name, value))                                    \
    X(void, PointSize, (GLfloat size), (size))                                                         \
    X(void, PolygonMode, (GLenum face, GLenum mode), (face, mode))                                     \
    X(void, PolygonOffset, (GLfloat factor, GLfloat units), (factor, units))                           \
    X(void, PopAttrib, (), ())                                                                         \
    X(void, PopMatrix, (), ())                                                                         \
    X(void, PushAttrib, (GLbitfield mask), (mask))                                                     \
    X(void, PushMatrix, (), ())                                                                        \
    X(void, ReadPixels, (GLint x, GLint y, GLsizei w, GLsizei h, GLenum format, GLenum type, GLvoid* p), \
      (x, y, w, h, format, type, p))                                                                   \
    X(void, Rotatef, (GLfloat angle, GLfloat x, GLfloat y, GLfloat z), (angle, x, y, z))               \
    X(void, Scalef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))                                      \
    X(void, Scissor, (GLint x, GLint y, GLsizei w, GLsizei h), (x, y, w, h))                           \
    X(void, ShadeModel, (GLenum mode), (mode))                                                         \
    X(void, TexCoord2f, (GLfloat s, GLfloat t), (s, t))                                                \
    X(void, TexCoordPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid* p), (size, type, stride, p)) \
    X(void, TexEnvi, (GLenum target, GLenum name, GLint value), (target, name, value))                 \
    X(void, TexImage2D, (GLenum target, GLint level, GLint internal, GLsizei w, GLsizei h, GLint border, \
                         GLenum format, GLenum type, const GLvoid* pixels),                            \
      (target, level, internal, w, h, border, format, type, pixels))                                   \
    X(void, TexParameteri, (GLenum target, GLenum name, GLint value), (target, name, value))           \
    X(void, Translatef, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))                                  \
    X(void, Vertex2f, (GLfloat x, GLfloat y), (x, y))                                                  \
    X(void, Vertex3f, (GLfloat x, GLfloat y, GLfloat z), (x, y, z))                                    \
    X(void, VertexPointer, (GLint size, GLenum type, GLsizei stride, const GLvoid* p), (size, type, stride, p)) \
    X(void, Viewport, (GLint x, GLint y, GLsizei w, GLsizei h), (x, y, w, h))

// The extension entry points; each may be missing and is then never called.
#define QUENCHOLD_GL_OPTIONAL(X)                                                                      \
    X(void, ActiveTextureARB, (GLenum unit), (unit))                                                   \
    X(void, ClientActiveTextureARB, (GLenum unit), (unit))                                             \
    X(void, MultiTexCoord2fARB, (GLenum unit, GLfloat s, GLfloat t), (unit, s, t))                     \
    X(void, DrawRangeElementsEXT, (GLenum mode, GLuint start, GLuint end, GLsizei count, GLenum type,   \
                                   const GLvoid* indices),                                             \
      (mode, start, end, count, type, indices))                                                        \
    X(void, LockArraysEXT, (GLint first, GLsizei count), (first, count))                               \
    X(void, UnlockArraysEXT, (), ())

// Hands out an entry point of the current context by its name, or null.
using gl_proc_address = std::function<void*(const char* name)>;

struct gl_functions {
#define QUENCHOLD_GL_MEMBER(ret, name, params, args) ret(*name) params = nullptr;
    QUENCHOLD_GL_REQUIRED(QUENCHOLD_GL_MEMBER)
    QUENCHOLD_GL_OPTIONAL(QUENCHOLD_GL_MEMBER)
#undef QUENCHOLD_GL_MEMBER

    GLint max_texture_size = 0;
    bool multitexture() const { return ActiveTextureARB && ClientActiveTextureARB && MultiTexCoord2fARB; }
    bool loaded() const { return Clear != nullptr; }
};

// Fills the table from the context, which must be current. Multitexturing is taken only
// when the extension string lists "GL_ARB_multitexture", the other extension calls only
// when their extension is listed. False, the table empty and the missing call named in
// why, when a GL 1.1 call is not there.
bool load_gl_functions(gl_functions& gl, const gl_proc_address& proc, std::string* why = nullptr);

// Whether the space-separated extension list holds the name as a whole word.
bool gl_extension_listed(const char* extensions, const char* name);
