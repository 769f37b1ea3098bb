#include "staticmesh/portable_mesh_layer.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <limits>
#include <new>
#include <numeric>
#include <span>

#include "text/text_writer.h"

#ifdef TORAVEL_HAVE_MESHOPTIMIZER
#include <meshoptimizer.h>
#endif

namespace toravel {

namespace {

constexpr uint32_t kSupportedOptimizations = kMeshOptAttrSort | kMeshOptVertexCache;

// Union-find over vertex ids, for welding coincident positions.
class Welds {
  public:
    explicit Welds(size_t count) : parent_(count) {
        std::iota(parent_.begin(), parent_.end(), uint32_t{0});
    }
    uint32_t Find(uint32_t v) {
        while (parent_[v] != v) {
            parent_[v] = parent_[parent_[v]];
            v = parent_[v];
        }
        return v;
    }
    void Join(uint32_t a, uint32_t b) {
        a = Find(a);
        b = Find(b);
        if (a != b) {
            parent_[std::max(a, b)] = std::min(a, b);
        }
    }

  private:
    std::vector<uint32_t> parent_;
};

bool Coincident(const MeshVertex& a, const MeshVertex& b, float epsilon) {
    return std::fabs(a.px - b.px) <= epsilon && std::fabs(a.py - b.py) <= epsilon &&
           std::fabs(a.pz - b.pz) <= epsilon;
}

// The grid cell of a coordinate for cells `epsilon` wide, so that two coordinates within
// epsilon of each other lie in the same or in neighbouring cells. Kept as a double: clamping
// to an integer range put every far coordinate (around 1e30) into one cell.
double Cell(float coordinate, float epsilon) {
    return std::floor(static_cast<double>(coordinate) / epsilon);
}

// The cell entry of a vertex: its cell's coordinates, then the vertex.
struct CellEntry {
    double x, y, z;
    uint32_t vertex;
};

float Coordinate(const MeshVertex& v, int axis) {
    return axis == 0 ? v.px : axis == 1 ? v.py : v.pz;
}

// Joins each entry of `others` that lies within epsilon of an entry of `cell`, whose entries
// are all one set already, to that set. `others` is the neighbouring cell `direction` (each
// axis -1, 0 or +1) away. On an axis where the cells differ, whether two coordinates are
// within epsilon changes once as the cell's coordinate moves towards the other cell, so each
// such axis orders the cell's entries and a binary search finds where the nearer part
// starts; on an axis where the cells agree every two coordinates are within epsilon. An
// entry then needs only the cell's entry nearest on the third axis among those nearer on the
// first two, found for all of them in one sweep: the cost is n log n, not the product of the
// cells' sizes.
void JoinNeighbours(const std::vector<MeshVertex>& vertices, std::span<const CellEntry> cell,
                    std::span<const CellEntry> others, std::array<int, 3> direction,
                    float epsilon, Welds& welds) {
    const size_t m = cell.size();
    // How far an entry of the cell lies towards the other cell on an axis: larger is nearer.
    auto toward = [&](const CellEntry& e, int axis) {
        const float c = Coordinate(vertices[e.vertex], axis);
        return direction[static_cast<size_t>(axis)] > 0 ? c : -c;
    };
    auto within = [&](const CellEntry& a, const CellEntry& b, int axis) {
        return std::fabs(Coordinate(vertices[a.vertex], axis) -
                         Coordinate(vertices[b.vertex], axis)) <= epsilon;
    };
    // The axes where the cells differ; the sweep needs at most three, padded with the last.
    std::array<int, 3> axes{};
    int count = 0;
    for (int axis = 0; axis < 3; ++axis) {
        if (direction[static_cast<size_t>(axis)] != 0) {
            axes[static_cast<size_t>(count++)] = axis;
        }
    }
    // rank[k][i]: the position of cell entry i in the order of axis k (nearer last).
    std::array<std::vector<uint32_t>, 2> order;
    std::array<std::vector<uint32_t>, 2> rank;
    for (int k = 0; k < 2; ++k) {
        order[k].resize(m);
        rank[k].assign(m, 0);
        std::iota(order[k].begin(), order[k].end(), uint32_t{0});
        if (k < count) {
            const int axis = axes[static_cast<size_t>(k)];
            std::stable_sort(order[k].begin(), order[k].end(), [&](uint32_t a, uint32_t b) {
                return toward(cell[a], axis) < toward(cell[b], axis);
            });
            for (uint32_t p = 0; p < m; ++p) {
                rank[k][order[k][p]] = p;
            }
        }
    }
    // The first position in axis k's order from which a cell entry is within epsilon of `q`.
    auto from = [&](const CellEntry& q, int k) -> uint32_t {
        if (k >= count) {
            return 0;
        }
        const int axis = axes[static_cast<size_t>(k)];
        const auto it = std::partition_point(order[k].begin(), order[k].end(),
                                             [&](uint32_t i) { return !within(cell[i], q, axis); });
        return static_cast<uint32_t>(it - order[k].begin());
    };
    auto nearest = [&](uint32_t a, uint32_t b) {  // the nearer on the third axis
        if (count < 3) {
            return a;
        }
        return toward(cell[a], axes[2]) >= toward(cell[b], axes[2]) ? a : b;
    };
    constexpr uint32_t kNone = std::numeric_limits<uint32_t>::max();
    // Queries in falling order of their first-axis start; the cell's entries go in as their
    // first-axis position reaches it, into a tree over the second-axis positions (counted
    // from the nearest end) that keeps the entry nearest on the third axis of each prefix.
    struct Query {
        uint32_t from0, from1, entry;
    };
    std::vector<Query> queries(others.size());
    for (uint32_t j = 0; j < others.size(); ++j) {
        queries[j] = {from(others[j], 0), from(others[j], 1), j};
    }
    std::sort(queries.begin(), queries.end(),
              [](const Query& a, const Query& b) { return a.from0 > b.from0; });
    std::vector<uint32_t> tree(m + 1, kNone);
    size_t inserted = m;  // order[0] positions >= inserted are in the tree
    const uint32_t set = cell[0].vertex;
    for (const Query& query : queries) {
        while (inserted > query.from0) {
            --inserted;
            const uint32_t i = order[0][inserted];
            for (size_t t = m - rank[1][i]; t <= m; t += t & (~t + 1)) {
                tree[t] = tree[t] == kNone ? i : nearest(tree[t], i);
            }
        }
        uint32_t best = kNone;
        for (size_t t = m - query.from1; t > 0; t -= t & (~t + 1)) {
            if (tree[t] != kNone) {
                best = best == kNone ? tree[t] : nearest(best, tree[t]);
            }
        }
        const CellEntry& q = others[query.entry];
        if (best == kNone || (count == 3 && !within(cell[best], q, axes[2]))) {
            continue;
        }
        if (Coincident(vertices[cell[best].vertex], vertices[q.vertex], epsilon)) {
            welds.Join(set, q.vertex);
            continue;
        }
        // Off only where the division into cells rounded: look at the whole cell.
        for (const CellEntry& e : cell) {
            if (Coincident(vertices[e.vertex], vertices[q.vertex], epsilon)) {
                welds.Join(set, q.vertex);
                break;
            }
        }
    }
}

}  // namespace

std::vector<uint32_t> WeldPositions(const std::vector<MeshVertex>& vertices, float epsilon) {
    Welds welds(vertices.size());
    if (epsilon > 0 && std::isfinite(epsilon)) {
        using Entry = CellEntry;
        std::vector<Entry> cells;
        cells.reserve(vertices.size());
        for (uint32_t i = 0; i < vertices.size(); ++i) {
            const MeshVertex& v = vertices[i];
            if (std::isfinite(v.px) && std::isfinite(v.py) && std::isfinite(v.pz)) {
                cells.push_back({Cell(v.px, epsilon), Cell(v.py, epsilon), Cell(v.pz, epsilon), i});
            }
        }
        auto key = [](const Entry& e) { return std::tie(e.x, e.y, e.z); };
        auto position = [&](const Entry& e) {
            const MeshVertex& v = vertices[e.vertex];
            return std::tie(v.px, v.py, v.pz);
        };
        std::sort(cells.begin(), cells.end(), [&](const Entry& a, const Entry& b) {
            return key(a) < key(b) || (key(a) == key(b) && position(a) < position(b));
        });
        // One entry per distinct position stays; the others join it. Vertices that all sit at
        // one point then cost no comparisons.
        std::vector<Entry> distinct;
        distinct.reserve(cells.size());
        for (const Entry& e : cells) {
            if (!distinct.empty() && key(distinct.back()) == key(e) &&
                position(distinct.back()) == position(e)) {
                welds.Join(distinct.back().vertex, e.vertex);
            } else {
                distinct.push_back(e);
            }
        }
        // Positions of one cell are within epsilon of each other on every axis (up to the
        // rounding of the division): each joins the cell's first, and only those that do not
        // are compared with the rest of the cell.
        std::vector<size_t> cellStart;
        for (size_t i = 0; i < distinct.size(); ++i) {
            if (i == 0 || key(distinct[i - 1]) != key(distinct[i])) {
                cellStart.push_back(i);
            }
        }
        cellStart.push_back(distinct.size());
        for (size_t c = 0; c + 1 < cellStart.size(); ++c) {
            const Entry& first = distinct[cellStart[c]];
            for (size_t i = cellStart[c] + 1; i < cellStart[c + 1]; ++i) {
                if (Coincident(vertices[first.vertex], vertices[distinct[i].vertex], epsilon)) {
                    welds.Join(first.vertex, distinct[i].vertex);
                    continue;
                }
                for (size_t j = cellStart[c] + 1; j < cellStart[c + 1]; ++j) {
                    if (j != i && Coincident(vertices[distinct[i].vertex],
                                             vertices[distinct[j].vertex], epsilon)) {
                        welds.Join(distinct[i].vertex, distinct[j].vertex);
                    }
                }
            }
        }
        // Neighbouring cells that sort after each cell; every pair of cells is looked at once.
        std::vector<bool> oneSet(cellStart.size() - 1, true);
        for (size_t c = 0; c + 1 < cellStart.size(); ++c) {
            const uint32_t first = welds.Find(distinct[cellStart[c]].vertex);
            for (size_t i = cellStart[c] + 1; i < cellStart[c + 1] && oneSet[c]; ++i) {
                oneSet[c] = welds.Find(distinct[i].vertex) == first;
            }
        }
        std::vector<Entry> side;
        std::vector<Entry> query;
        for (size_t c = 0; c + 1 < cellStart.size(); ++c) {
            const Entry& e = distinct[cellStart[c]];
            for (int dx = 0; dx <= 1; ++dx) {
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dz = -1; dz <= 1; ++dz) {
                        if (dx == 0 && (dy < 0 || (dy == 0 && dz <= 0))) {
                            continue;
                        }
                        const Entry probe{e.x + dx, e.y + dy, e.z + dz, 0};
                        if (key(probe) == key(e)) {
                            continue;  // so far out that the neighbour is the cell itself
                        }
                        auto it = std::lower_bound(
                            distinct.begin(), distinct.end(), probe,
                            [&](const Entry& a, const Entry& b) { return key(a) < key(b); });
                        if (it == distinct.end() || key(*it) != key(probe)) {
                            continue;
                        }
                        const auto n = static_cast<size_t>(
                            std::upper_bound(cellStart.begin(), cellStart.end(),
                                             static_cast<size_t>(it - distinct.begin())) -
                            cellStart.begin() - 1);
                        const auto cellOf = [&](size_t cell) {
                            return std::span<const Entry>(distinct.data() + cellStart[cell],
                                                          cellStart[cell + 1] - cellStart[cell]);
                        };
                        if (oneSet[c]) {
                            JoinNeighbours(vertices, cellOf(c), cellOf(n), {dx, dy, dz}, epsilon,
                                           welds);
                        } else if (oneSet[n]) {
                            JoinNeighbours(vertices, cellOf(n), cellOf(c), {-dx, -dy, -dz},
                                           epsilon, welds);
                        } else {
                            // Only where floats lie about as far apart as epsilon can a cell
                            // hold positions that are not one; it then holds few.
                            for (const Entry& a : cellOf(c)) {
                                for (const Entry& b : cellOf(n)) {
                                    if (Coincident(vertices[a.vertex], vertices[b.vertex],
                                                   epsilon)) {
                                        welds.Join(a.vertex, b.vertex);
                                    }
                                }
                            }
                        }
                    }
                }
            }
        }
    } else {
        // No tolerance: only identical positions are one.
        std::vector<uint32_t> order(vertices.size());
        std::iota(order.begin(), order.end(), uint32_t{0});
        auto key = [&](uint32_t i) {
            return std::tie(vertices[i].px, vertices[i].py, vertices[i].pz);
        };
        std::sort(order.begin(), order.end(),
                  [&](uint32_t a, uint32_t b) { return key(a) < key(b); });
        for (size_t i = 1; i < order.size(); ++i) {
            if (key(order[i - 1]) == key(order[i])) {
                welds.Join(order[i - 1], order[i]);
            }
        }
    }
    std::vector<uint32_t> representative(vertices.size());
    for (uint32_t i = 0; i < vertices.size(); ++i) {
        representative[i] = welds.Find(i);
    }
    return representative;
}


PortableMesh::PortableMesh(uint32_t faces, uint32_t vertices)
    : vertices_(vertices), indices_(size_t{faces} * 3), attributes_(faces) {}

Hresult PortableMesh::LockVertexBuffer(uint32_t, MeshVertex** vertices) {
    if (vertices == nullptr) {
        return hresult::kInvalidCall;
    }
    *vertices = vertices_.data();
    return hresult::kOk;
}

Hresult PortableMesh::UnlockVertexBuffer() {
    return hresult::kOk;
}

Hresult PortableMesh::LockIndexBuffer(uint32_t, uint16_t** indices) {
    if (indices == nullptr) {
        return hresult::kInvalidCall;
    }
    *indices = indices_.data();
    return hresult::kOk;
}

Hresult PortableMesh::UnlockIndexBuffer() {
    return hresult::kOk;
}

Hresult PortableMesh::LockAttributeBuffer(uint32_t, uint32_t** attributes) {
    if (attributes == nullptr) {
        return hresult::kInvalidCall;
    }
    *attributes = attributes_.data();
    return hresult::kOk;
}

Hresult PortableMesh::UnlockAttributeBuffer() {
    return hresult::kOk;
}

Hresult PortableMesh::GenerateAdjacency(float epsilon, uint32_t* adjacency) {
    if (adjacency == nullptr || epsilon < 0 || std::isnan(epsilon)) {
        return hresult::kInvalidCall;
    }
    const size_t faces = attributes_.size();
    std::fill(adjacency, adjacency + faces * 3, kNoAdjacentFace);
    for (uint16_t index : indices_) {
        if (index >= vertices_.size()) {
            return hresult::kInvalidCall;
        }
    }
    try {
        const std::vector<uint32_t> same = WeldPositions(vertices_, epsilon);
        // Every edge by its welded end points, lower first; a face meets another across an
        // edge that the other runs the opposite way.
        struct Edge {
            uint32_t low, high;
            bool reversed;
            uint32_t slot;  // 3 * face + edge
        };
        std::vector<Edge> edges;
        edges.reserve(faces * 3);
        for (uint32_t f = 0; f < faces; ++f) {
            for (uint32_t k = 0; k < 3; ++k) {
                const uint32_t a = same[indices_[3 * f + k]];
                const uint32_t b = same[indices_[3 * f + (k + 1) % 3]];
                if (a != b) {
                    edges.push_back({std::min(a, b), std::max(a, b), a > b, 3 * f + k});
                }
            }
        }
        std::sort(edges.begin(), edges.end(), [](const Edge& x, const Edge& y) {
            return std::tie(x.low, x.high, x.slot) < std::tie(y.low, y.high, y.slot);
        });
        for (size_t first = 0; first < edges.size();) {
            size_t last = first;
            while (last < edges.size() && edges[last].low == edges[first].low &&
                   edges[last].high == edges[first].high) {
                ++last;
            }
            // Pair the edges of one segment in face order, each with the first unpaired edge
            // of the opposite direction on another face. The unpaired edges of each direction
            // are kept in order, so a segment shared by many faces costs linear time: only
            // edges of the same face (at most three) are ever passed over.
            std::vector<size_t> open[2];
            size_t next[2] = {0, 0};
            for (size_t i = first; i < last; ++i) {
                open[edges[i].reversed ? 1 : 0].push_back(i);
            }
            for (size_t i = first; i < last; ++i) {
                if (adjacency[edges[i].slot] != kNoAdjacentFace) {
                    continue;
                }
                const int other = edges[i].reversed ? 0 : 1;
                std::vector<size_t>& candidates = open[other];
                size_t& k = next[other];
                while (k < candidates.size() &&
                       (candidates[k] <= i || adjacency[edges[candidates[k]].slot] != kNoAdjacentFace)) {
                    ++k;
                }
                for (size_t m = k; m < candidates.size(); ++m) {
                    const size_t j = candidates[m];
                    if (adjacency[edges[j].slot] == kNoAdjacentFace &&
                        edges[j].slot / 3 != edges[i].slot / 3) {
                        adjacency[edges[i].slot] = edges[j].slot / 3;
                        adjacency[edges[j].slot] = edges[i].slot / 3;
                        break;
                    }
                }
            }
            first = last;
        }
    } catch (const std::bad_alloc&) {
        return hresult::kOutOfMemory;
    }
    return hresult::kOk;
}

Hresult PortableMesh::OptimizeInplace(uint32_t flags, const uint32_t* adjacency) {
    if (adjacency == nullptr || (flags & ~kSupportedOptimizations) != 0) {
        return hresult::kInvalidCall;
    }
    const size_t faces = attributes_.size();
    for (uint16_t index : indices_) {
        if (index >= vertices_.size()) {
            return hresult::kInvalidMesh;
        }
    }
    try {
        std::vector<uint32_t> faceOrder(faces);
        std::iota(faceOrder.begin(), faceOrder.end(), uint32_t{0});
        if ((flags & kMeshOptAttrSort) != 0) {
            std::stable_sort(faceOrder.begin(), faceOrder.end(), [&](uint32_t a, uint32_t b) {
                return attributes_[a] < attributes_[b];
            });
        }
        std::vector<uint32_t> indices(faces * 3);
        std::vector<uint32_t> attributes(faces);
        for (size_t f = 0; f < faces; ++f) {
            for (size_t k = 0; k < 3; ++k) {
                indices[3 * f + k] = indices_[3 * faceOrder[f] + k];
            }
            attributes[f] = attributes_[faceOrder[f]];
        }
#ifdef TORAVEL_HAVE_MESHOPTIMIZER
        if ((flags & kMeshOptVertexCache) != 0) {
            // Reorder the faces of each run of one attribute, so the groups stay intact.
            std::vector<uint32_t> group;
            for (size_t first = 0; first < faces;) {
                size_t last = first;
                while (last < faces && attributes[last] == attributes[first]) {
                    ++last;
                }
                group.assign(indices.begin() + 3 * first, indices.begin() + 3 * last);
                meshopt_optimizeVertexCache(indices.data() + 3 * first, group.data(), group.size(),
                                            vertices_.size());
                first = last;
            }
        }
#endif
        // Vertices in the order of their first use; unused ones keep their order at the end.
        constexpr uint32_t kUnused = std::numeric_limits<uint32_t>::max();
        std::vector<uint32_t> newIndex(vertices_.size(), kUnused);
        std::vector<MeshVertex> vertices;
        vertices.reserve(vertices_.size());
        for (uint32_t& index : indices) {
            if (newIndex[index] == kUnused) {
                newIndex[index] = static_cast<uint32_t>(vertices.size());
                vertices.push_back(vertices_[index]);
            }
            index = newIndex[index];
        }
        for (size_t v = 0; v < vertices_.size(); ++v) {
            if (newIndex[v] == kUnused) {
                vertices.push_back(vertices_[v]);
            }
        }
        vertices_ = std::move(vertices);
        std::copy(indices.begin(), indices.end(), indices_.begin());
        attributes_ = std::move(attributes);
    } catch (const std::bad_alloc&) {
        return hresult::kOutOfMemory;
    }
    return hresult::kOk;
}

Hresult PortableMeshLayer::CreateMeshFvf(uint32_t faces, uint32_t vertices, uint32_t options,
                                         uint32_t fvf, std::unique_ptr<MeshObject>& mesh) {
    mesh.reset();
    if (faces == 0 || vertices == 0 || vertices > kMax16BitVertices ||
        (options & kMesh32Bit) != 0 || fvf != kStaticMeshFvf) {
        return hresult::kInvalidCall;
    }
    try {
        mesh = std::make_unique<PortableMesh>(faces, vertices);
    } catch (const std::bad_alloc&) {
        return hresult::kOutOfMemory;
    }
    return hresult::kOk;
}

namespace {

void WriteVectorLine(TextWriter& out, const char* indent, float x, float y, float z, bool last) {
    out.Text(indent).Float(x).Char(';').Float(y).Char(';').Float(z).Char(';');
    out.Char(last ? ';' : ',').Newline();
}

void WriteFaceLines(TextWriter& out, const std::vector<uint16_t>& indices, const char* indent) {
    const size_t faces = indices.size() / 3;
    for (size_t f = 0; f < faces; ++f) {
        out.Text(indent).Text("3;");
        out.Unsigned(indices[3 * f]).Char(',');
        out.Unsigned(indices[3 * f + 1]).Char(',');
        out.Unsigned(indices[3 * f + 2]).Char(';');
        out.Char(f + 1 == faces ? ';' : ',').Newline();
    }
}

void WriteColour(TextWriter& out, const float* colour, size_t count) {
    out.Text("   ");
    for (size_t i = 0; i < count; ++i) {
        out.Float(colour[i]).Char(';');
    }
    out.Char(';').Newline();
}

void WriteStaticMesh(TextWriter& out, const std::vector<MeshVertex>& vertices,
                     const std::vector<uint16_t>& indices, const std::vector<uint32_t>& attributes,
                     std::span<const MeshMaterial> materials) {
    const size_t faces = indices.size() / 3;
    out.Text("xof 0303txt 0032\n\nMesh {\n");
    out.Char(' ').Unsigned(static_cast<uint32_t>(vertices.size())).Text(";\n");
    for (size_t i = 0; i < vertices.size(); ++i) {
        const MeshVertex& v = vertices[i];
        WriteVectorLine(out, " ", v.px, v.py, v.pz, i + 1 == vertices.size());
    }
    out.Char(' ').Unsigned(static_cast<uint32_t>(faces)).Text(";\n");
    WriteFaceLines(out, indices, " ");

    out.Text("\n MeshNormals {\n");
    out.Text("  ").Unsigned(static_cast<uint32_t>(vertices.size())).Text(";\n");
    for (size_t i = 0; i < vertices.size(); ++i) {
        const MeshVertex& v = vertices[i];
        WriteVectorLine(out, "  ", v.nx, v.ny, v.nz, i + 1 == vertices.size());
    }
    out.Text("  ").Unsigned(static_cast<uint32_t>(faces)).Text(";\n");
    WriteFaceLines(out, indices, "  ");
    out.Text(" }\n");

    out.Text("\n MeshTextureCoords {\n");
    out.Text("  ").Unsigned(static_cast<uint32_t>(vertices.size())).Text(";\n");
    for (size_t i = 0; i < vertices.size(); ++i) {
        out.Text("  ").Float(vertices[i].u).Char(';').Float(vertices[i].v).Char(';');
        out.Char(i + 1 == vertices.size() ? ';' : ',').Newline();
    }
    out.Text(" }\n");

    out.Text("\n MeshMaterialList {\n");
    out.Text("  ").Unsigned(static_cast<uint32_t>(materials.size())).Text(";\n");
    out.Text("  ").Unsigned(static_cast<uint32_t>(faces)).Text(";\n");
    for (size_t f = 0; f < faces; ++f) {
        out.Text("  ").Unsigned(attributes[f]).Char(f + 1 == faces ? ';' : ',').Newline();
    }
    for (const MeshMaterial& material : materials) {
        out.Text("\n  Material {\n");
        WriteColour(out, material.diffuse, 4);
        out.Text("   ").Float(material.power).Text(";\n");
        WriteColour(out, material.specular, 3);
        WriteColour(out, material.emissive, 3);
        out.Text("\n   TextureFilename {\n    ").Quoted(material.textureFile).Text(";\n   }\n");
        out.Text("  }\n");
    }
    out.Text(" }\n}\n");
}

// The code of a failed file operation, from errno as the operation left it.
Hresult FileErrorCode(Hresult fallback) {
    const Hresult code = HresultFromErrno(errno);
    return code == hresult::kOk || code == hresult::kFail ? fallback : code;
}

}  // namespace

Hresult PortableMeshLayer::SaveMeshToX(const std::string& path, MeshObject& mesh,
                                       const uint32_t* adjacency,
                                       std::span<const MeshMaterial> materials, uint32_t format) {
    if (adjacency == nullptr || format != kXFileFormatText || path.empty()) {
        return hresult::kInvalidCall;
    }
    const uint32_t faces = mesh.GetNumFaces();
    const uint32_t vertexCount = mesh.GetNumVertices();
    std::vector<MeshVertex> vertices;
    std::vector<uint16_t> indices;
    std::vector<uint32_t> attributes;
    try {
        MeshVertex* v = nullptr;
        uint16_t* i = nullptr;
        uint32_t* a = nullptr;
        Hresult code = mesh.LockVertexBuffer(0, &v);
        if (Failed(code)) {
            return code;
        }
        vertices.assign(v, v + vertexCount);
        mesh.UnlockVertexBuffer();
        if (Failed(code = mesh.LockIndexBuffer(0, &i))) {
            return code;
        }
        indices.assign(i, i + size_t{faces} * 3);
        mesh.UnlockIndexBuffer();
        if (Failed(code = mesh.LockAttributeBuffer(0, &a))) {
            return code;
        }
        attributes.assign(a, a + faces);
        mesh.UnlockAttributeBuffer();
    } catch (const std::bad_alloc&) {
        return hresult::kOutOfMemory;
    }

    errno = 0;
    std::unique_ptr<FileSink> sink = FileSink::Create(path);
    if (!sink) {
        return FileErrorCode(hresult::kAccessDenied);
    }
    TextWriter out(*sink);
    WriteStaticMesh(out, vertices, indices, attributes, materials);
    if (!out.Finish()) {
        errno = sink->error();
        return FileErrorCode(hresult::kWriteFault);
    }
    return hresult::kOk;
}

}  // namespace toravel
