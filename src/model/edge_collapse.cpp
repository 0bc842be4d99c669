#include "model/edge_collapse.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cmath>
#include <queue>
#include <unordered_map>

namespace {

using vec3 = std::array<double, 3>;

vec3 Sub(const std::array<float, 3>& a, const std::array<float, 3>& b)
{
    return {double(a[0]) - b[0], double(a[1]) - b[1], double(a[2]) - b[2]};
}
vec3 Cross(const vec3& a, const vec3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double Dot(const vec3& a, const vec3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}
double Length(const vec3& a)
{
    return std::sqrt(Dot(a, a));
}

enum class Kind { kInterior, kBorder, kOther };

struct Candidate {
    double cost;
    int group;
    int target;
    unsigned stamp;
    bool operator>(const Candidate& o) const
    {
        if (cost != o.cost) return cost > o.cost;
        return group > o.group;
    }
};

class TCollapser {
public:
    explicit TCollapser(const collapse_mesh& mesh) : fMesh(mesh)
    {
        size_t n = mesh.positions.size();
        fVertexFaces.resize(n);
        fVertexAlive.assign(n, true);
        fGroupOf.resize(n);
        std::unordered_map<int, int> dense;
        for (size_t v = 0; v < n; ++v) {
            auto [it, fresh] = dense.emplace(mesh.groups[v], int(fMembers.size()));
            if (fresh) fMembers.emplace_back();
            fGroupOf[v] = it->second;
            fMembers[size_t(it->second)].push_back(int(v));
        }
        fGroupAlive.assign(fMembers.size(), true);
        fAccumulated.assign(fMembers.size(), 0.0);
        fStamp.assign(fMembers.size(), 0);
        fFaces = mesh.faces;
        fFaceAlive.assign(fFaces.size(), true);
        for (size_t f = 0; f < fFaces.size(); ++f)
            for (int c : fFaces[f]) fVertexFaces[size_t(c)].push_back(int(f));
        fResult.target.assign(n, -1);
        fResult.face_killer.assign(fFaces.size(), -1);
    }

    collapse_order Run()
    {
        for (int g = 0; g < int(fMembers.size()); ++g) Evaluate(g);
        while (!fQueue.empty()) {
            Candidate c = fQueue.top();
            fQueue.pop();
            if (!fGroupAlive[size_t(c.group)] || c.stamp != fStamp[size_t(c.group)]) continue;
            if (!fGroupAlive[size_t(c.target)]) {
                Evaluate(c.group);
                continue;
            }
            std::vector<int> touched = Neighbours(c.group);
            Collapse(c.group, c.target, c.cost);
            for (int g : touched)
                if (fGroupAlive[size_t(g)]) Evaluate(g);
        }
        return std::move(fResult);
    }

private:
    const std::array<float, 3>& Position(int v) const { return fMesh.positions[size_t(v)]; }

    std::vector<int> GroupFaces(int g) const
    {
        std::vector<int> faces;
        for (int v : fMembers[size_t(g)])
            for (int f : fVertexFaces[size_t(v)]) faces.push_back(f);
        return faces;
    }

    // The corner of face f that belongs to group g.
    int CornerIn(int f, int g) const
    {
        for (int i = 0; i < 3; ++i)
            if (fGroupOf[size_t(fFaces[size_t(f)][size_t(i)])] == g) return i;
        return -1;
    }

    std::vector<int> Neighbours(int g) const
    {
        std::vector<int> out;
        for (int f : GroupFaces(g))
            for (int c : fFaces[size_t(f)]) {
                int h = fGroupOf[size_t(c)];
                if (h != g) out.push_back(h);
            }
        std::sort(out.begin(), out.end());
        out.erase(std::unique(out.begin(), out.end()), out.end());
        return out;
    }

    vec3 FaceCross(const std::array<int, 3>& corners) const
    {
        return Cross(Sub(Position(corners[1]), Position(corners[0])), Sub(Position(corners[2]), Position(corners[0])));
    }

    // Interior when the fan closes around the group, border when it is one open
    // chain (ends in *start and *end), other for anything else or a folded fan.
    Kind Classify(int g, const std::vector<int>& faces, int* start, int* end) const
    {
        if (faces.empty() || faces.size() > size_t(MAXIMUM_COLLAPSE_FAN)) return Kind::kOther;
        std::vector<std::pair<int, int>> edges;
        for (int f : faces) {
            int i = CornerIn(f, g);
            const std::array<int, 3>& c = fFaces[size_t(f)];
            edges.emplace_back(fGroupOf[size_t(c[size_t((i + 1) % 3)])], fGroupOf[size_t(c[size_t((i + 2) % 3)])]);
        }
        std::sort(edges.begin(), edges.end());
        for (size_t i = 1; i < edges.size(); ++i)
            if (edges[i].first == edges[i - 1].first) return Kind::kOther;
        std::vector<int> heads, tails;
        for (auto& e : edges) {
            heads.push_back(e.first);
            tails.push_back(e.second);
        }
        std::sort(tails.begin(), tails.end());
        for (size_t i = 1; i < tails.size(); ++i)
            if (tails[i] == tails[i - 1]) return Kind::kOther;
        // heads that are no tail start chains; tails that are no head end them
        std::vector<int> starts, ends;
        for (int h : heads)
            if (!std::binary_search(tails.begin(), tails.end(), h)) starts.push_back(h);
        std::vector<int> sorted_heads = heads;
        std::sort(sorted_heads.begin(), sorted_heads.end());
        for (int t : tails)
            if (!std::binary_search(sorted_heads.begin(), sorted_heads.end(), t)) ends.push_back(t);
        if (starts.size() > 1 || starts.size() != ends.size()) return Kind::kOther;
        // walk the chain (or cycle) and make sure it uses every edge
        int at = starts.empty() ? edges[0].first : starts[0];
        size_t walked = 0;
        while (walked < edges.size()) {
            auto it = std::lower_bound(edges.begin(), edges.end(), std::make_pair(at, INT32_MIN));
            if (it == edges.end() || it->first != at) break;
            at = it->second;
            ++walked;
            if (starts.empty() && at == edges[0].first) break;
        }
        if (walked != edges.size()) return Kind::kOther;

        // neighbouring faces of the fan that fold onto each other
        std::vector<std::pair<int, vec3>> normals; // by the edge's head
        for (int f : faces) {
            int i = CornerIn(f, g);
            vec3 n = FaceCross(fFaces[size_t(f)]);
            double l = Length(n);
            int head = fGroupOf[size_t(fFaces[size_t(f)][size_t((i + 1) % 3)])];
            normals.emplace_back(head, l > 0 ? vec3{n[0] / l, n[1] / l, n[2] / l} : vec3{0, 0, 0});
        }
        std::sort(normals.begin(), normals.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (size_t e = 0; e < edges.size(); ++e) {
            // the face after edge e starts where e ends
            auto next = std::lower_bound(normals.begin(), normals.end(), edges[e].second,
                                         [](const auto& a, int head) { return a.first < head; });
            if (next == normals.end() || next->first != edges[e].second) continue;
            if (Dot(normals[e].second, next->second) < COLLAPSE_FOLD_LIMIT) return Kind::kOther;
        }
        if (starts.empty()) return Kind::kInterior;
        *start = starts[0];
        *end = ends[0];
        return Kind::kBorder;
    }

    double UvDistance(int a, int b) const
    {
        double du = double(fMesh.uvs[size_t(a)][0]) - fMesh.uvs[size_t(b)][0];
        double dv = double(fMesh.uvs[size_t(a)][1]) - fMesh.uvs[size_t(b)][1];
        return du * du + dv * dv;
    }

    // The vertex of group h that v goes to: one sharing a face with v, else the
    // nearest in texture space.
    int Match(int v, int h) const
    {
        int best = -1;
        double best_distance = 0;
        bool best_shares = false;
        for (int m : fMembers[size_t(h)]) {
            bool shares = false;
            for (int f : fVertexFaces[size_t(v)])
                for (int c : fFaces[size_t(f)]) shares |= c == m;
            double d = UvDistance(v, m);
            if (best < 0 || (shares && !best_shares) || (shares == best_shares && d < best_distance)) {
                best = m;
                best_distance = d;
                best_shares = shares;
            }
        }
        return best;
    }

    double Distance5(int a, int b) const
    {
        vec3 d = Sub(Position(a), Position(b));
        return std::sqrt(Dot(d, d) + UvDistance(a, b));
    }

    // No face left standing may turn over.
    bool Flips(int g, int h, const std::vector<int>& faces) const
    {
        const std::array<float, 3>& to = Position(fMembers[size_t(h)][0]);
        for (int f : faces) {
            const std::array<int, 3>& c = fFaces[size_t(f)];
            if (CornerIn(f, h) >= 0) continue;
            int i = CornerIn(f, g);
            std::array<std::array<float, 3>, 3> p = {Position(c[0]), Position(c[1]), Position(c[2])};
            vec3 before = Cross(Sub(p[1], p[0]), Sub(p[2], p[0]));
            p[size_t(i)] = to;
            vec3 after = Cross(Sub(p[1], p[0]), Sub(p[2], p[0]));
            if (Dot(before, after) <= 0) return true;
        }
        return false;
    }

    void Evaluate(int g)
    {
        ++fStamp[size_t(g)];
        std::vector<int> faces = GroupFaces(g);
        int start = -1, end = -1;
        Kind kind = Classify(g, faces, &start, &end);
        if (kind == Kind::kOther) return;
        const std::array<float, 3>& p = Position(fMembers[size_t(g)][0]);
        double best = COLLAPSE_COST_BOUND;
        int target = -1;
        auto consider = [&](int h, double cost) {
            if (cost < best && !Flips(g, h, faces)) {
                best = cost;
                target = h;
            }
        };
        if (kind == Kind::kInterior) {
            for (int h : Neighbours(g)) {
                const std::array<float, 3>& q = Position(fMembers[size_t(h)][0]);
                if (p == q) continue;
                vec3 d = Sub(p, q);
                double cost = fAccumulated[size_t(g)];
                for (int f : faces) cost += 0.25 * std::fabs(Dot(FaceCross(fFaces[size_t(f)]), d));
                consider(h, cost);
            }
        } else {
            double sum = 0;
            for (int v : fMembers[size_t(g)]) {
                int a = Match(v, start), b = Match(v, end);
                sum += Distance5(v, a) + Distance5(v, b) - Distance5(a, b);
            }
            double cost = 40.0 * sum / double(fMembers[size_t(g)].size());
            for (int h : {start, end})
                if (Position(fMembers[size_t(h)][0]) != p) consider(h, cost);
        }
        if (target >= 0 && std::isfinite(best)) fQueue.push({best, g, target, fStamp[size_t(g)]});
    }

    void RemoveFace(int f)
    {
        fFaceAlive[size_t(f)] = false;
        for (int c : fFaces[size_t(f)]) {
            std::vector<int>& list = fVertexFaces[size_t(c)];
            list.erase(std::remove(list.begin(), list.end(), f), list.end());
        }
    }

    void Collapse(int g, int h, double cost)
    {
        std::vector<int> members = fMembers[size_t(g)];
        std::vector<int> matches;
        for (int v : members) matches.push_back(Match(v, h));
        for (size_t i = 0; i < members.size(); ++i) {
            int v = members[i], to = matches[i];
            std::vector<int> faces = fVertexFaces[size_t(v)];
            for (int f : faces) {
                if (CornerIn(f, h) >= 0) {
                    fResult.face_killer[size_t(f)] = v;
                    RemoveFace(f);
                    continue;
                }
                for (int& c : fFaces[size_t(f)])
                    if (c == v) c = to;
                fVertexFaces[size_t(to)].push_back(f);
            }
            fVertexFaces[size_t(v)].clear();
            fVertexAlive[size_t(v)] = false;
            fResult.order.push_back(v);
            fResult.target[size_t(v)] = to;
        }
        fResult.step_sizes.push_back(int(members.size()));
        fGroupAlive[size_t(g)] = false;
        fAccumulated[size_t(h)] += cost;
    }

    const collapse_mesh& fMesh;
    std::vector<std::array<int, 3>> fFaces;
    std::vector<bool> fFaceAlive;
    std::vector<std::vector<int>> fVertexFaces;
    std::vector<bool> fVertexAlive;
    std::vector<int> fGroupOf;
    std::vector<std::vector<int>> fMembers;
    std::vector<bool> fGroupAlive;
    std::vector<double> fAccumulated;
    std::vector<unsigned> fStamp;
    std::priority_queue<Candidate, std::vector<Candidate>, std::greater<Candidate>> fQueue;
    collapse_order fResult;
};

} // namespace

collapse_order compute_collapse_order(const collapse_mesh& mesh)
{
    return TCollapser(mesh).Run();
}
