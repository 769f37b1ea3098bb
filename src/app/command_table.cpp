#include "app/command_table.h"

#include "app/application.h"

namespace toravel {

bool DispatchCommand(Application& app, int commandId, MenuStates* menu) {
    if (app.busy()) {
        return false;
    }
    bool repaint = true;
    switch (commandId) {
        case kCmdLoadSmdReference:
            app.LoadSmdReference();
            repaint = false;
            break;
        case kCmdSetPrimaryNodesSmd:
            app.SetPrimaryNodesToSmdReference();
            break;
        case kCmdLoadSmdAnimation:
            app.LoadSmdAnimation();
            repaint = false;
            break;
        case kCmdSetPrimaryAnimSetsSmd:
            app.SetPrimaryAnimSetsToSmdAnimation();
            break;
        case kCmdAddSmdAnimation:
            app.AddSmdAnimation();
            break;
        case kCmdExportNonAnimated:
            app.Export(true);
            repaint = false;
            break;
        case kCmdExportAnimated:
            app.Export(false);
            repaint = false;
            break;
        case kCmdLoadXFile:
            app.LoadXFile();
            break;
        case kCmdSetPrimaryNodesX:
            app.SetPrimaryNodesToXFile();
            break;
        case kCmdAddXAnimations:
            app.AddXFileAnimations();
            break;
        case kCmdSetPrimaryAnimSetsX:
            app.SetPrimaryAnimSetsToXFile();
            break;
        case kCmdLoadStaticMesh:
            app.LoadStaticMesh();
            repaint = false;
            break;
        case kCmdExportStaticMesh:
            app.ExportStaticMesh();
            repaint = false;
            break;
        default:
            return false;
    }
    if (repaint) {
        app.ui().RequestRepaint();
    }
    if (menu != nullptr) {
        UpdateMenuStates(app, *menu);
    }
    return true;
}

bool IsCommandAvailable(const Application& app, int commandId) {
    const bool primaryNodes = !app.workspace.primaryNodes.empty();
    switch (commandId) {
        case kCmdSetPrimaryNodesSmd:
            return app.smdReference.loaded;
        case kCmdSetPrimaryAnimSetsSmd:
        case kCmdAddSmdAnimation:
            return !app.smdAnimation.animSets.empty() && primaryNodes;
        case kCmdExportNonAnimated:
            return primaryNodes;
        case kCmdExportAnimated:
            return primaryNodes && !app.workspace.primaryAnimSets.empty();
        case kCmdSetPrimaryNodesX:
            return !app.xFile.frames.empty();
        case kCmdSetPrimaryAnimSetsX:
        case kCmdAddXAnimations:
            return !app.xFile.animSets.empty() && primaryNodes;
        case kCmdExportStaticMesh:
            return app.staticMesh.loaded;
        default:
            return true;
    }
}

const std::vector<int>& CommandsWithAvailabilityRules() {
    static const std::vector<int> ids{
        kCmdSetPrimaryNodesSmd,  kCmdSetPrimaryAnimSetsSmd, kCmdAddSmdAnimation,
        kCmdExportNonAnimated,   kCmdExportAnimated,        kCmdSetPrimaryNodesX,
        kCmdSetPrimaryAnimSetsX, kCmdAddXAnimations,        kCmdExportStaticMesh};
    return ids;
}

void UpdateMenuStates(const Application& app, MenuStates& menu) {
    for (int id : CommandsWithAvailabilityRules()) {
        menu.SetItemEnabled(id, IsCommandAvailable(app, id));
    }
}

const std::vector<Menu>& MenuTree() {
    static const std::vector<Menu> tree{
        {"&File", {{kCmdExit, "E&xit"}}},
        {"Primary",
         {{kCmdSetPrimaryNodesSmd, "Set Primary Nodes to SMD reference"},
          {kCmdSetPrimaryAnimSetsSmd, "Set Primary Animation Sets to SMD Animation"},
          {kCmdAddSmdAnimation, "Add SMD Animation to Primary Animation Sets"},
          {0, ""},
          {kCmdSetPrimaryNodesX, "Set Primary Nodes to X File reference"},
          {kCmdSetPrimaryAnimSetsX, "Set Primary Animation Sets to X File Animations"},
          {kCmdAddXAnimations, "Add X File Animations to Primary Animation Sets"},
          {0, ""},
          {kCmdExportNonAnimated, "Export Non-Animated X File"},
          {kCmdExportAnimated, "Export Animated X File"},
          {0, ""},
          {kCmdExportStaticMesh, "Export Static Mesh"}}},
        {"SMD Files",
         {{kCmdLoadSmdReference, "Load SMD Reference File"},
          {kCmdLoadSmdAnimation, "Load SMD Animation File"},
          {0, ""},
          {kCmdLoadStaticMesh, "Load SMD Static Mesh"}}},
        {"X Files", {{kCmdLoadXFile, "Load X File"}}},
        {"&Help", {{kCmdAbout, "&About ..."}}},
    };
    return tree;
}

}  // namespace toravel
