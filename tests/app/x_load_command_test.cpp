// The "Load X File" command: its dialogs and questions, the discard rule, open failures and
// the two debug dumps.

#include "app/x_load_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/dump_questions.h"
#include "support/scripted_interaction.h"
#include "xfile/x_writer.h"
#include "xfile/xreader_test_util.h"

namespace toravel {
namespace {

using testing::kXAnimation;
using testing::ScriptedInteraction;
using testing::TempDir;
using testing::XFrame;
using testing::XRoot;

const std::string kDumpTree = testing::DumpTreeText();
const std::string kQuickDump = testing::QuickDumpText();

// Scripts the two dump questions of a successful load, both answered No.
void ExpectSuccess(ScriptedInteraction& ui) {
    ui.ExpectYesNo(kDumpTree, "Dump?", false, false);
    ui.ExpectYesNo(kQuickDump, "Dump?", false, false);
}

// Loads `text`, which must load without any other prompt.
XFileReader LoadGood(const std::string& text) {
    TempDir dir;
    ScriptedInteraction ui;
    ExpectSuccess(ui);
    XFileReader doc;
    EXPECT_TRUE(testing::LoadXText(doc, dir, text, ui));
    return doc;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// --- The command ---------------------------------------------------------------------------

TEST(LoadXFile, CancelledDialogChangesNothingAndRepaints) {
    ScriptedInteraction ui;
    ui.ExpectOpenFile(std::nullopt);
    XFileReader doc;
    EXPECT_FALSE(LoadXFile(doc, ui));
    ASSERT_EQ(ui.lastFilter.size(), 2u);
    EXPECT_EQ(ui.lastFilter[0].description, "DirectX X Files (*.x)");
    EXPECT_EQ(ui.lastFilter[0].pattern, "*.x");
    EXPECT_EQ(ui.lastFilter[1].description, "All files (*.*)");
    EXPECT_EQ(ui.lastFilter[1].pattern, "*.*");
    EXPECT_EQ(ui.repaints, 1);
    EXPECT_FALSE(doc.loaded);
}

TEST(LoadXFile, DiscardQuestionGuardsALoadedDocument) {
    TempDir dir;
    const std::string first = dir.Write("first.x", XRoot(XFrame("Bip01")));
    const std::string second = dir.Write("second.x", XRoot(XFrame("Hips") + XFrame("Other")));
    XFileReader doc;
    {
        ScriptedInteraction ui;
        ui.ExpectOpenFile(first);
        ExpectSuccess(ui);
        ASSERT_TRUE(LoadXFile(doc, ui));
        EXPECT_EQ(ui.repaints, 1);
    }
    EXPECT_TRUE(doc.loaded);
    EXPECT_EQ(doc.fileName, "first.x");
    EXPECT_EQ(doc.filePath, first);
    {
        ScriptedInteraction ui;
        ui.ExpectOpenFile(second);
        ui.ExpectYesNo("Currently loaded X file information will be lost.\nContinue?",
                       "Discard X File Info", false, false);
        EXPECT_FALSE(LoadXFile(doc, ui));
    }
    EXPECT_TRUE(doc.loaded);
    EXPECT_EQ(doc.frames.size(), 2u);
    EXPECT_EQ(doc.fileName, "first.x");
    {
        ScriptedInteraction ui;
        ui.ExpectOpenFile(second);
        ui.ExpectYesNo("Currently loaded X file information will be lost.\nContinue?",
                       "Discard X File Info", false, true);
        ExpectSuccess(ui);
        EXPECT_TRUE(LoadXFile(doc, ui));
    }
    EXPECT_EQ(doc.frames.size(), 3u);
    EXPECT_EQ(doc.frames[1].name, "Hips");
    EXPECT_EQ(doc.fileName, "second.x");
}

TEST(LoadXFile, OpenFailureNamesTheFileAndKeepsTheDocument) {
    TempDir dir;
    XFileReader doc;
    {
        ScriptedInteraction ui;
        ui.ExpectMessage("Failed to open for input:\nmissing.x", "Open Failure");
        EXPECT_FALSE(LoadXFileFrom(doc, {dir.File("missing.x"), "missing.x"}, ui));
        EXPECT_EQ(ui.repaints, 1);
    }
    doc = LoadGood(XRoot(XFrame("Bip01")));
    {
        ScriptedInteraction ui;
        ui.ExpectMessage(
            "Failed to open for input:\nmissing.x\nCurrently loaded X file information will be "
            "retained.",
            "Open Failure");
        EXPECT_FALSE(LoadXFileFrom(doc, {dir.File("missing.x"), "missing.x"}, ui));
    }
    EXPECT_TRUE(doc.loaded);
    EXPECT_EQ(doc.frames.size(), 2u);
}

TEST(LoadXFile, DumpsWriteTheListingAndTheFrames) {
    TempDir dir;
    const std::string text =
        XRoot(XFrame("Bip01", XFrame("Pelvis"))) + "\nAnimationSet Walk {\n" + kXAnimation + "}\n";
    const std::string tree = XDumpPath("dump.txt");
    const std::string quick = XDumpPath("dump.x");
    std::error_code ignored;
    std::filesystem::remove(tree, ignored);
    std::filesystem::remove(quick, ignored);

    ScriptedInteraction ui;
    ui.ExpectYesNo(kDumpTree, "Dump?", false, true);
    ui.ExpectYesNo(kQuickDump, "Dump?", false, true);
    XFileReader doc;
    ASSERT_TRUE(testing::LoadXText(doc, dir, text, ui));
    EXPECT_EQ(ReadFile(tree), "0 Scene_Root( -1 )\n  1 Bip01( 0 )\n    2 Pelvis( 1 )\n");
    StringSink frames;
    {
        TextWriter out(frames);
        Message failure;
        WriteSceneFrames(out, doc.frames, failure);
        out.Finish();
    }
    EXPECT_EQ(ReadFile(quick), frames.text);
    EXPECT_EQ(ReadFile(quick).find("AnimationSet"), std::string::npos);
    std::filesystem::remove(tree, ignored);
    std::filesystem::remove(quick, ignored);
}

}  // namespace
}  // namespace toravel
