// The application: the long-lived documents, the workspace of primaries and the status log,
// and the commands that a front end runs on them. Front ends (the Windows
// window, the console shell, the batch converter) differ only in their UserInteraction.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/command_guard.h"
#include "app/documents.h"
#include "app/export_command.h"
#include "app/smd_load_commands.h"
#include "app/static_mesh_commands.h"
#include "app/user_interaction.h"
#include "app/workspace.h"
#include "app/x_load_command.h"
#include "staticmesh/mesh_layer.h"

namespace toravel {

class Application {
  public:
    // The static mesh commands use the portable mesh layer unless a front end brings its own.
    explicit Application(UserInteraction& ui, std::unique_ptr<MeshLayer> meshLayer = nullptr);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    UserInteraction& ui() { return *ui_; }

    // The commands. Each returns false when it could not start because another command is
    // still waiting for an answer; otherwise it runs to completion and returns true.
    bool LoadSmdReference();
    bool SetPrimaryNodesToSmdReference();
    // The same command for a batch run that never uses the reference document again: its
    // nodes are moved into the primaries instead of copied.
    bool MoveSmdReferenceToPrimaryNodes();
    bool LoadSmdAnimation();
    bool SetPrimaryAnimSetsToSmdAnimation();
    bool AddSmdAnimation(SetTransfer transfer = SetTransfer::kCopy);
    bool Export(bool nonAnimated);
    bool LoadXFile();
    bool SetPrimaryNodesToXFile();
    bool SetPrimaryAnimSetsToXFile();
    bool AddXFileAnimations(SetTransfer transfer = SetTransfer::kCopy);
    bool LoadStaticMesh();
    bool ExportStaticMesh();

    // The same loads for a file that is already chosen (batch runs). True when it loaded.
    bool LoadSmdReferenceFile(const FileChoice& file);
    bool LoadSmdAnimationFile(const FileChoice& file);
    bool LoadXFileFrom(const FileChoice& file);
    // SetPrimaryNodesToXFile for a batch run: the frames are moved, not copied.
    bool MoveXFileToPrimaryNodes();

    bool busy() const { return guard_.busy(); }

    // The full paths of the files that the loaded documents were read from.
    std::vector<std::string> LoadedInputs() const;

    SmdReference smdReference;
    SmdAnimation smdAnimation;
    XFileReader xFile;
    StaticMesh staticMesh;
    Workspace workspace;
    ExportOptions exportOptions;  // extras for batch exports; the menu export leaves them unset
    unsigned readThreads = 1;     // threads that read the triangles of a large SMD reference
    bool lastExportSucceeded = false;
    DebugTrace debugTrace;  // the X load's trace lines, where the platform has a channel
    // The reader of "Load X File" and of X inputs; the menu's own is the strict one.
    XReaderKind xReader = XReaderKind::kStrict;

    StatusLog& statusLog() { return statusLog_; }
    const StatusLog& statusLog() const { return statusLog_; }

  private:
    // Runs `command` unless another one is waiting for an answer.
    template <typename F>
    bool Run(F&& command) {
        CommandGuard::Scope scope(guard_);
        if (!scope.entered()) {
            return false;
        }
        command();
        return true;
    }
    // The export that "Save It Now?" asks for: animated when there are primary sets.
    void SaveBeforeReplacingNodes();

    UserInteraction* ui_;
    std::unique_ptr<MeshLayer> meshLayer_;
    StatusLog statusLog_;
    CommandGuard guard_;
};

}  // namespace toravel
