#include "app/console_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "app/batch_convert.h"
#include "app/console_completion.h"
#include "support/dump_questions.h"
#include "support/smd_fixtures.h"
#include "support/temp_dir.h"

namespace toravel {
namespace {

using testing::kAnimation;
using testing::kReference;
using testing::TempDir;

const std::string kExamples = TORAVEL_EXAMPLES_DIR;

const std::string kSmdOpen = "Open file [SMD Files (*.smd), All files (*.*)] (empty cancels): ";
const std::string kXOpen = "Open file [DirectX X Files (*.x), All files (*.*)] (empty cancels): ";
const std::string kXSave =
    "Save as file [DirectX X Files (*.x), All files (*.*)] (empty cancels): ";
const std::string kNamePrompt = "AnimationSet Name (:cancel cancels): ";
// A new set's prompt offers its file's stem.
std::string NewSetPrompt(const std::string& stem) {
    return "AnimationSet Name [" + stem + "] (:cancel cancels): ";
}
const std::string kYesNo = "Yes or No? (y/n) ";

struct Session {
    int code;
    std::string transcript;
};

Session RunScript(const std::string& script, bool scriptMode = true, bool generalX = false) {
    std::istringstream in(script);
    std::ostringstream out;
    ConsoleOptions options;
    options.script = scriptMode;
    options.generalX = generalX;
    const int code = RunConsoleSession(in, out, options);
    return {code, out.str()};
}

// Fails with the transcript when `text` is missing from it.
void ExpectIn(const Session& session, const std::string& text) {
    EXPECT_NE(session.transcript.find(text), std::string::npos) << "missing:\n"
                                                                << text << "\n--- transcript ---\n"
                                                                << session.transcript;
}

// The transcript from the last status display on (the state the session ended with).
std::string LastStatus(const Session& session) {
    const size_t last = session.transcript.rfind("Primary Reference Nodes:\n");
    return last == std::string::npos ? std::string() : session.transcript.substr(last);
}

// The typical run: load the reference, make it primary, load an animation and name it, add
// it, export everything to `output` (typed without extension).
std::string TypicalRun(const std::string& output) {
    return "Load SMD Reference File\n" + kExamples + "/soldier_reference.smd\n" +
           "32772\n"
           "32773\n" +
           kExamples + "/soldier_walk.smd\nWalk\n" +
           "Add SMD Animation to Primary Animation Sets\n" + "32777\n" + output + "\n";
}

TEST(ConsoleSession, TypicalRunWritesWhatTheBatchConverterWrites) {
    TempDir dir;
    const Session session = RunScript(TypicalRun(dir.File("soldier")) + "Exit\nstatus\n");
    EXPECT_EQ(session.code, 0);

    ExpectIn(session, "toravel> Load SMD Reference File\n" + kSmdOpen + kExamples +
                          "/soldier_reference.smd\nChecking SMD file header..\n");
    ExpectIn(session, "Fixing names..\nReading the mesh..\n");
    ExpectIn(session, "toravel> 32773\n" + kSmdOpen + kExamples + "/soldier_walk.smd\n");
    ExpectIn(session, "Creating animation set..\n" + NewSetPrompt("soldier_walk") + "Walk\n");
    ExpectIn(session, "toravel> 32777\n" + kXSave + dir.File("soldier") + "\n");
    EXPECT_EQ(session.transcript.find("[notice"), std::string::npos) << session.transcript;
    EXPECT_EQ(session.transcript.find("[warning"), std::string::npos) << session.transcript;
    EXPECT_EQ(session.transcript.find("[question"), std::string::npos) << session.transcript;
    // Exit ends the session: the line after it is never read.
    EXPECT_EQ(session.transcript.find("toravel> status"), std::string::npos);
    EXPECT_EQ(session.transcript.substr(session.transcript.size() - 14), "toravel> Exit\n");

    const std::string status = LastStatus(session);
    EXPECT_EQ(status.rfind("Primary Reference Nodes:\n"
                           "  soldier_reference.smd\n"
                           "Primary Animation Sets:\n"
                           "  Walk - compatible\n"
                           "\n"
                           "Save status:\n"
                           "  Current primaries were exported to soldier.x\n"
                           "\n"
                           "SMD Reference Nodes:\n"
                           "  soldier_reference.smd\n"
                           "SMD Animation Sets:\n"
                           "  Walk\n",
                           0),
              0u)
        << status;

    ConvertRequest request;
    request.reference = kExamples + "/soldier_reference.smd";
    request.animations = {{kExamples + "/soldier_walk.smd", "Walk"}};
    request.output = dir.File("converted.x");
    std::ostringstream messages;
    ASSERT_EQ(RunConvert(request, messages), kExitDone) << messages.str();
    const std::string written = TempDir::Read(dir.File("soldier.x"));
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written, TempDir::Read(request.output));
}

TEST(ConsoleSession, XFileQuestionPaths) {
    TempDir dir;
    const std::string x = dir.File("soldier.x");
    const std::string script = TypicalRun(dir.File("soldier")) +
                               // Load the exported file back, without the debug dumps.
                               "Load X File\n" + x + "\nn\nn\n" +
                               // Replace the nodes by the reference again: exported, so only
                               // the clear-nodes question.
                               "32772\ny\n" +
                               // Now unexported: clear the nodes, save them first.
                               "Set Primary Nodes to X File reference\ny\ny\n" + dir.File("saved") +
                               "\n" +
                               // Walk is taken: rename the X set.
                               "Add X File Animations to Primary Animation Sets\ny\nWalkX\n" +
                               // Replace the primary sets by the X file's (renamed) set.
                               "Set Primary Animation Sets to X File Animations\ny\n" + "32777\n" +
                               dir.File("final.x") + "\n";
    const Session session = RunScript(script);
    EXPECT_EQ(session.code, 0);

    ExpectIn(session, "toravel> Load X File\n" + kXOpen + x + "\n[question: Dump?]\n" +
                          testing::DumpTreeText() + "\n" + kYesNo + "n\n[question: Dump?]\n" +
                          testing::QuickDumpText() + "\n" + kYesNo + "n\n");
    ExpectIn(session,
             "toravel> 32772\n[warning: Clear Current Data?]\n"
             "The current primary node set will be cleared.\nContinue?\n" +
                 kYesNo + "y\n\nPrimary Reference Nodes:\n");
    ExpectIn(session,
             "toravel> Set Primary Nodes to X File reference\n"
             "[warning: Clear Current Data?]\n"
             "The current primary node set will be cleared.\nContinue?\n" +
                 kYesNo +
                 "y\n[warning: Output Current Data?]\n"
                 "The current primary data has not been written to an X file.\nSave It Now?\n" +
                 kYesNo + "y\n" + kXSave + dir.File("saved") + "\n\nPrimary Reference Nodes:\n");
    ExpectIn(session,
             "toravel> Add X File Animations to Primary Animation Sets\n[warning: Rename?]\n"
             "Animation Set with name Walk already exists in primary set.\n"
             "Rename the X File animation?\nIf NO, additions will not continue.\n" +
                 kYesNo + "y\n" + kNamePrompt + "WalkX\n\nPrimary Reference Nodes:\n" +
                 "  soldier.x\nPrimary Animation Sets:\n  Walk - compatible\n"
                 "  WalkX - compatible\n");
    ExpectIn(session,
             "toravel> Set Primary Animation Sets to X File Animations\n"
             "[warning: Clear Current Data?]\n"
             "The current primary animation sets will be cleared.\nContinue?\n" +
                 kYesNo + "y\n");

    const std::string status = LastStatus(session);
    EXPECT_EQ(status.rfind("Primary Reference Nodes:\n"
                           "  soldier.x\n"
                           "Primary Animation Sets:\n"
                           "  WalkX - compatible\n"
                           "\n"
                           "Save status:\n"
                           "  Current primaries were exported to final.x\n",
                           0),
              0u)
        << status;
    EXPECT_NE(status.find("X File:\n  soldier.x\nX File Animation Sets:\n  WalkX\n"),
              std::string::npos)
        << status;

    // "Save It Now?" wrote the reference primaries with Walk: the first export again.
    EXPECT_EQ(TempDir::Read(dir.File("saved.x")), TempDir::Read(x));
    const std::string final = TempDir::Read(dir.File("final.x"));
    EXPECT_NE(final.find("\nAnimationSet WalkX {\n"), std::string::npos);
    EXPECT_EQ(final.find("\nAnimationSet Walk {\n"), std::string::npos);
    EXPECT_NE(final.find("Frame Bip01 {"), std::string::npos);
}

TEST(ConsoleSession, UnknownAndUnavailableCommandsGiveOneLine) {
    const Session session = RunScript(
        "frobnicate\n"
        "Export Animated X File\n"
        "32780\n"
        "   \n"
        "load smd reference file\n"
        "\n"
        "E&xit\n"
        "32771\n");
    EXPECT_EQ(session.code, 0);
    const std::string unknown = " (\"menu\" lists the commands, \"help\" shows a short guide)\n";
    ExpectIn(session, "toravel> frobnicate\nUnknown command: frobnicate" + unknown + "toravel> ");
    // What is missing is named with the commands that get it.
    ExpectIn(session,
             "toravel> Export Animated X File\nNot available now: Export Animated X File needs "
             "primary nodes (primary-nodes or primary-x-nodes) and primary animation sets "
             "(primary-anims, add-anims, primary-x-anims or add-x-anims) first\n"
             "toravel> ");
    ExpectIn(session, "toravel> 32780\nUnknown command: 32780" + unknown + "toravel> ");
    // Menu texts are matched without regard to case; the empty answer cancels the dialog.
    ExpectIn(session, "toravel> load smd reference file\n" + kSmdOpen + "\n\n");
    // The menu text with its '&' names the item too, and Exit reads nothing further.
    EXPECT_EQ(session.transcript.substr(session.transcript.size() - 15), "toravel> E&xit\n");
}

TEST(ConsoleSession, MalformedAnswerIsAskedAgain) {
    TempDir dir;
    const std::string ref = dir.Write("ref.smd", kReference);
    const Session session = RunScript("32771\n" + ref + "\n32771\n" + ref + "\nmaybe\n\nN\n");
    EXPECT_EQ(session.code, 0);
    ExpectIn(session,
             "[question: Discard SMD Reference Info]\n"
             "Currently loaded SMD reference information will be lost.\nContinue?\n" +
                 kYesNo + "maybe\nPlease answer y or n.\n" + kYesNo + "\nPlease answer y or n.\n" +
                 kYesNo + "N\n");
    EXPECT_NE(LastStatus(session).find("SMD Reference Nodes:\n  ref.smd\n"), std::string::npos);
}

TEST(ConsoleSession, MissingFileShowsTheOpenFailure) {
    TempDir dir;
    const Session session = RunScript("32771\n" + dir.File("missing.smd") + "\n");
    EXPECT_EQ(session.code, 0);
    // The reason stands under the message.
    ExpectIn(session,
             "[notice: Open Failure]\nFailed to open for input:\nmissing.smd\n  hint: No such "
             "file or directory\n");
    EXPECT_NE(LastStatus(session).find("SMD Reference Nodes:\n  (not loaded)\n"),
              std::string::npos);
}

TEST(ConsoleSession, ScriptEndingMidQuestionFailsNamingThePrompt) {
    TempDir dir;
    const std::string ref = dir.Write("ref.smd", kReference);
    struct Case {
        std::string script;
        std::string lastLine;
    };
    const std::vector<Case> cases{
        {"32771\n",
         "The input ended while waiting for an answer to: Open file [SMD Files (*.smd), All "
         "files (*.*)] (empty cancels):\n"},
        {"32771\n" + ref + "\n32772\n32772\n",
         "The input ended while waiting for an answer to: Clear Current Data? (y/n)\n"},
        {"32773\n" + dir.Write("walk.smd", kAnimation) + "\n",
         "The input ended while waiting for an answer to: AnimationSet Name [walk] (:cancel "
         "cancels):\n"},
    };
    for (const Case& c : cases) {
        const Session session = RunScript(c.script);
        EXPECT_EQ(session.code, 1) << session.transcript;
        ASSERT_GE(session.transcript.size(), c.lastLine.size());
        EXPECT_EQ(session.transcript.substr(session.transcript.size() - c.lastLine.size()),
                  c.lastLine)
            << session.transcript;
    }
    // Between commands the end of the input ends the session normally.
    EXPECT_EQ(RunScript("32771\n" + ref + "\n").code, 0);
}

TEST(ConsoleSession, NamePromptOffersTheStemAndCutsLongNames) {
    TempDir dir;
    const std::string walk = dir.Write("walk.smd", kAnimation);
    // Enter takes the offered stem.
    const Session offered = RunScript("32773\n" + walk + "\n\n");
    ExpectIn(offered, NewSetPrompt("walk") + "\n");
    EXPECT_NE(LastStatus(offered).find("SMD Animation Sets:\n  walk\n\n"), std::string::npos)
        << LastStatus(offered);

    const std::string longName(300, 'n');
    const Session session = RunScript("32773\n" + walk + "\n" + longName + "\n");
    EXPECT_EQ(session.code, 0);
    EXPECT_NE(LastStatus(session).find("SMD Animation Sets:\n  " + std::string(254, 'n') + "\n\n"),
              std::string::npos)
        << LastStatus(session);

    // ":cancel" cancels the dialog, and the load with it.
    const Session cancelled = RunScript("32773\n" + walk + "\n:cancel\n");
    EXPECT_NE(LastStatus(cancelled).find("SMD Animation Sets:\n  (no sets loaded)\n"),
              std::string::npos);
}

TEST(ConsoleSession, SavePromptAppendsTheExtensionToANameWithoutOne) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "v1.2");
    const std::string ref = dir.Write("ref.smd", kReference);
    struct Case {
        std::string typed;
        std::string written;
        std::string fileTitle;
    };
    const std::vector<Case> cases{
        {dir.File("plain"), dir.File("plain.x"), "plain.x"},
        {dir.File("model.txt"), dir.File("model.txt"), "model.txt"},
        {(dir.path() / "v1.2" / "inner").string(), (dir.path() / "v1.2" / "inner.x").string(),
         "inner.x"},
    };
    for (const Case& c : cases) {
        const Session session = RunScript("32771\n" + ref + "\n32772\n32776\n" + c.typed + "\n");
        EXPECT_EQ(session.code, 0);
        EXPECT_TRUE(std::filesystem::exists(c.written)) << c.written;
        EXPECT_NE(
            LastStatus(session).find("  Current primaries were exported to " + c.fileTitle + "\n"),
            std::string::npos)
            << session.transcript;
    }
}

TEST(ConsoleSession, SavePromptRefusesALoadedInputAndAsksAgain) {
    TempDir dir;
    const std::string ref = dir.Write("ref.smd", kReference);
    std::filesystem::create_symlink(ref, dir.File("link.x"));
    const Session session = RunScript("32771\n" + ref + "\n32772\n32776\n" + ref + "\n" +
                                      dir.File("link.x") + "\n" + dir.File("out.x") + "\n");
    EXPECT_EQ(session.code, 0);
    ExpectIn(session, kXSave + ref + "\nThat file is one of the loaded inputs: " + ref + "\n" +
                          kXSave + dir.File("link.x") +
                          "\nThat file is one of the loaded inputs: " + dir.File("link.x") + "\n" +
                          kXSave + dir.File("out.x") + "\n");
    EXPECT_EQ(TempDir::Read(ref), kReference);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.x")));
    EXPECT_TRUE(std::filesystem::exists(dir.File("out.x")));
}

TEST(ConsoleSession, GeneralXMakesLoadXFileReadEveryLayout) {
    TempDir dir;
    const std::string x =
        dir.Write("dxcc.x", "xof 0303txt 0032\nFrame DXCC_ROOT {\nFrame Hip {\n}\n}\n");
    const std::string script = "Load X File\n" + x + "\nn\nn\nstatus\n";
    const Session strict = RunScript(script);
    ExpectIn(strict, "Expected 'Scene_Root' frame. Found DXCC_ROOT");
    const Session general = RunScript(script, true, true);
    ExpectIn(general, "X File:\n  dxcc.x\n");
}

TEST(ConsoleSession, AtATerminalNoticesWaitAndAnswersAreNotEchoed) {
    TempDir dir;
    const Session session = RunScript("32771\n" + dir.File("missing.smd") + "\n\nExit\n", false);
    EXPECT_EQ(session.code, 0);
    ExpectIn(session, kSmdOpen +
                          "[notice: Open Failure]\nFailed to open for input:\nmissing.smd\n"
                          "  hint: No such file or directory\n"
                          "Press Enter to continue. \nPrimary Reference Nodes:\n");
    EXPECT_EQ(session.transcript.find("toravel> 32771"), std::string::npos);
    EXPECT_EQ(session.transcript.substr(session.transcript.size() - 9), "toravel> ");

    // The end of the input closes a notice like Enter; the session ends at the next prompt.
    const Session ended = RunScript("32771\n" + dir.File("missing.smd") + "\n", false);
    EXPECT_EQ(ended.code, 0);
    EXPECT_EQ(ended.transcript.find("The input ended"), std::string::npos) << ended.transcript;
    EXPECT_NE(LastStatus(ended).find("SMD Reference Nodes:\n  (not loaded)\n"), std::string::npos);
}

TEST(ConsoleSession, ColoursFollowTheStatusDisplay) {
    TempDir dir;
    std::istringstream in("32771\n" + dir.Write("ref.smd", kReference) + "\n32772\n");
    std::ostringstream out;
    ConsoleOptions options;
    options.script = true;
    options.colour = true;
    EXPECT_EQ(RunConsoleSession(in, out, options), 0);
    const std::string text = out.str();
    // Headings bold cyan, progress lines grey, values in the default colour, the warning red.
    EXPECT_NE(text.find("\x1b[1;36mPrimary Reference Nodes:\x1b[0m\n  ref.smd\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\x1b[90mReading the mesh..\x1b[0m\n"), std::string::npos) << text;
    EXPECT_NE(text.find("  \x1b[1;31mCurrent primaries have NOT been exported!\x1b[0m\n"),
              std::string::npos)
        << text;
}

TEST(ConsoleSession, ShortNamesHelpAndTheMenuListingThem) {
    TempDir dir;
    const std::string ref = dir.Write("ref.smd", kReference);
    const Session session = RunScript("menu\nhelp\nload-ref\n" + ref + "\nPRIMARY-NODES\nstatus\n");
    EXPECT_EQ(session.code, 0);
    ExpectIn(session, "  32771  Load SMD Reference File  (load-ref)\n");
    ExpectIn(session, "  32777  Export Animated X File  (export)  (unavailable)\n");
    ExpectIn(session, "toravel> help\nA typical session, by short names:\n  load-ref ");
    ExpectIn(session, "toravel> load-ref\n" + kSmdOpen + ref + "\n");
    EXPECT_NE(LastStatus(session).find("Primary Reference Nodes:\n  ref.smd\n"), std::string::npos)
        << LastStatus(session);
}

TEST(ConsoleSession, ExitAsksOnceWhileThePrimariesWereNeverExported) {
    TempDir dir;
    const std::string setUp = "load-ref\n" + dir.Write("ref.smd", kReference) + "\nprimary-nodes\n";
    const std::string question =
        "toravel> exit\n[warning: Exit?]\nThe current primaries have NOT been exported.\nLeave "
        "anyway?\n" +
        kYesNo;
    struct Case {
        std::string answers;
        bool stays;
    };
    for (const Case& c : std::vector<Case>{{"y\n", false}, {"n\nstatus\n", true}, {"", false}}) {
        const Session session = RunScript(setUp + "exit\n" + c.answers);
        // The end of the input at the question leaves, as it does between commands.
        EXPECT_EQ(session.code, 0) << session.transcript;
        ExpectIn(session, question);
        EXPECT_EQ(session.transcript.find("toravel> status") != std::string::npos, c.stays)
            << session.transcript;
    }
    // Nothing to lose: Exit leaves at once.
    const Session empty = RunScript("exit\nstatus\n");
    EXPECT_EQ(empty.transcript.find("Exit?"), std::string::npos);
    EXPECT_EQ(empty.transcript.find("toravel> status"), std::string::npos);
}

TEST(ConsoleSession, RenamePromptOffersNothingAndRefusesAnEmptyName) {
    TempDir dir;
    const std::string walk = dir.Write("walk.smd", kAnimation);
    const Session session =
        RunScript("load-ref\n" + dir.Write("ref.smd", kReference) + "\nprimary-nodes\nload-anim\n" +
                  walk + "\n\nadd-anims\nload-anim\n" + walk + "\ny\n\nadd-anims\ny\n\nrun\n");
    ExpectIn(session, kNamePrompt + "\n[notice: Enter Name]\nEnter a name for the animationset.\n" +
                          kNamePrompt + "run\n");
}

TEST(ConsoleCompletion, CommandNamesAndPaths) {
    EXPECT_EQ(CompleteCommandName("load-"),
              (std::vector<std::string>{"load-anim", "load-ref", "load-static", "load-x"}));
    EXPECT_EQ(CompleteCommandName("st"), (std::vector<std::string>{"status"}));
    EXPECT_TRUE(CompleteCommandName("zz").empty());

    TempDir dir;
    dir.Write("walk.smd", "x");
    dir.Write("walk2.smd", "x");
    dir.Write(".hidden", "x");
    std::filesystem::create_directory(dir.File("anims"));
    const std::string base = dir.File("");
    EXPECT_EQ(CompletePath(base + "wa"),
              (std::vector<std::string>{base + "walk.smd", base + "walk2.smd"}));
    EXPECT_EQ(CompletePath(base + "an"), (std::vector<std::string>{base + "anims/"}));
    EXPECT_EQ(CompletePath(base).size(), 3u) << "hidden entries only when asked for";
    EXPECT_EQ(CompletePath(base + ".h"), (std::vector<std::string>{base + ".hidden"}));
    EXPECT_TRUE(CompletePath(base + "nosuch/x").empty());
}

}  // namespace
}  // namespace toravel
