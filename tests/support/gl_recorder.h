// A fake OpenGL for drawing code: its entry points record every call with its
// arguments, hand out texture and list names, and answer queries from fields the test
// sets. One recorder is current at a time (the newest alive).
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "render/gl_functions.h"

class gl_recorder {
public:
    struct call {
        std::string name;          // without the "gl" prefix
        std::vector<double> args;  // numbers as passed; pointers as 0 or 1; matrices as their 16 values
        std::vector<uint8_t> data; // pixels of TexImage2D, indices of the element draws
    };

    gl_recorder();
    ~gl_recorder();
    gl_recorder(const gl_recorder&) = delete;
    gl_recorder& operator=(const gl_recorder&) = delete;

    // The table loaded from the recorder (extensions as listed in extensions).
    gl_functions functions();
    // The recorder's entry points by name ("glClear"), null for unknown names.
    static void* proc_address(const char* name);

    size_t count(const std::string& name) const;
    std::vector<const call*> named(const std::string& name) const;
    void clear() { calls.clear(); }

    std::vector<call> calls;
    std::string extensions = "GL_ARB_multitexture GL_EXT_compiled_vertex_array GL_EXT_draw_range_elements";
    std::string version = "1.1 recorder";
    GLint max_texture_size = 1024;
    GLint viewport[4] = {0, 0, 640, 480};
    std::set<GLuint> live_textures; // generated and not deleted
    GLuint next_texture = 1;
    GLuint next_list = 1;

private:
    gl_recorder* fPrevious;
};
