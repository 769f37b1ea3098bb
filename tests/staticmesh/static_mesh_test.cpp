// The static mesh document: load and export commands over the portable mesh layer, and the
// failure messages of every step over a mesh layer that fails on request.
#include "app/static_mesh_commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <tuple>

#include "static_smd_fixtures.h"
#include "staticmesh/portable_mesh_layer.h"
#include "support/scripted_interaction.h"
#include "support/temp_dir.h"

namespace toravel {
namespace {

using testing::kStaticSmdHeader;
using testing::MakeStaticSmd;
using testing::ScriptedInteraction;
using testing::TempDir;

// Which step of the layer fails, and with which code.
struct Failures {
    DeviceResult device;
    Hresult create = hresult::kOk;
    Hresult lockVertices = hresult::kOk;
    Hresult lockIndices = hresult::kOk;
    Hresult lockAttributes = hresult::kOk;
    Hresult adjacency = hresult::kOk;
    Hresult optimize = hresult::kOk;
    Hresult save = hresult::kOk;
};

// A portable mesh whose steps fail as told.
class FailingMesh : public PortableMesh {
  public:
    FailingMesh(uint32_t faces, uint32_t vertices, const Failures& failures)
        : PortableMesh(faces, vertices), failures_(failures) {}

    Hresult LockVertexBuffer(uint32_t flags, MeshVertex** v) override {
        return Failed(failures_.lockVertices) ? failures_.lockVertices
                                              : PortableMesh::LockVertexBuffer(flags, v);
    }
    Hresult LockIndexBuffer(uint32_t flags, uint16_t** i) override {
        return Failed(failures_.lockIndices) ? failures_.lockIndices
                                             : PortableMesh::LockIndexBuffer(flags, i);
    }
    Hresult LockAttributeBuffer(uint32_t flags, uint32_t** a) override {
        return Failed(failures_.lockAttributes) ? failures_.lockAttributes
                                                : PortableMesh::LockAttributeBuffer(flags, a);
    }
    Hresult GenerateAdjacency(float epsilon, uint32_t* adjacency) override {
        return Failed(failures_.adjacency) ? failures_.adjacency
                                           : PortableMesh::GenerateAdjacency(epsilon, adjacency);
    }
    Hresult OptimizeInplace(uint32_t flags, const uint32_t* adjacency) override {
        return Failed(failures_.optimize) ? failures_.optimize
                                          : PortableMesh::OptimizeInplace(flags, adjacency);
    }

  private:
    const Failures& failures_;
};

class FailingLayer : public PortableMeshLayer {
  public:
    Failures failures;
    int devices = 0;
    int releases = 0;
    uint32_t createdFaces = 0, createdVertices = 0, createdOptions = 0, createdFvf = 0;

    DeviceResult CreateRenderDevice() override {
        ++devices;
        return failures.device;
    }
    void ReleaseRenderDevice() override { ++releases; }
    Hresult CreateMeshFvf(uint32_t faces, uint32_t vertices, uint32_t options, uint32_t fvf,
                          std::unique_ptr<MeshObject>& mesh) override {
        createdFaces = faces;
        createdVertices = vertices;
        createdOptions = options;
        createdFvf = fvf;
        if (Failed(failures.create)) {
            return failures.create;
        }
        const Hresult code = PortableMeshLayer::CreateMeshFvf(faces, vertices, options, fvf, mesh);
        if (Succeeded(code)) {
            mesh = std::make_unique<FailingMesh>(faces, vertices, failures);
        }
        return code;
    }
    // A failed save leaves a half-written file behind, as a full disk would.
    Hresult SaveMeshToX(const std::string& path, MeshObject& mesh, const uint32_t* adjacency,
                        std::span<const MeshMaterial> materials, uint32_t format) override {
        if (Failed(failures.save)) {
            std::ofstream(path, std::ios::binary) << "xof 0303txt 0032\nMesh {\n";
            return failures.save;
        }
        return PortableMeshLayer::SaveMeshToX(path, mesh, adjacency, materials, format);
    }
};

const FileFilter kSmdFilter = {{"SMD Files (*.smd)", "*.smd"}, {"All Files (*.*)", "*.*"}};
const FileFilter kXFilter = {{"DirectX X-Files (*.x)", "*.x"}, {"All Files (*.*)", "*.*"}};

void ExpectFilter(const FileFilter& actual, const FileFilter& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].description, expected[i].description);
        EXPECT_EQ(actual[i].pattern, expected[i].pattern);
    }
}

void ExpectEmpty(const StaticMesh& mesh) {
    EXPECT_FALSE(mesh.loaded);
    EXPECT_FALSE(mesh.exported);
    EXPECT_EQ(mesh.filePath, "");
    EXPECT_EQ(mesh.exportPath, "");
    EXPECT_EQ(mesh.meshObject, nullptr);
    EXPECT_TRUE(mesh.materialArray.empty());
}

// The corners of every face with its attribute, read back from the mesh's buffers.
using Face = std::tuple<uint32_t, std::vector<float>>;
std::vector<Face> FacesOf(MeshObject& mesh) {
    MeshVertex* v = nullptr;
    uint16_t* i = nullptr;
    uint32_t* a = nullptr;
    EXPECT_EQ(mesh.LockVertexBuffer(0, &v), hresult::kOk);
    EXPECT_EQ(mesh.LockIndexBuffer(0, &i), hresult::kOk);
    EXPECT_EQ(mesh.LockAttributeBuffer(0, &a), hresult::kOk);
    std::vector<Face> faces;
    for (uint32_t f = 0; f < mesh.GetNumFaces(); ++f) {
        std::vector<float> corners;
        for (int k = 0; k < 3; ++k) {
            const MeshVertex& c = v[i[3 * f + k]];
            corners.insert(corners.end(), {c.px, c.py, c.pz, c.nx, c.ny, c.nz, c.u, c.v});
        }
        faces.emplace_back(a[f], corners);
    }
    mesh.UnlockVertexBuffer();
    mesh.UnlockIndexBuffer();
    mesh.UnlockAttributeBuffer();
    return faces;
}

TEST(StaticMeshTest, LoadBuildsOneAttributeGroupAndMaterialPerTexture) {
    TempDir dir;
    const std::string path = dir.Write("five.smd", MakeStaticSmd(5, {"b.bmp", "a.bmp"}));
    ScriptedInteraction ui;
    ui.ExpectOpenFile(path);
    StaticMesh mesh;
    FailingLayer layer;
    ASSERT_TRUE(LoadStaticMesh(mesh, layer, ui));
    ExpectFilter(ui.lastFilter, kSmdFilter);
    EXPECT_EQ(ui.repaints, 1);
    EXPECT_TRUE(mesh.loaded);
    EXPECT_FALSE(mesh.exported);
    EXPECT_EQ(mesh.filePath, path);
    EXPECT_EQ(mesh.attributeGroupCount, 2);
    EXPECT_EQ(std::make_tuple(layer.createdFaces, layer.createdVertices, layer.createdOptions,
                              layer.createdFvf),
              std::make_tuple(5u, 15u, 0x220u, 0x112u));
    EXPECT_EQ(layer.devices, 1);
    EXPECT_EQ(layer.releases, 1);
    ASSERT_NE(mesh.meshObject, nullptr);
    EXPECT_EQ(mesh.meshObject->GetNumFaces(), 5u);
    EXPECT_EQ(mesh.meshObject->GetNumVertices(), 15u);
    ASSERT_EQ(mesh.materialArray.size(), 2u);
    EXPECT_EQ(mesh.materialArray[0].textureFile, "b.bmp");
    EXPECT_EQ(mesh.materialArray[1].textureFile, "a.bmp");
    for (const MeshMaterial& m : mesh.materialArray) {
        EXPECT_EQ(std::vector<float>(m.diffuse, m.diffuse + 4),
                  (std::vector<float>{0.8f, 0.8f, 0.8f, 1}));
        EXPECT_EQ(std::vector<float>(m.ambient, m.ambient + 4),
                  (std::vector<float>{0.2f, 0.2f, 0.2f, 1}));
        EXPECT_EQ(std::vector<float>(m.specular, m.specular + 4), std::vector<float>(4, 0));
        EXPECT_EQ(std::vector<float>(m.emissive, m.emissive + 4), std::vector<float>(4, 0));
        EXPECT_EQ(m.power, 0);
    }
}

// The optimisation groups the faces by attribute and keeps every face with its corners.
TEST(StaticMeshTest, BuildKeepsEveryFaceAndGroupsFacesByAttribute) {
    TempDir dir;
    const std::string path = dir.Write("m.smd", MakeStaticSmd(301, {"c", "a", "b", "a"}));
    ScriptedInteraction ui;
    StaticMesh mesh;
    PortableMeshLayer layer;
    ASSERT_TRUE(LoadStaticMesh(mesh, layer, {path, "m.smd"}, ui));

    // The faces as the file gives them, before any optimisation.
    StaticTriangleSet set;
    ReadReport report;
    ASSERT_TRUE(ParseStaticSmd(TempDir::Read(path), set, report));
    std::vector<Face> expected;
    for (size_t j = 0; j < set.triangles.size(); ++j) {
        std::vector<float> corners;
        const StaticTriangle& t = set.triangles[j];
        for (size_t k = 0; k < 3; ++k) {
            corners.insert(corners.end(),
                           {t.cornerPositions[k].x, t.cornerPositions[k].y, t.cornerPositions[k].z,
                            t.cornerNormals[k].x, t.cornerNormals[k].y, t.cornerNormals[k].z,
                            t.cornerTexCoords[k].u, t.cornerTexCoords[k].v});
        }
        expected.emplace_back(static_cast<uint32_t>(set.triangleMaterials[j]), corners);
    }
    std::vector<Face> actual = FacesOf(*mesh.meshObject);
    EXPECT_TRUE(std::is_sorted(actual.begin(), actual.end(), [](const Face& a, const Face& b) {
        return std::get<0>(a) < std::get<0>(b);
    }));
    std::sort(actual.begin(), actual.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(actual, expected);
}

TEST(StaticMeshTest, CancelledLoadKeepsTheDocument) {
    TempDir dir;
    const std::string path = dir.Write("m.smd", MakeStaticSmd(2, {"a"}));
    ScriptedInteraction ui;
    ui.ExpectOpenFile(path).ExpectOpenFile(std::nullopt);
    StaticMesh mesh;
    PortableMeshLayer layer;
    ASSERT_TRUE(LoadStaticMesh(mesh, layer, ui));
    EXPECT_FALSE(LoadStaticMesh(mesh, layer, ui));
    EXPECT_EQ(ui.repaints, 2);
    EXPECT_TRUE(mesh.loaded);
    EXPECT_EQ(mesh.filePath, path);
    EXPECT_NE(mesh.meshObject, nullptr);
}

TEST(StaticMeshTest, FailedLoadEmptiesAnEarlierMesh) {
    TempDir dir;
    const std::string good = dir.Write("good.smd", MakeStaticSmd(2, {"a"}));
    const std::string bad = dir.Write("bad.smd", "version 1\nnodes\n");
    const std::string out = dir.File("out.x");
    ScriptedInteraction ui;
    ui.ExpectOpenFile(good).ExpectOpenFile(out).ExpectOpenFile(bad).ExpectMessage(
        "Invalid SMD file format", "Load Error");
    StaticMesh mesh;
    PortableMeshLayer layer;
    ASSERT_TRUE(LoadStaticMesh(mesh, layer, ui));
    ASSERT_TRUE(ExportStaticMesh(mesh, layer, ui));
    EXPECT_FALSE(LoadStaticMesh(mesh, layer, ui));
    ExpectEmpty(mesh);
}

// Three vertices per triangle must fit 16-bit indices: 21845 triangles are the most.
TEST(StaticMeshTest, TriangleLimitOfSixteenBitIndices) {
    TempDir dir;
    for (const size_t count : {size_t{21845}, size_t{21846}}) {
        SCOPED_TRACE(count);
        const std::string path = dir.Write("big.smd", MakeStaticSmd(count, {"a", "b"}));
        ScriptedInteraction ui;
        const bool fits = count <= 21845;
        if (!fits) {
            ui.ExpectMessage("D3DERR_INVALIDCALL", "Error");
        }
        StaticMesh mesh;
        FailingLayer layer;
        EXPECT_EQ(LoadStaticMesh(mesh, layer, {path, "big.smd"}, ui), fits);
        EXPECT_EQ(layer.releases, 1);
        if (fits) {
            EXPECT_EQ(mesh.meshObject->GetNumVertices(), 65535u);
        } else {
            ExpectEmpty(mesh);
        }
    }
}

TEST(StaticMeshTest, EmptyTrianglesSectionIsRefusedAsMeshCreation) {
    TempDir dir;
    const std::string path = dir.Write("empty.smd", kStaticSmdHeader + "end\n");
    ScriptedInteraction ui;
    ui.ExpectMessage("D3DERR_INVALIDCALL", "Error");
    StaticMesh mesh;
    PortableMeshLayer layer;
    EXPECT_FALSE(LoadStaticMesh(mesh, layer, {path, "empty.smd"}, ui));
    ExpectEmpty(mesh);
}

struct FailureCase {
    const char* name;
    void (*inject)(Failures&);
    bool loads;
    std::string text;  // the message, or empty for none
    std::string title;
};

TEST(StaticMeshTest, FailuresOfTheMeshLayer) {
    using Status = DeviceResult::Status;
    const std::vector<FailureCase> cases = {
        {"version",
         [](Failures& f) {
             f.device = {DeviceResult::Status::kVersionMismatch, hresult::kOk};
         },
         false, "Invalid DirectX SDK Version", "Version Error"},
        {"direct3d",
         [](Failures& f) {
             f.device = {DeviceResult::Status::kNoDirect3D, hresult::kOk};
         },
         false, "Direct3DCreate9 failed", "Creation Failure"},
        {"device",
         [](Failures& f) {
             f.device = {DeviceResult::Status::kNoDevice, hresult::kNotAvailable};
         },
         false, "D3DERR_NOTAVAILABLE", "Device Creation Failure"},
        {"mesh creation", [](Failures& f) { f.create = hresult::kOutOfMemory; }, false,
         "E_OUTOFMEMORY", "Error"},
        {"vertex lock", [](Failures& f) { f.lockVertices = hresult::kInvalidCall; }, false, "", ""},
        {"index lock", [](Failures& f) { f.lockIndices = hresult::kInvalidCall; }, false, "", ""},
        {"adjacency", [](Failures& f) { f.adjacency = hresult::kOutOfMemory; }, false,
         "Failed to generate mesh adjacency", "Load Failure"},
        {"attribute lock", [](Failures& f) { f.lockAttributes = hresult::kInvalidCall; }, false,
         "Failed to lock attribute buffer for mesh", "Lock Error"},
        {"optimisation", [](Failures& f) { f.optimize = hresult::kFail; }, true,
         "An unspecified failure occurred", "OptimizeInplace Error"},
    };
    TempDir dir;
    const std::string path = dir.Write("m.smd", MakeStaticSmd(4, {"a", "b"}));
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedInteraction ui;
        if (!c.text.empty()) {
            ui.ExpectMessage(c.text, c.title);
        }
        StaticMesh mesh;
        FailingLayer layer;
        c.inject(layer.failures);
        EXPECT_EQ(LoadStaticMesh(mesh, layer, {path, "m.smd"}, ui), c.loads);
        ui.ExpectDone();
        EXPECT_EQ(ui.repaints, 1);
        EXPECT_EQ(layer.releases, layer.failures.device.status == Status::kReady ? 1 : 0);
        if (c.loads) {
            EXPECT_EQ(mesh.attributeGroupCount, 2);
            EXPECT_NE(mesh.meshObject, nullptr);
        } else {
            ExpectEmpty(mesh);
        }
    }
}

TEST(StaticMeshTest, ExportWithoutMeshAsksNothing) {
    ScriptedInteraction ui;
    ui.ExpectMessage("No file loaded.", "Can't Export");
    StaticMesh mesh;
    PortableMeshLayer layer;
    EXPECT_FALSE(ExportStaticMesh(mesh, layer, ui));
    EXPECT_EQ(ui.repaints, 0);
}

TEST(StaticMeshTest, ExportWritesExactlyTheChosenNameAndNoTemporaryFile) {
    TempDir dir;
    const std::string path = dir.Write("m.smd", MakeStaticSmd(3, {"a"}));
    const std::string out = dir.File("mesh_without_extension");
    ScriptedInteraction ui;
    ui.ExpectOpenFile(path).ExpectOpenFile(std::nullopt).ExpectOpenFile(out);
    StaticMesh mesh;
    PortableMeshLayer layer;
    ASSERT_TRUE(LoadStaticMesh(mesh, layer, ui));
    EXPECT_FALSE(ExportStaticMesh(mesh, layer, ui));  // cancelled: no repaint
    EXPECT_EQ(ui.repaints, 1);
    ASSERT_TRUE(ExportStaticMesh(mesh, layer, ui));
    ExpectFilter(ui.lastFilter, kXFilter);
    EXPECT_EQ(ui.repaints, 2);
    EXPECT_TRUE(mesh.exported);
    EXPECT_EQ(mesh.exportPath, out);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"m.smd", "mesh_without_extension"}));
    EXPECT_EQ(TempDir::ReadText(out).substr(0, 25), "xof 0303txt 0032\n\nMesh {\n");
}

TEST(StaticMeshTest, FailedSaveLeavesTheExistingFileAndClearsTheExport) {
    TempDir dir;
    const std::string path = dir.Write("m.smd", MakeStaticSmd(3, {"a"}));
    const std::string out = dir.Write("out.x", "precious");
    ScriptedInteraction ui;
    ui.ExpectMessage("There is not enough space on the disk", "Export Failure");
    StaticMesh mesh;
    FailingLayer layer;
    ASSERT_TRUE(LoadStaticMesh(mesh, layer, {path, "m.smd"}, ui));
    ASSERT_TRUE(ExportStaticMesh(mesh, layer, {dir.File("first.x"), "first.x"}, ui));
    layer.failures.save = hresult::kDiskFull;
    EXPECT_FALSE(ExportStaticMesh(mesh, layer, {out, "out.x"}, ui));
    EXPECT_FALSE(mesh.exported);
    EXPECT_EQ(mesh.exportPath, "");
    EXPECT_EQ(TempDir::Read(out), "precious");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"first.x", "m.smd", "out.x"}));
}

TEST(StaticMeshTest, SaveIntoAMissingFolderOrOverAFolderFails) {
    TempDir dir;
    const std::string path = dir.Write("m.smd", MakeStaticSmd(3, {"a"}));
    std::filesystem::create_directory(dir.File("folder.x"));
    ScriptedInteraction ui;
    ui.ExpectMessage("The path cannot be found", "Export Failure")
        .ExpectMessage("Access is denied", "Export Failure");
    StaticMesh mesh;
    PortableMeshLayer layer;
    ASSERT_TRUE(LoadStaticMesh(mesh, layer, {path, "m.smd"}, ui));
    EXPECT_FALSE(ExportStaticMesh(mesh, layer, {dir.File("no/such/dir/out.x"), "out.x"}, ui));
    EXPECT_FALSE(ExportStaticMesh(mesh, layer, {dir.File("folder.x"), "folder.x"}, ui));
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"folder.x", "m.smd"}));
    EXPECT_TRUE(std::filesystem::is_empty(dir.File("folder.x")));
}

}  // namespace
}  // namespace toravel
