// The windowless static mesh export: exit codes, the overwrite rule and the messages.
#include "app/static_export_job.h"

#include <gtest/gtest.h>

#include <sstream>

#include "static_smd_fixtures.h"
#include "support/temp_dir.h"

namespace toravel {
namespace {

using testing::MakeStaticSmd;
using testing::TempDir;

TEST(StaticExportJobTest, WritesTheDefaultOutputBesideTheInput) {
    TempDir dir;
    const std::string in = dir.Write("crate.smd", MakeStaticSmd(4, {"wood.bmp"}));
    std::ostringstream messages;
    EXPECT_EQ(RunStaticExport(in, "", false, messages, true), 0);
    EXPECT_EQ(messages.str(), "");
    std::ostringstream summary;
    EXPECT_EQ(RunStaticExport(in, "", true, summary), 0);
    EXPECT_EQ(summary.str().rfind("toravel: wrote " + dir.File("crate.x") +
                                      ": a static mesh of 4 triangles, 1 material, ",
                                  0),
              0u)
        << summary.str();
    EXPECT_NE(TempDir::Read(dir.File("crate.x")).find("\"wood.bmp\";"), std::string::npos);
}

TEST(StaticExportJobTest, ReplacesAnExistingOutputOnlyWithForce) {
    TempDir dir;
    const std::string in = dir.Write("a.smd", MakeStaticSmd(2, {"t"}));
    const std::string out = dir.Write("a.x", "old");
    std::ostringstream refused;
    EXPECT_EQ(RunStaticExport(in, out, false, refused), 1);
    EXPECT_EQ(refused.str(), "toravel: " + out + ": Overwrite File?: " + out +
                                 " exists.\nhint: use --force to replace it\n");
    EXPECT_EQ(TempDir::Read(out), "old");
    std::ostringstream forced;
    EXPECT_EQ(RunStaticExport(in, out, true, forced), 0);
    EXPECT_EQ(TempDir::Read(out).substr(0, 16), "xof 0303txt 0032");
}

TEST(StaticExportJobTest, FailuresPrintTheirMessage) {
    TempDir dir;
    struct Case {
        std::string in;
        std::string out;
        std::string message;
    };
    const Case cases[] = {
        {dir.File("missing.smd"), dir.File("m.x"),
         "toravel: " + dir.File("missing.smd") +
             ": Load Error: Invalid filename for SMD load\nhint: No such file or directory\n"},
        {dir.path().string(), dir.File("m.x"),
         "toravel: " + dir.path().string() +
             ": Load Error: Invalid filename for SMD load\nhint: it is a folder, not a file\n"},
        {dir.Write("bad.smd", "version 1\n"), dir.File("b.x"),
         "toravel: " + dir.File("bad.smd") + ":1: Load Error: Invalid SMD file format\n"},
        {dir.Write("empty.smd", testing::kStaticSmdHeader + "end\n"), dir.File("e.x"),
         "toravel: " + dir.File("empty.smd") + ": Error: D3DERR_INVALIDCALL\n"},
        {dir.Write("big.smd", MakeStaticSmd(21846, {"t"})), dir.File("big.x"),
         "toravel: " + dir.File("big.smd") +
             ": Error: D3DERR_INVALIDCALL\nhint: a static mesh holds at most 21845 triangles "
             "(16-bit indices reach 65,535 vertices) and this one has 21846; split the model, or "
             "convert it as a skinned model with toravel convert\n"},
        {dir.Write("ok.smd", MakeStaticSmd(1, {"t"})), dir.File("none/o.x"),
         "toravel: " + dir.File("none/o.x") + ": Export Failure: The path cannot be found\nhint: "
             "the folder " + dir.File("none") + " does not exist\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        std::ostringstream messages;
        EXPECT_EQ(RunStaticExport(c.in, c.out, false, messages, true), 1);
        EXPECT_EQ(messages.str(), c.message);
    }
    EXPECT_EQ(dir.Entries(),
              (std::vector<std::string>{"bad.smd", "big.smd", "empty.smd", "ok.smd"}));
}

}  // namespace
}  // namespace toravel
