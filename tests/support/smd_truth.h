// Ground truth for the geometry of SMD models, computed from the format's meaning alone and in
// double precision, without any of Toravel's readers or matrix code: a small parser of
// well-formed SMD text, each bone's world transform (rotate about x, then y, then z, then
// move; children relative to their parents), linear blend skinning, and the turn from the
// SMD's z-up space into the X file's y-up space, (x, y, z) -> (x, z, -y).
#pragma once

#include <array>
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace toravel::testing::truth {

using Vec3 = std::array<double, 3>;

// Row-vector convention: a point is the row (x, y, z, 1) times the matrix.
struct Mat4 {
    std::array<std::array<double, 4>, 4> m{};
    static Mat4 Identity() {
        Mat4 r;
        for (int i = 0; i < 4; ++i) {
            r.m[i][i] = 1;
        }
        return r;
    }
};

inline Mat4 operator*(const Mat4& a, const Mat4& b) {
    Mat4 r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            for (int k = 0; k < 4; ++k) {
                r.m[i][j] += a.m[i][k] * b.m[k][j];
            }
        }
    }
    return r;
}

inline Vec3 Apply(const Vec3& p, const Mat4& t) {
    Vec3 r{};
    for (int j = 0; j < 3; ++j) {
        r[j] = p[0] * t.m[0][j] + p[1] * t.m[1][j] + p[2] * t.m[2][j] + t.m[3][j];
    }
    return r;
}

// The inverse of a rigid transform (rotation rows, then translation).
inline Mat4 RigidInverse(const Mat4& t) {
    Mat4 r = Mat4::Identity();
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            r.m[i][j] = t.m[j][i];
        }
    }
    for (int j = 0; j < 3; ++j) {
        r.m[3][j] = -(t.m[3][0] * r.m[0][j] + t.m[3][1] * r.m[1][j] + t.m[3][2] * r.m[2][j]);
    }
    return r;
}

// The bone transform of a key line: rotation about x by rx, then y by ry, then z by rz, then
// the move to (px, py, pz).
inline Mat4 BoneTransform(const std::array<double, 6>& key) {
    const double cx = std::cos(key[3]), sx = std::sin(key[3]);
    const double cy = std::cos(key[4]), sy = std::sin(key[4]);
    const double cz = std::cos(key[5]), sz = std::sin(key[5]);
    Mat4 rx = Mat4::Identity(), ry = Mat4::Identity(), rz = Mat4::Identity();
    rx.m[1] = {0, cx, sx, 0};
    rx.m[2] = {0, -sx, cx, 0};
    ry.m[0] = {cy, 0, -sy, 0};
    ry.m[2] = {sy, 0, cy, 0};
    rz.m[0] = {cz, sz, 0, 0};
    rz.m[1] = {-sz, cz, 0, 0};
    Mat4 t = Mat4::Identity();
    t.m[3] = {key[0], key[1], key[2], 1};
    return rx * ry * rz * t;
}

// From the SMD's z-up space into the X file's y-up space.
inline Vec3 Turn(const Vec3& p) {
    return {p[0], p[2], -p[1]};
}

// A name as the X file carries it: every ASCII character other than a letter, a digit, '_'
// and '-' becomes '_'.
inline std::string XName(std::string name) {
    for (char& c : name) {
        const auto u = static_cast<unsigned char>(c);
        const bool keep = u >= 0x80 || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') ||
                          (u >= '0' && u <= '9') || c == '_' || c == '-';
        if (!keep) {
            c = '_';
        }
    }
    return name;
}

struct Bone {
    int id = 0;
    std::string name;
    int parent = -1;
};

struct Vertex {
    int owner = 0;
    Vec3 position{};
    std::vector<std::pair<int, double>> links;  // bone id, weight; the owner alone when empty
};

struct Model {
    std::vector<Bone> bones;
    // Each frame in file order: bone id to its key (px, py, pz, rx, ry, rz).
    std::vector<std::map<int, std::array<double, 6>>> frames;
    std::vector<Vertex> vertices;  // three per triangle, in file order
};

// Parses well-formed SMD text: comment lines, nodes, skeleton frames and triangles.
inline Model ParseSmd(const std::string& text) {
    Model model;
    std::istringstream in(text);
    std::string line;
    enum { kNone, kNodes, kSkeleton, kTriangles } section = kNone;
    int corner = 0;
    while (std::getline(in, line)) {
        const size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line.compare(first, 2, "//") == 0) {
            continue;
        }
        line = line.substr(first);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
            line.pop_back();
        }
        if (line == "end") {
            section = kNone;
            continue;
        }
        if (section == kNone) {
            section = line == "nodes"       ? kNodes
                      : line == "skeleton"  ? kSkeleton
                      : line == "triangles" ? kTriangles
                                            : kNone;
            continue;
        }
        std::istringstream fields(line);
        if (section == kNodes) {
            Bone bone;
            fields >> bone.id;
            const size_t open = line.find('"');
            const size_t close = line.find('"', open + 1);
            bone.name = line.substr(open + 1, close - open - 1);
            std::istringstream(line.substr(close + 1)) >> bone.parent;
            model.bones.push_back(bone);
        } else if (section == kSkeleton) {
            if (line.rfind("time", 0) == 0) {
                model.frames.emplace_back();
                continue;
            }
            int id = 0;
            std::array<double, 6> key{};
            fields >> id >> key[0] >> key[1] >> key[2] >> key[3] >> key[4] >> key[5];
            model.frames.back()[id] = key;
        } else {
            if (corner == 0) {  // the texture name
                corner = 1;
                continue;
            }
            Vertex v;
            double normal = 0, uv = 0;
            fields >> v.owner >> v.position[0] >> v.position[1] >> v.position[2];
            fields >> normal >> normal >> normal >> uv >> uv;
            int links = 0;
            if (fields >> links) {
                for (int i = 0; i < links; ++i) {
                    int bone = 0;
                    double weight = 0;
                    fields >> bone >> weight;
                    v.links.emplace_back(bone, weight);
                }
            }
            if (v.links.empty()) {
                v.links.emplace_back(v.owner, 1.0);
            }
            model.vertices.push_back(v);
            corner = corner == 3 ? 0 : corner + 1;
        }
    }
    return model;
}

// Every bone's world transform in SMD space for one pose: the keys of `frame`, and the bind
// pose of `reference` for bones that the frame does not key.
inline std::map<int, Mat4> WorldTransforms(const Model& reference,
                                           const std::map<int, std::array<double, 6>>& frame) {
    std::map<int, Mat4> world;
    // Parents come before their children in real files; repeat until every bone is placed.
    for (size_t pass = 0; pass < reference.bones.size() && world.size() < reference.bones.size();
         ++pass) {
        for (const Bone& bone : reference.bones) {
            if (world.count(bone.id) != 0 || (bone.parent >= 0 && world.count(bone.parent) == 0)) {
                continue;
            }
            const auto key = frame.find(bone.id);
            const Mat4 local = BoneTransform(
                key != frame.end() ? key->second : reference.frames.at(0).at(bone.id));
            world[bone.id] = bone.parent >= 0 ? local * world[bone.parent] : local;
        }
    }
    return world;
}

// The frames of an animation file keyed by the ids that `reference` gives the same names.
inline std::vector<std::map<int, std::array<double, 6>>> FramesByReferenceIds(
    const Model& animation, const Model& reference) {
    std::map<int, int> ids;
    for (const Bone& a : animation.bones) {
        for (const Bone& r : reference.bones) {
            if (r.name == a.name) {
                ids[a.id] = r.id;
            }
        }
    }
    std::vector<std::map<int, std::array<double, 6>>> frames;
    for (const auto& frame : animation.frames) {
        auto& mapped = frames.emplace_back();
        for (const auto& [id, key] : frame) {
            mapped[ids.at(id)] = key;
        }
    }
    return frames;
}

// A vertex under a pose, by linear blend skinning from the bind pose, in SMD space.
inline Vec3 Skin(const Vertex& v, const std::map<int, Mat4>& bind,
                 const std::map<int, Mat4>& pose) {
    Vec3 sum{};
    for (const auto& [bone, weight] : v.links) {
        const Vec3 p = Apply(Apply(v.position, RigidInverse(bind.at(bone))), pose.at(bone));
        for (int j = 0; j < 3; ++j) {
            sum[j] += weight * p[j];
        }
    }
    return sum;
}

}  // namespace toravel::testing::truth
