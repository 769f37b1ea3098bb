// The mesh library behind the static mesh export: a device, a mesh object with 16-bit
// indices whose vertex, index and attribute buffers can be locked and filled, adjacency,
// optimisation in place and saving as an X file. On Windows the Direct3D 9 extension library
// provides it; elsewhere the portable layer does.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "errortext/error_text.h"

namespace toravel {

// D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1: position, normal, one texture coordinate pair.
inline constexpr uint32_t kStaticMeshFvf = 0x112;
inline constexpr uint32_t kMeshManaged = 0x220;              // D3DXMESH_MANAGED
inline constexpr uint32_t kMesh32Bit = 0x001;                // D3DXMESH_32BIT
inline constexpr uint32_t kMeshOptAttrSort = 0x02000000;     // D3DXMESHOPT_ATTRSORT
inline constexpr uint32_t kMeshOptVertexCache = 0x04000000;  // D3DXMESHOPT_VERTEXCACHE
inline constexpr uint32_t kXFileFormatText = 1;              // D3DXF_FILEFORMAT_TEXT
inline constexpr float kAdjacencyEpsilon = 0.01f;
// An adjacency entry for an edge without a neighbour.
inline constexpr uint32_t kNoAdjacentFace = 0xFFFFFFFFu;
// The most vertices that 16-bit indices can address.
inline constexpr uint32_t kMax16BitVertices = 65535;

// One vertex in the layout of kStaticMeshFvf.
struct MeshVertex {
    float px, py, pz;
    float nx, ny, nz;
    float u, v;
};
static_assert(sizeof(MeshVertex) == 32, "the vertex layout is 32 bytes");

// One entry of the material array (a D3DXMATERIAL with its texture name owned).
struct MeshMaterial {
    float diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    float specular[4] = {0, 0, 0, 0};
    float emissive[4] = {0, 0, 0, 0};
    float power = 0;
    std::string textureFile;
};

// A mesh object (ID3DXMesh). Each Lock hands out the buffer until the matching Unlock.
class MeshObject {
  public:
    virtual ~MeshObject() = default;

    virtual uint32_t GetNumFaces() const = 0;
    virtual uint32_t GetNumVertices() const = 0;

    virtual Hresult LockVertexBuffer(uint32_t flags, MeshVertex** vertices) = 0;
    virtual Hresult UnlockVertexBuffer() = 0;
    // Three 16-bit indices per face.
    virtual Hresult LockIndexBuffer(uint32_t flags, uint16_t** indices) = 0;
    virtual Hresult UnlockIndexBuffer() = 0;
    // One 32-bit attribute per face.
    virtual Hresult LockAttributeBuffer(uint32_t flags, uint32_t** attributes) = 0;
    virtual Hresult UnlockAttributeBuffer() = 0;

    // Fills three entries per face: the face across each edge, or kNoAdjacentFace. Vertices
    // whose positions differ by at most `epsilon` count as one.
    virtual Hresult GenerateAdjacency(float epsilon, uint32_t* adjacency) = 0;
    // Reorders faces (and vertices) in place as `flags` asks (kMeshOptAttrSort,
    // kMeshOptVertexCache), given the adjacency of the current order.
    virtual Hresult OptimizeInplace(uint32_t flags, const uint32_t* adjacency) = 0;
};

// What the device creation found. The caller shows the messages.
struct DeviceResult {
    enum class Status {
        kReady,            // a device exists until ReleaseRenderDevice
        kVersionMismatch,  // the installed libraries do not match the build
        kNoDirect3D,       // the Direct3D object could not be made
        kNoDevice,         // neither hardware nor software device; `code` of the last attempt
    };
    Status status = Status::kReady;
    Hresult code = hresult::kOk;
};

class MeshLayer {
  public:
    virtual ~MeshLayer() = default;

    // Makes the device that CreateMesh needs. After a failure the layer keeps whatever it
    // made on the way for the next attempt.
    virtual DeviceResult CreateRenderDevice() = 0;
    // Releases the device and the Direct3D object; a mesh keeps what it needs of them.
    virtual void ReleaseRenderDevice() = 0;

    // A mesh of `faces` faces and `vertices` vertices with `options` and vertex format `fvf`.
    virtual Hresult CreateMeshFvf(uint32_t faces, uint32_t vertices, uint32_t options, uint32_t fvf,
                                  std::unique_ptr<MeshObject>& mesh) = 0;

    // Writes `mesh` with its materials as an X file at exactly `path`.
    virtual Hresult SaveMeshToX(const std::string& path, MeshObject& mesh,
                                const uint32_t* adjacency, std::span<const MeshMaterial> materials,
                                uint32_t format) = 0;
};

}  // namespace toravel
