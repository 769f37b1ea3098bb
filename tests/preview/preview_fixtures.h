// What the preview tests share: models converted as `toravel convert` converts them, the
// silhouette of a picture, and SMD text made or changed by the tests themselves.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "app/batch_convert.h"
#include "preview/image.h"
#include "support/temp_dir.h"
#include "xfile/x_general_reader.h"

namespace toravel::testing {

inline const std::string kExampleDir = TORAVEL_EXAMPLES_DIR;

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The X content that the converter writes for these SMD texts, read back.
inline XGeneralContent ConvertSmd(const std::string& reference,
                                  const std::vector<std::string>& animations = {}) {
    TempDir dir;
    ConvertRequest request;
    request.reference = dir.Write("model.smd", reference);
    for (size_t i = 0; i < animations.size(); ++i) {
        request.animations.push_back(
            {dir.Write("anim" + std::to_string(i) + ".smd", animations[i]), "anim"});
    }
    std::ostringstream messages;
    const std::optional<std::string> document = ConvertInMemory(request, messages);
    EXPECT_TRUE(document.has_value()) << messages.str();
    XGeneralResult read = ReadXGeneral(document.value_or(""), "model.x");
    EXPECT_TRUE(read.ok()) << read.error;
    return read.ok() ? std::move(*read.content) : XGeneralContent{};
}

// Which pixels differ from the background.
struct Silhouette {
    int width = 0;
    int height = 0;
    std::vector<bool> inside;
    size_t count = 0;
    int minX = 0, minY = 0, maxX = -1, maxY = -1;

    bool At(int x, int y) const {
        return x >= 0 && y >= 0 && x < width && y < height &&
               inside[static_cast<size_t>(y * width + x)];
    }
    double CentroidX() const {
        double sum = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                sum += At(x, y) ? x + 0.5 : 0;
            }
        }
        return count > 0 ? sum / static_cast<double>(count) : 0;
    }
};

inline Silhouette SilhouetteOf(const Image& image, Rgb background) {
    Silhouette s;
    s.width = image.width();
    s.height = image.height();
    s.inside.assign(static_cast<size_t>(s.width * s.height), false);
    s.minX = s.width;
    s.minY = s.height;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x) {
            if (!(image.At(x, y) == background)) {
                s.inside[static_cast<size_t>(y * s.width + x)] = true;
                ++s.count;
                s.minX = std::min(s.minX, x);
                s.maxX = std::max(s.maxX, x);
                s.minY = std::min(s.minY, y);
                s.maxY = std::max(s.maxY, y);
            }
        }
    }
    return s;
}

// The reference and an animation mirrored in the SMD's y (left becomes right): positions and
// normals change sign in y, rotations about x and z turn the other way, and every triangle's
// corners run the other way round so that the outside stays outside.
inline std::string MirrorSmd(const std::string& text) {
    std::istringstream in(text);
    std::ostringstream out;
    std::string line;
    std::string section;
    std::vector<std::string> corners;
    auto fields = [](const std::string& l) {
        std::istringstream s(l);
        std::vector<std::string> f;
        std::string w;
        while (s >> w) {
            f.push_back(w);
        }
        return f;
    };
    auto negate = [](const std::string& number) {
        return number.starts_with("-") ? number.substr(1) : "-" + number;
    };
    while (std::getline(in, line)) {
        if (line == "nodes" || line == "skeleton" || line == "triangles") {
            section = line;
            out << line << '\n';
            continue;
        }
        if (line == "end") {
            section.clear();
            out << line << '\n';
            continue;
        }
        std::vector<std::string> f = fields(line);
        if (section == "skeleton" && f.size() == 7) {
            f[2] = negate(f[2]);
            f[4] = negate(f[4]);
            f[6] = negate(f[6]);
        } else if (section == "triangles" && f.size() >= 9) {
            f[2] = negate(f[2]);
            f[5] = negate(f[5]);
        } else if (section == "triangles") {
            out << line << '\n';  // the texture name
            continue;
        } else {
            out << line << '\n';
            continue;
        }
        std::string joined;
        for (const std::string& w : f) {
            joined += (joined.empty() ? "" : " ") + w;
        }
        if (section == "triangles") {
            corners.push_back(joined);
            if (corners.size() == 3) {
                out << corners[0] << '\n' << corners[2] << '\n' << corners[1] << '\n';
                corners.clear();
            }
        } else {
            out << joined << '\n';
        }
    }
    return out.str();
}

// A chain of three bones straight up from the floor, each inside a closed box that reaches
// past both of its joints: root at z 10, mid at 20, tip at 30 (SMD space), boxes 4 wide.
inline std::string BoxChainSmd() {
    std::ostringstream out;
    out << "version 1\nnodes\n0 \"root\" -1\n1 \"mid\" 0\n2 \"tip\" 1\nend\n"
        << "skeleton\ntime 0\n0 0 0 10 0 0 0\n1 0 0 10 0 0 0\n2 0 0 10 0 0 0\nend\ntriangles\n";
    const char* textures[3] = {"red.bmp", "green.bmp", "blue.bmp"};
    for (int bone = 0; bone < 3; ++bone) {
        const double z0 = 10.0 * (bone + 1) - 1.5;
        const double z1 = z0 + 13.0 - bone * 1.0;
        const double h = 2.0 - bone * 0.4;
        const double cx = 0, cy = 0, cz = (z0 + z1) / 2;
        // The eight corners and the six faces as quads of corner numbers.
        auto corner = [&](int i) {
            return std::array<double, 3>{(i & 1) ? h : -h, (i & 2) ? h : -h, (i & 4) ? z1 : z0};
        };
        const int faces[6][4] = {{0, 1, 3, 2}, {4, 5, 7, 6}, {0, 1, 5, 4},
                                 {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 3, 7, 5}};
        for (const auto& face : faces) {
            const int halves[2][3] = {{face[0], face[1], face[2]}, {face[0], face[2], face[3]}};
            for (const int* tri : halves) {
                std::array<std::array<double, 3>, 3> p = {corner(tri[0]), corner(tri[1]),
                                                          corner(tri[2])};
                // The outside is where cross(b - a, c - a) points, as in the example.
                const double ux = p[1][0] - p[0][0], uy = p[1][1] - p[0][1], uz = p[1][2] - p[0][2];
                const double vx = p[2][0] - p[0][0], vy = p[2][1] - p[0][1], vz = p[2][2] - p[0][2];
                const double nx = uy * vz - uz * vy, ny = uz * vx - ux * vz, nz = ux * vy - uy * vx;
                const double mx = (p[0][0] + p[1][0] + p[2][0]) / 3 - cx;
                const double my = (p[0][1] + p[1][1] + p[2][1]) / 3 - cy;
                const double mz = (p[0][2] + p[1][2] + p[2][2]) / 3 - cz;
                if (nx * mx + ny * my + nz * mz < 0) {
                    std::swap(p[1], p[2]);
                }
                out << textures[bone] << '\n';
                for (const auto& q : p) {
                    out << bone << ' ' << q[0] << ' ' << q[1] << ' ' << q[2] << " 0 0 1 0 0 1 "
                        << bone << " 1\n";
                }
            }
        }
    }
    out << "end\n";
    return out.str();
}

}  // namespace toravel::testing
