#include "app/application.h"

#include "staticmesh/portable_mesh_layer.h"

namespace toravel {

Application::Application(UserInteraction& ui, std::unique_ptr<MeshLayer> meshLayer)
    : ui_(&ui),
      meshLayer_(meshLayer ? std::move(meshLayer) : std::make_unique<PortableMeshLayer>()),
      statusLog_(ui) {}

Application::~Application() {
    ReleaseStaticMesh(staticMesh);
}

std::vector<std::string> Application::LoadedInputs() const {
    std::vector<std::string> paths;
    if (smdReference.loaded) {
        paths.push_back(smdReference.filePath);
    }
    if (smdAnimation.loaded) {
        paths.push_back(smdAnimation.filePath);
    }
    if (xFile.loaded) {
        paths.push_back(xFile.filePath);
    }
    if (staticMesh.loaded) {
        paths.push_back(staticMesh.filePath);
    }
    return paths;
}

bool Application::LoadSmdReference() {
    return Run([&] { toravel::LoadSmdReference(smdReference, *ui_, statusLog_); });
}

bool Application::LoadSmdReferenceFile(const FileChoice& file) {
    bool loaded = false;
    Run([&] {
        loaded = toravel::LoadSmdReferenceFile(smdReference, file, *ui_, statusLog_, readThreads);
    });
    return loaded;
}

bool Application::LoadSmdAnimation() {
    return Run([&] { toravel::LoadSmdAnimation(smdAnimation, *ui_, statusLog_); });
}

bool Application::LoadSmdAnimationFile(const FileChoice& file) {
    bool loaded = false;
    Run([&] { loaded = toravel::LoadSmdAnimationFile(smdAnimation, file, *ui_, statusLog_); });
    return loaded;
}

void Application::SaveBeforeReplacingNodes() {
    lastExportSucceeded =
        ExportPrimaries(workspace, workspace.primaryAnimSets.empty(), *ui_, exportOptions);
}

bool Application::SetPrimaryNodesToSmdReference() {
    return Run([&] {
        SetPrimaryNodes(workspace, smdReference.nodes, smdReference.fileName, *ui_,
                        [&] { SaveBeforeReplacingNodes(); });
    });
}

bool Application::MoveSmdReferenceToPrimaryNodes() {
    return Run([&] {
        SetPrimaryNodes(workspace, std::move(smdReference.nodes), smdReference.fileName, *ui_,
                        [&] { SaveBeforeReplacingNodes(); });
        smdReference.nodes.clear();
    });
}

bool Application::SetPrimaryAnimSetsToSmdAnimation() {
    return Run(
        [&] { SetPrimaryAnimSets(workspace, smdAnimation.animSets, SourceKind::kSmd, *ui_); });
}

bool Application::AddSmdAnimation(SetTransfer transfer) {
    return Run(
        [&] { AddAnimSets(workspace, smdAnimation.animSets, SourceKind::kSmd, *ui_, transfer); });
}

bool Application::Export(bool nonAnimated) {
    return Run([&] {
        lastExportSucceeded = ExportPrimaries(workspace, nonAnimated, *ui_, exportOptions);
    });
}

bool Application::LoadXFile() {
    return Run([&] { toravel::LoadXFile(xFile, *ui_, debugTrace, xReader); });
}

bool Application::LoadXFileFrom(const FileChoice& file) {
    bool loaded = false;
    Run([&] { loaded = toravel::LoadXFileFrom(xFile, file, *ui_, debugTrace, xReader); });
    return loaded;
}

bool Application::SetPrimaryNodesToXFile() {
    return Run([&] {
        SetPrimaryNodes(workspace, xFile.frames, xFile.fileName, *ui_,
                        [&] { SaveBeforeReplacingNodes(); });
    });
}

bool Application::MoveXFileToPrimaryNodes() {
    return Run([&] {
        SetPrimaryNodes(workspace, std::move(xFile.frames), xFile.fileName, *ui_,
                        [&] { SaveBeforeReplacingNodes(); });
        xFile.frames.clear();
    });
}

bool Application::SetPrimaryAnimSetsToXFile() {
    return Run([&] { SetPrimaryAnimSets(workspace, xFile.animSets, SourceKind::kXFile, *ui_); });
}

bool Application::AddXFileAnimations(SetTransfer transfer) {
    return Run([&] { AddAnimSets(workspace, xFile.animSets, SourceKind::kXFile, *ui_, transfer); });
}

bool Application::LoadStaticMesh() {
    return Run([&] { toravel::LoadStaticMesh(staticMesh, *meshLayer_, *ui_); });
}

bool Application::ExportStaticMesh() {
    return Run([&] { toravel::ExportStaticMesh(staticMesh, *meshLayer_, *ui_); });
}

}  // namespace toravel
