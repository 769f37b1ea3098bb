#include "app/status_display.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "app/application.h"
#include "support/recording_interaction.h"

namespace toravel {

// Readable failure output for runs.
void PrintTo(const TextRun& run, std::ostream* out) {
    *out << "{x " << run.x << ", y " << run.y << ", rgb(" << int{run.colour.red} << ","
         << int{run.colour.green} << "," << int{run.colour.blue} << "), \"" << run.text << "\"}";
}

namespace {

using testing::RecordingInteraction;

constexpr Colour kGrey{128, 128, 128};
constexpr Colour kBlack{0, 0, 0};
constexpr Colour kRed{196, 64, 64};

TextRun Label(int y, std::string text) {
    return {5, y, kGrey, std::move(text)};
}
TextRun Value(int y, std::string text, Colour colour = kBlack) {
    return {15, y, colour, std::move(text)};
}

AnimSet Set(std::string name) {
    AnimSet set;
    set.name = std::move(name);
    return set;
}

// Runs from `first` on, for the cases that only change the lower part of the display.
std::vector<TextRun> From(const std::vector<TextRun>& runs, size_t first) {
    return {runs.begin() + static_cast<std::ptrdiff_t>(first), runs.end()};
}

class StatusDisplayTest : public ::testing::Test {
  protected:
    RecordingInteraction ui;
    Application app{ui};
};

TEST_F(StatusDisplayTest, NothingLoaded) {
    const std::vector<TextRun> expected{
        Label(5, "Primary Reference Nodes:"),
        Value(23, "(not set)"),
        Label(41, "Primary Animation Sets:"),
        Value(59, "(no sets loaded)"),
        Label(95, "Save status:"),
        Value(113, "---"),
        Label(149, "SMD Reference Nodes:"),
        Value(167, "(not loaded)"),
        Label(185, "SMD Animation Sets:"),
        Value(203, "(no sets loaded)"),
        Label(239, "X File:"),
        Value(257, "(not loaded)"),
        Label(275, "X File Animation Sets:"),
        Value(293, "(no sets loaded)"),
        Label(329, "SMD Static Mesh:"),
        Value(347, "(not loaded)"),
    };
    EXPECT_EQ(PaintStatus(app), expected);
}

TEST_F(StatusDisplayTest, PrimarySetsWithFlagsShiftTheRowsBelow) {
    app.workspace.primarySource = "ref.smd";
    app.workspace.primaryNodes.resize(1);
    app.workspace.primaryAnimSets = {Set(""), Set("Run"), Set("")};
    app.workspace.compatibility = {true, false, false};

    const std::vector<TextRun> runs = PaintStatus(app);
    const std::vector<TextRun> top{
        Label(5, "Primary Reference Nodes:"),
        Value(23, "ref.smd"),
        Label(41, "Primary Animation Sets:"),
        Value(59, "(unnamed) - compatible"),
        Value(77, "Run - NOT COMPATIBLE"),
        Value(95, "(unnamed) - NOT COMPATIBLE"),
        Label(131, "Save status:"),
        Value(149, "Current primaries have NOT been exported!", kRed),
        Label(185, "SMD Reference Nodes:"),
    };
    ASSERT_GE(runs.size(), top.size());
    EXPECT_EQ(std::vector<TextRun>(runs.begin(), runs.begin() + 9), top);
    EXPECT_EQ(runs.back(), Value(383, "(not loaded)"));
}

TEST_F(StatusDisplayTest, SaveStatusRow) {
    struct Case {
        const char* what;
        bool nodes;
        bool sets;
        bool saved;
        TextRun row;
    };
    const std::vector<Case> cases{
        {"nothing", false, false, false, Value(113, "---")},
        {"sets without nodes", false, true, false, Value(113, "---")},
        {"nodes not exported", true, false, false,
         Value(113, "Current primaries have NOT been exported!", kRed)},
        {"nodes and sets not exported", true, true, false,
         Value(113, "Current primaries have NOT been exported!", kRed)},
        {"exported", true, true, true, Value(113, "Current primaries were exported to a.x")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingInteraction caseUi;
        Application caseApp(caseUi);
        if (c.nodes) {
            caseApp.workspace.primaryNodes.resize(2);
            caseApp.workspace.primarySource = "ref.smd";
        }
        if (c.sets) {
            caseApp.workspace.primaryAnimSets = {Set("Walk")};
            caseApp.workspace.compatibility = {true};
        }
        caseApp.workspace.primariesSaved = c.saved;
        caseApp.workspace.exportedName = c.saved ? "a.x" : "";
        const std::vector<TextRun> runs = PaintStatus(caseApp);
        ASSERT_EQ(runs.size(), 16u);
        EXPECT_EQ(runs[4], Label(95, "Save status:"));
        EXPECT_EQ(runs[5], c.row);
    }
}

TEST_F(StatusDisplayTest, LoadedDocumentsShowTheirNamesAndSets) {
    app.smdReference.loaded = true;
    app.smdReference.fileName = "soldier.smd";
    app.smdAnimation.animSets = {Set("Walk")};
    app.xFile.loaded = true;
    app.xFile.fileName = "hero.x";
    app.xFile.animSets = {Set("Idle"), Set(""), Set("Jump")};

    const std::vector<TextRun> expected{
        Label(149, "SMD Reference Nodes:"),
        Value(167, "soldier.smd"),
        Label(185, "SMD Animation Sets:"),
        Value(203, "Walk"),
        Label(239, "X File:"),
        Value(257, "hero.x"),
        Label(275, "X File Animation Sets:"),
        Value(293, "Idle"),
        Value(311, "(unnamed)"),
        Value(329, "Jump"),
        Label(365, "SMD Static Mesh:"),
        Value(383, "(not loaded)"),
    };
    EXPECT_EQ(From(PaintStatus(app), 6), expected);

    // A name without the loaded flag is not shown.
    app.smdReference.loaded = false;
    app.xFile.loaded = false;
    const std::vector<TextRun> runs = PaintStatus(app);
    EXPECT_EQ(runs[7], Value(167, "(not loaded)"));
    EXPECT_EQ(runs[11], Value(257, "(not loaded)"));
}

TEST_F(StatusDisplayTest, StatusLogReplacesTheSummary) {
    app.workspace.primaryNodes.resize(1);
    app.workspace.primarySource = "ref.smd";
    app.statusLog().AddStatusLine("Checking SMD file header..");
    app.statusLog().AddStatusLine("Loading nodes..");
    const std::vector<TextRun> log{Label(5, "Checking SMD file header.."),
                                   Label(23, "Loading nodes..")};
    EXPECT_EQ(PaintStatus(app), log);

    app.statusLog().ClearStatusLog();
    const std::vector<TextRun> runs = PaintStatus(app);
    ASSERT_EQ(runs.size(), 16u);
    EXPECT_EQ(runs[1], Value(23, "ref.smd"));
}

TEST_F(StatusDisplayTest, StaticMeshRows) {
    app.staticMesh.loaded = true;
    app.staticMesh.filePath = "/models/crate.smd";
    app.staticMesh.attributeGroupCount = 3;
    const std::vector<TextRun> loaded{
        Label(329, "SMD Static Mesh:"),
        Value(347, "/models/crate.smd"),
        Label(365, "Number of Attribute Groups: "),
        Value(383, "3"),
    };
    EXPECT_EQ(From(PaintStatus(app), 14), loaded);

    app.staticMesh.exported = true;
    app.staticMesh.exportPath = "/models/crate.x";
    std::vector<TextRun> exported = loaded;
    exported.push_back(Label(401, "Exported to: "));
    exported.push_back(Value(419, "/models/crate.x"));
    EXPECT_EQ(From(PaintStatus(app), 14), exported);

    app.staticMesh.attributeGroupCount = -1;
    EXPECT_EQ(PaintStatus(app)[17], Value(383, "-1"));
}

}  // namespace
}  // namespace toravel
