// Draws a map through the GL function table: terrain blocks of 16 x 16 cells with their
// colour map tile, the height grids as lines, terrain types, the band, markers in every
// display mode with the selection, and the overlay. It keeps the built geometry per
// block and the textures of the map's texture stacks.
#pragma once

#include <cstdint>
#include <vector>

#include "map/map_display.h"
#include "map/map_matrix.h"
#include "map/map_pick.h"
#include "render/map_marker_models.h"
#include "render/map_texture_cache.h"

class TMeshMap;

constexpr int MAP_BLOCK_CELLS = 16;

// What one frame shows.
struct map_scene {
    const TMeshMap* map = nullptr;
    const map_display_state* display = nullptr;
    const std::vector<int>* selection = nullptr; // marker indexes
    const std::vector<uint32_t>* band = nullptr; // cell indexes
    int hover_marker = -1;
    bool has_hover_point = false;
    grid_point hover_point; // the brush centre
    double brush_radius = 0;
};

class map_renderer {
public:
    explicit map_renderer(TTagStore* store);
    ~map_renderer();

    // The context's table; every later call draws through it. Names made through an
    // earlier table are forgotten (call release first while that context is current).
    void set_gl(const gl_functions* gl);
    // Deletes every texture name (the context must be current).
    void release();

    // The map view's frame with the camera's matrices.
    void draw(const map_scene& scene, const mat4& projection, const mat4& model_view, int width, int height);
    // The whole map seen from above, filling the picture: cell column 0 at the left, row 0 at the top.
    void draw_top_view(const map_scene& scene, int width, int height);

    // The cells changed: their blocks are built again before the next frame.
    void cells_changed(const std::vector<uint32_t>& cells);
    void map_changed();
    // The tag changed: its textures (or model data) are built again when next needed.
    void drop_textures(tag_code stack_id) { fTextures.drop(stack_id); }
    void drop_model(tag_code model_id) { fModels.drop(model_id); }
    // The boxes of the markers as drawn, for picking (none when markers are hidden).
    std::vector<map_box> marker_boxes(const map_scene& scene);

    map_texture_cache& textures() { return fTextures; }
    map_model_cache& models() { return fModels; }

private:
    struct block {
        bool built = false;
        std::vector<float> surface; // x, y, z per vertex, render heights
        float low = 0, high = 0;    // the lowest and highest z of every grid
        bool visible = false;       // in this frame
        int level = 0;              // grid line level of detail in this frame
        std::vector<float> grids[3]; // per grid, built when shown
        bool grid_built[3] = {};
        std::vector<uint8_t> shade;  // RGB grey per vertex, for untextured terrain
        std::vector<uint8_t> types;  // RGBA per vertex, terrain types
    };
    // Clears the view and loads the matrices; false when there is nothing more to draw.
    bool start_frame(const map_scene& scene, const mat4& projection, const mat4& model_view, int width, int height);
    void prepare(const TMeshMap& map);
    void build_block(const TMeshMap& map, int bx, int by, block& b);
    void build_grid(const TMeshMap& map, int bx, int by, int slot, block& b);
    void draw_scene(const map_scene& scene, bool from_above);
    void draw_terrain(const map_scene& scene);
    void draw_markers(const map_scene& scene, bool from_above);
    void draw_overlays(const map_scene& scene);
    void draw_grids(const map_scene& scene);
    void draw_overlay(const map_scene& scene, int width, int height);
    void draw_indexed(GLenum mode, const std::vector<uint16_t>& indices, GLsizei vertices);
    // The model each palette entry's markers show in the current mode (null for none).
    std::vector<const map_marker_model*> entry_models(const map_scene& scene);
    void draw_model(const marker_data& m, const map_marker_model& model, map_rgb color);

    const gl_functions* fGL = nullptr;
    map_texture_cache fTextures;
    map_model_cache fModels;
    TTagStore* fStore;
    const TMeshMap* fMap = nullptr;
    int fWidth = 0, fHeight = 0; // cells
    int fBlocksX = 0, fBlocksY = 0;
    std::vector<block> fBlocks;
    std::vector<float> fTexCoords;          // shared by every block
    // the block's triangles through every 1st, 2nd, 4th, 8th vertex (every edge vertex kept)
    std::vector<uint16_t> fSurface[4];
    static void build_surface(int step, std::vector<uint16_t>& triangles);
    // the block's grid lines, every 1st, 2nd, 4th, 8th; by which far edges it draws
    std::vector<uint16_t> fLines[4][4];
    // Whether the block can be seen with the current matrices, and how many pixels a cell
    // of it covers on screen.
    bool on_screen(const block& b, double& pixels_per_cell) const;
    mat4 fProjection, fModelView;
    int fViewWidth = 0, fViewHeight = 0;
};
