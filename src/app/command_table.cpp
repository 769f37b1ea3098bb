#include "app/command_table.h"

#include "app/application.h"
#include "text/text_util.h"

namespace toravel {

namespace {

const Requirement kSmdReference{[](const Application& app) { return app.smdReference.loaded; },
                                "an SMD reference (load-ref)"};
const Requirement kSmdAnimation{
    [](const Application& app) { return !app.smdAnimation.animSets.empty(); },
    "an SMD animation (load-anim)"};
const Requirement kPrimaryNodes{
    [](const Application& app) { return !app.workspace.primaryNodes.empty(); },
    "primary nodes (primary-nodes or primary-x-nodes)"};
const Requirement kPrimarySets{
    [](const Application& app) { return !app.workspace.primaryAnimSets.empty(); },
    "primary animation sets (primary-anims, add-anims, primary-x-anims or add-x-anims)"};
const Requirement kXFrames{[](const Application& app) { return !app.xFile.frames.empty(); },
                           "an X file with frames (load-x)"};
const Requirement kXSets{[](const Application& app) { return !app.xFile.animSets.empty(); },
                         "an X file with animation sets (load-x)"};
const Requirement kStaticMesh{[](const Application& app) { return app.staticMesh.loaded; },
                              "a static mesh (load-static)"};

const std::vector<CommandRow> kCommands = {
    {kCmdLoadSmdReference,
     "Load SMD Reference File",
     "load-ref",
     [](Application& app) { app.LoadSmdReference(); },
     false,
     {}},
    {kCmdSetPrimaryNodesSmd,
     "Set Primary Nodes to SMD reference",
     "primary-nodes",
     [](Application& app) { app.SetPrimaryNodesToSmdReference(); },
     true,
     {kSmdReference}},
    {kCmdLoadSmdAnimation,
     "Load SMD Animation File",
     "load-anim",
     [](Application& app) { app.LoadSmdAnimation(); },
     false,
     {}},
    {kCmdSetPrimaryAnimSetsSmd,
     "Set Primary Animation Sets to SMD Animation",
     "primary-anims",
     [](Application& app) { app.SetPrimaryAnimSetsToSmdAnimation(); },
     true,
     {kSmdAnimation, kPrimaryNodes}},
    {kCmdAddSmdAnimation,
     "Add SMD Animation to Primary Animation Sets",
     "add-anims",
     [](Application& app) { app.AddSmdAnimation(); },
     true,
     {kSmdAnimation, kPrimaryNodes}},
    {kCmdExportNonAnimated,
     "Export Non-Animated X File",
     "export-pose",
     [](Application& app) { app.Export(true); },
     false,
     {kPrimaryNodes}},
    {kCmdExportAnimated,
     "Export Animated X File",
     "export",
     [](Application& app) { app.Export(false); },
     false,
     {kPrimaryNodes, kPrimarySets}},
    {kCmdLoadXFile, "Load X File", "load-x", [](Application& app) { app.LoadXFile(); }, true, {}},
    {kCmdSetPrimaryNodesX,
     "Set Primary Nodes to X File reference",
     "primary-x-nodes",
     [](Application& app) { app.SetPrimaryNodesToXFile(); },
     true,
     {kXFrames}},
    {kCmdSetPrimaryAnimSetsX,
     "Set Primary Animation Sets to X File Animations",
     "primary-x-anims",
     [](Application& app) { app.SetPrimaryAnimSetsToXFile(); },
     true,
     {kXSets, kPrimaryNodes}},
    {kCmdAddXAnimations,
     "Add X File Animations to Primary Animation Sets",
     "add-x-anims",
     [](Application& app) { app.AddXFileAnimations(); },
     true,
     {kXSets, kPrimaryNodes}},
    {kCmdLoadStaticMesh,
     "Load SMD Static Mesh",
     "load-static",
     [](Application& app) { app.LoadStaticMesh(); },
     false,
     {}},
    {kCmdExportStaticMesh,
     "Export Static Mesh",
     "export-static",
     [](Application& app) { app.ExportStaticMesh(); },
     false,
     {kStaticMesh}},
    {kCmdAbout, "&About ...", "about", nullptr, false, {}},
    {kCmdExit, "E&xit", "exit", nullptr, false, {}},
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
    return MissingForCommand(app, commandId).empty();
}

std::string MissingForCommand(const Application& app, int commandId) {
    const CommandRow* row = FindCommand(commandId);
    std::string missing;
    if (row == nullptr) {
        return missing;
    }
    for (const Requirement& need : row->needs) {
        if (!need.met(app)) {
            missing += missing.empty() ? "" : " and ";
            missing += need.what;
        }
    }
    return missing;
}

namespace {

// A menu text as names are compared: without its '&' and in lower case.
std::string MenuName(std::string_view text) {
    std::string name;
    for (char c : text) {
        if (c != '&') {
            name.push_back(c);
        }
    }
    return AsciiLower(name);
}

}  // namespace

const CommandRow* FindCommandByName(std::string_view name) {
    const std::string wanted = MenuName(name);
    for (const CommandRow& row : kCommands) {
        if (wanted == std::to_string(row.id) || wanted == MenuName(row.menuText) ||
            wanted == row.shortName) {
            return &row;
        }
    }
    return nullptr;
}

const std::vector<int>& CommandsWithAvailabilityRules() {
    static const std::vector<int> ids = [] {
        std::vector<int> withRules;
        for (const CommandRow& row : kCommands) {
            if (!row.needs.empty()) {
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
