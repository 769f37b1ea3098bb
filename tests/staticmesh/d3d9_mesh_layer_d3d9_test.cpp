// The Direct3D mesh layer against the system's own d3d9 and d3dx9_28 (Wine's builtin ones in
// the test runs): the device for a window, the mesh, its locks, adjacency and attributes, and
// the optimisation. The portable layer's adjacency is checked against D3DX's on the way.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "app/static_mesh_commands.h"
#include "staticmesh/d3d9_mesh_layer.h"
#include "staticmesh/portable_mesh_layer.h"
#include "support/recording_interaction.h"
#include "support/temp_dir.h"

namespace toravel {
namespace {

using testing::RecordingInteraction;
using testing::TempDir;

// Four triangles of a fan around the origin, with two textures, then one triangle apart:
// neighbours share positions but no vertices, as in every static mesh.
constexpr const char* kFan = R"(version 1
nodes
0 "root" -1
end
skeleton
time 0
0 0 0 0 0 0 0
end
triangles
stone.bmp
0 0 0 0 0 0 1 0.5 0.5
0 1 0 0 0 0 1 1 0.5
0 0 1 0 0 0 1 0.5 1
moss.bmp
0 0 0 0 0 0 1 0.5 0.5
0 0 1 0 0 0 1 0.5 1
0 -1 0 0 0 0 1 0 0.5
stone.bmp
0 0 0 0 0 0 1 0.5 0.5
0 -1 0 0 0 0 1 0 0.5
0 0 -1 0 0 0 1 0.5 0
moss.bmp
0 0 0 0 0 0 1 0.5 0.5
0 0 -1 0 0 0 1 0.5 0
0 1 0 0 0 0 1 1 0.5
stone.bmp
0 5 5 0 0 0 1 0 0
0 6 5 0 0 0 1 1 0
0 5 6 0 0 0 1 0 1
end
)";

bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

class D3d9MeshLayerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window_ = CreateWindowExA(0, "STATIC", "mesh layer test", WS_OVERLAPPEDWINDOW, 0, 0, 320,
                                  240, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        layer_ = CreateD3d9MeshLayer([this] { return static_cast<void*>(window_); });
        ASSERT_NE(layer_, nullptr) << "d3d9.dll or d3dx9_28.dll could not be loaded";
    }
    void TearDown() override {
        layer_.reset();
        if (window_ != nullptr) {
            DestroyWindow(window_);
        }
    }

    std::vector<uint32_t> Adjacency(MeshObject& mesh) {
        std::vector<uint32_t> adjacency(mesh.GetNumFaces() * 3);
        EXPECT_EQ(mesh.GenerateAdjacency(kAdjacencyEpsilon, adjacency.data()), hresult::kOk);
        return adjacency;
    }

    HWND window_ = nullptr;
    std::unique_ptr<MeshLayer> layer_;
};

TEST_F(D3d9MeshLayerTest, DeviceForTheWindowAndItsRelease) {
    const DeviceResult device = layer_->CreateRenderDevice();
    ASSERT_EQ(device.status, DeviceResult::Status::kReady) << HresultName(device.code);
    layer_->ReleaseRenderDevice();
    // Each build makes its device afresh.
    EXPECT_EQ(layer_->CreateRenderDevice().status, DeviceResult::Status::kReady);
    layer_->ReleaseRenderDevice();
}

TEST_F(D3d9MeshLayerTest, BuildFillsTheMeshAndReportsTheOptimisation) {
    TempDir dir;
    const std::string path = dir.Write("fan.smd", kFan);
    StaticMesh mesh;
    RecordingInteraction ui;
    ASSERT_EQ(BuildStaticMesh(mesh, *layer_, path, ui), hresult::kOk);
    ASSERT_NE(mesh.meshObject, nullptr);
    MeshObject& object = *mesh.meshObject;
    EXPECT_EQ(object.GetNumFaces(), 5u);
    EXPECT_EQ(object.GetNumVertices(), 15u);
    EXPECT_EQ(mesh.attributeGroupCount, 2);
    ASSERT_EQ(mesh.materialArray.size(), 2u);
    EXPECT_EQ(mesh.materialArray[0].textureFile, "stone.bmp");
    EXPECT_EQ(mesh.materialArray[1].textureFile, "moss.bmp");

    // Wine's D3DX cannot reorder for the vertex cache; the build goes on unoptimised.
    if (UnderWine()) {
        EXPECT_EQ(ui.messages,
                  std::vector<std::string>{std::string("OptimizeInplace Error: ") +
                                           HresultDescription(hresult::FromBits(0x80004001))});
    } else {
        EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();
    }

    if (UnderWine()) {
        // Unoptimised, the mesh holds the file's triangles in file order.
        StaticTriangleSet set;
        ReadReport report;
        ASSERT_TRUE(ParseStaticSmd(kFan, set, report));
        MeshVertex* vertices = nullptr;
        ASSERT_EQ(object.LockVertexBuffer(0, &vertices), hresult::kOk);
        for (size_t j = 0; j < 5; ++j) {
            for (size_t k = 0; k < 3; ++k) {
                const MeshVertex& v = vertices[3 * j + k];
                EXPECT_EQ(v.px, set.triangles[j].cornerPositions[k].x) << j << k;
                EXPECT_EQ(v.py, set.triangles[j].cornerPositions[k].y) << j << k;
                EXPECT_EQ(v.pz, set.triangles[j].cornerPositions[k].z) << j << k;
                EXPECT_EQ(v.u, set.triangles[j].cornerTexCoords[k].u) << j << k;
                EXPECT_EQ(v.v, set.triangles[j].cornerTexCoords[k].v) << j << k;
            }
        }
        EXPECT_EQ(object.UnlockVertexBuffer(), hresult::kOk);
        uint16_t* indices = nullptr;
        ASSERT_EQ(object.LockIndexBuffer(0, &indices), hresult::kOk);
        for (uint16_t i = 0; i < 15; ++i) {
            EXPECT_EQ(indices[i], i);
        }
        EXPECT_EQ(object.UnlockIndexBuffer(), hresult::kOk);
        uint32_t* attributes = nullptr;
        ASSERT_EQ(object.LockAttributeBuffer(0, &attributes), hresult::kOk);
        EXPECT_EQ(std::vector<uint32_t>(attributes, attributes + 5),
                  (std::vector<uint32_t>{0, 1, 0, 1, 0}));
        EXPECT_EQ(object.UnlockAttributeBuffer(), hresult::kOk);
    }
    ReleaseStaticMesh(mesh);
    EXPECT_EQ(mesh.meshObject, nullptr);
    EXPECT_TRUE(mesh.materialArray.empty());
}

TEST_F(D3d9MeshLayerTest, PortableAdjacencyIsD3dxAdjacency) {
    // Both meshes filled in file order, without optimisation.
    StaticTriangleSet set;
    ReadReport report;
    ASSERT_TRUE(ParseStaticSmd(kFan, set, report));
    PortableMeshLayer portable;
    ASSERT_EQ(layer_->CreateRenderDevice().status, DeviceResult::Status::kReady);
    std::unique_ptr<MeshObject> d3dx;
    std::unique_ptr<MeshObject> ours;
    ASSERT_EQ(layer_->CreateMeshFvf(5, 15, kMeshManaged, kStaticMeshFvf, d3dx), hresult::kOk);
    layer_->ReleaseRenderDevice();
    ASSERT_EQ(portable.CreateMeshFvf(5, 15, kMeshManaged, kStaticMeshFvf, ours), hresult::kOk);
    for (MeshObject* mesh : {d3dx.get(), ours.get()}) {
        MeshVertex* vertices = nullptr;
        ASSERT_EQ(mesh->LockVertexBuffer(0, &vertices), hresult::kOk);
        uint16_t* indices = nullptr;
        ASSERT_EQ(mesh->LockIndexBuffer(0, &indices), hresult::kOk);
        for (size_t j = 0; j < 5; ++j) {
            for (size_t k = 0; k < 3; ++k) {
                const auto& p = set.triangles[j].cornerPositions[k];
                vertices[3 * j + k] = {p.x, p.y, p.z, 0, 0, 1, 0, 0};
                indices[3 * j + k] = static_cast<uint16_t>(3 * j + k);
            }
        }
        mesh->UnlockIndexBuffer();
        mesh->UnlockVertexBuffer();
    }
    const std::vector<uint32_t> fromD3dx = Adjacency(*d3dx);
    EXPECT_EQ(Adjacency(*ours), fromD3dx);
    // The fan closes: each of its faces has two neighbours; the lone face has none.
    for (size_t face = 0; face < 4; ++face) {
        int neighbours = 0;
        for (size_t e = 0; e < 3; ++e) {
            neighbours += fromD3dx[3 * face + e] != kNoAdjacentFace;
        }
        EXPECT_EQ(neighbours, 2) << face;
    }
    for (size_t e = 0; e < 3; ++e) {
        EXPECT_EQ(fromD3dx[12 + e], kNoAdjacentFace);
    }
}

}  // namespace
}  // namespace toravel
