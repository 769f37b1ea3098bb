#include "app/workspace.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "support/scene_builders.h"
#include "support/scripted_interaction.h"

namespace toravel {
namespace {

using testing::Nodes;
using testing::ScriptedInteraction;

AnimSet Set(std::string name, const std::vector<std::string>& frames) {
    AnimSet set;
    set.name = std::move(name);
    for (const std::string& frame : frames) {
        NodeAnimation animation;
        animation.name = frame;
        KeyTrack track;
        track.keyType = 4;
        track.keyCount = 1;
        track.keys.resize(1);
        track.keys[0].isMatrix = true;
        track.keys[0].valueCount = 16;
        animation.tracks.push_back(track);
        set.animations.push_back(animation);
    }
    return set;
}

std::vector<std::string> Names(const std::vector<AnimSet>& sets) {
    std::vector<std::string> names;
    for (const AnimSet& set : sets) {
        names.push_back(set.name);
    }
    return names;
}

std::vector<std::string> Names(const NodeList& nodes) {
    std::vector<std::string> names;
    for (const SceneNode& node : nodes) {
        names.push_back(node.name);
    }
    return names;
}

// Replaces the one "%s" of `text` with `name`.
std::string Fill(std::string text, const std::string& name) {
    return text.replace(text.find("%s"), 2, name);
}

// A workspace that has been through a few commands: nodes root/spine/arm, two sets with their
// flags, exported.
Workspace Populated() {
    Workspace ws;
    ws.primaryNodes = Nodes({"root", "spine", "arm"});
    ws.primaryAnimSets = {Set("idle", {"root", "spine"}), Set("wave", {"arm", "hand"})};
    ws.compatibility = {true, false};
    ws.primariesSaved = true;
    ws.primarySource = "hero.smd";
    ws.exportedName = "hero.x";
    return ws;
}

void ExpectSameWorkspace(const Workspace& actual, const Workspace& expected) {
    EXPECT_EQ(Names(actual.primaryNodes), Names(expected.primaryNodes));
    EXPECT_EQ(Names(actual.primaryAnimSets), Names(expected.primaryAnimSets));
    EXPECT_EQ(actual.compatibility, expected.compatibility);
    EXPECT_EQ(actual.primariesSaved, expected.primariesSaved);
    EXPECT_EQ(actual.primarySource, expected.primarySource);
    EXPECT_EQ(actual.exportedName, expected.exportedName);
}

const char* const kClearNodes = "The current primary node set will be cleared.\nContinue?";
const char* const kClearSets = "The current primary animation sets will be cleared.\nContinue?";
const char* const kClearTitle = "Clear Current Data?";
const char* const kSaveNow =
    "The current primary data has not been written to an X file.\nSave It Now?";
const char* const kSaveNowTitle = "Output Current Data?";

void ExpectMissing(ScriptedInteraction& ui, const std::string& frame, bool goOn) {
    ui.ExpectYesNo("Animation exists for " + frame +
                       " - frame not found in Primary Nodes\nContinue with compatibility check?",
                   "Incompatible Animation Set", true, goOn);
}

// Checks the compatibility invariant at every prompt, including the name dialog.
class InvariantCheckingInteraction : public ScriptedInteraction {
  public:
    explicit InvariantCheckingInteraction(const Workspace& ws) : ws_(ws) {}

    bool AskYesNo(const Question& question) override {
        Check();
        return ScriptedInteraction::AskYesNo(question);
    }
    std::optional<std::string> AskAnimSetName(const NamePrompt& prompt) override {
        Check();
        return ScriptedInteraction::AskAnimSetName(prompt);
    }

    int prompts = 0;

  private:
    void Check() {
        ++prompts;
        EXPECT_EQ(ws_.compatibility.size(), ws_.primaryAnimSets.size()) << "at prompt " << prompts;
    }
    const Workspace& ws_;
};

// ---------------------------------------------------------------------------------------
// IsAnimSetNameFree

TEST(IsAnimSetNameFreeTest, ComparesWholeNamesExactly) {
    Workspace ws;
    EXPECT_TRUE(IsAnimSetNameFree(ws, ""));
    ws.primaryAnimSets = {Set("walk", {}), Set("", {})};
    EXPECT_FALSE(IsAnimSetNameFree(ws, "walk"));
    EXPECT_FALSE(IsAnimSetNameFree(ws, ""));
    EXPECT_TRUE(IsAnimSetNameFree(ws, "Walk"));
    EXPECT_TRUE(IsAnimSetNameFree(ws, "wal"));
    EXPECT_TRUE(IsAnimSetNameFree(ws, "walk "));
    EXPECT_TRUE(IsAnimSetNameFree(ws, std::string_view("walk\0", 5)));
}

// ---------------------------------------------------------------------------------------
// SetPrimaryNodes

TEST(SetPrimaryNodesTest, FirstNodesAreTakenWithoutQuestions) {
    Workspace ws;
    ScriptedInteraction ui;
    int saves = 0;
    NodeList reference = Nodes({"root", "spine"});
    SetPrimaryNodes(ws, reference, "hero.smd", ui, [&] { ++saves; });

    EXPECT_EQ(saves, 0);
    EXPECT_EQ(Names(ws.primaryNodes), (std::vector<std::string>{"root", "spine"}));
    EXPECT_EQ(ws.primarySource, "hero.smd");
    EXPECT_FALSE(ws.primariesSaved);
    EXPECT_TRUE(ws.compatibility.empty());

    // A deep copy: the document may be reloaded without touching the primaries.
    reference.clear();
    EXPECT_EQ(ws.primaryNodes.size(), 2u);
}

TEST(SetPrimaryNodesTest, NoToClearKeepsEveryField) {
    for (const bool saved : {true, false}) {
        SCOPED_TRACE(saved);
        Workspace ws = Populated();
        ws.primariesSaved = saved;
        const Workspace before = ws;
        ScriptedInteraction ui;
        ui.ExpectYesNo(kClearNodes, kClearTitle, true, false);
        int saves = 0;
        SetPrimaryNodes(ws, Nodes({"other"}), "other.smd", ui, [&] { ++saves; });
        EXPECT_EQ(saves, 0);
        ExpectSameWorkspace(ws, before);
    }
}

TEST(SetPrimaryNodesTest, ExportedPrimariesAreReplacedWithoutSaveQuestion) {
    Workspace ws = Populated();
    ScriptedInteraction ui;
    ui.ExpectYesNo(kClearNodes, kClearTitle, true, true);
    // "wave" animates "hand", which the new nodes lack too.
    ExpectMissing(ui, "hand", true);
    int saves = 0;
    SetPrimaryNodes(ws, Nodes({"root", "spine", "arm"}), "hero2.smd", ui, [&] { ++saves; });

    EXPECT_EQ(saves, 0);
    EXPECT_FALSE(ws.primariesSaved);
    EXPECT_EQ(ws.primarySource, "hero2.smd");
    EXPECT_EQ(ws.exportedName, "hero.x");  // only an export changes it
}

// "Save It Now?": Yes runs the caller's export on the old primaries before anything changes;
// either answer goes on to replace the nodes.
TEST(SetPrimaryNodesTest, SaveItNowRunsTheExportOfTheOldPrimariesFirst) {
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes);
        Workspace ws = Populated();
        ws.primariesSaved = false;
        ScriptedInteraction ui;
        ui.ExpectYesNo(kClearNodes, kClearTitle, true, true);
        ui.ExpectYesNo(kSaveNow, kSaveNowTitle, true, yes);
        ExpectMissing(ui, "root", true);  // "idle" against the new nodes
        ExpectMissing(ui, "arm", true);   // "wave"
        ExpectMissing(ui, "hand", true);

        int saves = 0;
        std::vector<std::string> nodesAtSave;
        std::string sourceAtSave;
        SetPrimaryNodes(ws, Nodes({"spine"}), "new.x", ui, [&] {
            ++saves;
            nodesAtSave = Names(ws.primaryNodes);
            sourceAtSave = ws.primarySource;
            // What a successful export does to the workspace.
            ws.primariesSaved = true;
            ws.exportedName = "saved.x";
        });

        EXPECT_EQ(saves, yes ? 1 : 0);
        if (yes) {
            EXPECT_EQ(nodesAtSave, (std::vector<std::string>{"root", "spine", "arm"}));
            EXPECT_EQ(sourceAtSave, "hero.smd");
        }
        EXPECT_EQ(Names(ws.primaryNodes), (std::vector<std::string>{"spine"}));
        EXPECT_EQ(ws.primarySource, "new.x");
        EXPECT_FALSE(ws.primariesSaved);  // the new nodes have not been exported
        EXPECT_EQ(ws.exportedName, yes ? "saved.x" : "hero.x");
        EXPECT_EQ(ws.compatibility, (std::vector<bool>{false, false}));
    }
}

TEST(SetPrimaryNodesTest, SaveItNowWithoutSaveActionStillGoesOn) {
    Workspace ws = Populated();
    ws.primariesSaved = false;
    ScriptedInteraction ui;
    ui.ExpectYesNo(kClearNodes, kClearTitle, true, true);
    ui.ExpectYesNo(kSaveNow, kSaveNowTitle, true, true);
    ExpectMissing(ui, "hand", true);
    SetPrimaryNodes(ws, Nodes({"root", "spine", "arm"}), "b.smd", ui, nullptr);
    EXPECT_EQ(ws.primarySource, "b.smd");
}

TEST(SetPrimaryNodesTest, RechecksEverySetAgainstTheNewNodes) {
    Workspace ws = Populated();  // flags {true, false}
    InvariantCheckingInteraction ui(ws);
    ui.ExpectYesNo(kClearNodes, kClearTitle, true, true);
    ExpectMissing(ui, "spine", false);  // "idle": No stops looking, the set is still checked
    SetPrimaryNodes(ws, Nodes({"hand", "arm", "root"}), "arms.smd", ui, {});

    EXPECT_EQ(Names(ws.primaryAnimSets), (std::vector<std::string>{"idle", "wave"}));
    EXPECT_EQ(ws.primaryAnimSets[1].animations.size(), 2u);  // the sets are not touched
    EXPECT_EQ(ws.compatibility, (std::vector<bool>{false, true}));
    EXPECT_EQ(ui.prompts, 2);
}

// ---------------------------------------------------------------------------------------
// The commands on animation sets, for both kinds of source document.

struct KindCase {
    const char* label;
    SourceKind kind;
    const char* setAnyway;
    const char* rename;
    const char* discontinue;
    const char* addAnyway;
};

void PrintTo(const KindCase& c, std::ostream* os) {
    *os << c.label;
}

const KindCase kKindCases[] = {
    {"Smd", SourceKind::kSmd, "Set primary animation sets to SMD animation anyway?",
     "Animation Set with name %s already exists in primary set.\nRename the SMD animation?\n"
     "If NO, additions will not continue.",
     "Discontinue the addition of SMD animation sets?",
     "Add SMD animation %s to primary animation sets anyway?"},
    {"XFile", SourceKind::kXFile, "Set primary animation sets to X File animation(s) anyway?",
     "Animation Set with name %s already exists in primary set.\nRename the X File animation?\n"
     "If NO, additions will not continue.",
     "Discontinue the addition of X File animation sets?",
     "Add X File animation %s to primary animation sets anyway?"},
};

class AnimSetCommandTest : public ::testing::TestWithParam<KindCase> {
  public:
    SourceKind kind() const { return GetParam().kind; }
    void ExpectSetAnyway(ScriptedInteraction& ui, bool yes) const {
        ui.ExpectYesNo(GetParam().setAnyway, "Continue?", false, yes);
    }
    void ExpectRename(ScriptedInteraction& ui, const std::string& name, bool yes) const {
        ui.ExpectYesNo(Fill(GetParam().rename, name), "Rename?", true, yes);
    }
    void ExpectDiscontinue(ScriptedInteraction& ui, bool yes) const {
        ui.ExpectYesNo(GetParam().discontinue, "Discontinue?", false, yes);
    }
    void ExpectAddAnyway(ScriptedInteraction& ui, const std::string& name, bool yes) const {
        ui.ExpectYesNo(Fill(GetParam().addAnyway, name), "Continue?", false, yes);
    }
};

INSTANTIATE_TEST_SUITE_P(Kinds, AnimSetCommandTest, ::testing::ValuesIn(kKindCases),
                         [](const auto& info) { return std::string(info.param.label); });

// --- SetPrimaryAnimSets

TEST_P(AnimSetCommandTest, SetWithEmptySourceDoesNothing) {
    Workspace ws = Populated();
    const Workspace before = ws;
    ScriptedInteraction ui;
    SetPrimaryAnimSets(ws, {}, kind(), ui);
    ExpectSameWorkspace(ws, before);
}

TEST_P(AnimSetCommandTest, SetCompatibleSetsWithoutQuestions) {
    Workspace ws;
    ws.primaryNodes = Nodes({"root", "arm"});
    ws.primariesSaved = true;
    ScriptedInteraction ui;
    // Nothing forbids two sets of one name here.
    SetPrimaryAnimSets(ws, {Set("run", {"root", "arm"}), Set("run", {})}, kind(), ui);
    EXPECT_EQ(Names(ws.primaryAnimSets), (std::vector<std::string>{"run", "run"}));
    EXPECT_EQ(ws.compatibility, (std::vector<bool>{true, true}));
    EXPECT_FALSE(ws.primariesSaved);
    EXPECT_EQ(ws.primaryAnimSets[0].animations.size(), 2u);
}

TEST_P(AnimSetCommandTest, NoToClearSetsKeepsEveryField) {
    Workspace ws = Populated();
    const Workspace before = ws;
    ScriptedInteraction ui;
    ui.ExpectYesNo(kClearSets, kClearTitle, true, false);
    SetPrimaryAnimSets(ws, {Set("run", {"tail"})}, kind(), ui);
    ExpectSameWorkspace(ws, before);
}

TEST_P(AnimSetCommandTest, IncompatibleFirstSetAsksSetAnyway) {
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes);
        Workspace ws = Populated();
        const Workspace before = ws;
        InvariantCheckingInteraction ui(ws);
        ui.ExpectYesNo(kClearSets, kClearTitle, true, true);
        ExpectMissing(ui, "tail", true);
        ExpectSetAnyway(ui, yes);
        SetPrimaryAnimSets(ws, {Set("run", {"root", "tail"})}, kind(), ui);
        if (yes) {
            EXPECT_EQ(Names(ws.primaryAnimSets), (std::vector<std::string>{"run"}));
            EXPECT_EQ(ws.compatibility, (std::vector<bool>{false}));
            EXPECT_FALSE(ws.primariesSaved);
            EXPECT_EQ(ws.primarySource, before.primarySource);
            EXPECT_EQ(ws.exportedName, before.exportedName);
        } else {
            ExpectSameWorkspace(ws, before);
        }
    }
}

TEST_P(AnimSetCommandTest, OnlyTheFirstSetsFailureAsksSetAnyway) {
    Workspace ws = Populated();
    InvariantCheckingInteraction ui(ws);
    ui.ExpectYesNo(kClearSets, kClearTitle, true, true);
    ExpectMissing(ui, "tail", true);   // second set
    ExpectMissing(ui, "wing", false);  // third set; No stops looking, not the command
    SetPrimaryAnimSets(
        ws, {Set("a", {"root"}), Set("b", {"tail", "spine"}), Set("c", {"wing", "horn"})}, kind(),
        ui);
    EXPECT_EQ(Names(ws.primaryAnimSets), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(ws.compatibility, (std::vector<bool>{true, false, false}));
    EXPECT_FALSE(ws.primariesSaved);
}

TEST_P(AnimSetCommandTest, SetAnywayThenChecksTheFurtherSets) {
    Workspace ws;
    ws.primaryNodes = Nodes({"root"});
    InvariantCheckingInteraction ui(ws);
    ExpectMissing(ui, "tail", true);
    ExpectSetAnyway(ui, true);
    ExpectMissing(ui, "wing", true);
    SetPrimaryAnimSets(ws, {Set("a", {"tail"}), Set("b", {"root"}), Set("c", {"wing"})}, kind(),
                       ui);
    EXPECT_EQ(ws.compatibility, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(ws.primaryAnimSets.size(), 3u);
}

// --- AddAnimSets

TEST_P(AnimSetCommandTest, AddAppendsCopiesWithTheirFlags) {
    Workspace ws = Populated();
    InvariantCheckingInteraction ui(ws);
    ExpectMissing(ui, "tail", true);
    ExpectAddAnyway(ui, "swim", true);
    std::vector<AnimSet> source = {Set("run", {"root", "arm"}), Set("swim", {"tail"})};
    AddAnimSets(ws, source, kind(), ui);

    EXPECT_EQ(Names(ws.primaryAnimSets), (std::vector<std::string>{"idle", "wave", "run", "swim"}));
    EXPECT_EQ(ws.compatibility, (std::vector<bool>{true, false, true, false}));
    EXPECT_FALSE(ws.primariesSaved);
    EXPECT_EQ(ws.primarySource, "hero.smd");
    EXPECT_EQ(ws.exportedName, "hero.x");
    source[0].animations.clear();  // copies, not shared
    EXPECT_EQ(ws.primaryAnimSets[2].animations.size(), 2u);
}

TEST_P(AnimSetCommandTest, NoToAddAnywayStopsBeforeTheSet) {
    Workspace ws = Populated();
    const Workspace before = ws;
    InvariantCheckingInteraction ui(ws);
    ExpectMissing(ui, "tail", true);
    ExpectAddAnyway(ui, "swim", false);
    std::vector<AnimSet> source = {Set("swim", {"tail"}), Set("run", {"root"})};
    AddAnimSets(ws, source, kind(), ui);
    ExpectSameWorkspace(ws, before);  // nothing appended: still exported
}

TEST_P(AnimSetCommandTest, RenameLoopUntilTheNameIsFree) {
    Workspace ws = Populated();
    InvariantCheckingInteraction ui(ws);
    ExpectRename(ui, "idle", true);
    ui.ExpectAnimSetName("wave");  // taken too
    ExpectRename(ui, "wave", true);
    ui.ExpectAnimSetName(std::nullopt);  // cancelled
    ExpectDiscontinue(ui, false);
    ExpectRename(ui, "wave", true);  // the same set again
    ui.ExpectAnimSetName("idle2");
    ExpectMissing(ui, "tail", true);
    ExpectAddAnyway(ui, "idle2", true);  // under its new name
    std::vector<AnimSet> source = {Set("idle", {"tail"})};
    AddAnimSets(ws, source, kind(), ui);

    EXPECT_EQ(source[0].name, "idle2");  // the source document's own set is renamed
    EXPECT_EQ(Names(ws.primaryAnimSets), (std::vector<std::string>{"idle", "wave", "idle2"}));
    EXPECT_EQ(ws.compatibility, (std::vector<bool>{true, false, false}));
    EXPECT_FALSE(ws.primariesSaved);
}

// The notice that a set name was fixed for the X file.
void ExpectNameFixed(ScriptedInteraction& ui, const std::string& name, const std::string& fixed) {
    ui.ExpectMessage("The animation set name \"" + name +
                         "\" holds characters that X file names cannot hold; the set is named " +
                         fixed + ".",
                     "Renamed");
}

TEST_P(AnimSetCommandTest, NamesThatXCannotHoldAreFixedWithANoticeBeforeTheyComeIn) {
    // Added: the fixed name may be taken, and a name typed at the rename is fixed too.
    Workspace ws = Populated();
    InvariantCheckingInteraction ui(ws);
    ExpectNameFixed(ui, "idle!", "idle_");
    ExpectNameFixed(ui, "wa ve", "wa_ve");
    ExpectNameFixed(ui, "w.ave", "w_ave");
    ExpectRename(ui, "w_ave", true);
    ui.ExpectAnimSetName("Run Fast");
    ExpectNameFixed(ui, "Run Fast", "Run_Fast");
    std::vector<AnimSet> source = {Set("idle!", {"root"}), Set("wa ve", {"root"}),
                                   Set("w.ave", {"root"})};
    ws.primaryAnimSets[1].name = "w_ave";
    AddAnimSets(ws, source, kind(), ui);
    EXPECT_EQ(Names(ws.primaryAnimSets),
              (std::vector<std::string>{"idle", "w_ave", "idle_", "wa_ve", "Run_Fast"}));

    // Set: the copies are fixed, the source document's sets are not touched.
    ui.ExpectYesNo(kClearSets, kClearTitle, true, true);
    ExpectNameFixed(ui, "2nd walk", "2nd_walk");
    const std::vector<AnimSet> sets = {Set("2nd walk", {"root"}), Set("2ndWalk", {"spine"})};
    SetPrimaryAnimSets(ws, sets, kind(), ui);
    EXPECT_EQ(Names(ws.primaryAnimSets), (std::vector<std::string>{"2nd_walk", "2ndWalk"}));
    EXPECT_EQ(sets[0].name, "2nd walk");
}

TEST_P(AnimSetCommandTest, StoppingAtARenameKeepsTheStateAndTheRename) {
    struct Stop {
        const char* label;
        void (*script)(const AnimSetCommandTest&, ScriptedInteraction&);
        const char* finalName;
    };
    const Stop stops[] = {
        {"NoToRename",
         [](const AnimSetCommandTest& t, ScriptedInteraction& ui) {
             t.ExpectRename(ui, "idle", false);
         },
         "idle"},
        {"Discontinue",
         [](const AnimSetCommandTest& t, ScriptedInteraction& ui) {
             t.ExpectRename(ui, "idle", true);
             ui.ExpectAnimSetName(std::nullopt);
             t.ExpectDiscontinue(ui, true);
         },
         "idle"},
        {"NoAfterRenameToTakenName",
         [](const AnimSetCommandTest& t, ScriptedInteraction& ui) {
             t.ExpectRename(ui, "idle", true);
             ui.ExpectAnimSetName("wave");
             t.ExpectRename(ui, "wave", false);
         },
         "wave"},
    };
    for (const Stop& stop : stops) {
        SCOPED_TRACE(stop.label);
        Workspace ws = Populated();
        const Workspace before = ws;
        ScriptedInteraction ui;
        stop.script(*this, ui);
        std::vector<AnimSet> source = {Set("idle", {"root"}), Set("other", {"root"})};
        AddAnimSets(ws, source, kind(), ui);
        ExpectSameWorkspace(ws, before);  // nothing appended: primariesSaved unchanged
        EXPECT_EQ(source[0].name, stop.finalName);
    }
}

TEST_P(AnimSetCommandTest, NoToRenameForTheThirdOfFourKeepsTheFirstTwo) {
    Workspace ws = Populated();
    InvariantCheckingInteraction ui(ws);
    ExpectMissing(ui, "tail", true);
    ExpectAddAnyway(ui, "b", true);
    ExpectRename(ui, "wave", false);
    std::vector<AnimSet> source = {Set("a", {"root"}), Set("b", {"tail"}), Set("wave", {"root"}),
                                   Set("d", {"root"})};
    AddAnimSets(ws, source, kind(), ui);
    EXPECT_EQ(Names(ws.primaryAnimSets), (std::vector<std::string>{"idle", "wave", "a", "b"}));
    EXPECT_EQ(ws.compatibility, (std::vector<bool>{true, false, true, false}));
    EXPECT_FALSE(ws.primariesSaved);
}

TEST_P(AnimSetCommandTest, EmptyNamesConflict) {
    Workspace ws = Populated();
    ws.primaryAnimSets[1].name = "";
    ScriptedInteraction ui;
    ExpectRename(ui, "", true);  // the empty name inserts nothing
    ui.ExpectAnimSetName("named");
    std::vector<AnimSet> source = {Set("", {"root"})};
    AddAnimSets(ws, source, kind(), ui);
    EXPECT_EQ(Names(ws.primaryAnimSets), (std::vector<std::string>{"idle", "", "named"}));
    EXPECT_EQ(ws.compatibility, (std::vector<bool>{true, false, true}));
}

// Sets of one source conflict with those appended earlier in the same run.
TEST_P(AnimSetCommandTest, LaterSetConflictsWithOneJustAdded) {
    Workspace ws;
    ws.primaryNodes = Nodes({"root"});
    InvariantCheckingInteraction ui(ws);
    ExpectRename(ui, "run", true);
    ui.ExpectAnimSetName("run2");
    std::vector<AnimSet> source = {Set("run", {"root"}), Set("run", {"root"})};
    AddAnimSets(ws, source, kind(), ui);
    EXPECT_EQ(Names(ws.primaryAnimSets), (std::vector<std::string>{"run", "run2"}));
    EXPECT_EQ(ws.compatibility, (std::vector<bool>{true, true}));
    EXPECT_EQ(Names(source), (std::vector<std::string>{"run", "run2"}));
}

}  // namespace
}  // namespace toravel
