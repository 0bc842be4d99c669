#include "render/offscreen_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstring>

namespace {

#ifndef GL_FRAMEBUFFER
#define GL_FRAMEBUFFER 0x8D40
#define GL_RENDERBUFFER 0x8D41
#define GL_COLOR_ATTACHMENT0 0x8CE0
#define GL_DEPTH_ATTACHMENT 0x8D00
#define GL_FRAMEBUFFER_COMPLETE 0x8CD5
#define GL_DEPTH_COMPONENT24 0x81A6
#define GL_RGBA8 0x8058
#define GL_MAX_RENDERBUFFER_SIZE 0x84E8
#endif

// The display is shared by every offscreen context of the process and stays open once
// opened: terminating it unloads the driver, whose allocations would then look lost.
EGLDisplay gDisplay = EGL_NO_DISPLAY;

std::string egl_error(const char* what)
{
    char code[32];
    std::snprintf(code, sizeof code, " (EGL error 0x%04X)", unsigned(eglGetError()));
    return std::string(what) + code;
}

bool open_display(std::string& why)
{
    if (gDisplay != EGL_NO_DISPLAY) return true;
    const char* client = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!gl_extension_listed(client, "EGL_MESA_platform_surfaceless")) {
        why = "EGL has no surfaceless platform (EGL_MESA_platform_surfaceless); Mesa's EGL is needed";
        return false;
    }
    auto get_display = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!get_display) {
        why = "EGL lacks eglGetPlatformDisplayEXT";
        return false;
    }
    EGLDisplay display = get_display(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY) {
        why = egl_error("the surfaceless EGL display cannot be opened");
        return false;
    }
    EGLint major = 0, minor = 0;
    if (!eglInitialize(display, &major, &minor)) {
        why = egl_error("the surfaceless EGL display cannot be initialised");
        return false;
    }
    gDisplay = display;
    return true;
}

using GenNames = void (*)(GLsizei, GLuint*);
using DeleteNames = void (*)(GLsizei, const GLuint*);
using BindName = void (*)(GLenum, GLuint);
using Storage = void (*)(GLenum, GLenum, GLsizei, GLsizei);
using Attach = void (*)(GLenum, GLenum, GLenum, GLuint);
using Status = GLenum (*)(GLenum);

struct framebuffer_calls {
    GenNames GenFramebuffers = nullptr;
    DeleteNames DeleteFramebuffers = nullptr;
    BindName BindFramebuffer = nullptr;
    GenNames GenRenderbuffers = nullptr;
    DeleteNames DeleteRenderbuffers = nullptr;
    BindName BindRenderbuffer = nullptr;
    Storage RenderbufferStorage = nullptr;
    Attach FramebufferRenderbuffer = nullptr;
    Status CheckFramebufferStatus = nullptr;

    bool load()
    {
        auto take = [](auto& slot, const char* name) {
            using T = std::remove_reference_t<decltype(slot)>;
            slot = reinterpret_cast<T>(eglGetProcAddress(name));
            if (!slot) slot = reinterpret_cast<T>(eglGetProcAddress((std::string(name) + "EXT").c_str()));
        };
        take(GenFramebuffers, "glGenFramebuffers");
        take(DeleteFramebuffers, "glDeleteFramebuffers");
        take(BindFramebuffer, "glBindFramebuffer");
        take(GenRenderbuffers, "glGenRenderbuffers");
        take(DeleteRenderbuffers, "glDeleteRenderbuffers");
        take(BindRenderbuffer, "glBindRenderbuffer");
        take(RenderbufferStorage, "glRenderbufferStorage");
        take(FramebufferRenderbuffer, "glFramebufferRenderbuffer");
        take(CheckFramebufferStatus, "glCheckFramebufferStatus");
        return GenFramebuffers && DeleteFramebuffers && BindFramebuffer && GenRenderbuffers && DeleteRenderbuffers &&
               BindRenderbuffer && RenderbufferStorage && FramebufferRenderbuffer && CheckFramebufferStatus;
    }
};

} // namespace

struct offscreen_context::state {
    EGLContext context = EGL_NO_CONTEXT;
    gl_functions gl;
    framebuffer_calls fb;
    GLuint framebuffer = 0;
    GLuint buffers[2] = {};
    int width = 0;
    int height = 0;

    ~state()
    {
        if (context != EGL_NO_CONTEXT) {
            if (eglMakeCurrent(gDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, context) && framebuffer) {
                fb.BindFramebuffer(GL_FRAMEBUFFER, 0);
                fb.DeleteFramebuffers(1, &framebuffer);
                fb.DeleteRenderbuffers(2, buffers);
            }
            eglMakeCurrent(gDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
            eglDestroyContext(gDisplay, context);
        }
    }
};

std::unique_ptr<offscreen_context> offscreen_context::create(int width, int height, std::string* why)
{
    auto fail = [&](const std::string& reason) -> std::unique_ptr<offscreen_context> {
        if (why) *why = "cannot make an OpenGL context: " + reason;
        return nullptr;
    };
    if (width < 1 || height < 1) return fail("the picture has no pixels");
    auto s = std::make_unique<state>();
    std::string reason;
    if (!open_display(reason)) return fail(reason);
    const char* extensions = eglQueryString(gDisplay, EGL_EXTENSIONS);
    if (!gl_extension_listed(extensions, "EGL_KHR_surfaceless_context"))
        return fail("EGL cannot make a context current without a surface (EGL_KHR_surfaceless_context)");
    if (!eglBindAPI(EGL_OPENGL_API)) return fail(egl_error("EGL has no desktop OpenGL"));

    EGLConfig config = EGL_NO_CONFIG_KHR;
    const EGLint wanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLint found = 0;
    if (!eglChooseConfig(gDisplay, wanted, &config, 1, &found) || found < 1) {
        if (!gl_extension_listed(extensions, "EGL_KHR_no_config_context"))
            return fail("EGL offers no OpenGL configuration");
        config = EGL_NO_CONFIG_KHR;
    }
    const EGLint attributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                                 EGL_NONE};
    s->context = eglCreateContext(gDisplay, config, EGL_NO_CONTEXT, attributes);
    if (s->context == EGL_NO_CONTEXT) return fail(egl_error("EGL cannot create a compatibility context"));
    if (!eglMakeCurrent(gDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, s->context))
        return fail(egl_error("the context cannot be made current"));

    std::string missing;
    if (!load_gl_functions(s->gl, [](const char* name) { return reinterpret_cast<void*>(eglGetProcAddress(name)); },
                           &missing))
        return fail(missing);
    if (!s->fb.load()) return fail("the OpenGL context has no framebuffer objects");

    GLint limit = 0;
    s->gl.GetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &limit);
    GLint viewport[2] = {};
    s->gl.GetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    if (viewport[0] > 0 && viewport[0] < limit) limit = viewport[0];
    if (width > limit || height > limit)
        return fail("a picture of " + std::to_string(width) + " x " + std::to_string(height) +
                    " pixels is larger than the renderer's limit of " + std::to_string(limit));

    s->fb.GenFramebuffers(1, &s->framebuffer);
    s->fb.BindFramebuffer(GL_FRAMEBUFFER, s->framebuffer);
    s->fb.GenRenderbuffers(2, s->buffers);
    s->fb.BindRenderbuffer(GL_RENDERBUFFER, s->buffers[0]);
    s->fb.RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    s->fb.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, s->buffers[0]);
    s->fb.BindRenderbuffer(GL_RENDERBUFFER, s->buffers[1]);
    s->fb.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    s->fb.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, s->buffers[1]);
    if (s->fb.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE || s->gl.GetError() != GL_NO_ERROR)
        return fail("a framebuffer of " + std::to_string(width) + " x " + std::to_string(height) +
                    " pixels cannot be made");
    s->width = width;
    s->height = height;
    s->gl.Viewport(0, 0, width, height);
    return std::unique_ptr<offscreen_context>(new offscreen_context(std::move(s)));
}

offscreen_context::offscreen_context(std::unique_ptr<state> s) : fState(std::move(s)) {}

offscreen_context::~offscreen_context() = default;

const gl_functions& offscreen_context::gl() const
{
    return fState->gl;
}

void* offscreen_context::proc_address(const char* name) const
{
    return reinterpret_cast<void*>(eglGetProcAddress(name));
}

int offscreen_context::width() const
{
    return fState->width;
}

int offscreen_context::height() const
{
    return fState->height;
}

bool offscreen_context::make_current()
{
    if (!eglMakeCurrent(gDisplay, EGL_NO_SURFACE, EGL_NO_SURFACE, fState->context)) return false;
    fState->fb.BindFramebuffer(GL_FRAMEBUFFER, fState->framebuffer);
    return true;
}

texture_image offscreen_context::read_pixels(bool alpha)
{
    const gl_functions& gl = fState->gl;
    texture_image image;
    image.width = uint32_t(fState->width);
    image.height = uint32_t(fState->height);
    image.channels = alpha ? 4 : 3;
    image.pixels.resize(image.size());
    gl.Finish();
    gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
    gl.ReadPixels(0, 0, fState->width, fState->height, alpha ? GL_RGBA : GL_RGB, GL_UNSIGNED_BYTE, image.pixels.data());
    // OpenGL's rows run from the bottom
    size_t row = size_t(image.width) * image.channels;
    std::vector<uint8_t> swap(row);
    for (uint32_t y = 0; y < image.height / 2; ++y) {
        uint8_t* a = &image.pixels[y * row];
        uint8_t* b = &image.pixels[(image.height - 1 - y) * row];
        std::memcpy(swap.data(), a, row);
        std::memcpy(a, b, row);
        std::memcpy(b, swap.data(), row);
    }
    return image;
}
