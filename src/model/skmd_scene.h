// What the model viewer shows of one model: the posed mesh of a level with its texture
// coordinates, the bones, the collision mesh and the selected bone's cylinder, all at
// the model's display scale, and their bounds. The viewer, the headless pictures and
// the map's markers draw from it.
#pragma once

#include <string>
#include <vector>

#include "model/skmd_camera.h"
#include "model/skmd_collision_mesh.h"
#include "model/skmd_cylinder.h"
#include "model/skmd_format.h"
#include "model/skmd_pose.h"

// A posed level ready to draw.
struct skmd_mesh {
    std::vector<float> positions; // x, y, z per vertex
    std::vector<float> normals;   // unit length (zero when the vertex has none)
    std::vector<float> uvs;       // u, v per vertex
    std::vector<uint16_t> triangles;

    size_t vertex_count() const { return positions.size() / 3; }
    size_t triangle_count() const { return triangles.size() / 3; }
};

// Level `level` posed at its full vertex count with one placement per bone, scaled by
// scale. Raises File Read Error when the level's arrays do not hold together.
skmd_mesh skmd_mesh_for_level(const TSkeletalModel& model, int level, const std::vector<skmd_transform>& bones,
                              float scale);

// The triangles level `level` draws at its full vertex count.
int skmd_level_face_count(const TSkeletalModel& model, int level);

class TskmdScene {
public:
    // Builds the scene of the model at the level with the bones placed (the rest pose
    // when pose is null); selected_bone chooses the cylinder (-1 none). A model that
    // cannot be shown leaves the scene empty with the reason in Problem().
    void Build(const TSkeletalModel& model, int level, const std::vector<skmd_transform>* pose, int selected_bone);
    void Clear(const std::string& problem = "");

    bool IsEmpty() const { return fEmpty; }
    const std::string& Problem() const { return fProblem; }
    int Level() const { return fLevel; }

    skmd_mesh fMesh;
    skmd_collision_mesh fBoxes;
    bool fHasCylinder = false;
    skmd_cylinder fCylinder;
    std::vector<float> fBoneLines; // pairs of points: a bone's parent to the bone
    std::vector<float> fBonePoints;
    skmd_bounds fBounds; // of the mesh, the boxes and the bones

private:
    bool fEmpty = true;
    std::string fProblem;
    int fLevel = -1;
};
