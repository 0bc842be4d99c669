// Draws skeletal models through the GL function table: a posed level, lit and with its
// skin, at a transform (the map draws its markers so), and the model viewer's picture
// of a scene (mesh, wireframe, bones, collision boxes, the selected bone's cylinder).
#pragma once

#include "model/skmd_camera.h"
#include "model/skmd_scene.h"
#include "render/gl_functions.h"
#include "texture/texture_image.h"

struct model_view_options {
    bool mesh = true;
    bool wireframe = false;
    bool bones = false;
    bool boxes = false;
    bool cylinder = false;
    float background[4] = {0, 0, 0, 0};
};

class model_renderer {
public:
    explicit model_renderer(const gl_functions& gl) : fGL(gl) {}

    // The skin drawn on the scene's mesh: uploaded now (the context must be current),
    // replacing the previous one; null or an empty image draws the mesh untextured.
    void set_skin(const texture_image* image);
    // Deletes the skin's texture; the context must be current.
    void release();

    // The mesh lit and textured (texture 0: plain, in color when given) under the current
    // matrices times transform (column-major; null for none). Leaves the GL state as it
    // found it.
    void draw_mesh(const skmd_mesh& mesh, GLuint texture, const float* transform = nullptr,
                   const float* color = nullptr) const;
    // Places the light draw_mesh uses over the viewer's left shoulder.
    void light_from_viewer() const;

    // Clears to the background and draws the scene as the camera sees it in a viewport
    // of width × height.
    void draw_scene(const TskmdScene& scene, const skmd_orbit_camera& camera, int width, int height,
                    const model_view_options& options) const;

private:
    // Lit, untextured, blended, back faces culled; saved (and the state it changes) is
    // pushed, for the caller's PopAttrib.
    void BeginTranslucent(GLbitfield saved) const;
    void DrawBoxes(const skmd_collision_mesh& boxes) const;
    void DrawCylinder(const skmd_cylinder& cylinder) const;
    void DrawBones(const TskmdScene& scene) const;
    void DrawWireframe(const skmd_mesh& mesh) const;

    const gl_functions& fGL;
    GLuint fSkin = 0;
};
