// An OpenGL context without a window: EGL on Mesa's surfaceless platform (no display,
// no X server), a compatibility context drawing into a framebuffer object of colour
// (RGBA, 8 bits each) and depth, and the pixels read back.
#pragma once

#include <memory>
#include <string>

#include "render/gl_functions.h"
#include "texture/texture_image.h"

class offscreen_context {
public:
    // A context drawing into width x height pixels, current on return. Null, with the
    // reason in why, when no context can be made or the size is beyond what it can draw.
    static std::unique_ptr<offscreen_context> create(int width, int height, std::string* why = nullptr);
    ~offscreen_context();
    offscreen_context(const offscreen_context&) = delete;
    offscreen_context& operator=(const offscreen_context&) = delete;

    const gl_functions& gl() const;
    // The context's entry points by name (for tables beyond ours).
    void* proc_address(const char* name) const;
    int width() const;
    int height() const;
    // Makes the context and its framebuffer current again.
    bool make_current();

    // What was drawn, top row first: 4 channels with alpha, else 3.
    texture_image read_pixels(bool alpha);

private:
    struct state;
    explicit offscreen_context(std::unique_ptr<state> s);
    std::unique_ptr<state> fState;
};
