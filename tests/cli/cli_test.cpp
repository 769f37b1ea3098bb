// The toravel program as a user runs it: exit codes, streams and files.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <cstdio>
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
    EXPECT_EQ(Shell(kToravel).code, 2);
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
    EXPECT_EQ(first.output, "");
    const std::string written = TempDir::Read(out);
    EXPECT_NE(written.find("AnimationSet soldier_walk {"), std::string::npos);

    const Result second = Shell(command);
    EXPECT_EQ(second.code, 1);
    EXPECT_NE(second.output.find("--force"), std::string::npos);
    EXPECT_EQ(Shell(command + " --force").code, 0);
    EXPECT_EQ(TempDir::Read(out), written);
}

TEST(Cli, FullDiskLeavesNoPartialFile) {
    TempDir dir;
    const std::string out = dir.File("big.x");
    // ulimit -f counts blocks of 512 bytes: the example's output is far larger than 4 KiB.
    const Result run = Shell("ulimit -f 8; " + kToravel + " convert -o " + out + " " + kExamples +
                             "/soldier_reference.smd");
    EXPECT_EQ(run.code, 1) << run.output;
    EXPECT_NE(run.output.find("Write Failure: Failed to write output:\n  big.x"), std::string::npos)
        << run.output;
    EXPECT_TRUE(dir.Entries().empty());
}

}  // namespace
