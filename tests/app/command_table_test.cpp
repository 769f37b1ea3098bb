#include "app/command_table.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/application.h"
#include "app/status_display.h"
#include "support/recording_interaction.h"
#include "support/reentrant_interaction.h"
#include "support/scripted_interaction.h"
#include "support/smd_fixtures.h"
#include "support/temp_dir.h"
#include "xfile/xreader_test_util.h"

namespace toravel {
namespace {

using testing::kAnimation;
using testing::kReference;
using testing::RecordingInteraction;
using testing::ScriptedInteraction;
using testing::TempDir;

// Every call that UpdateMenuStates makes, in order, and the state each item was left in.
class RecordingMenu : public MenuStates {
  public:
    void SetItemEnabled(int commandId, bool enabled) override {
        calls.emplace_back(commandId, enabled);
        state[commandId] = enabled;
    }
    std::vector<std::pair<int, bool>> calls;
    std::map<int, bool> state;
};

std::map<int, bool> MenuState(const Application& app) {
    RecordingMenu menu;
    UpdateMenuStates(app, menu);
    return menu.state;
}

// The ids of the menu tree (separators left out).
std::vector<int> MenuIds() {
    std::vector<int> ids;
    for (const Menu& menu : MenuTree()) {
        for (const MenuItem& item : menu.items) {
            if (item.id != 0) {
                ids.push_back(item.id);
            }
        }
    }
    return ids;
}

TEST(CommandTable, NothingLoadedGreysExactlyTheNineRuleItemsInTableOrder) {
    RecordingInteraction ui;
    Application app(ui);
    RecordingMenu menu;
    UpdateMenuStates(app, menu);

    const std::vector<std::pair<int, bool>> expected{
        {32772, false}, {32774, false}, {32775, false}, {32776, false}, {32777, false},
        {32779, false}, {32782, false}, {32781, false}, {32784, false}};
    EXPECT_EQ(menu.calls, expected);

    // Every item of the menu tree outside the table stays enabled: the loads, About and Exit.
    std::vector<int> alwaysAvailable;
    for (int id : MenuIds()) {
        if (menu.state.count(id) == 0) {
            EXPECT_TRUE(IsCommandAvailable(app, id)) << id;
            alwaysAvailable.push_back(id);
        }
    }
    EXPECT_EQ(alwaysAvailable, (std::vector<int>{105, 32771, 32773, 32783, 32778, 104}));
    EXPECT_EQ(MenuIds().size(), 15u);
}

TEST(CommandTable, AvailabilityFollowsTheTypicalRun) {
    TempDir dir;
    RecordingInteraction ui;
    ui.animSetName = "Walk";
    Application app(ui);

    // An animation loaded before any primary nodes offers nothing yet.
    ASSERT_TRUE(app.LoadSmdAnimationFile({dir.Write("walk.smd", kAnimation), "walk.smd"}));
    EXPECT_FALSE(MenuState(app)[32774]);
    EXPECT_FALSE(MenuState(app)[32775]);

    ASSERT_TRUE(app.LoadSmdReferenceFile({dir.Write("ref.smd", kReference), "ref.smd"}));
    std::map<int, bool> state = MenuState(app);
    EXPECT_TRUE(state[32772]);
    EXPECT_FALSE(state[32774]);
    EXPECT_FALSE(state[32775]);
    EXPECT_FALSE(state[32776]);
    EXPECT_FALSE(state[32777]);

    ASSERT_TRUE(DispatchCommand(app, kCmdSetPrimaryNodesSmd));
    state = MenuState(app);
    EXPECT_TRUE(state[32774]);
    EXPECT_TRUE(state[32775]);
    EXPECT_TRUE(state[32776]) << "the non-animated export needs only the primary nodes";
    EXPECT_FALSE(state[32777]) << "the animated export needs a primary set too";
    EXPECT_FALSE(state[32779]);
    EXPECT_FALSE(state[32781]);
    EXPECT_FALSE(state[32782]);

    ASSERT_TRUE(DispatchCommand(app, kCmdAddSmdAnimation));
    ASSERT_EQ(app.workspace.primaryAnimSets.size(), 1u);
    EXPECT_TRUE(MenuState(app)[32777]);
    EXPECT_TRUE(ui.questions.empty());
}

TEST(CommandTable, ExportAnimatedNeedsNodesAndSets) {
    RecordingInteraction ui;
    Application app(ui);
    app.workspace.primaryAnimSets.resize(1);
    app.workspace.compatibility = {false};
    EXPECT_FALSE(IsCommandAvailable(app, kCmdExportAnimated)) << "sets without nodes";
    EXPECT_FALSE(IsCommandAvailable(app, kCmdExportNonAnimated));
    app.workspace.primaryNodes.resize(1);
    EXPECT_TRUE(IsCommandAvailable(app, kCmdExportAnimated));
    app.workspace.primaryAnimSets.clear();
    app.workspace.compatibility.clear();
    EXPECT_FALSE(IsCommandAvailable(app, kCmdExportAnimated)) << "nodes without sets";
    EXPECT_TRUE(IsCommandAvailable(app, kCmdExportNonAnimated));
}

TEST(CommandTable, LoadedXFileWithoutFramesDoesNotOfferItsNodes) {
    TempDir dir;
    RecordingInteraction ui;
    ui.yes = false;  // no debug dumps
    Application app(ui);
    ASSERT_TRUE(app.LoadXFileFrom(
        {dir.Write("walk.x",
                   testing::XAnimFile("AnimationSet Walk {\n" + testing::kXAnimation + "}\n")),
         "walk.x"}));
    EXPECT_TRUE(MenuState(app)[32779]);
    EXPECT_FALSE(MenuState(app)[32781]) << "no primary nodes yet";

    // A batch run moves the frames into the primaries: the file stays loaded, without frames.
    ASSERT_TRUE(app.MoveXFileToPrimaryNodes());
    ASSERT_TRUE(app.xFile.loaded);
    ASSERT_TRUE(app.xFile.frames.empty());
    const std::map<int, bool> state = MenuState(app);
    EXPECT_FALSE(state.at(32779));
    EXPECT_TRUE(state.at(32781));
    EXPECT_TRUE(state.at(32782));

    // The same holds for a document set up by hand.
    Application other(ui);
    other.xFile.loaded = true;
    other.xFile.fileName = "empty.x";
    EXPECT_FALSE(IsCommandAvailable(other, kCmdSetPrimaryNodesX));
}

TEST(CommandTable, StaticMeshExportNeedsALoadedMesh) {
    RecordingInteraction ui;
    Application app(ui);
    EXPECT_FALSE(IsCommandAvailable(app, kCmdExportStaticMesh));
    app.staticMesh.loaded = true;
    EXPECT_TRUE(IsCommandAvailable(app, kCmdExportStaticMesh));
}

TEST(CommandTable, UnknownIdsAreNotHandledAndChangeNothing) {
    TempDir dir;
    ScriptedInteraction ui;
    Application app(ui);
    app.workspace.primaryNodes.resize(1);
    app.workspace.primarySource = "ref.smd";
    const std::vector<TextRun> before = PaintStatus(app);

    // About and Exit belong to the front end; 32780 is the gap in the table.
    for (int id : {0, -1, 1, 104, 105, 32770, 32780, 32785, 40000}) {
        RecordingMenu menu;
        EXPECT_FALSE(DispatchCommand(app, id, &menu)) << id;
        EXPECT_TRUE(menu.calls.empty()) << "menu states recomputed for " << id;
    }
    EXPECT_EQ(ui.repaints, 0);
    EXPECT_EQ(PaintStatus(app), before);
    EXPECT_FALSE(app.busy());
}

// One command with the prompts it meets when every dialog is cancelled, and how many repaints
// the whole dispatch requests: the loads and exports request their own, the table adds one
// where its "Afterwards" column says repaint.
struct AfterwardsCase {
    int id;
    bool withPrimaryNodes;
    std::function<void(ScriptedInteraction&)> prompts;
    int repaints;
};

void CancelOpen(ScriptedInteraction& ui) {
    ui.ExpectOpenFile(std::nullopt);
}
void CancelSave(ScriptedInteraction& ui) {
    ui.ExpectSaveFile(std::nullopt);
}
void NoPrompts(ScriptedInteraction&) {}

TEST(CommandTable, RepaintAfterwardsOnlyWhereTheTableSaysSo) {
    const std::vector<AfterwardsCase> cases{
        {32771, false, CancelOpen, 1},  // the load's own repaint only
        {32772, false, NoPrompts, 1},
        {32773, false, CancelOpen, 1},
        {32774, true, NoPrompts, 1},
        {32775, true, NoPrompts, 1},
        {32776, true, CancelSave, 1},  // the export's own repaint only
        {32777, true,
         [](ScriptedInteraction& ui) {
             ui.ExpectYesNo("No animation sets will be included in the file.\nContinue?",
                            "Continue?", true, true);
             CancelSave(ui);
         },
         1},
        {32778, false, CancelOpen, 2},  // the load's own and the table's
        {32779, false, NoPrompts, 1},
        {32781, true, NoPrompts, 1},
        {32782, true, NoPrompts, 1},
        {32783, false, CancelOpen, 1},
        {32784, false,
         [](ScriptedInteraction& ui) { ui.ExpectMessage("No file loaded.", "Can't Export"); }, 0},
    };
    for (const AfterwardsCase& c : cases) {
        SCOPED_TRACE(c.id);
        ScriptedInteraction ui;
        Application app(ui);
        if (c.withPrimaryNodes) {
            app.workspace.primaryNodes.resize(1);
            app.workspace.primaryNodes[0].name = "root";
        }
        c.prompts(ui);
        RecordingMenu menu;
        EXPECT_TRUE(DispatchCommand(app, c.id, &menu));
        EXPECT_EQ(ui.repaints, c.repaints);
        EXPECT_EQ(menu.calls.size(), 9u) << "menu states recomputed after every command";
        ui.ExpectDone();
    }
}

TEST(CommandTable, NoCommandStartsWhileAnotherWaitsForAnAnswer) {
    TempDir dir;
    testing::Reentrant<RecordingInteraction> ui;
    Application app(ui);
    ASSERT_TRUE(app.LoadSmdReferenceFile({dir.Write("ref.smd", kReference), "ref.smd"}));
    ASSERT_TRUE(DispatchCommand(app, kCmdSetPrimaryNodesSmd));
    app.workspace.primariesSaved = true;
    app.workspace.exportedName = "old.x";

    std::vector<bool> nested;
    std::vector<size_t> nestedMenuCalls;
    ui.duringQuestion = [&] {
        for (int id :
             {kCmdSetPrimaryNodesSmd, kCmdExportNonAnimated, kCmdLoadSmdReference, kCmdLoadXFile}) {
            RecordingMenu menu;
            nested.push_back(DispatchCommand(app, id, &menu));
            nestedMenuCalls.push_back(menu.calls.size());
        }
        EXPECT_TRUE(app.busy());
    };
    ASSERT_TRUE(DispatchCommand(app, kCmdSetPrimaryNodesSmd));

    EXPECT_EQ(ui.questions,
              std::vector<std::string>{"The current primary node set will be cleared.\nContinue?"});
    EXPECT_EQ(nested, std::vector<bool>(4, false));
    EXPECT_EQ(nestedMenuCalls, std::vector<size_t>(4, 0));
    EXPECT_FALSE(app.busy());
    EXPECT_FALSE(app.workspace.primariesSaved) << "the outer command ran to its end";

    // Once the outer command has returned, commands run again.
    ui.duringQuestion = nullptr;
    EXPECT_TRUE(DispatchCommand(app, kCmdSetPrimaryNodesSmd));
    EXPECT_EQ(ui.questions.size(), 3u);  // clear nodes, then "Save It Now?"
}

}  // namespace
}  // namespace toravel
