// The toravel program as a user runs it: exit codes, streams and files.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace {

using toravel::testing::TempDir;

const std::string kToravel = TORAVEL_CLI_PATH;
const std::string kExamples = TORAVEL_EXAMPLES_DIR;

struct Result {
    int code;
    std::string output;  // stdout and stderr together
};

Result Shell(const std::string& command) {
    std::string output;
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, n);
    }
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, output};
}

TEST(Cli, UsageHelpAndVersion) {
    // A missing or unknown command is named, with where to look.
    const Result none = Shell(kToravel);
    EXPECT_EQ(none.code, 2);
    EXPECT_EQ(none.output,
              "toravel: a command is required: convert, info, preview, shell or static\nhint: see "
              "toravel --help\n");
    const Result unknown = Shell(kToravel + " frobnicate");
    EXPECT_EQ(unknown.code, 2);
    EXPECT_EQ(unknown.output, "toravel: unknown command 'frobnicate'\nhint: see toravel --help\n");
    // The overview: one line a command, examples, and no command's paragraphs.
    const Result overview = Shell(kToravel + " --help");
    EXPECT_EQ(overview.code, 0);
    EXPECT_NE(overview.output.find("Usage: toravel [OPTIONS]"), std::string::npos);
    EXPECT_NE(overview.output.find("  info "), std::string::npos);
    EXPECT_NE(overview.output.find("Examples:\n  toravel convert hero.smd walk.smd"),
              std::string::npos)
        << overview.output;
    EXPECT_EQ(overview.output.find("Exit codes"), std::string::npos);
    const Result helpConvert = Shell(kToravel + " help convert");
    EXPECT_EQ(helpConvert.code, 0);
    EXPECT_NE(helpConvert.output.find("Usage: toravel convert"), std::string::npos);
    EXPECT_NE(helpConvert.output.find("X inputs may have any text layout"), std::string::npos);
    EXPECT_EQ(helpConvert.output, Shell(kToravel + " convert --help").output);
    const Result ticks = Shell(kToravel + " convert --ticks-per-second 0 a.smd");
    EXPECT_EQ(ticks.code, 2);
    EXPECT_EQ(ticks.output.rfind("toravel: --ticks-per-second must be a positive integer", 0), 0u)
        << ticks.output;
    EXPECT_EQ(Shell(kToravel + " convert").code, 2);
    EXPECT_EQ(Shell(kToravel + " convert --no-such-option a.smd").code, 2);
    EXPECT_EQ(Shell(kToravel + " convert -n '' a.smd b.smd").code, 2);
    EXPECT_EQ(Shell(kToravel + " convert -n A -n B a.smd b.smd").code, 2);
    const Result help = Shell(kToravel + " convert --help");
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.output.find("--allow-incompatible"), std::string::npos);
    EXPECT_NE(help.output.find("--ticks-per-second"), std::string::npos);
    const Result version = Shell(kToravel + " --version");
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.output.rfind("toravel ", 0), 0u);
}

TEST(Cli, ConvertsTheExampleAndRefusesToOverwrite) {
    TempDir dir;
    const std::string out = dir.File("soldier.x");
    const std::string command = kToravel + " convert -o " + out + " " + kExamples +
                                "/soldier_reference.smd " + kExamples + "/soldier_walk.smd";
    const Result first = Shell(command);
    EXPECT_EQ(first.code, 0) << first.output;
    EXPECT_EQ(
        first.output.rfind("toravel: wrote " + out + ": 15 frames, 11 meshes (704 faces), ", 0), 0u)
        << first.output;
    EXPECT_EQ(Shell(command + " --force -q").output, "");
    const std::string written = TempDir::Read(out);
    EXPECT_NE(written.find("AnimationSet soldier_walk {"), std::string::npos);

    const Result second = Shell(command);
    EXPECT_EQ(second.code, 1);
    EXPECT_NE(second.output.find("--force"), std::string::npos);
    EXPECT_EQ(Shell(command + " --force").code, 0);
    EXPECT_EQ(TempDir::Read(out), written);
}

// Any number of threads writes the bytes of one, from SMD files and from an X file.
TEST(Cli, ConvertWithThreadsWritesTheSameBytes) {
    TempDir dir;
    const std::string inputs = kExamples + "/soldier_reference.smd " + kExamples +
                               "/soldier_walk.smd " + kExamples + "/soldier_wave.smd";
    std::string single;
    for (const char* threads : {"1", "2", "5"}) {
        SCOPED_TRACE(threads);
        const std::string out = dir.File(std::string("t") + threads + ".x");
        const Result run =
            Shell(kToravel + " convert -q --threads " + threads + " -o " + out + " " + inputs);
        ASSERT_EQ(run.code, 0) << run.output;
        const std::string again = dir.File(std::string("again") + threads + ".x");
        ASSERT_EQ(
            Shell(kToravel + " convert -q --threads " + threads + " -o " + again + " " + out).code,
            0);
        const std::string written = TempDir::Read(out) + TempDir::Read(again);
        if (single.empty()) {
            single = written;
        }
        EXPECT_EQ(written, single);
    }
}

// A reference large enough that its triangles are read on threads: the same bytes as on one
// thread, and for a broken copy the same message with the same line.
TEST(Cli, ConvertOfALargeReferenceOnThreadsReadsAsOnOne) {
    TempDir dir;
    std::string text =
        "version 1\nnodes\n0 \"root\" -1\n1 \"arm\" 0\nend\n"
        "skeleton\ntime 0\n0 0 0 0 0 0 0\n1 0 0 5 0 0 0\nend\ntriangles\n";
    for (int t = 0; text.size() < (size_t{5} << 20); ++t) {
        text += t % 3 == 0 ? "skin.bmp\n" : "cloth.tga\n";
        for (int v = 0; v < 3; ++v) {
            text += std::to_string((t + v) % 2) + " " + std::to_string(t % 97) + ".25 " +
                    std::to_string(v) + ".5 -1.125 0 0 1 0.5 0.25 2 0 0.75 1 0.25\n";
        }
    }
    const std::string good = dir.Write("good.smd", text + "end\n");
    std::string brokenText = text;
    const size_t spoiled = brokenText.find("1 ", brokenText.size() * 3 / 4);
    brokenText.replace(spoiled, 1, "x");
    const std::string where =
        ":" + std::to_string(std::count(text.begin(), text.begin() + spoiled, '\n') + 1) +
        ": Invalid File: Unexpected EOF in file.";
    const std::string broken = dir.Write("broken.smd", brokenText + "end\n");
    std::string single;
    std::string singleFailure;
    for (const char* threads : {"1", "2"}) {
        SCOPED_TRACE(threads);
        const std::string out = dir.File(std::string("t") + threads + ".x");
        const Result run =
            Shell(kToravel + " convert -q --threads " + threads + " -o " + out + " " + good);
        ASSERT_EQ(run.code, 0) << run.output;
        const Result failed = Shell(kToravel + " convert -q --threads " + threads + " -o " +
                                    dir.File("no.x") + " " + broken);
        EXPECT_NE(failed.code, 0);
        EXPECT_NE(failed.output.find(where), std::string::npos) << failed.output;
        if (single.empty()) {
            single = TempDir::Read(out);
            singleFailure = failed.output;
        }
        EXPECT_EQ(TempDir::Read(out), single);
        EXPECT_EQ(failed.output, singleFailure);
    }
}

TEST(Cli, NamesMayStandBeforeTheInputs) {
    TempDir dir;
    const std::string out = dir.File("named.x");
    const Result run = Shell(kToravel + " convert -n Walk --name Wave -o " + out + " " + kExamples +
                             "/soldier_reference.smd " + kExamples + "/soldier_walk.smd " +
                             kExamples + "/soldier_wave.smd");
    EXPECT_EQ(run.code, 0) << run.output;
    const std::string written = TempDir::Read(out);
    EXPECT_NE(written.find("AnimationSet Walk {"), std::string::npos);
    EXPECT_NE(written.find("AnimationSet Wave {"), std::string::npos);
}

TEST(Cli, FullDiskLeavesNoPartialFile) {
    TempDir dir;
    const std::string out = dir.File("big.x");
    // ulimit -f counts blocks of 512 bytes: the example's output is far larger than 4 KiB.
    const Result run = Shell("ulimit -f 8; " + kToravel + " convert -o " + out + " " + kExamples +
                             "/soldier_reference.smd");
    EXPECT_EQ(run.code, 1) << run.output;
    EXPECT_NE(run.output.find(": Write Failure: Failed to write output:\n  big.x\nhint: File too "
                              "large\n"),
              std::string::npos)
        << run.output;
    EXPECT_TRUE(dir.Entries().empty());
}

TEST(Cli, ShellRunsAScriptAndFailsOnAnUnansweredPrompt) {
    TempDir dir;
    const std::string script = dir.Write("typical.txt", "Load SMD Reference File\n" + kExamples +
                                                            "/soldier_reference.smd\n"
                                                            "32772\n"
                                                            "32776\n" +
                                                            dir.File("static_pose") + "\nExit\n");
    const Result run = Shell(kToravel + " shell --no-color --script " + script);
    EXPECT_EQ(run.code, 0) << run.output;
    EXPECT_NE(run.output.find("toravel> 32776\nSave as file [DirectX X Files (*.x), All files "
                              "(*.*)] (empty cancels): " +
                              dir.File("static_pose") + "\n"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("  Current primaries were exported to static_pose.x\n"),
              std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find('\x1b'), std::string::npos) << "no colours in a transcript";
    EXPECT_EQ(TempDir::Read(dir.File("static_pose.x")).rfind("xof 0303txt 0032\n", 0), 0u);

    // Standard input that is not a terminal is a script too.
    const Result piped = Shell("printf '32771\\n' | " + kToravel + " shell");
    EXPECT_EQ(piped.code, 1) << piped.output;
    EXPECT_NE(piped.output.find("The input ended while waiting for an answer to: Open file"),
              std::string::npos)
        << piped.output;

    EXPECT_EQ(Shell(kToravel + " shell --script " + dir.File("missing.txt")).code, 2);
}

// A flat quad of two triangles on two textures.
constexpr const char* kStaticSmd = R"(version 1
nodes
0 "root" -1
end
skeleton
time 0
0 0 0 0 0 0 0
end
triangles
wood.bmp
0 0 0 0 0 0 1 0 0
0 1 0 0 0 0 1 1 0
0 0 1 0 0 0 1 0 1
metal.bmp
0 1 0 0 0 0 1 1 0
0 1 1 0 0 0 1 1 1
0 0 1 0 0 0 1 0 1
end
)";

// At a terminal the shell reads through its line editor: `script` gives it one. Tab
// completes a command name, and the lines are kept in the history file.
TEST(Cli, ShellAtATerminalEditsLinesAndKeepsTheirHistory) {
    if (Shell("command -v script").code != 0) {
        GTEST_SKIP() << "script (util-linux) is not installed";
    }
    TempDir dir;
    const Result run =
        Shell("printf 'help\\nprimary-n\\t\\nexit\\n' | XDG_DATA_HOME='" + dir.File("") +
              "' timeout 20 script -qec '" + kToravel + " shell --no-color' /dev/null");
    EXPECT_EQ(run.code, 0) << run.output;
    EXPECT_NE(run.output.find("A typical session, by short names:"), std::string::npos)
        << run.output;
    // The completed name runs its command, which needs the reference first.
    EXPECT_NE(run.output.find("Not available now: Set Primary Nodes to SMD reference needs an "
                              "SMD reference (load-ref) first"),
              std::string::npos)
        << run.output;
    std::string history;
    {
        std::FILE* file = std::fopen(dir.File("toravel/history").c_str(), "r");
        ASSERT_NE(file, nullptr) << "no history file";
        char buffer[4096];
        history.assign(buffer, std::fread(buffer, 1, sizeof buffer, file));
        std::fclose(file);
    }
    EXPECT_NE(history.find("help\nprimary-nodes\nexit\n"), std::string::npos) << history;
}

TEST(Cli, StaticExitCodesAndOverwriteRule) {
    TempDir dir;
    const std::string input = dir.Write("quad.smd", kStaticSmd);
    const Result first = Shell(kToravel + " static -q " + input);
    EXPECT_EQ(first.code, 0) << first.output;
    EXPECT_EQ(first.output, "");
    const std::string written = TempDir::Read(dir.File("quad.x"));
    EXPECT_EQ(written.rfind("xof 0303txt 0032", 0), 0u) << written.substr(0, 40);
    EXPECT_NE(written.find("wood.bmp"), std::string::npos);
    EXPECT_NE(written.find("metal.bmp"), std::string::npos);

    // An existing output stays as it is unless --force is given.
    dir.Write("quad.x", "keep me");
    const Result refused = Shell(kToravel + " static " + input);
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.output.find("--force"), std::string::npos) << refused.output;
    EXPECT_EQ(TempDir::Read(dir.File("quad.x")), "keep me");
    EXPECT_EQ(Shell(kToravel + " static --force " + input).code, 0);
    EXPECT_EQ(TempDir::Read(dir.File("quad.x")), written);

    const std::string other = dir.File("other.x");
    EXPECT_EQ(Shell(kToravel + " static " + input + " -o " + other).code, 0);
    EXPECT_EQ(TempDir::Read(other), written);

    const Result broken = Shell(kToravel + " static " + dir.Write("bad.smd", "version 2\n"));
    EXPECT_EQ(broken.code, 1);
    EXPECT_NE(broken.output.find("Invalid SMD file format"), std::string::npos) << broken.output;
    EXPECT_FALSE(std::filesystem::exists(dir.File("bad.x")));

    EXPECT_EQ(Shell(kToravel + " static").code, 2);
    EXPECT_EQ(Shell(kToravel + " static --no-such-option " + input).code, 2);
}

TEST(Cli, AnOutputThatIsAnInputIsRefusedEvenWithForce) {
    TempDir dir;
    const std::string reference = TempDir::Read(kExamples + "/soldier_reference.smd");
    const std::string animation = TempDir::Read(kExamples + "/soldier_walk.smd");
    dir.Write("ref.smd", reference);
    dir.Write("walk.smd", animation);
    dir.Write("quad.smd", kStaticSmd);
    std::filesystem::create_symlink(dir.File("walk.smd"), dir.File("link.x"));
    const std::string in = "cd " + dir.path().string() + " && " + kToravel;
    struct Case {
        const char* label;
        std::string command;
        std::string input;  // the input that the output names
    };
    const Case cases[] = {
        {"the reference by its name", " convert --force ref.smd -o ref.smd", "ref.smd"},
        {"the reference through ./", " convert --force ref.smd walk.smd -o ./ref.smd", "ref.smd"},
        {"an animation through a link", " convert --force ref.smd walk.smd -o link.x", "walk.smd"},
        {"an animation through its folder",
         " convert --force ref.smd walk.smd -o ../" + dir.path().filename().string() + "/walk.smd",
         "walk.smd"},
        {"the static input", " static --force quad.smd -o ./quad.smd", "quad.smd"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const Result run = Shell(in + c.command);
        EXPECT_EQ(run.code, 2) << run.output;
        EXPECT_NE(run.output.find("Output Is An Input: "), std::string::npos) << run.output;
        EXPECT_NE(run.output.find("is the same file as the input " + c.input), std::string::npos)
            << run.output;
    }
    EXPECT_EQ(TempDir::Read(dir.File("ref.smd")), reference);
    EXPECT_EQ(TempDir::Read(dir.File("walk.smd")), animation);
    EXPECT_EQ(TempDir::Read(dir.File("quad.smd")), kStaticSmd);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.x")));
}

// Outputs that are no regular file are refused whatever --force says; inputs that are no
// regular file are refused at once, never read without end or waited on.
TEST(Cli, FilesThatAreNoRegularFilesAreRefused) {
    TempDir dir;
    dir.Write("quad.smd", kStaticSmd);
    dir.Write("ref.smd", TempDir::Read(kExamples + "/soldier_reference.smd"));
    ASSERT_EQ(mkfifo(dir.File("fifo").c_str(), 0600), 0);
    std::filesystem::create_directories(dir.path() / "folder");
    const std::string in = "cd " + dir.path().string() + " && timeout 20 " + kToravel;
    const struct {
        const char* command;
        const char* hint;
    } cases[] = {
        {" static --force quad.smd -o /dev/null", "hint: it is not a regular file"},
        {" static --force quad.smd -o fifo", "hint: it is not a regular file"},
        {" convert --force ref.smd -o /dev/null", "hint: it is not a regular file"},
        {" convert --force ref.smd -o fifo", "hint: it is not a regular file"},
        {" convert --force ref.smd -o folder", "hint: it is a folder"},
        {" static /dev/zero -o out.x", "hint: it is not a regular file"},
        {" convert fifo -o out.x", "hint: it is not a regular file"},
        {" convert ref.smd /dev/zero -o out.x", "hint: it is not a regular file"},
        {" shell --script /dev/zero", "hint: it is not a regular file"},
        {" shell --script fifo", "hint: it is not a regular file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        const Result run = Shell(in + c.command);
        EXPECT_NE(run.code, 0) << run.output;
        EXPECT_NE(run.code, 124) << "timed out";
        EXPECT_NE(run.output.find(c.hint), std::string::npos) << run.output;
    }
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"fifo", "folder", "quad.smd", "ref.smd"}));
}

// The output's mode survives a replacement; an output that is a link stays a link.
TEST(Cli, ReplacingKeepsTheModeAndTheLink) {
    TempDir dir;
    dir.Write("quad.smd", kStaticSmd);
    ASSERT_EQ(chmod(dir.Write("quad.x", "old").c_str(), 0600), 0);
    std::filesystem::create_directories(dir.path() / "real");
    dir.Write("real/target.x", "old");
    std::filesystem::create_symlink("real/target.x", dir.File("link.x"));
    const std::string in = "cd " + dir.path().string() + " && " + kToravel;
    ASSERT_EQ(Shell(in + " static --force quad.smd").code, 0);
    struct stat info {};
    ASSERT_EQ(stat(dir.File("quad.x").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    const std::string longName = std::string(240, 'q') + ".x";
    const Result linked = Shell(in + " static --force quad.smd -o link.x");
    ASSERT_EQ(linked.code, 0) << linked.output;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.x")));
    EXPECT_EQ(TempDir::Read(dir.File("real/target.x")), TempDir::Read(dir.File("quad.x")));
    const Result lengthy = Shell(in + " static quad.smd -o " + longName);
    EXPECT_EQ(lengthy.code, 0) << lengthy.output;
    EXPECT_EQ(TempDir::Read(dir.File(longName)), TempDir::Read(dir.File("quad.x")));
}

// An X file whose outermost frame is not Scene_Root, as most exporters write it.
constexpr const char* kDxccFile =
    "xof 0303txt 0032\nFrame DXCC_ROOT {\n FrameTransformMatrix { "
    "1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;; }"
    "\n Frame Hip { FrameTransformMatrix { 1,0,0,0,0,1,0,0,0,0,1,0,0,2,0,1;; } }\n}\n";

TEST(Cli, XInputsReadWithTheGeneralReaderUnlessStrict) {
    TempDir dir;
    const std::string in = dir.Write("dxcc.x", kDxccFile);
    const Result general = Shell(kToravel + " convert -o " + dir.File("clean.x") + " " + in);
    EXPECT_EQ(general.code, 0) << general.output;
    const std::string clean = TempDir::Read(dir.File("clean.x"));
    EXPECT_NE(clean.find("Frame Scene_Root {"), std::string::npos);
    EXPECT_NE(clean.find(" Frame DXCC_ROOT {"), std::string::npos);

    const Result strict =
        Shell(kToravel + " convert --strict-x -o " + dir.File("strict.x") + " " + in);
    EXPECT_EQ(strict.code, 1);
    EXPECT_NE(strict.output.find("Expected 'Scene_Root' frame. Found DXCC_ROOT"), std::string::npos)
        << strict.output;
    EXPECT_FALSE(std::filesystem::exists(dir.File("strict.x")));
}

// A model with a value that is not a finite number is refused for conversion, naming the
// value, and nothing is written; `info` still describes it.
TEST(Cli, ValuesThatCannotBeWrittenBackAreRefusedAtLoad) {
    TempDir dir;
    const std::string x = dir.Write(
        "nan.x",
        "xof 0303txt 0032\nFrame Hip {\n FrameTransformMatrix { 1,0,0,0,0,-1.#INF00,0,0,0,0,1,0,"
        "0,0,0,1;; }\n}\n");
    const Result converted = Shell(kToravel + " convert -o " + dir.File("out.x") + " " + x);
    EXPECT_EQ(converted.code, 1) << converted.output;
    EXPECT_NE(
        converted.output.find("A value in the bind pose of node 'Hip' is not a finite number."),
        std::string::npos)
        << converted.output;
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.x")));
    EXPECT_EQ(Shell(kToravel + " info " + x).code, 0);

    // Translations that are finite alone overflow in model space.
    const std::string smd =
        dir.Write("far.smd",
                  "version 1\nnodes\n0 \"root\" -1\n1 \"arm\" 0\nend\nskeleton\ntime 0\n"
                  "0 3e38 0 0 0 0 0\n1 3e38 0 0 0 0 0\nend\ntriangles\nskin.bmp\n"
                  "1 0 0 0 0 0 1 0 0\n1 1 0 0 0 0 1 1 0\n1 0 1 0 0 0 1 0 1\nend\n");
    const Result far = Shell(kToravel + " convert -o " + dir.File("far.x") + " " + smd);
    EXPECT_EQ(far.code, 1) << far.output;
    EXPECT_NE(far.output.find("A value in the bind pose of node 'arm' in model space is not a "
                              "finite number."),
              std::string::npos)
        << far.output;
    EXPECT_FALSE(std::filesystem::exists(dir.File("far.x")));
}

// X strings have no escapes: a texture name with a double quote or a control character is
// written so that the string still ends where it should, and the files read back with both
// X readers, from `convert` and from `static`.
TEST(Cli, TextureNamesWithQuotesReadBack) {
    TempDir dir;
    const std::string smd =
        dir.Write("quote.smd",
                  "version 1\nnodes\n0 \"root\" -1\n1 \"arm\" 0\nend\nskeleton\ntime 0\n"
                  "0 0 0 0 0 0 0\n1 0 0 5 0 0 0\nend\ntriangles\nskin\"it's\"\x01.bmp\n"
                  "1 0 0 0 0 0 1 0 0\n1 1 0 0 0 0 1 1 0\n1 0 1 0 0 0 1 0 1\nend\n");
    const std::string skinned = dir.File("skinned.x");
    const std::string still = dir.File("static.x");
    ASSERT_EQ(Shell(kToravel + " convert -q -o " + skinned + " " + smd).code, 0);
    ASSERT_EQ(Shell(kToravel + " static -q " + smd + " -o " + still).code, 0);
    for (const std::string& x : {skinned, still}) {
        SCOPED_TRACE(x);
        EXPECT_NE(TempDir::Read(x).find("\"skin'it's' .bmp\";"), std::string::npos);
        const Result info = Shell(kToravel + " info " + x);
        EXPECT_EQ(info.code, 0) << info.output;
    }
    const Result strict =
        Shell(kToravel + " convert -q --strict-x -o " + dir.File("again.x") + " " + skinned);
    EXPECT_EQ(strict.code, 0) << strict.output;
    EXPECT_EQ(TempDir::Read(dir.File("again.x")), TempDir::Read(skinned));
}

TEST(Cli, InfoDescribesEachFileAndFailsForOneThatCannotBeRead) {
    TempDir dir;
    const Result walk = Shell(kToravel + " info " + kExamples + "/soldier_walk.smd");
    EXPECT_EQ(walk.code, 0) << walk.output;
    EXPECT_NE(walk.output.find("soldier_walk: 14 frames animated, matrix keys, 336 keys"),
              std::string::npos)
        << walk.output;

    const std::string dxcc = dir.Write("dxcc.x", kDxccFile);
    const Result json = Shell(kToravel + " info --json " + dxcc + " " + dir.File("gone.x"));
    EXPECT_EQ(json.code, 1);
    EXPECT_NE(json.output.find("\"name\": \"DXCC_ROOT\""), std::string::npos) << json.output;
    EXPECT_NE(json.output.find("\"error\": "), std::string::npos) << json.output;

    const Result compatible = Shell(kToravel + " info --reference " + kExamples +
                                    "/soldier_reference.smd " + kExamples + "/soldier_wave.smd");
    EXPECT_EQ(compatible.code, 0) << compatible.output;
    EXPECT_NE(compatible.output.find("compatible with "), std::string::npos) << compatible.output;
    EXPECT_EQ(Shell(kToravel + " info").code, 2);
}

TEST(Cli, PreviewWritesTheWalkAsAContactSheet) {
    TempDir dir;
    const std::string out = dir.File("walk.png");
    const Result made =
        Shell(kToravel + " preview " + kExamples + "/soldier_reference.smd " + kExamples +
              "/soldier_walk.smd --frames all-8 --bones --size 160x120 -o " + out);
    EXPECT_EQ(made.code, 0) << made.output;
    EXPECT_NE(
        made.output.find("toravel: wrote " + out + ": 8 frames of soldier_walk, 646x242 pixels"),
        std::string::npos)
        << made.output;
    EXPECT_EQ(TempDir::Read(out).substr(0, 8), "\x89PNG\r\n\x1a\n");
    // The options are checked before anything is read.
    for (const char* bad : {"--view sideways", "--size 800", "--size 0x600", "--size 9000x600"}) {
        const Result refused = Shell(kToravel + " preview " + kExamples +
                                     "/soldier_reference.smd -o " + dir.File("x.png") + " " + bad);
        EXPECT_EQ(refused.code, 2) << bad;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.png")));
    const Result help = Shell(kToravel + " help preview");
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.output.find("Usage: toravel preview"), std::string::npos);
}

}  // namespace
