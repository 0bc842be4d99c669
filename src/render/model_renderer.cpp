#include "render/model_renderer.h"

#include "render/gl_texture.h"

namespace {

constexpr GLfloat kPlain[4] = {0.78f, 0.78f, 0.74f, 1.0f};
constexpr GLfloat kWhite[4] = {1, 1, 1, 1};
constexpr GLfloat kAmbient[4] = {0.35f, 0.35f, 0.35f, 1.0f};
constexpr GLfloat kDiffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
// over the viewer's left shoulder, in eye space
constexpr GLfloat kLightDirection[4] = {-0.35f, 0.55f, 0.75f, 0.0f};

} // namespace

void model_renderer::set_skin(const texture_image* image)
{
    release();
    if (image && image->size()) fSkin = upload_texture(fGL, *image);
}

void model_renderer::release()
{
    if (fSkin) fGL.DeleteTextures(1, &fSkin);
    fSkin = 0;
}

void model_renderer::light_from_viewer() const
{
    const gl_functions& gl = fGL;
    gl.MatrixMode(GL_MODELVIEW);
    gl.PushMatrix();
    gl.LoadIdentity();
    gl.Lightfv(GL_LIGHT0, GL_POSITION, kLightDirection);
    gl.Lightfv(GL_LIGHT0, GL_DIFFUSE, kDiffuse);
    gl.Lightfv(GL_LIGHT0, GL_AMBIENT, kAmbient);
    gl.LightModelfv(GL_LIGHT_MODEL_AMBIENT, kAmbient);
    gl.PopMatrix();
}

void model_renderer::draw_mesh(const skmd_mesh& mesh, GLuint texture, const float* transform, const float* color) const
{
    if (mesh.triangles.empty()) return;
    const gl_functions& gl = fGL;
    gl.PushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_TEXTURE_BIT | GL_CURRENT_BIT);
    gl.MatrixMode(GL_MODELVIEW);
    gl.PushMatrix();
    if (transform) gl.MultMatrixf(transform);
    gl.Enable(GL_LIGHTING);
    gl.Enable(GL_LIGHT0);
    gl.Enable(GL_NORMALIZE);
    gl.Enable(GL_COLOR_MATERIAL);
    gl.ColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    if (texture) {
        gl.Enable(GL_TEXTURE_2D);
        gl.BindTexture(GL_TEXTURE_2D, texture);
        gl.TexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        gl.Color4f(kWhite[0], kWhite[1], kWhite[2], kWhite[3]);
    } else {
        gl.Disable(GL_TEXTURE_2D);
        const float* c = color ? color : kPlain;
        gl.Color4f(c[0], c[1], c[2], c[3]);
    }
    gl.EnableClientState(GL_VERTEX_ARRAY);
    gl.EnableClientState(GL_NORMAL_ARRAY);
    gl.VertexPointer(3, GL_FLOAT, 0, mesh.positions.data());
    gl.NormalPointer(GL_FLOAT, 0, mesh.normals.data());
    if (texture) {
        gl.EnableClientState(GL_TEXTURE_COORD_ARRAY);
        gl.TexCoordPointer(2, GL_FLOAT, 0, mesh.uvs.data());
    }
    gl.DrawElements(GL_TRIANGLES, GLsizei(mesh.triangles.size()), GL_UNSIGNED_SHORT, mesh.triangles.data());
    if (texture) gl.DisableClientState(GL_TEXTURE_COORD_ARRAY);
    gl.DisableClientState(GL_NORMAL_ARRAY);
    gl.DisableClientState(GL_VERTEX_ARRAY);
    gl.PopMatrix();
    gl.PopAttrib();
}

void model_renderer::draw_scene(const TskmdScene& scene, const skmd_orbit_camera& camera, int width, int height,
                                const model_view_options& options) const
{
    const gl_functions& gl = fGL;
    const float* bg = options.background;
    gl.ClearColor(bg[0], bg[1], bg[2], bg[3]);
    gl.ClearDepth(1.0);
    gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (scene.IsEmpty() || width <= 0 || height <= 0) return;

    gl.MatrixMode(GL_PROJECTION);
    gl.LoadMatrixf(camera.Projection(float(width) / float(height)).data());
    gl.MatrixMode(GL_MODELVIEW);
    // the light stays with the viewer
    light_from_viewer();
    gl.LoadMatrixf(camera.View().data());
    gl.Enable(GL_DEPTH_TEST);
    gl.DepthFunc(GL_LEQUAL);
    gl.ShadeModel(GL_SMOOTH);

    if (options.mesh) draw_mesh(scene.fMesh, fSkin);
    if (options.wireframe) DrawWireframe(scene.fMesh);
    if (options.boxes) DrawBoxes(scene.fBoxes);
    if (options.cylinder && scene.fHasCylinder) DrawCylinder(scene.fCylinder);
    if (options.bones) DrawBones(scene);
}

void model_renderer::DrawWireframe(const skmd_mesh& mesh) const
{
    if (mesh.triangles.empty()) return;
    const gl_functions& gl = fGL;
    gl.PushAttrib(GL_ENABLE_BIT | GL_POLYGON_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
    gl.Disable(GL_LIGHTING);
    gl.Disable(GL_TEXTURE_2D);
    gl.PolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    gl.LineWidth(1.0f);
    gl.Color4f(0.1f, 0.15f, 0.25f, 1.0f);
    gl.EnableClientState(GL_VERTEX_ARRAY);
    gl.VertexPointer(3, GL_FLOAT, 0, mesh.positions.data());
    gl.DrawElements(GL_TRIANGLES, GLsizei(mesh.triangles.size()), GL_UNSIGNED_SHORT, mesh.triangles.data());
    gl.DisableClientState(GL_VERTEX_ARRAY);
    gl.PopAttrib();
}

void model_renderer::BeginTranslucent(GLbitfield saved) const
{
    const gl_functions& gl = fGL;
    gl.PushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT | saved);
    gl.Enable(GL_LIGHTING);
    gl.Enable(GL_LIGHT0);
    gl.Enable(GL_COLOR_MATERIAL);
    gl.ColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    gl.Disable(GL_TEXTURE_2D);
    gl.Enable(GL_CULL_FACE);
    gl.CullFace(GL_BACK);
    gl.Enable(GL_BLEND);
    gl.BlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void model_renderer::DrawBoxes(const skmd_collision_mesh& boxes) const
{
    if (boxes.indices.empty()) return;
    const gl_functions& gl = fGL;
    BeginTranslucent(GL_DEPTH_BUFFER_BIT);
    gl.DepthMask(GL_FALSE);
    gl.Color4f(0.9f, 0.25f, 0.2f, 0.35f);
    gl.EnableClientState(GL_VERTEX_ARRAY);
    gl.EnableClientState(GL_NORMAL_ARRAY);
    gl.VertexPointer(3, GL_FLOAT, 0, boxes.vertices.data());
    gl.NormalPointer(GL_FLOAT, 0, boxes.normals.data());
    gl.DrawElements(GL_TRIANGLES, GLsizei(boxes.indices.size()), GL_UNSIGNED_INT, boxes.indices.data());
    gl.DisableClientState(GL_NORMAL_ARRAY);
    gl.DisableClientState(GL_VERTEX_ARRAY);
    gl.PopAttrib();
}

void model_renderer::DrawCylinder(const skmd_cylinder& c) const
{
    const gl_functions& gl = fGL;
    BeginTranslucent(GL_POLYGON_BIT);
    // a limb's cylinder lies about its surface: it shows through the mesh
    gl.Disable(GL_DEPTH_TEST);
    gl.Color4f(0.2f, 0.85f, 0.3f, 0.45f);
    gl.Begin(GL_TRIANGLE_STRIP);
    for (size_t i = 0; i + 2 < c.side_vertices.size(); i += 3) {
        gl.Normal3f(c.side_normals[i], c.side_normals[i + 1], c.side_normals[i + 2]);
        gl.Vertex3f(c.side_vertices[i], c.side_vertices[i + 1], c.side_vertices[i + 2]);
    }
    gl.End();
    for (const auto* cap : {&c.far_cap, &c.near_cap}) {
        const float* n = cap == &c.far_cap ? c.far_normal : c.near_normal;
        gl.Begin(GL_TRIANGLE_FAN);
        gl.Normal3f(n[0], n[1], n[2]);
        for (size_t i = 0; i + 2 < cap->size(); i += 3) gl.Vertex3f((*cap)[i], (*cap)[i + 1], (*cap)[i + 2]);
        gl.End();
    }
    gl.PopAttrib();
}

void model_renderer::DrawBones(const TskmdScene& scene) const
{
    const gl_functions& gl = fGL;
    gl.PushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT | GL_POINT_BIT);
    // seen through the mesh
    gl.Disable(GL_DEPTH_TEST);
    gl.Disable(GL_LIGHTING);
    gl.Disable(GL_TEXTURE_2D);
    gl.LineWidth(2.0f);
    gl.Color4f(1.0f, 0.85f, 0.1f, 1.0f);
    gl.Begin(GL_LINES);
    const std::vector<float>& lines = scene.fBoneLines;
    for (size_t i = 0; i + 2 < lines.size(); i += 3) gl.Vertex3f(lines[i], lines[i + 1], lines[i + 2]);
    gl.End();
    gl.PointSize(5.0f);
    gl.Begin(GL_POINTS);
    const std::vector<float>& points = scene.fBonePoints;
    for (size_t i = 0; i + 2 < points.size(); i += 3) gl.Vertex3f(points[i], points[i + 1], points[i + 2]);
    gl.End();
    gl.PopAttrib();
}
