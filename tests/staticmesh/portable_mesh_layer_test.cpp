// The portable mesh layer: mesh creation limits, adjacency by position, the in-place
// optimisation and the text X file it saves.
#include "staticmesh/portable_mesh_layer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numeric>
#include <random>
#include <vector>

#include "support/temp_dir.h"

namespace toravel {
namespace {

using testing::TempDir;

std::unique_ptr<MeshObject> MakeMesh(const std::vector<MeshVertex>& vertices,
                                     const std::vector<uint16_t>& indices,
                                     const std::vector<uint32_t>& attributes) {
    PortableMeshLayer layer;
    std::unique_ptr<MeshObject> mesh;
    EXPECT_EQ(layer.CreateMeshFvf(static_cast<uint32_t>(attributes.size()),
                                  static_cast<uint32_t>(vertices.size()), kMeshManaged,
                                  kStaticMeshFvf, mesh),
              hresult::kOk);
    MeshVertex* v = nullptr;
    uint16_t* i = nullptr;
    uint32_t* a = nullptr;
    mesh->LockVertexBuffer(0, &v);
    std::copy(vertices.begin(), vertices.end(), v);
    mesh->UnlockVertexBuffer();
    mesh->LockIndexBuffer(0, &i);
    std::copy(indices.begin(), indices.end(), i);
    mesh->UnlockIndexBuffer();
    mesh->LockAttributeBuffer(0, &a);
    std::copy(attributes.begin(), attributes.end(), a);
    mesh->UnlockAttributeBuffer();
    return mesh;
}

MeshVertex At(float x, float y, float z) {
    return {x, y, z, 0, 1, 0, 0, 0};
}

TEST(PortableMeshLayerTest, CreationLimits) {
    struct Case {
        uint32_t faces, vertices, options, fvf;
        Hresult expected;
    };
    const Case cases[] = {
        {21845, 65535, kMeshManaged, kStaticMeshFvf, hresult::kOk},
        {21846, 65538, kMeshManaged, kStaticMeshFvf, hresult::kInvalidCall},
        {1, 65536, kMeshManaged, kStaticMeshFvf, hresult::kInvalidCall},
        {0, 0, kMeshManaged, kStaticMeshFvf, hresult::kInvalidCall},
        {1, 3, kMeshManaged | kMesh32Bit, kStaticMeshFvf, hresult::kInvalidCall},
        {1, 3, kMeshManaged, 0x002, hresult::kInvalidCall},
    };
    PortableMeshLayer layer;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.faces);
        std::unique_ptr<MeshObject> mesh;
        EXPECT_EQ(layer.CreateMeshFvf(c.faces, c.vertices, c.options, c.fvf, mesh), c.expected);
        EXPECT_EQ(mesh != nullptr, c.expected == hresult::kOk);
    }
}

// Two triangles meet across an edge whose ends lie within the epsilon of each other; a wider
// gap or a third face on the same edge in the same direction makes no neighbour.
TEST(PortableMeshLayerTest, AdjacencyMatchesEdgesByPositionWithinEpsilon) {
    struct Case {
        const char* name;
        float gap;
        std::vector<uint32_t> expected;
    };
    const Case cases[] = {
        {"shared exactly",
         0.0f,
         {kNoAdjacentFace, 1, kNoAdjacentFace, 0, kNoAdjacentFace, kNoAdjacentFace}},
        {"within epsilon",
         0.009f,
         {kNoAdjacentFace, 1, kNoAdjacentFace, 0, kNoAdjacentFace, kNoAdjacentFace}},
        {"beyond epsilon", 0.02f, std::vector<uint32_t>(6, kNoAdjacentFace)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Face 0: (0,0,0) (1,0,0) (0,1,0); face 1 runs the edge (1,0,0)-(0,1,0) the other way.
        auto mesh = MakeMesh({At(0, 0, 0), At(1, 0, 0), At(0, 1, 0), At(0, 1 + c.gap, 0),
                              At(1 + c.gap, 0, c.gap), At(1, 1, 0)},
                             {0, 1, 2, 3, 4, 5}, {0, 0});
        std::vector<uint32_t> adjacency(6, 7);
        ASSERT_EQ(mesh->GenerateAdjacency(kAdjacencyEpsilon, adjacency.data()), hresult::kOk);
        EXPECT_EQ(adjacency, c.expected);
    }
    auto mesh = MakeMesh({At(0, 0, 0), At(1, 0, 0), At(0, 1, 0)}, {0, 1, 2}, {0});
    EXPECT_EQ(mesh->GenerateAdjacency(kAdjacencyEpsilon, nullptr), hresult::kInvalidCall);
}

// Far coordinates each get a cell of their own, and copies of one position weld without being
// compared with one another: the shared edge is still found.
TEST(PortableMeshLayerTest, FarAndRepeatedPositionsStillWeldTheSharedEdge) {
    const float far = 1e30f;
    const float further = 1.0001e30f;
    auto mesh = MakeMesh({At(far, 0, 0), At(further, 0, 0), At(far, far, 0), At(far, far, 0),
                          At(further, 0, 0), At(further, far, 0)},
                         {0, 1, 2, 3, 4, 5}, {0, 0});
    std::vector<uint32_t> adjacency(6, 7);
    ASSERT_EQ(mesh->GenerateAdjacency(kAdjacencyEpsilon, adjacency.data()), hresult::kOk);
    EXPECT_EQ(adjacency, (std::vector<uint32_t>{kNoAdjacentFace, 1, kNoAdjacentFace, 0,
                                                kNoAdjacentFace, kNoAdjacentFace}));
}

// The welding against its meaning, by comparing every two vertices: clouds dense enough that
// cells hold many positions and neighbouring cells hold positions within epsilon of each
// other on one, two or three axes, at steps that put many pairs exactly epsilon apart.
std::vector<uint32_t> WeldEveryPair(const std::vector<MeshVertex>& v, float epsilon) {
    std::vector<uint32_t> parent(v.size());
    std::iota(parent.begin(), parent.end(), uint32_t{0});
    std::function<uint32_t(uint32_t)> find = [&](uint32_t i) {
        return parent[i] == i ? i : parent[i] = find(parent[i]);
    };
    for (uint32_t i = 0; i < v.size(); ++i) {
        for (uint32_t j = i + 1; j < v.size(); ++j) {
            if (std::fabs(v[i].px - v[j].px) <= epsilon && std::fabs(v[i].py - v[j].py) <= epsilon &&
                std::fabs(v[i].pz - v[j].pz) <= epsilon) {
                const uint32_t a = find(i);
                const uint32_t b = find(j);
                parent[std::max(a, b)] = std::min(a, b);
            }
        }
    }
    std::vector<uint32_t> result(v.size());
    for (uint32_t i = 0; i < v.size(); ++i) {
        result[i] = find(i);
    }
    return result;
}

TEST(PortableMeshLayerTest, WeldingJoinsExactlyThePositionsWithinEpsilon) {
    struct Cloud {
        const char* name;
        float step;  // coordinates are multiples of the step
        int span;    // ... up to this many steps on each axis
        int axes;    // how many axes vary
    };
    const float epsilon = kAdjacencyEpsilon;
    const Cloud clouds[] = {
        {"exactly epsilon apart", epsilon, 12, 3},
        {"thirds of epsilon", epsilon / 3, 30, 3},
        {"dense line across cells", epsilon / 97, 400, 1},
        {"dense plane", epsilon / 7, 40, 2},
        {"sparse", epsilon * 1.7f, 20, 3},
    };
    std::mt19937 random(7);
    for (const Cloud& cloud : clouds) {
        SCOPED_TRACE(cloud.name);
        std::uniform_int_distribution<int> pick(0, cloud.span);
        std::vector<MeshVertex> vertices;
        for (int i = 0; i < 1500; ++i) {
            const float x = static_cast<float>(pick(random)) * cloud.step;
            const float y = cloud.axes > 1 ? static_cast<float>(pick(random)) * cloud.step : 0;
            const float z = cloud.axes > 2 ? static_cast<float>(pick(random)) * cloud.step : 0;
            vertices.push_back(At(x - 0.05f, y + 3.0f, z));
        }
        EXPECT_EQ(WeldPositions(vertices, epsilon), WeldEveryPair(vertices, epsilon));
    }
}

TEST(PortableMeshLayerTest, OptimisationSortsByAttributeAndOrdersVerticesByUse) {
    std::vector<MeshVertex> vertices;
    for (int i = 0; i < 12; ++i) {
        vertices.push_back(At(static_cast<float>(i), 0, 0));
    }
    auto mesh = MakeMesh(vertices, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, {2, 0, 2, 1});
    std::vector<uint32_t> adjacency(12);
    ASSERT_EQ(mesh->GenerateAdjacency(kAdjacencyEpsilon, adjacency.data()), hresult::kOk);
    ASSERT_EQ(mesh->OptimizeInplace(kMeshOptAttrSort | kMeshOptVertexCache, adjacency.data()),
              hresult::kOk);
    auto& portable = static_cast<PortableMesh&>(*mesh);
    EXPECT_EQ(portable.attributes(), (std::vector<uint32_t>{0, 1, 2, 2}));
    // Each face keeps its own corners; vertices follow the new face order.
    std::vector<std::vector<float>> faces;
    for (size_t f = 0; f < 4; ++f) {
        std::vector<float> xs;
        for (size_t k = 0; k < 3; ++k) {
            EXPECT_EQ(portable.indices()[3 * f + k], 3 * f + k);
            xs.push_back(portable.vertices()[portable.indices()[3 * f + k]].px);
        }
        std::sort(xs.begin(), xs.end());
        faces.push_back(xs);
    }
    EXPECT_EQ(faces[0], (std::vector<float>{3, 4, 5}));
    EXPECT_EQ(faces[1], (std::vector<float>{9, 10, 11}));
    EXPECT_TRUE(
        (faces[2] == std::vector<float>{0, 1, 2} && faces[3] == std::vector<float>{6, 7, 8}) ||
        (faces[3] == std::vector<float>{0, 1, 2} && faces[2] == std::vector<float>{6, 7, 8}));
    EXPECT_EQ(mesh->OptimizeInplace(0x00000100, adjacency.data()), hresult::kInvalidCall);
    EXPECT_EQ(mesh->OptimizeInplace(kMeshOptAttrSort, nullptr), hresult::kInvalidCall);
}

TEST(PortableMeshLayerTest, SavesTextXFile) {
    TempDir dir;
    auto mesh = MakeMesh({{0, 0, 0, 0, 0, -1, 0.5f, 0.25f},
                          {1, 0, 0, 0, 0, -1, 1, 0},
                          {0, 1, 0, 0, 0, -1, 0, 1},
                          {1, 1, -2.5f, 0, 1, 0, 1, 1},
                          {2, 1, 0, 0, 1, 0, 0, 0},
                          {1, 2, 0, 0, 1, 0, 0, 1}},
                         {0, 1, 2, 3, 4, 5}, {0, 1});
    std::vector<MeshMaterial> materials(2);
    materials[0].textureFile = "a.bmp";
    materials[1].textureFile = "b c.bmp";
    const std::vector<uint32_t> adjacency(6, kNoAdjacentFace);
    PortableMeshLayer layer;
    const std::string path = dir.File("out");
    ASSERT_EQ(layer.SaveMeshToX(path, *mesh, adjacency.data(), materials, kXFileFormatText),
              hresult::kOk);
    EXPECT_EQ(TempDir::ReadText(path), R"(xof 0303txt 0032

Mesh {
 6;
 0.000000;0.000000;0.000000;,
 1.000000;0.000000;0.000000;,
 0.000000;1.000000;0.000000;,
 1.000000;1.000000;-2.500000;,
 2.000000;1.000000;0.000000;,
 1.000000;2.000000;0.000000;;
 2;
 3;0,1,2;,
 3;3,4,5;;

 MeshNormals {
  6;
  0.000000;0.000000;-1.000000;,
  0.000000;0.000000;-1.000000;,
  0.000000;0.000000;-1.000000;,
  0.000000;1.000000;0.000000;,
  0.000000;1.000000;0.000000;,
  0.000000;1.000000;0.000000;;
  2;
  3;0,1,2;,
  3;3,4,5;;
 }

 MeshTextureCoords {
  6;
  0.500000;0.250000;,
  1.000000;0.000000;,
  0.000000;1.000000;,
  1.000000;1.000000;,
  0.000000;0.000000;,
  0.000000;1.000000;;
 }

 MeshMaterialList {
  2;
  2;
  0,
  1;

  Material {
   0.800000;0.800000;0.800000;1.000000;;
   0.000000;
   0.000000;0.000000;0.000000;;
   0.000000;0.000000;0.000000;;

   TextureFilename {
    "a.bmp";
   }
  }

  Material {
   0.800000;0.800000;0.800000;1.000000;;
   0.000000;
   0.000000;0.000000;0.000000;;
   0.000000;0.000000;0.000000;;

   TextureFilename {
    "b c.bmp";
   }
  }
 }
}
)");
    EXPECT_EQ(layer.SaveMeshToX(dir.File("no/dir/out.x"), *mesh, adjacency.data(), materials,
                                kXFileFormatText),
              hresult::kPathNotFound);
    EXPECT_EQ(layer.SaveMeshToX(path, *mesh, adjacency.data(), materials, 0),
              hresult::kInvalidCall);
}

}  // namespace
}  // namespace toravel
