// Skeleton exports ("Kelo Skeleton Export", .skl): the parser and the working tables
// it fills (bones, skinned vertices, faces, animation frames).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr int MAXIMUM_SKELETON_BONES = 250;
constexpr int MAXIMUM_SKELETON_VERTICES = 4000;
constexpr int MAXIMUM_WEIGHTS_PER_VERTEX = 10;
constexpr int MAXIMUM_SKELETON_FRAMES = 65535;
constexpr int MAXIMUM_SKELETON_TOKEN = 254;

struct skeleton_bone {
    int parent = -1;
    std::string name;
    bool tag_bone = false;
    bool defined = false;
};

struct skeleton_weight {
    int bone;
    float weight;
    float offset[3];
    float normal[3]; // the vertex normal in the bone's space (model build)
};

struct skeleton_smoothing {
    uint32_t mask;
    std::vector<int> faces;
};

struct skeleton_vertex {
    bool defined = false;
    bool has_normal = false;
    float normal[3] = {};
    std::vector<skeleton_weight> weights;
    int alias = -1; // -1: no weights, not used
    std::vector<skeleton_smoothing> smoothing;
};

struct skeleton_face {
    int vertex[3];
    float uv[3][2];
    uint32_t mask;
};

struct skeleton_bone_frame {
    float offset[3];
    float axes[3][3]; // X, Y, Z
    bool defined = false;
};

class TSkeletonFile {
public:
    int fVersion = 0;
    std::vector<skeleton_bone> fBones;
    std::vector<skeleton_vertex> fVertices;
    std::vector<skeleton_face> fFaces;
    float fFrameRate = 0;
    int fFrameCount = 0;
    std::vector<std::vector<skeleton_bone_frame>> fFrames; // per frame, empty until read, then one per bone

    // Parses the text of a skeleton export; source names it in messages. Raises
    // File Read Error naming the line for anything the tables cannot take.
    void Parse(std::string_view text, const std::string& source);
    // Reads and parses the file at path.
    void ParseFile(const std::string& path);

    // A bone whose name contains "tag_", "_tag", "origin" or "attach" in any case.
    static bool IsTagBoneName(std::string_view name);
};

// The whole file's bytes; raises the framework's file errors.
std::string read_text_file(const std::string& path);
// The file name of a path (after the last '/').
std::string path_file_name(const std::string& path);
