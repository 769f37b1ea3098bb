#include "smd/smd_triangles.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

#include "scene/node_ops.h"
#include "smd/smd_sections.h"
#include "smd/smd_triangle_ranges.h"

namespace toravel {

namespace {

constexpr std::string_view kFileEof = "Unexpected EOF in file.";
constexpr std::string_view kMeshListsTooLarge =
    "The meshes need more materials and bone weight lists than a file of this size may give "
    "them: each mesh repeats the names of the textures and bones it uses, and here that would "
    "take more than 64 MB plus 4 times the file's size.";

int32_t AppendMaterial(MeshData& mesh, std::string_view textureFile) {
    MaterialData& material = mesh.materials.emplace_back();
    material.faceColour[0] = 0.8f;
    material.faceColour[1] = 0.8f;
    material.faceColour[2] = 0.8f;
    material.faceColour[3] = 1.0f;
    material.power = 50.0f;
    material.specularColour[0] = 1.0f;
    material.specularColour[1] = 1.0f;
    material.specularColour[2] = 1.0f;
    material.textureFile = std::string(textureFile);
    mesh.materialCount = static_cast<int32_t>(mesh.materials.size());
    return mesh.materialCount - 1;
}

bool ComputeOffsets(MeshData& mesh, const NodeList& list, const NodeNameIndex& names,
                    ReadReport& report) {
    for (BoneWeights& bone : mesh.boneWeights) {
        const NodeIndex node = names.Find(bone.boneName);
        if (node == kNoNode) {
            return report.Fail("Bone Weight " + bone.boneName + " not found in nodes array.",
                               "*** Internal Error ***");
        }
        bone.offsetMatrix = Inverse(list[static_cast<size_t>(node)].combinedMatrix);
    }
    return true;
}

// A name within the mesh of one node: keys the lookups of materials and bone weights, which
// would otherwise scan the mesh's lists once per triangle or link.
struct MeshKey {
    NodeIndex node;
    std::string_view name;
    friend bool operator==(const MeshKey&, const MeshKey&) = default;
};

struct MeshKeyHash {
    size_t operator()(const MeshKey& key) const {
        return std::hash<std::string_view>()(key.name) ^
               (static_cast<size_t>(key.node) * 0x9E3779B97F4A7C15ull);
    }
};

// Reads the triangles into the meshes of their nodes. The caches only shortcut the lookups;
// they hold every material and bone weight list that this reader has added, and each mesh
// starts empty, so a miss means "not there yet".
class TriangleReader {
  public:
    TriangleReader(TextInput& input, LineTokenizer& tokenizer, NodeList& list, ReadReport& report)
        : input_(input),
          tokenizer_(tokenizer),
          list_(list),
          report_(report),
          ids_(list),
          listBudget_(SmdMeshListBudget(input.size())) {}

    // The triangles up to "end". False after one message.
    bool ReadSection() {
        bool endMet = false;
        while (!endMet && input_.good()) {
            if (!ReadTriangle(endMet)) {
                return false;
            }
        }
        if (!endMet) {
            return report_.Fail(kFileEof);
        }
        return true;
    }

    const NodeIdIndex& ids() const { return ids_; }

  private:
    bool ReadTriangle(bool& endMet) {
        switch (ReadSmdTriangle(input_, tokenizer_, triangle_)) {
            case TriangleRead::kEnd:
                endMet = true;
                return true;
            case TriangleRead::kNoToken:
                return report_.Fail("Unexpected EOF in 'triangles' section.");
            case TriangleRead::kBadVertex:
                for (const SmdVertex& vertex : triangle_.vertices) {
                    if (vertex.tooManyLinks) {
                        report_.Fail(kFileEof);
                        report_.SetHint("a vertex with more than 256 links");
                    }
                }
                return report_.Fail(kFileEof);
            case TriangleRead::kTriangle:
                break;
        }
        const SmdVertex::Link* const links[3] = {triangle_.vertices[0].links.data(),
                                                 triangle_.vertices[1].links.data(),
                                                 triangle_.vertices[2].links.data()};
        return AddTriangle(triangle_.texture, triangle_.vertices, links);
    }

  public:
    // One triangle as read, into the mesh of its first vertex's node; `links[k]` holds the
    // links of vertex k. False after one message. The vertices and links are those of one
    // pass (SmdVertex) or of a range read on a thread, with their nodes found (RangeVertex).
    template <typename Vertex, typename Link>
    bool AddTriangle(std::string_view texture, const Vertex* vertices, const Link* const links[3]) {
        // All three vertices are checked before the mesh changes, so that a broken triangle
        // leaves nothing behind.
        NodeIndex owners[3];
        for (int k = 0; k < 3; ++k) {
            owners[k] = Owner(vertices[k]);
            if (owners[k] == kNoNode) {
                return report_.Fail("Invalid node id in 'triangles' section.");
            }
        }

        const NodeIndex meshNode = owners[0];
        MeshData& mesh = list_[static_cast<size_t>(meshNode)].mesh;
        const int32_t material = Material(mesh, meshNode, texture);
        for (int k = 0; k < 3; ++k) {
            AddVertex(mesh, meshNode, owners[k], vertices[k], links[k]);
        }
        ++mesh.faceCount;
        ++mesh.normalFaceCount;
        mesh.faceMaterials.push_back(material);
        ++mesh.faceMaterialCount;
        if (listBudget_ < 0) {
            return report_.Fail(kMeshListsTooLarge);
        }
        return true;
    }

  private:
    // Each mesh holds its own material per texture name and its own weight list per bone,
    // each with a copy of the name: a small file of long names that every mesh uses would
    // grow without bound in memory and in the written file.
    void Spend(size_t bytes) { listBudget_ -= static_cast<int64_t>(bytes); }

    int32_t Material(MeshData& mesh, NodeIndex meshNode, std::string_view texture) {
        if (meshNode == lastMaterialNode_ && texture == lastTexture_) {
            return lastMaterial_;
        }
        const auto [it, added] = materials_.try_emplace(MeshKey{meshNode, texture}, 0);
        if (added) {
            Spend(texture.size() + sizeof(MaterialData));
            it->second = AppendMaterial(mesh, texture);
        }
        lastMaterialNode_ = meshNode;
        lastTexture_ = texture;
        lastMaterial_ = it->second;
        return it->second;
    }

    // The bone weights of `mesh` for the bone node `bone`: the first list with its name.
    int32_t BoneWeightsIndex(MeshData& mesh, NodeIndex meshNode, NodeIndex bone) {
        const uint64_t pair = (static_cast<uint64_t>(static_cast<uint32_t>(meshNode)) << 32) |
                              static_cast<uint32_t>(bone);
        const auto cached = bonePairs_.find(pair);
        if (cached != bonePairs_.end()) {
            return cached->second;
        }
        const std::string& name = list_[static_cast<size_t>(bone)].name;
        const auto [it, added] = boneNames_.try_emplace(MeshKey{meshNode, name}, 0);
        if (added) {
            Spend(name.size() + sizeof(BoneWeights));
            BoneWeights& weights = mesh.boneWeights.emplace_back();
            weights.boneName = name;
            weights.offsetMatrix = IdentityMatrix();
            mesh.boneCount += 1;
            it->second = static_cast<int32_t>(mesh.boneWeights.size()) - 1;
        }
        bonePairs_.emplace(pair, it->second);
        return it->second;
    }

    NodeIndex Owner(const SmdVertex& v) const { return ids_.Find(v.boneId); }
    static NodeIndex Owner(const RangeVertex& v) { return v.owner; }
    static SmdVertex::Link OwnLink(const SmdVertex& v, NodeIndex) { return {v.boneId, 1.0f}; }
    static RangeLink OwnLink(const RangeVertex&, NodeIndex owner) { return {owner, 1.0f}; }
    NodeIndex Bone(const SmdVertex::Link& link, const SmdVertex& v, NodeIndex owner) const {
        return link.boneId == v.boneId ? owner : ids_.Find(link.boneId);
    }
    static NodeIndex Bone(const RangeLink& link, const RangeVertex&, NodeIndex) {
        return link.bone;
    }

    template <typename Vertex, typename Link>
    void AddVertex(MeshData& mesh, NodeIndex meshNode, NodeIndex owner, const Vertex& v,
                   const Link* vertexLinks) {
        const auto index = static_cast<int32_t>(mesh.positions.size());
        mesh.positions.push_back(ToYUp(v.position));
        mesh.faceIndices.push_back(index);
        ++mesh.vertexCount;
        mesh.normals.push_back(ToYUp(v.normal));
        mesh.normalFaceIndices.push_back(mesh.normalCount);
        ++mesh.normalCount;
        mesh.texCoords.push_back(ToXTexCoord(v.texCoord));
        mesh.texCoordCount = static_cast<int32_t>(mesh.texCoords.size());

        // A vertex without links belongs wholly to its owning bone.
        const Link own = OwnLink(v, owner);
        const Link* links = v.linkCount > 0 ? vertexLinks : &own;
        const int32_t linkCount = v.linkCount > 0 ? v.linkCount : 1;
        for (int32_t i = 0; i < linkCount; ++i) {
            const NodeIndex bone = Bone(links[i], v, owner);
            if (bone == kNoNode) {
                report_.Warn("Unknown bone id for bone weight.", kInvalidFileTitle);
                report_.Warn("Invalid bone id for vertex weight.", kInvalidFileTitle);
                return;
            }
            BoneWeights& weights =
                mesh.boneWeights[static_cast<size_t>(BoneWeightsIndex(mesh, meshNode, bone))];
            ++weights.weightCount;
            weights.vertexIndices.push_back(index);
            weights.weights.push_back(links[i].weight);
        }
        if (linkCount > mesh.maxWeightsPerVertex) {
            mesh.maxWeightsPerVertex = linkCount;
            mesh.maxWeightsPerFace = 3 * linkCount;
        }
    }

    TextInput& input_;
    LineTokenizer& tokenizer_;
    NodeList& list_;
    ReadReport& report_;
    const NodeIdIndex ids_;
    SmdTriangle triangle_;
    std::unordered_map<MeshKey, int32_t, MeshKeyHash> materials_;
    NodeIndex lastMaterialNode_ = kNoNode;
    std::string_view lastTexture_;
    int32_t lastMaterial_ = 0;
    std::unordered_map<uint64_t, int32_t> bonePairs_;
    std::unordered_map<MeshKey, int32_t, MeshKeyHash> boneNames_;
    int64_t listBudget_;
};

}  // namespace

int64_t SmdMeshListBudget(size_t inputBytes) {
    return (int64_t{64} << 20) + 4 * static_cast<int64_t>(inputBytes);
}

bool ParseVertexLine(std::string_view line, SmdVertex& vertex) {
    vertex.linkCount = 0;
    vertex.tooManyLinks = false;
    size_t pos = ParseInt(line, vertex.boneId);
    if (pos == 0) {
        return false;
    }
    float* const numbers[8] = {&vertex.position.x, &vertex.position.y, &vertex.position.z,
                               &vertex.normal.x,   &vertex.normal.y,   &vertex.normal.z,
                               &vertex.texCoord.u, &vertex.texCoord.v};
    for (float* number : numbers) {
        const size_t used = ParseFloat(line.substr(pos), *number);
        if (used == 0) {
            return false;
        }
        pos += used;
    }
    int32_t count = 0;
    const size_t used = ParseInt(line.substr(pos), count);
    if (used == 0) {
        // Nothing after v: the older layout without links. A count too large to read cannot
        // be followed by its links.
        return count == 0;
    }
    if (count <= 0) {
        return true;
    }
    if (count > SmdVertex::kMaxLinks) {
        vertex.tooManyLinks = true;
        return false;
    }
    pos += used;
    for (int32_t i = 0; i < count; ++i) {
        SmdVertex::Link& link = vertex.links[static_cast<size_t>(i)];
        size_t n = ParseInt(line.substr(pos), link.boneId);
        if (n == 0) {
            return false;
        }
        pos += n;
        n = ParseFloat(line.substr(pos), link.weight);
        if (n == 0) {
            return false;
        }
        pos += n;
    }
    vertex.linkCount = count;
    return true;
}

bool ReadVertexLine(TextInput& input, SmdVertex& vertex) {
    std::string_view line;
    do {
        if (!input.ReadLine(line)) {
            return false;
        }
    } while (TrimBlanks(line).empty());
    return ParseVertexLine(line, vertex);
}

TriangleRead ReadSmdTriangle(TextInput& input, LineTokenizer& tokenizer, SmdTriangle& triangle) {
    const std::string_view token = tokenizer.NextToken(input);
    if (token.empty()) {
        return TriangleRead::kNoToken;
    }
    if (token == "end") {
        return TriangleRead::kEnd;
    }
    // The texture name is the whole rest of the line: names may hold blanks.
    triangle.texture = TrimBlanks(tokenizer.TakeLineFromToken());
    for (SmdVertex& vertex : triangle.vertices) {
        vertex.tooManyLinks = false;
    }
    for (SmdVertex& vertex : triangle.vertices) {
        if (!ReadVertexLine(input, vertex)) {
            return TriangleRead::kBadVertex;
        }
    }
    return TriangleRead::kTriangle;
}

int32_t FindOrAddMaterial(MeshData& mesh, std::string_view textureFile) {
    for (size_t i = 0; i < mesh.materials.size(); ++i) {
        if (mesh.materials[i].textureFile == textureFile) {
            return static_cast<int32_t>(i);
        }
    }
    return AppendMaterial(mesh, textureFile);
}

bool ComputeOffsets(MeshData& mesh, const NodeList& list, ReadReport& report) {
    return ComputeOffsets(mesh, list, NodeNameIndex(list), report);
}

namespace {

// The section on threads, right after its "triangles" line, into the meshes of `list`. The
// meshes are filled in file order by one TriangleReader, so they hold what one pass gives
// them. False, with the meshes, the report and the read position as they were, when one pass
// must read the section instead: then any message and its line come from that pass alone.
bool ReadSectionOnThreads(TextInput& input, LineTokenizer& tokenizer, NodeList& list,
                          ReadReport& report, unsigned threads) {
    const size_t begin = input.tell();
    ReadReport joined;
    TriangleReader reader(input, tokenizer, list, joined);
    const auto join = [&](const TriangleRange& range) {
        // Passing the range's first line keeps the progress of the load moving.
        input.seek(range.begin);
        std::string_view line;
        input.ReadLine(line);
        const RangeLink* links = range.links.data();
        for (const RangeTriangle& triangle : range.triangles) {
            const RangeLink* const vertexLinks[3] = {
                links, links + triangle.vertices[0].linkCount,
                links + triangle.vertices[0].linkCount + triangle.vertices[1].linkCount};
            links = vertexLinks[2] + triangle.vertices[2].linkCount;
            if (!reader.AddTriangle(triangle.texture, triangle.vertices, vertexLinks)) {
                return false;
            }
        }
        return true;
    };
    size_t endLine = 0;
    if (ReadTriangleRanges(input.text(), begin, threads, reader.ids(), join, endLine) &&
        input.good()) {
        input.seek(endLine);
        if (tokenizer.NextToken(input) == "end") {
            for (Message& warning : joined.TakeWarnings()) {
                report.Warn(warning.text, warning.title);
            }
            return true;
        }
    }
    for (SceneNode& node : list) {
        MeshData empty;
        empty.name = std::move(node.mesh.name);
        node.mesh = std::move(empty);
    }
    input.seek(begin);
    return false;
}

// Whether the section may be read on threads: large enough, starting on the line after
// "triangles", and every mesh still empty (but for its name), so that one pass can start
// afresh from empty meshes if need be.
bool MayReadOnThreads(const TextInput& input, const LineTokenizer& tokenizer, const NodeList& list,
                      const TriangleThreads& threads) {
    if (threads.threads < 2 || !input.good() || input.size() - input.tell() <= threads.minBytes ||
        !TrimBlanks(tokenizer.RestOfLine()).empty()) {
        return false;
    }
    return std::all_of(list.begin(), list.end(), [](const SceneNode& node) {
        const MeshData& m = node.mesh;
        return m.vertexCount == 0 && m.faceCount == 0 && m.normalCount == 0 &&
               m.normalFaceCount == 0 && m.texCoordCount == 0 && m.materialCount == 0 &&
               m.faceMaterialCount == 0 && m.maxWeightsPerVertex == 0 && m.maxWeightsPerFace == 0 &&
               m.boneCount == 0 && m.positions.empty() && m.faceIndices.empty() &&
               m.normalFaceIndices.empty() && m.normals.empty() && m.texCoords.empty() &&
               m.faceMaterials.empty() && m.materials.empty() && m.boneWeights.empty();
    });
}

}  // namespace

bool ReadTriangles(TextInput& input, LineTokenizer& tokenizer, NodeList& list, ReadReport& report,
                   const TriangleThreads& threads) {
    if (tokenizer.NextToken(input) != "triangles") {
        return report.Fail("Token 'triangles' expected. Not found.");
    }
    const bool onThreads = MayReadOnThreads(input, tokenizer, list, threads) &&
                           ReadSectionOnThreads(input, tokenizer, list, report, threads.threads);
    if (!onThreads && !TriangleReader(input, tokenizer, list, report).ReadSection()) {
        return false;
    }
    Message noRoot;
    if (SelectSkeletonRoot(list, noRoot) == kNoNode) {
        return report.Fail(std::move(noRoot.text), noRoot.title);
    }
    ComputeAllCombinedMatrices(list);
    const NodeNameIndex names(list);
    for (SceneNode& node : list) {
        if (node.mesh.vertexCount > 0 && !ComputeOffsets(node.mesh, list, names, report)) {
            return false;
        }
    }
    return true;
}

}  // namespace toravel
