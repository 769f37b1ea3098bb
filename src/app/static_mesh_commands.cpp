#include "app/static_mesh_commands.h"

#include <memory>
#include <new>
#include <system_error>

#include "app/read_messages.h"
#include "text/file_bytes.h"
#include "text/file_replacement.h"
#include "text/text_input.h"

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace toravel {

namespace {

const FilePrompt kSmdOpen{
    FilePromptId::kOpenStaticSmd, {{"SMD Files (*.smd)", "*.smd"}, {"All Files (*.*)", "*.*"}}, {}};
const FilePrompt kXChoice{FilePromptId::kSaveStaticMesh,
                          {{"DirectX X-Files (*.x)", "*.x"}, {"All Files (*.*)", "*.*"}},
                          {}};

void ShowMeshFailure(UserInteraction& ui, std::string_view text, std::string_view title) {
    ui.ShowMessage({NoticeId::kMeshFailure, std::string(title), std::string(text), {}});
}

Hresult HresultFromError(const std::error_code& error) {
#ifdef _WIN32
    if (error.category() == std::system_category()) {
        const uint32_t win32 = static_cast<uint32_t>(error.value()) & 0xFFFF;
        return win32 == 0 ? hresult::kOk : hresult::FromBits(0x80070000u | win32);
    }
#endif
    const Hresult code = HresultFromErrno(error.value());
    return code == hresult::kOk ? hresult::kFail : code;
}

// Saves through the layer into a fresh temporary beside `target` and renames the result over
// it. `problem` says why the target could not be replaced, when it could not.
Hresult SaveReplacing(MeshLayer& layer, StaticMesh& mesh, const std::string& target,
                      const uint32_t* adjacency, std::string& problem) {
    int error = 0;
    std::unique_ptr<FileReplacement> replacement = FileReplacement::Begin(target, problem, error);
    if (!replacement) {
        const Hresult code = HresultFromErrno(error);
        return code == hresult::kOk || code == hresult::kFail ? hresult::kAccessDenied : code;
    }
    // The layer writes by name; the temporary is ours already, created exclusively.
    const int fd = replacement->TakeDescriptor();
#if defined(_WIN32)
    _close(fd);
#else
    close(fd);
#endif
    const Hresult code = layer.SaveMeshToX(replacement->temporary(), *mesh.meshObject, adjacency,
                                           mesh.materialArray, kXFileFormatText);
    if (Failed(code)) {
        return code;  // the replacement removes its temporary
    }
    if (const std::error_code renamed = replacement->Commit()) {
        return HresultFromError(renamed);
    }
    return hresult::kOk;
}

Hresult FillAttributeBuffer(StaticMesh& mesh, const StaticTriangleSet& set, UserInteraction& ui) {
    uint32_t* attributes = nullptr;
    const Hresult code = mesh.meshObject->LockAttributeBuffer(0, &attributes);
    if (Failed(code)) {
        ShowMeshFailure(ui, "Failed to lock attribute buffer for mesh", "Lock Error");
        return code;
    }
    for (size_t i = 0; i < set.triangleMaterials.size(); ++i) {
        attributes[i] = static_cast<uint32_t>(set.triangleMaterials[i]);
    }
    mesh.meshObject->UnlockAttributeBuffer();
    return hresult::kOk;
}

// One material per name with the default colours; false, without a message, when there are
// no names.
bool BuildMaterialArray(StaticMesh& mesh, const StaticTriangleSet& set) {
    if (mesh.attributeGroupCount == 0) {
        return false;
    }
    mesh.materialArray.assign(static_cast<size_t>(mesh.attributeGroupCount), MeshMaterial{});
    for (size_t i = 0; i < mesh.materialArray.size(); ++i) {
        mesh.materialArray[i].textureFile = set.materialNames[i];
    }
    return true;
}

Hresult BuildFromSet(StaticMesh& mesh, MeshLayer& layer, const StaticTriangleSet& set,
                     UserInteraction& ui) {
    const size_t n = set.triangles.size();
    const DeviceResult device = layer.CreateRenderDevice();
    switch (device.status) {
        case DeviceResult::Status::kReady:
            break;
        case DeviceResult::Status::kVersionMismatch:
            ShowMeshFailure(ui, "Invalid DirectX SDK Version", "Version Error");
            return hresult::kFail;
        case DeviceResult::Status::kNoDirect3D:
            ShowMeshFailure(ui, "Direct3DCreate9 failed", "Creation Failure");
            return hresult::kFail;
        case DeviceResult::Status::kNoDevice:
            ShowMeshFailure(ui, HresultName(device.code), "Device Creation Failure");
            return hresult::kFail;
    }
    // Counts beyond 32 bits cannot be created; pass a count that the layer refuses.
    const uint32_t faces = n > 0x55555555u ? 0xFFFFFFFFu : static_cast<uint32_t>(n);
    const uint32_t vertices = n > 0x55555555u ? 0xFFFFFFFFu : static_cast<uint32_t>(3 * n);
    const Hresult created =
        layer.CreateMeshFvf(faces, vertices, kMeshManaged, kStaticMeshFvf, mesh.meshObject);
    layer.ReleaseRenderDevice();
    if (Failed(created) || !mesh.meshObject) {
        Notice notice{NoticeId::kMeshFailure, "Error", std::string(HresultName(created))};
        if (n > kMax16BitVertices / 3) {
            notice.hint = "a static mesh holds at most " + std::to_string(kMax16BitVertices / 3) +
                          " triangles (16-bit indices reach 65,535 vertices) and this one has " +
                          std::to_string(n) +
                          "; split the model, or convert it as a skinned model with toravel "
                          "convert";
        }
        ui.ShowMessage(notice);
        return hresult::kFail;
    }
    MeshObject& object = *mesh.meshObject;

    MeshVertex* vertex = nullptr;
    if (Failed(object.LockVertexBuffer(0, &vertex))) {
        return hresult::kFail;
    }
    for (size_t j = 0; j < n; ++j) {
        const StaticTriangle& t = set.triangles[j];
        for (size_t k = 0; k < 3; ++k) {
            vertex[3 * j + k] = {t.cornerPositions[k].x, t.cornerPositions[k].y,
                                 t.cornerPositions[k].z, t.cornerNormals[k].x,
                                 t.cornerNormals[k].y,   t.cornerNormals[k].z,
                                 t.cornerTexCoords[k].u, t.cornerTexCoords[k].v};
        }
    }
    object.UnlockVertexBuffer();

    uint16_t* index = nullptr;
    if (Failed(object.LockIndexBuffer(0, &index))) {
        return hresult::kFail;
    }
    for (size_t i = 0; i < 3 * n; ++i) {
        index[i] = static_cast<uint16_t>(i);
    }
    object.UnlockIndexBuffer();

    std::vector<uint32_t> adjacency(size_t{object.GetNumFaces()} * 3);
    if (Failed(object.GenerateAdjacency(kAdjacencyEpsilon, adjacency.data()))) {
        ShowMeshFailure(ui, "Failed to generate mesh adjacency", "Load Failure");
        return hresult::kFail;
    }
    mesh.attributeGroupCount = static_cast<int32_t>(set.materialNames.size());
    if (Failed(FillAttributeBuffer(mesh, set, ui)) || !BuildMaterialArray(mesh, set)) {
        return hresult::kFail;
    }
    const Hresult optimized =
        object.OptimizeInplace(kMeshOptAttrSort | kMeshOptVertexCache, adjacency.data());
    if (Failed(optimized)) {
        ShowMeshFailure(ui, HresultDescription(optimized), "OptimizeInplace Error");
    }
    return hresult::kOk;
}

}  // namespace

void ReleaseStaticMesh(StaticMesh& mesh) {
    mesh.meshObject.reset();
    mesh.materialArray.clear();
    mesh.materialArray.shrink_to_fit();
}

Hresult BuildStaticMesh(StaticMesh& mesh, MeshLayer& layer, const std::string& path,
                        UserInteraction& ui) {
    ReleaseStaticMesh(mesh);
    Hresult result = hresult::kFail;
    try {
        std::optional<TextInput> input = TextInput::OpenFile(path);
        if (!input) {
            Notice notice{NoticeId::kOpenFailure, "Load Error", "Invalid filename for SMD load",
                          path};
            notice.place.file = path;
            notice.hint = OpenForReadingProblem(path);
            ui.ShowMessage(notice);
            return hresult::kFail;
        }
        StaticTriangleSet set;
        ReadReport report;
        if (!ParseStaticSmd(*input, set, report)) {
            const ReadFailure& failure = *report.failure();
            ui.ShowMessage(ReadNoticeIn(*failure.message, NoticeId::kReadFailure, path,
                                        failure.position, failure.hint));
            return hresult::kFail;
        }
        result = BuildFromSet(mesh, layer, set, ui);
    } catch (const std::bad_alloc&) {
        // No memory for the triangles, the adjacency or the materials: fails without a message.
        result = hresult::kFail;
    }
    if (Failed(result)) {
        ReleaseStaticMesh(mesh);
    }
    return result;
}

bool LoadStaticMesh(StaticMesh& mesh, MeshLayer& layer, const FileChoice& choice,
                    UserInteraction& ui) {
    mesh.loaded = false;
    mesh.exported = false;
    mesh.filePath.clear();
    mesh.exportPath.clear();
    if (Succeeded(BuildStaticMesh(mesh, layer, choice.path, ui))) {
        mesh.loaded = true;
        mesh.filePath = choice.path;
    }
    ui.RequestRepaint();
    return mesh.loaded;
}

bool LoadStaticMesh(StaticMesh& mesh, MeshLayer& layer, UserInteraction& ui) {
    const std::optional<FileChoice> choice = ui.AskOpenFileName(kSmdOpen);
    if (!choice) {
        ui.RequestRepaint();
        return false;
    }
    return LoadStaticMesh(mesh, layer, *choice, ui);
}

bool ExportStaticMesh(StaticMesh& mesh, MeshLayer& layer, const FileChoice& choice,
                      UserInteraction& ui) {
    if (!mesh.loaded || !mesh.meshObject) {
        ui.ShowMessage({NoticeId::kNothingToExport, "Can't Export", "No file loaded.", {}});
        return false;
    }
    mesh.exported = false;
    mesh.exportPath.clear();
    Hresult code;
    std::string problem;
    try {
        std::vector<uint32_t> adjacency(size_t{mesh.meshObject->GetNumFaces()} * 3);
        mesh.meshObject->GenerateAdjacency(kAdjacencyEpsilon, adjacency.data());
        code = SaveReplacing(layer, mesh, choice.path, adjacency.data(), problem);
    } catch (const std::bad_alloc&) {
        code = hresult::kOutOfMemory;
    }
    if (Failed(code)) {
        Notice notice{NoticeId::kWriteFailure, "Export Failure",
                      std::string(HresultDescription(code)), choice.path};
        notice.place.file = choice.path;
        notice.hint = !problem.empty() ? problem : CreateProblem(choice.path);
        ui.ShowMessage(notice);
    } else {
        mesh.exported = true;
        mesh.exportPath = choice.path;
    }
    ui.RequestRepaint();
    return mesh.exported;
}

bool ExportStaticMesh(StaticMesh& mesh, MeshLayer& layer, UserInteraction& ui) {
    if (!mesh.loaded || !mesh.meshObject) {
        ui.ShowMessage({NoticeId::kNothingToExport, "Can't Export", "No file loaded.", {}});
        return false;
    }
    const std::optional<FileChoice> choice = ui.AskOpenFileName(kXChoice);
    if (!choice) {
        return false;
    }
    return ExportStaticMesh(mesh, layer, *choice, ui);
}

}  // namespace toravel
