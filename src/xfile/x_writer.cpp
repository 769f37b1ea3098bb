// Frames, meshes, materials, skin weights and the hierarchy listing. Everything goes straight
// into the TextWriter's buffer; no line is assembled in a string first.
//
// Counts are not trusted blindly: a count larger than its list is written as the number of
// entries the list actually holds, so a damaged record can never make the writer read past
// the end of a list. Walks over the hierarchy are iterative and bounded by the number of
// nodes, so deep chains, wide fans and malformed links neither overflow the stack nor loop.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "scene/node_ops.h"
#include "text/ordered_render.h"
#include "xfile/x_writer.h"

namespace toravel {

namespace {

// The number of entries to write for a count field: never negative, never more than the list
// holds.
int32_t Clamp(int32_t count, size_t available) {
    if (count <= 0) {
        return 0;
    }
    // When the count is not below the list's size, that size fits in an int32_t.
    return static_cast<size_t>(count) < available ? count : static_cast<int32_t>(available);
}

char Separator(int32_t i, int32_t n) {
    return i + 1 < n ? ',' : ';';
}

// indent(depth), the integer, ";", line end.
void WriteCountLine(TextWriter& out, int depth, int64_t value) {
    WriteIndent(out, depth);
    out.Int(value).Char(';').Newline();
}

void WriteMatrixValues(TextWriter& out, const Matrix& matrix) {
    for (size_t i = 0; i < matrix.m.size(); ++i) {
        if (i > 0) {
            out.Char(',');
        }
        out.Float(matrix.m[i]);
    }
}

// "x;y;z;" of a vector.
void WriteVector3(TextWriter& out, const Vector3& v) {
    out.Float(v.x).Char(';').Float(v.y).Char(';').Float(v.z).Char(';');
}

// Face lines "3;a,b,c;" with the list separator, for `count` faces of a flat index list.
void WriteFaces(TextWriter& out, const std::vector<int32_t>& indices, int32_t count, int depth) {
    for (int32_t j = 0; j < count; ++j) {
        const size_t k = static_cast<size_t>(j) * 3;
        WriteIndent(out, depth);
        out.Text("3;")
            .Int(indices[k])
            .Char(',')
            .Int(indices[k + 1])
            .Char(',')
            .Int(indices[k + 2])
            .Char(';')
            .Char(Separator(j, count))
            .Newline();
    }
}

bool IsValid(const NodeList& nodes, NodeIndex n) {
    return n >= 0 && static_cast<size_t>(n) < nodes.size();
}

// How the frame walk writes a frame's mesh: in place, or as a part formatted elsewhere.
class MeshOutput {
  public:
    virtual ~MeshOutput() = default;
    virtual void Mesh(TextWriter& out, const SceneNode& node, int depth) {
        WriteMesh(out, node, depth);
    }
};

// Notes the meshes in the order of the walk and writes none of them.
class MeshOrder : public MeshOutput {
  public:
    void Mesh(TextWriter&, const SceneNode& node, int depth) override {
        meshes.emplace_back(&node, depth);
    }
    std::vector<std::pair<const SceneNode*, int>> meshes;
};

// Writes the meshes noted by a MeshOrder, formatted ahead on worker threads.
class ParallelMeshes : public MeshOutput {
  public:
    ParallelMeshes(const std::vector<std::pair<const SceneNode*, int>>& meshes, unsigned threads)
        : meshes_(meshes), parts_(meshes.size(), threads, [this](size_t i, TextWriter& out) {
              WriteMesh(out, *meshes_[i].first, meshes_[i].second);
          }) {}
    void Mesh(TextWriter& out, const SceneNode& node, int depth) override {
        if (next_ < meshes_.size() && meshes_[next_].first == &node &&
            meshes_[next_].second == depth) {
            parts_.Take(next_++, out);
        } else {
            WriteMesh(out, node, depth);
        }
    }

  private:
    const std::vector<std::pair<const SceneNode*, int>>& meshes_;
    OrderedRender parts_;
    size_t next_ = 0;
};

// Discards everything: the walk that only notes the meshes.
class NullSink : public OutputSink {
  public:
    bool Write(const char*, size_t) override { return true; }
};

// The lines of a frame up to its children: the "Frame" line, its matrix and its mesh.
void OpenFrame(TextWriter& out, const SceneNode& node, int depth, MeshOutput& meshes) {
    out.Newline();
    WriteIndent(out, depth);
    out.Text("Frame ").Text(node.name).Text(" {").Newline();
    out.Newline();
    WriteFrameTransformMatrix(out, depth + 1, node.localMatrix);
    if (node.mesh.HasMesh()) {
        meshes.Mesh(out, node, depth + 1);
    }
}

void CloseFrame(TextWriter& out, int depth) {
    out.Newline();
    WriteIndent(out, depth);
    out.Char('}').Newline();
}

// Writes `first` with its subtree and its later siblings with theirs. Every frame written
// uses one unit of `budget`; when it runs out (links that loop), no further frame is opened,
// but the open ones are still closed. Links outside the list count as absent.
void WriteFrames(TextWriter& out, const NodeList& nodes, NodeIndex first, int depth, size_t& budget,
                 MeshOutput& meshes) {
    // Frames opened but not yet closed, with their depth, innermost last.
    std::vector<std::pair<NodeIndex, int>> open;
    NodeIndex next = first;
    int nextDepth = depth;
    for (;;) {
        if (IsValid(nodes, next) && budget > 0) {
            --budget;
            const SceneNode& node = nodes[static_cast<size_t>(next)];
            OpenFrame(out, node, nextDepth, meshes);
            open.emplace_back(next, nextDepth);
            if (IsValid(nodes, node.firstChild)) {
                next = node.firstChild;
                ++nextDepth;
                continue;
            }
        }
        // Close frames until one has a later sibling to go on with.
        next = kNoNode;
        while (!open.empty() && next == kNoNode) {
            const auto [closed, closedDepth] = open.back();
            open.pop_back();
            CloseFrame(out, closedDepth);
            const NodeIndex sibling = nodes[static_cast<size_t>(closed)].nextSibling;
            if (IsValid(nodes, sibling) && budget > 0) {
                next = sibling;
                nextDepth = closedDepth;
            }
        }
        if (next == kNoNode) {
            return;
        }
    }
}

// Whether `root` is the outermost frame of an X file: named Scene_Root, without a mesh, and
// the list's only root.
bool IsFileSceneRoot(const NodeList& nodes, NodeIndex root) {
    const SceneNode& node = nodes[static_cast<size_t>(root)];
    if (node.name != "Scene_Root" || node.mesh.HasMesh()) {
        return false;
    }
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].parentId < 0 && static_cast<NodeIndex>(i) != root) {
            return false;
        }
    }
    return true;
}

// Everything inside the file's Scene_Root frame.
void WriteRootFrames(TextWriter& out, const NodeList& nodes, NodeIndex root, MeshOutput& meshes) {
    size_t budget = nodes.size();
    const SceneNode& rootNode = nodes[static_cast<size_t>(root)];
    if (IsFileSceneRoot(nodes, root)) {
        // Frames read from an X file: its Scene_Root is the one written, with its own matrix,
        // so a file read and written again comes out the same.
        WriteFrameTransformMatrix(out, 1, rootNode.localMatrix);
        --budget;
        WriteFrames(out, nodes, rootNode.firstChild, 1, budget, meshes);
    } else {
        WriteFrameTransformMatrix(out, 1, IdentityMatrix());
        WriteFrames(out, nodes, root, 1, budget, meshes);
        const int32_t rootId = rootNode.id;
        for (size_t i = 0; i < nodes.size(); ++i) {
            if (nodes[i].parentId == -1 && nodes[i].id != rootId) {
                WriteFrames(out, nodes, static_cast<NodeIndex>(i), 1, budget, meshes);
            }
        }
    }
}

}  // namespace

bool HasOwnSceneRoot(const NodeList& nodes) {
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i].parentId < 0) {
            return IsFileSceneRoot(nodes, static_cast<NodeIndex>(i));
        }
    }
    return false;
}

void WriteIndent(TextWriter& out, int depth) {
    out.Indent(std::min(depth, kMaxIndentDepth));
}

void WriteXHeader(TextWriter& out) {
    out.Text("xof 0303txt 0032\n\n");
}

bool WriteSceneFrames(TextWriter& out, const NodeList& nodes, Message& failure,
                      const SceneFramesPrelude& prelude) {
    const NodeIndex root = SelectSkeletonRoot(nodes, failure);
    if (root == kNoNode) {
        return false;
    }
    WriteXHeader(out);
    out.Text(prelude.templates);
    if (prelude.ticksPerSecond) {
        out.Text("AnimTicksPerSecond {\n ").Unsigned(*prelude.ticksPerSecond).Text(";\n}\n\n");
    }
    out.Text("Frame Scene_Root {").Newline();
    if (prelude.threads > 1) {
        // The meshes are the bulk of the file: note them in the order of the walk, then
        // write the walk again with each mesh formatted ahead on the workers.
        MeshOrder order;
        {
            NullSink nothing;
            TextWriter discard(nothing);
            WriteRootFrames(discard, nodes, root, order);
        }
        ParallelMeshes meshes(order.meshes, prelude.threads);
        WriteRootFrames(out, nodes, root, meshes);
    } else {
        MeshOutput inPlace;
        WriteRootFrames(out, nodes, root, inPlace);
    }
    out.Char('}').Newline();
    return true;
}

void WriteFrame(TextWriter& out, const NodeList& nodes, NodeIndex node, int depth) {
    size_t budget = nodes.size();
    MeshOutput inPlace;
    WriteFrames(out, nodes, node, depth, budget, inPlace);
}

void WriteFrameTransformMatrix(TextWriter& out, int depth, const Matrix& matrix) {
    out.Newline();
    WriteIndent(out, depth);
    out.Text("FrameTransformMatrix {").Newline();
    WriteIndent(out, depth + 1);
    WriteMatrixValues(out, matrix);
    out.Text(";;").Newline();
    WriteIndent(out, depth);
    out.Char('}').Newline();
}

void WriteMesh(TextWriter& out, const SceneNode& node, int depth) {
    const MeshData& mesh = node.mesh;
    const int e = depth + 1;
    WriteIndent(out, depth);
    out.Text("Mesh ").Text(mesh.name).Text(" {").Newline();

    const int32_t vertices = Clamp(mesh.vertexCount, mesh.positions.size());
    WriteCountLine(out, e, vertices);
    for (int32_t i = 0; i < vertices; ++i) {
        WriteIndent(out, e);
        WriteVector3(out, mesh.positions[static_cast<size_t>(i)]);
        out.Char(Separator(i, vertices)).Newline();
    }
    const int32_t faces = Clamp(mesh.faceCount, mesh.faceIndices.size() / 3);
    WriteCountLine(out, e, faces);
    WriteFaces(out, mesh.faceIndices, faces, e);

    // A block that would hold nothing is left out: readers such as Assimp's reject a normal,
    // texture coordinate or material list that does not match the faces.
    const int32_t normals = Clamp(mesh.normalCount, mesh.normals.size());
    const int32_t normalFaces = Clamp(mesh.normalFaceCount, mesh.normalFaceIndices.size() / 3);
    if (normals > 0 || normalFaces > 0) {
        WriteIndent(out, e);
        out.Text("MeshNormals {").Newline();
        WriteCountLine(out, e + 1, normals);
        for (int32_t k = 0; k < normals; ++k) {
            WriteIndent(out, e + 1);
            WriteVector3(out, mesh.normals[static_cast<size_t>(k)]);
            out.Char(Separator(k, normals)).Newline();
        }
        WriteCountLine(out, e + 1, normalFaces);
        WriteFaces(out, mesh.normalFaceIndices, normalFaces, e + 1);
        WriteIndent(out, e);
        out.Char('}').Newline();
    }

    if (Clamp(mesh.texCoordCount, mesh.texCoords.size()) > 0) {
        WriteMeshTextureCoords(out, mesh, e);
    }
    if (Clamp(mesh.materialCount, mesh.materials.size()) > 0 ||
        Clamp(mesh.faceMaterialCount, mesh.faceMaterials.size()) > 0) {
        WriteMeshMaterialList(out, mesh, e);
    }
    if (Clamp(mesh.boneCount, mesh.boneWeights.size()) > 0) {
        WriteSkinMeshHeader(out, mesh, e);
        WriteSkinWeights(out, mesh, e);
    }
    WriteIndent(out, depth);
    out.Char('}').Newline();
}

void WriteMeshTextureCoords(TextWriter& out, const MeshData& mesh, int depth) {
    WriteIndent(out, depth);
    out.Text("MeshTextureCoords {").Newline();
    const int32_t count = Clamp(mesh.texCoordCount, mesh.texCoords.size());
    WriteCountLine(out, depth + 1, count);
    for (int32_t i = 0; i < count; ++i) {
        const Vector2& t = mesh.texCoords[static_cast<size_t>(i)];
        WriteIndent(out, depth + 1);
        out.Float(t.u).Char(';').Float(t.v).Char(';').Char(Separator(i, count)).Newline();
    }
    WriteIndent(out, depth);
    out.Char('}').Newline();
}

void WriteMeshMaterialList(TextWriter& out, const MeshData& mesh, int depth) {
    WriteIndent(out, depth);
    out.Text("MeshMaterialList {").Newline();
    const int32_t materials = Clamp(mesh.materialCount, mesh.materials.size());
    const int32_t faceMaterials = Clamp(mesh.faceMaterialCount, mesh.faceMaterials.size());
    WriteCountLine(out, depth + 1, materials);
    WriteCountLine(out, depth + 1, faceMaterials);
    for (int32_t i = 0; i < faceMaterials; ++i) {
        WriteIndent(out, depth + 1);
        out.Int(mesh.faceMaterials[static_cast<size_t>(i)])
            .Char(Separator(i, faceMaterials))
            .Newline();
    }
    for (int32_t j = 0; j < materials; ++j) {
        const MaterialData& material = mesh.materials[static_cast<size_t>(j)];
        WriteIndent(out, depth + 1);
        out.Text("Material ").Text(material.name).Char('{').Newline();
        WriteIndent(out, depth + 2);
        for (float c : material.faceColour) {
            out.Float(c).Char(';');
        }
        out.Char(';').Newline();
        WriteIndent(out, depth + 2);
        out.Float(material.power).Char(';').Newline();
        WriteIndent(out, depth + 2);
        for (float c : material.specularColour) {
            out.Float(c).Char(';');
        }
        out.Char(';').Newline();
        WriteIndent(out, depth + 2);
        for (float c : material.emissiveColour) {
            out.Float(c).Char(';');
        }
        out.Char(';').Newline();
        out.Newline();
        WriteIndent(out, depth + 2);
        out.Text("TextureFilename {").Newline();
        WriteIndent(out, depth + 3);
        out.Quoted(material.textureFile).Char(';').Newline();
        WriteIndent(out, depth + 2);
        out.Char('}').Newline();
        WriteIndent(out, depth + 1);
        out.Char('}').Newline();
    }
    WriteIndent(out, depth);
    out.Char('}').Newline();
}

void WriteSkinMeshHeader(TextWriter& out, const MeshData& mesh, int depth) {
    WriteIndent(out, depth);
    out.Text("XSkinMeshHeader {").Newline();
    WriteCountLine(out, depth + 1, mesh.maxWeightsPerVertex);
    WriteCountLine(out, depth + 1, mesh.maxWeightsPerFace);
    // The number of SkinWeights blocks that follow, so it is bounded like them.
    WriteCountLine(out, depth + 1, Clamp(mesh.boneCount, mesh.boneWeights.size()));
    WriteIndent(out, depth);
    out.Char('}').Newline();
}

void WriteSkinWeights(TextWriter& out, const MeshData& mesh, int depth) {
    const int32_t bones = Clamp(mesh.boneCount, mesh.boneWeights.size());
    for (int32_t b = 0; b < bones; ++b) {
        const BoneWeights& bone = mesh.boneWeights[static_cast<size_t>(b)];
        WriteIndent(out, depth);
        out.Text("SkinWeights {").Newline();
        WriteIndent(out, depth + 1);
        out.Quoted(bone.boneName).Char(';').Newline();
        const int32_t count =
            Clamp(bone.weightCount, std::min(bone.vertexIndices.size(), bone.weights.size()));
        WriteCountLine(out, depth + 1, count);
        for (int32_t i = 0; i < count; ++i) {
            WriteIndent(out, depth + 1);
            out.Int(bone.vertexIndices[static_cast<size_t>(i)]).Char(Separator(i, count)).Newline();
        }
        for (int32_t i = 0; i < count; ++i) {
            WriteIndent(out, depth + 1);
            out.Float(bone.weights[static_cast<size_t>(i)]).Char(Separator(i, count)).Newline();
        }
        WriteIndent(out, depth + 1);
        WriteMatrixValues(out, bone.offsetMatrix);
        out.Text(";;").Newline();
        WriteIndent(out, depth);
        out.Char('}').Newline();
    }
}

void WriteHierarchyListing(TextWriter& out, const NodeList& nodes) {
    // Pre-order: a node's line, then its children two levels deeper, then its later siblings.
    // One visit per node at most, so links that loop end the listing.
    size_t budget = nodes.size();
    std::vector<std::pair<NodeIndex, int>> pending;
    for (size_t i = 0; i < nodes.size() && budget > 0; ++i) {
        if (nodes[i].parentId >= 0) {
            continue;
        }
        pending.emplace_back(static_cast<NodeIndex>(i), 0);
        while (!pending.empty() && budget > 0) {
            const auto [n, depth] = pending.back();
            pending.pop_back();
            --budget;
            const SceneNode& node = nodes[static_cast<size_t>(n)];
            WriteIndent(out, depth);
            out.Int(node.id).Char(' ').Text(node.name).Text("( ").Int(node.parentId).Text(" )");
            out.Newline();
            if (IsValid(nodes, node.nextSibling)) {
                pending.emplace_back(node.nextSibling, depth);
            }
            if (IsValid(nodes, node.firstChild)) {
                pending.emplace_back(node.firstChild, depth + 2);
            }
        }
        pending.clear();
    }
}

}  // namespace toravel
