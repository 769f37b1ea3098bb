// The mesh layer for builds without Direct3D: meshes in plain memory, adjacency by position
// within an epsilon, faces sorted by attribute and reordered for the vertex cache, and a text
// X file writer.
#pragma once

#include <cstdint>
#include <vector>

#include "staticmesh/mesh_layer.h"

namespace toravel {

// For each vertex, the smallest id of the vertices that count as the same position: those
// within `epsilon` of each other on every axis, and so on transitively. Near-linear in the
// number of vertices wherever they lie. With no positive epsilon, only equal positions.
std::vector<uint32_t> WeldPositions(const std::vector<MeshVertex>& vertices, float epsilon);

class PortableMesh : public MeshObject {
  public:
    PortableMesh(uint32_t faces, uint32_t vertices);

    uint32_t GetNumFaces() const override { return static_cast<uint32_t>(attributes_.size()); }
    uint32_t GetNumVertices() const override { return static_cast<uint32_t>(vertices_.size()); }

    Hresult LockVertexBuffer(uint32_t flags, MeshVertex** vertices) override;
    Hresult UnlockVertexBuffer() override;
    Hresult LockIndexBuffer(uint32_t flags, uint16_t** indices) override;
    Hresult UnlockIndexBuffer() override;
    Hresult LockAttributeBuffer(uint32_t flags, uint32_t** attributes) override;
    Hresult UnlockAttributeBuffer() override;
    Hresult GenerateAdjacency(float epsilon, uint32_t* adjacency) override;
    Hresult OptimizeInplace(uint32_t flags, const uint32_t* adjacency) override;

    const std::vector<MeshVertex>& vertices() const { return vertices_; }
    const std::vector<uint16_t>& indices() const { return indices_; }
    const std::vector<uint32_t>& attributes() const { return attributes_; }

  private:
    std::vector<MeshVertex> vertices_;
    std::vector<uint16_t> indices_;
    std::vector<uint32_t> attributes_;
};

class PortableMeshLayer : public MeshLayer {
  public:
    // There is no device to make.
    DeviceResult CreateRenderDevice() override { return {}; }
    void ReleaseRenderDevice() override {}

    // Refuses, with D3DERR_INVALIDCALL as the extension library does for arguments it cannot
    // serve: no faces or no vertices, more vertices than 16-bit indices address (more than
    // 21845 triangles of three vertices each), 32-bit indices, and any other vertex format
    // than kStaticMeshFvf. E_OUTOFMEMORY when the buffers cannot be allocated.
    Hresult CreateMeshFvf(uint32_t faces, uint32_t vertices, uint32_t options, uint32_t fvf,
                          std::unique_ptr<MeshObject>& mesh) override;

    // Writes a text X file: Mesh with positions and faces, MeshNormals, MeshTextureCoords and
    // MeshMaterialList with one Material and TextureFilename per entry of `materials`. The
    // codes of failures to create or write the file are those of the Win32 file errors.
    Hresult SaveMeshToX(const std::string& path, MeshObject& mesh, const uint32_t* adjacency,
                        std::span<const MeshMaterial> materials, uint32_t format) override;
};

}  // namespace toravel
