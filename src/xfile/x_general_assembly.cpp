#include "xfile/x_general_assembly.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "xfile/x_token.h"

namespace toravel {

namespace {

constexpr uint64_t kCopyBudgetFactor = 64;
constexpr uint64_t kCopyBudgetAllowance = uint64_t{256} << 20;

uint64_t BytesOf(const MaterialData& material) {
    return sizeof(MaterialData) + material.name.size() + material.textureFile.size();
}

uint64_t BytesOf(const MeshData& mesh) {
    uint64_t bytes = sizeof(MeshData) + mesh.name.size();
    bytes += (mesh.positions.size() + mesh.normals.size()) * sizeof(Vector3);
    bytes += mesh.texCoords.size() * sizeof(Vector2);
    bytes += (mesh.faceIndices.size() + mesh.normalFaceIndices.size() + mesh.faceMaterials.size()) *
             sizeof(int32_t);
    for (const MaterialData& material : mesh.materials) {
        bytes += BytesOf(material);
    }
    for (const BoneWeights& bone : mesh.boneWeights) {
        bytes += sizeof(BoneWeights) + bone.boneName.size() +
                 bone.vertexIndices.size() * (sizeof(int32_t) + sizeof(float));
    }
    return bytes;
}

class Assembler {
  public:
    Assembler(XParsedFile& parsed, uint64_t copyBudget) : parsed_(parsed), budget_(copyBudget) {}

    NodeList Run() {
        ResolveMaterials();
        ResolveMeshes();
        return Flatten(Root());
    }

  private:
    void Charge(uint64_t bytes, size_t position) {
        if (bytes > budget_) {
            throw XReadFailure{position,
                               "the copies that references to meshes and materials "
                               "ask for would take more memory than a file of this "
                               "size may"};
        }
        budget_ -= bytes;
    }

    void ResolveMaterials() {
        for (const XParsedMaterialRef& ref : parsed_.materialRefs) {
            const auto found = parsed_.materialByName.find(ref.name);
            MeshData& mesh = parsed_.meshes[static_cast<size_t>(ref.mesh)];
            if (found == parsed_.materialByName.end()) {
                throw XReadFailure{ref.position, "the reference { " + ref.name + " } in mesh '" +
                                                     mesh.name + "' names no Material"};
            }
            Charge(BytesOf(found->second), ref.position);
            mesh.materials[ref.slot] = found->second;
        }
    }

    // Gives every frame its meshes, in place or referenced, and counts how often each mesh
    // is used, so that the last use can take the mesh instead of a copy.
    void ResolveMeshes() {
        uses_.assign(parsed_.meshes.size(), 0);
        std::vector<bool> referenced(parsed_.meshes.size(), false);
        const size_t frameCount = parsed_.frames.size();
        std::vector<std::vector<int32_t>> extra(frameCount);
        for (size_t f = 0; f < frameCount; ++f) {
            XParsedFrame& frame = parsed_.frames[f];
            for (const XParsedMeshItem& item : frame.meshes) {
                int32_t mesh = item.mesh;
                if (mesh < 0) {
                    const auto found = parsed_.meshByName.find(item.reference);
                    if (found == parsed_.meshByName.end()) {
                        if (parsed_.otherNames.count(item.reference) == 0) {
                            throw XReadFailure{item.position,
                                               "the reference { " + item.reference +
                                                   " } in frame '" + frame.name +
                                                   "' names no mesh or other data object"};
                        }
                        NoteSkipped(parsed_, "reference to a frame or other object in a Frame",
                                    item.position);
                        continue;
                    }
                    mesh = found->second;
                    referenced[static_cast<size_t>(mesh)] = true;
                }
                ++uses_[static_cast<size_t>(mesh)];
                if (frame.resolvedMesh < 0) {
                    frame.resolvedMesh = mesh;
                } else {
                    extra[f].push_back(mesh);
                }
            }
        }
        for (size_t f = 0; f < frameCount; ++f) {
            if (extra[f].empty()) {
                continue;
            }
            std::vector<int32_t> children;
            for (int32_t mesh : extra[f]) {
                children.push_back(AddMeshFrame(mesh, static_cast<int32_t>(f)));
            }
            XParsedFrame& frame = parsed_.frames[f];
            children.insert(children.end(), frame.children.begin(), frame.children.end());
            frame.children = std::move(children);
        }
        for (const XParsedTopItem& item : parsed_.topLevel) {
            if (!item.isMesh) {
                outermost_.push_back(item.index);
            } else if (!referenced[static_cast<size_t>(item.index)]) {
                ++uses_[static_cast<size_t>(item.index)];
                outermost_.push_back(AddMeshFrame(item.index, -1));
            }
        }
    }

    int32_t AddMeshFrame(int32_t mesh, int32_t parent) {
        XParsedFrame frame;
        const std::string& name = parsed_.meshes[static_cast<size_t>(mesh)].name;
        frame.name = name.empty() ? "Mesh_" + std::to_string(mesh + 1) : name;
        frame.parent = parent;
        frame.resolvedMesh = mesh;
        frame.hasMatrix = true;
        parsed_.frames.push_back(std::move(frame));
        return static_cast<int32_t>(parsed_.frames.size() - 1);
    }

    int32_t Root() {
        if (outermost_.size() == 1) {
            const XParsedFrame& only = parsed_.frames[static_cast<size_t>(outermost_[0])];
            if (only.name == "Scene_Root" && only.resolvedMesh < 0) {
                return outermost_[0];
            }
        }
        XParsedFrame root;
        root.name = "Scene_Root";
        root.children = outermost_;
        parsed_.frames.push_back(std::move(root));
        return static_cast<int32_t>(parsed_.frames.size() - 1);
    }

    NodeList Flatten(int32_t root) {
        NodeList nodes;
        nodes.reserve(parsed_.frames.size());
        std::vector<NodeIndex> lastChild;
        lastChild.reserve(parsed_.frames.size());
        struct Pending {
            int32_t frame;
            int32_t parentId;
        };
        std::vector<Pending> pending{{root, -1}};
        while (!pending.empty()) {
            const Pending next = pending.back();
            pending.pop_back();
            XParsedFrame& frame = parsed_.frames[static_cast<size_t>(next.frame)];
            SceneNode node;
            node.id = static_cast<int32_t>(nodes.size());
            node.parentId = next.parentId;
            node.name = std::move(frame.name);
            node.localMatrix = frame.matrix;
            if (frame.resolvedMesh >= 0) {
                const auto mesh = static_cast<size_t>(frame.resolvedMesh);
                if (--uses_[mesh] == 0) {
                    node.mesh = std::move(parsed_.meshes[mesh]);
                } else {
                    Charge(BytesOf(parsed_.meshes[mesh]), frame.position);
                    node.mesh = parsed_.meshes[mesh];
                }
            }
            if (next.parentId >= 0) {
                const auto parent = static_cast<size_t>(next.parentId);
                if (nodes[parent].firstChild == kNoNode) {
                    nodes[parent].firstChild = node.id;
                } else {
                    nodes[static_cast<size_t>(lastChild[parent])].nextSibling = node.id;
                }
                lastChild[parent] = node.id;
            }
            nodes.push_back(std::move(node));
            lastChild.push_back(kNoNode);
            for (auto child = frame.children.rbegin(); child != frame.children.rend(); ++child) {
                pending.push_back({*child, nodes.back().id});
            }
        }
        return nodes;
    }

    XParsedFile& parsed_;
    uint64_t budget_;
    std::vector<uint32_t> uses_;
    std::vector<int32_t> outermost_;
};

}  // namespace

uint64_t XCopyBudget(size_t dataSize) {
    return kCopyBudgetFactor * dataSize + kCopyBudgetAllowance;
}

NodeList AssembleXFrames(XParsedFile& parsed, uint64_t copyBudget) {
    return Assembler(parsed, copyBudget).Run();
}

}  // namespace toravel
