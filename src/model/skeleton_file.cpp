#include "model/skeleton_file.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "framework/XGError.h"
#include "framework/XGFile.h"
#include "model/skmd_format.h"

namespace {

// Whitespace-separated tokens with line numbers for messages.
class TSkeletonReader {
public:
    TSkeletonReader(std::string_view text, const std::string& source) : fText(text), fSource(source) {}

    [[noreturn]] void Fail(const std::string& what) const
    {
        model_read_error(fSource + " - line " + std::to_string(fLine) + ": " + what + ".");
    }

    bool Next(std::string& token)
    {
        SkipBlanks(true);
        if (fPos >= fText.size()) return false;
        size_t start = fPos;
        while (fPos < fText.size() && !IsBlank(fText[fPos])) ++fPos;
        if (fPos - start > size_t(MAXIMUM_SKELETON_TOKEN))
            Fail("a word longer than " + std::to_string(MAXIMUM_SKELETON_TOKEN) + " characters");
        token.assign(fText.substr(start, fPos - start));
        return true;
    }

    std::string Token(const char* what)
    {
        std::string token;
        if (!Next(token)) Fail(std::string("the file ends where ") + what + " was expected");
        return token;
    }

    // Skips any text up to the keyword.
    void Expect(const char* keyword)
    {
        std::string token;
        while (Next(token))
            if (token == keyword) return;
        Fail(std::string("the file ends before \"") + keyword + "\"");
    }

    long Integer(const char* what)
    {
        std::string token = Token(what);
        char* end = nullptr;
        errno = 0;
        long value = std::strtol(token.c_str(), &end, 10);
        if (end == token.c_str() || errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
            Fail(std::string("expected ") + what + ", found \"" + token + "\"");
        return value;
    }

    uint32_t Hex(const char* what)
    {
        std::string token = Token(what);
        char* end = nullptr;
        errno = 0;
        unsigned long value = std::strtoul(token.c_str(), &end, 16);
        if (end == token.c_str() || token[0] == '-' || errno == ERANGE || value > 0xFFFFFFFFul)
            Fail(std::string("expected ") + what + " in hexadecimal, found \"" + token + "\"");
        return uint32_t(value);
    }

    // A real; allow_nan lets "not a number" through (weights ignore it).
    float Real(const char* what, bool allow_nan = false)
    {
        std::string token = Token(what);
        char* end = nullptr;
        double value = std::strtod(token.c_str(), &end);
        if (end == token.c_str()) Fail(std::string("expected ") + what + ", found \"" + token + "\"");
        float f = float(value);
        if (!std::isfinite(f) && !(allow_nan && std::isnan(f)))
            Fail(std::string("the number \"") + token + "\" for " + what + " is out of range");
        return f;
    }

    // The rest of the line after leading blanks, at most 254 characters.
    std::string RestOfLine()
    {
        SkipBlanks(false);
        size_t start = fPos;
        while (fPos < fText.size() && fText[fPos] != '\n') ++fPos;
        std::string_view line = fText.substr(start, fPos - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
            line.remove_suffix(1);
        if (line.size() > size_t(MAXIMUM_SKELETON_TOKEN)) line = line.substr(0, size_t(MAXIMUM_SKELETON_TOKEN));
        return std::string(line);
    }

    int Line() const { return fLine; }

private:
    static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

    void SkipBlanks(bool lines)
    {
        while (fPos < fText.size() && IsBlank(fText[fPos])) {
            if (fText[fPos] == '\n') {
                if (!lines) return;
                ++fLine;
            }
            ++fPos;
        }
    }

    std::string_view fText;
    const std::string& fSource;
    size_t fPos = 0;
    int fLine = 1;
};

int Count(TSkeletonReader& in, const char* what, int limit)
{
    long n = in.Integer(what);
    if (n < 0) in.Fail(std::string("the ") + what + " " + std::to_string(n) + " is negative");
    if (n > limit)
        in.Fail(std::string("the ") + what + " " + std::to_string(n) + " is above the limit of " +
                std::to_string(limit));
    return int(n);
}

int Index(TSkeletonReader& in, const char* what, int count)
{
    long i = in.Integer(what);
    if (i < 0 || i >= count)
        in.Fail(std::string("the ") + what + " " + std::to_string(i) + " is outside 0.." + std::to_string(count - 1));
    return int(i);
}

bool SameWeights(const std::vector<skeleton_weight>& a, const std::vector<skeleton_weight>& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].bone != b[i].bone || a[i].weight != b[i].weight || a[i].offset[0] != b[i].offset[0] ||
            a[i].offset[1] != b[i].offset[1] || a[i].offset[2] != b[i].offset[2])
            return false;
    return true;
}

size_t HashWeights(const std::vector<skeleton_weight>& weights)
{
    size_t h = weights.size();
    auto mix = [&h](float f) {
        if (f == 0) f = 0; // -0 and 0 are equal
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        h = h * 1000003u ^ bits;
    };
    for (const skeleton_weight& w : weights) {
        h = h * 1000003u ^ size_t(w.bone);
        mix(w.weight);
        for (float o : w.offset) mix(o);
    }
    return h;
}

void AddSmoothing(skeleton_vertex& v, uint32_t mask, int face)
{
    // the records share no bit, so the new one joins every record it meets, the first
    // of them taking the others in
    int into = -1;
    for (size_t i = 0; i < v.smoothing.size();) {
        skeleton_smoothing& r = v.smoothing[i];
        if (!(r.mask & mask)) {
            ++i;
            continue;
        }
        if (into < 0) {
            into = int(i);
            r.mask |= mask;
            r.faces.push_back(face);
            ++i;
            continue;
        }
        skeleton_smoothing& target = v.smoothing[size_t(into)];
        target.mask |= r.mask;
        target.faces.insert(target.faces.end(), r.faces.begin(), r.faces.end());
        v.smoothing.erase(v.smoothing.begin() + long(i));
    }
    if (into < 0) v.smoothing.push_back({mask, {face}});
}

} // namespace

bool TSkeletonFile::IsTagBoneName(std::string_view name)
{
    std::string lower(name);
    for (char& c : lower) c = char(std::tolower(uint8_t(c)));
    for (const char* word : {"tag_", "_tag", "origin", "attach"})
        if (lower.find(word) != std::string::npos) return true;
    return false;
}

void TSkeletonFile::Parse(std::string_view text, const std::string& source)
{
    *this = TSkeletonFile();
    TSkeletonReader in(text, source);

    in.Expect("SKELETON");
    in.Expect("VERSION");
    fVersion = int(in.Integer("a version"));

    in.Expect("NUMMATERIALS");
    int materials = Count(in, "material count", INT32_MAX);
    for (int m = 0; m < materials; ++m) {
        in.Expect("MATERIAL");
        in.Integer("a material number");
        in.RestOfLine();
    }

    in.Expect("NUMBONES");
    int bone_count = Count(in, "bone count", MAXIMUM_SKELETON_BONES);
    fBones.assign(size_t(bone_count), skeleton_bone());
    for (int b = 0; b < bone_count; ++b) {
        in.Expect("BONE");
        int index = Index(in, "bone index", bone_count);
        long parent = in.Integer("a parent bone");
        if (parent < -1 || parent >= bone_count || parent == index)
            in.Fail("the parent " + std::to_string(parent) + " of bone " + std::to_string(index) + " is not a bone");
        skeleton_bone& bone = fBones[size_t(index)];
        if (bone.defined) in.Fail("bone " + std::to_string(index) + " is listed twice");
        bone.parent = int(parent);
        bone.name = in.RestOfLine();
        bone.tag_bone = IsTagBoneName(bone.name);
        bone.defined = true;
    }
    for (int b = 0; b < bone_count; ++b) {
        int at = b;
        for (int steps = 0; at >= 0; ++steps) {
            if (steps > bone_count) in.Fail("the parents of bone " + std::to_string(b) + " form a loop");
            at = fBones[size_t(at)].parent;
        }
    }

    in.Expect("NUMVERTS");
    int vertex_count = Count(in, "vertex count", MAXIMUM_SKELETON_VERTICES);
    fVertices.assign(size_t(vertex_count), skeleton_vertex());
    std::unordered_multimap<size_t, int> seen;
    for (int n = 0; n < vertex_count; ++n) {
        in.Expect("VERT");
        int index = Index(in, "vertex index", vertex_count);
        skeleton_vertex& v = fVertices[size_t(index)];
        if (v.defined) in.Fail("vertex " + std::to_string(index) + " is listed twice");
        v.defined = true;
        if (fVersion == 1) {
            in.Expect("NORMAL");
            for (float& c : v.normal) c = in.Real("a normal");
            v.has_normal = true;
        }
        in.Expect("BONES");
        long k = in.Integer("a weight count");
        if (k < 0) in.Fail("the weight count " + std::to_string(k) + " is negative");
        std::vector<int> distinct;
        for (long i = 0; i < k; ++i) {
            in.Expect("BONE");
            int bone = Index(in, "weight's bone", bone_count);
            float weight = in.Real("a weight", true);
            float offset[3];
            for (float& c : offset) c = in.Real("an offset");
            bool known = false;
            for (int d : distinct) known |= d == bone;
            if (!known) distinct.push_back(bone);
            if (distinct.size() > size_t(MAXIMUM_WEIGHTS_PER_VERTEX))
                in.Fail("vertex " + std::to_string(index) + " has more than " +
                        std::to_string(MAXIMUM_WEIGHTS_PER_VERTEX) + " bones");
            if (!(weight > 0) || fBones[size_t(bone)].tag_bone) continue;
            skeleton_weight* same = nullptr;
            for (skeleton_weight& w : v.weights)
                if (w.bone == bone) same = &w;
            if (same) {
                float total = same->weight + weight;
                for (int c = 0; c < 3; ++c)
                    same->offset[c] = (same->offset[c] * same->weight + offset[c] * weight) / total;
                same->weight = total;
            } else {
                v.weights.push_back({bone, weight, {offset[0], offset[1], offset[2]}, {0, 0, 0}});
            }
        }
        if (v.weights.empty()) continue;
        size_t hash = HashWeights(v.weights);
        v.alias = index;
        auto range = seen.equal_range(hash);
        int first = -1;
        for (auto it = range.first; it != range.second && first < 0; ++it)
            if (SameWeights(fVertices[size_t(it->second)].weights, v.weights)) first = it->second;
        if (first >= 0) {
            v.alias = first;
        } else {
            seen.emplace(hash, index);
        }
    }

    in.Expect("NUMFACES");
    int face_count = Count(in, "face count", INT32_MAX);
    for (int f = 0; f < face_count; ++f) {
        in.Expect("TRI");
        in.Integer("a face number");
        skeleton_face face{};
        for (int c = 0; c < 3; ++c) {
            int vertex = Index(in, "face's vertex", vertex_count);
            face.vertex[c] = fVertices[size_t(vertex)].alias;
            face.uv[c][0] = in.Real("a texture coordinate");
            face.uv[c][1] = in.Real("a texture coordinate");
        }
        face.mask = fVersion == 1 ? 1u : in.Hex("a smoothing mask");
        const int* v = face.vertex;
        if (v[0] < 0 || v[1] < 0 || v[2] < 0 || v[0] == v[1] || v[1] == v[2] || v[0] == v[2]) continue;
        int number = int(fFaces.size());
        fFaces.push_back(face);
        for (int c = 0; c < 3; ++c) AddSmoothing(fVertices[size_t(v[c])], face.mask, number);
    }

    in.Expect("FRAMERATE");
    fFrameRate = in.Real("a frame rate");
    in.Expect("NUMFRAMES");
    long frames = in.Integer("a frame count");
    if (frames < 1) {
        in.Expect("END");
        return;
    }
    if (frames > MAXIMUM_SKELETON_FRAMES)
        in.Fail("the frame count " + std::to_string(frames) + " is above the limit of " +
                std::to_string(MAXIMUM_SKELETON_FRAMES));
    fFrameCount = int(frames);
    fFrames.assign(size_t(frames), {});
    for (long f = 0; f < frames; ++f) {
        in.Expect("FRAME");
        int frame = Index(in, "frame index", fFrameCount);
        std::vector<skeleton_bone_frame>& poses = fFrames[size_t(frame)];
        if (!poses.empty()) in.Fail("frame " + std::to_string(frame) + " is listed twice");
        poses.assign(size_t(bone_count), skeleton_bone_frame());
        for (int b = 0; b < bone_count; ++b) {
            in.Expect("BONE");
            int bone = Index(in, "frame's bone", bone_count);
            skeleton_bone_frame& pose = poses[size_t(bone)];
            if (pose.defined)
                in.Fail("bone " + std::to_string(bone) + " appears twice in frame " + std::to_string(frame));
            in.Expect("OFFSET");
            for (float& c : pose.offset) c = in.Real("an offset");
            const char* axes[3] = {"X", "Y", "Z"};
            for (int a = 0; a < 3; ++a) {
                in.Expect(axes[a]);
                for (float& c : pose.axes[a]) c = in.Real("an axis");
            }
            pose.defined = true;
        }
    }
    in.Expect("END");
}

void TSkeletonFile::ParseFile(const std::string& path)
{
    Parse(read_text_file(path), path_file_name(path));
}

std::string read_text_file(const std::string& path)
{
    XGFile file(path);
    file.Open(XGFile::kRead);
    uint64_t length = file.GetLength();
    if (length > 0x7FFFFFFF) throw XGPostError(kXGFileReadError, {path});
    std::string text(size_t(length), '\0');
    if (length) file.Read(text.data(), size_t(length));
    file.Close();
    return text;
}

std::string path_file_name(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
