#include "app/command_table.h"

#include "app/application.h"

namespace toravel {

namespace {

bool HasPrimaryNodes(const Application& app) {
    return !app.workspace.primaryNodes.empty();
}

const std::vector<CommandRow> kCommands = {
    {kCmdLoadSmdReference, "Load SMD Reference File", "load-ref",
     [](Application& app) { app.LoadSmdReference(); }, false, nullptr},
    {kCmdSetPrimaryNodesSmd, "Set Primary Nodes to SMD reference", "primary-nodes",
     [](Application& app) { app.SetPrimaryNodesToSmdReference(); }, true,
     [](const Application& app) { return app.smdReference.loaded; }},
    {kCmdLoadSmdAnimation, "Load SMD Animation File", "load-anim",
     [](Application& app) { app.LoadSmdAnimation(); }, false, nullptr},
    {kCmdSetPrimaryAnimSetsSmd, "Set Primary Animation Sets to SMD Animation", "primary-anims",
     [](Application& app) { app.SetPrimaryAnimSetsToSmdAnimation(); }, true,
     [](const Application& app) {
         return !app.smdAnimation.animSets.empty() && HasPrimaryNodes(app);
     }},
    {kCmdAddSmdAnimation, "Add SMD Animation to Primary Animation Sets", "add-anim",
     [](Application& app) { app.AddSmdAnimation(); }, true,
     [](const Application& app) {
         return !app.smdAnimation.animSets.empty() && HasPrimaryNodes(app);
     }},
    {kCmdExportNonAnimated, "Export Non-Animated X File", "export-pose",
     [](Application& app) { app.Export(true); }, false, HasPrimaryNodes},
    {kCmdExportAnimated, "Export Animated X File", "export",
     [](Application& app) { app.Export(false); }, false,
     [](const Application& app) {
         return HasPrimaryNodes(app) && !app.workspace.primaryAnimSets.empty();
     }},
    {kCmdLoadXFile, "Load X File", "load-x", [](Application& app) { app.LoadXFile(); }, true,
     nullptr},
    {kCmdSetPrimaryNodesX, "Set Primary Nodes to X File reference", "primary-x-nodes",
     [](Application& app) { app.SetPrimaryNodesToXFile(); }, true,
     [](const Application& app) { return !app.xFile.frames.empty(); }},
    {kCmdSetPrimaryAnimSetsX, "Set Primary Animation Sets to X File Animations", "primary-x-anims",
     [](Application& app) { app.SetPrimaryAnimSetsToXFile(); }, true,
     [](const Application& app) { return !app.xFile.animSets.empty() && HasPrimaryNodes(app); }},
    {kCmdAddXAnimations, "Add X File Animations to Primary Animation Sets", "add-x-anims",
     [](Application& app) { app.AddXFileAnimations(); }, true,
     [](const Application& app) { return !app.xFile.animSets.empty() && HasPrimaryNodes(app); }},
    {kCmdLoadStaticMesh, "Load SMD Static Mesh", "load-static",
     [](Application& app) { app.LoadStaticMesh(); }, false, nullptr},
    {kCmdExportStaticMesh, "Export Static Mesh", "export-static",
     [](Application& app) { app.ExportStaticMesh(); }, false,
     [](const Application& app) { return app.staticMesh.loaded; }},
    {kCmdAbout, "&About ...", "about", nullptr, false, nullptr},
    {kCmdExit, "E&xit", "exit", nullptr, false, nullptr},
};

// Where each command's item stands in the menu; 0 is a separator.
struct MenuLayout {
    std::string_view title;
    std::vector<int> ids;
};

const std::vector<MenuLayout> kLayout = {
    {"&File", {kCmdExit}},
    {"Primary",
     {kCmdSetPrimaryNodesSmd, kCmdSetPrimaryAnimSetsSmd, kCmdAddSmdAnimation, 0,
      kCmdSetPrimaryNodesX, kCmdSetPrimaryAnimSetsX, kCmdAddXAnimations, 0, kCmdExportNonAnimated,
      kCmdExportAnimated, 0, kCmdExportStaticMesh}},
    {"SMD Files", {kCmdLoadSmdReference, kCmdLoadSmdAnimation, 0, kCmdLoadStaticMesh}},
    {"X Files", {kCmdLoadXFile}},
    {"&Help", {kCmdAbout}},
};

}  // namespace

const std::vector<CommandRow>& CommandTable() {
    return kCommands;
}

const CommandRow* FindCommand(int commandId) {
    for (const CommandRow& row : kCommands) {
        if (row.id == commandId) {
            return &row;
        }
    }
    return nullptr;
}

bool DispatchCommand(Application& app, int commandId, MenuStates* menu) {
    const CommandRow* row = FindCommand(commandId);
    if (app.busy() || row == nullptr || row->run == nullptr) {
        return false;
    }
    row->run(app);
    if (row->repaint) {
        app.ui().RequestRepaint();
    }
    if (menu != nullptr) {
        UpdateMenuStates(app, *menu);
    }
    return true;
}

bool IsCommandAvailable(const Application& app, int commandId) {
    const CommandRow* row = FindCommand(commandId);
    return row == nullptr || row->available == nullptr || row->available(app);
}

const std::vector<int>& CommandsWithAvailabilityRules() {
    static const std::vector<int> ids = [] {
        std::vector<int> withRules;
        for (const CommandRow& row : kCommands) {
            if (row.available != nullptr) {
                withRules.push_back(row.id);
            }
        }
        return withRules;
    }();
    return ids;
}

void UpdateMenuStates(const Application& app, MenuStates& menu) {
    for (int id : CommandsWithAvailabilityRules()) {
        menu.SetItemEnabled(id, IsCommandAvailable(app, id));
    }
}

const std::vector<Menu>& MenuTree() {
    static const std::vector<Menu> tree = [] {
        std::vector<Menu> menus;
        for (const MenuLayout& layout : kLayout) {
            Menu& menu = menus.emplace_back(Menu{layout.title, {}});
            for (int id : layout.ids) {
                menu.items.push_back(
                    {id, id == 0 ? std::string_view() : FindCommand(id)->menuText});
            }
        }
        return menus;
    }();
    return tree;
}

}  // namespace toravel
