// The static SMD reader: its line-based format checks, texture names and corner conversion.
#include "staticmesh/static_smd_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "static_smd_fixtures.h"
#include "support/read_expectations.h"

namespace toravel {
namespace {

using testing::kStaticSmdHeader;
using testing::FailureOf;

const std::string kCorners =
    "0 0 0 0 0 0 1 0 0\n"
    "0 1 0 0 0 0 1 1 0\n"
    "0 0 1 0 0 0 1 0 1\n";

struct ReaderCase {
    const char* name;
    std::string text;
    bool valid;
    std::vector<std::string> materialNames;  // when valid
    std::vector<int32_t> triangleMaterials;  // when valid
};

std::vector<ReaderCase> ReaderCases() {
    const std::string line1022(1022, 'a');
    const std::string line1023(1023, 'a');
    const std::string after = "0 \"root\" -1\nend\nskeleton\ntime 0\nend\ntriangles\n";
    const std::string afterNodes = "end\nskeleton\ntime 0\nend\ntriangles\n";
    return {
        {"two textures",
         kStaticSmdHeader + "a.bmp\n" + kCorners + "b.bmp\n" + kCorners + "end\n",
         true,
         {"a.bmp", "b.bmp"},
         {0, 1}},
        {"same texture twice",
         kStaticSmdHeader + "a.bmp\n" + kCorners + "a.bmp\n" + kCorners + "end\n",
         true,
         {"a.bmp"},
         {0, 0}},
        {"names differing in case",
         kStaticSmdHeader + "Skin.bmp\n" + kCorners + "skin.bmp\n" + kCorners + "end\n",
         true,
         {"Skin.bmp", "skin.bmp"},
         {0, 1}},
        {"name with blanks inside kept whole, around it dropped",
         kStaticSmdHeader + " my skin.bmp \n" + kCorners + "end\n",
         true,
         {"my skin.bmp"},
         {0}},
        {"empty triangles section", kStaticSmdHeader + "end\n", true, {}, {}},
        {"CR LF line ends",
         "version 1\r\nnodes\r\nend\r\nskeleton\r\nend\r\ntriangles\r\nt\r\n" + kCorners +
             "end\r\n",
         true,
         {"t"},
         {0}},
        {"final end without line feed",
         kStaticSmdHeader + "t\n" + kCorners + "end",
         true,
         {"t"},
         {0}},
        {"anything after the final end",
         kStaticSmdHeader + "t\n" + kCorners + "end\n" + line1023 + "\nnonsense\n",
         true,
         {"t"},
         {0}},
        {"empty line inside nodes", "version 1\nnodes\n\n" + after + "end\n", true, {}, {}},
        {"1022-character node line",
         "version 1\nnodes\n0 \"" + std::string(1015, 'n') + "\" -1\n" + afterNodes + "end\n",
         true,
         {},
         {}},
        {"decompiled shape: comment first, blank lines, indented time and end",
         "// decompiled\n\nversion 1\n\nnodes\n  0 \"Bip01 Pelvis\" -1\nend\nskeleton\n"
         "  time 0\n    0 0 0 0 0 0 0\n  end\n\ntriangles\n  t.bmp  \n\n" +
             kCorners + "\nend\n",
         true,
         {"t.bmp"},
         {0}},
        {"empty line after version",
         "version 1\n\nnodes\nend\nskeleton\nend\ntriangles\nend\n",
         true,
         {},
         {}},
        {"1022-character texture name",
         kStaticSmdHeader + line1022 + "\n" + kCorners + "end\n",
         true,
         {line1022},
         {0}},
        {"corner with extra numbers and links",
         kStaticSmdHeader + "t\n" +
             "0 0 0 0 0 0 1 0 0 2 1 0.5 2 0.5\n0 1 0 0 0 0 1 1 0 extra\n0 0 1 0 0 0 1 0 1\nend\n",
         true,
         {"t"},
         {0}},
        {"version with trailing space",
         "version 1 \nnodes\nend\nskeleton\nend\ntriangles\nend\n",
         false,
         {},
         {}},
        {"capital V", "Version 1\nnodes\nend\nskeleton\nend\ntriangles\nend\n", false, {}, {}},
        {"empty file", "", false, {}, {}},
        {"nodes without end", "version 1\nnodes\n0 \"root\" -1\n", false, {}, {}},
        {"skeleton missing", "version 1\nnodes\nend\ntriangles\nend\n", false, {}, {}},
        {"1023 characters in nodes",
         "version 1\nnodes\n" + line1023 + "\n" + after + "end\n",
         false,
         {},
         {}},
        {"1023-character node line",
         "version 1\nnodes\n0 \"" + std::string(1016, 'n') + "\" -1\n" + afterNodes + "end\n",
         false,
         {},
         {}},
        {"vertex line missing a link",
         kStaticSmdHeader + "t\n0 0 0 0 0 0 1 0 0 2 1 0.5\n" + kCorners.substr(18) + "end\n",
         false,
         {},
         {}},
        {"1023-character texture name",
         kStaticSmdHeader + line1023 + "\n" + kCorners + "end\n",
         false,
         {},
         {}},
        {"1023-character corner line",
         kStaticSmdHeader + "t\n" + kCorners.substr(0, 18) + "0 0 1 0 0 0 1 0 1" +
             std::string(1006, ' ') + "\n" + kCorners.substr(18) + "end\n",
         false,
         {},
         {}},
        {"corner with eight numbers",
         kStaticSmdHeader + "t\n0 0 0 0 0 0 1 0\n" + kCorners.substr(18) + "end\n",
         false,
         {},
         {}},
        {"corner with a word for a number",
         kStaticSmdHeader + "t\n0 0 x 0 0 0 1 0 0\n" + kCorners.substr(18) + "end\n",
         false,
         {},
         {}},
        {"no end after the triangles", kStaticSmdHeader + "t\n" + kCorners, false, {}, {}},
        {"last corner without line feed and no end",
         kStaticSmdHeader + "t\n" + kCorners.substr(0, kCorners.size() - 1),
         false,
         {},
         {}},
        {"triangle cut after its name",
         kStaticSmdHeader + "t\n" + kCorners.substr(0, 18) + "end\n",
         false,
         {},
         {}},
    };
}

TEST(StaticSmdReaderTest, EdgeCases) {
    for (const ReaderCase& c : ReaderCases()) {
        SCOPED_TRACE(c.name);
        StaticTriangleSet set;
        ReadReport report;
        ASSERT_EQ(ParseStaticSmd(c.text, set, report), c.valid);
        EXPECT_EQ(FailureOf(report), c.valid ? "" : "Load Error: Invalid SMD file format");
        if (!c.valid) {
            EXPECT_TRUE(set.triangles.empty());
        }
        if (c.valid) {
            EXPECT_EQ(set.materialNames, c.materialNames);
            EXPECT_EQ(set.triangleMaterials, c.triangleMaterials);
            EXPECT_EQ(set.triangles.size(), c.triangleMaterials.size());
        }
    }
}

TEST(StaticSmdReaderTest, ConvertsCornersAndIgnoresBoneAndExtras) {
    StaticTriangleSet set;
    ReadReport report;
    ASSERT_TRUE(ParseStaticSmd(kStaticSmdHeader + "t\n" + "0 1 2 3 0 1 0 0.25 0.75\n" +
                                   "7 1 2 3 0 1 0 0.25 0.75 2 3 0.5 4 0.5\n" +
                                   "-3 -1.5e1 2 3 4 5 6 -1 2\n" + "end\n",
                               set, report));
    ASSERT_EQ(set.triangles.size(), 1u);
    const StaticTriangle& t = set.triangles[0];
    for (size_t k = 0; k < 2; ++k) {
        EXPECT_EQ(t.cornerPositions[k], (Vector3{1, 3, -2}));
        EXPECT_EQ(t.cornerNormals[k], (Vector3{0, 0, -1}));
        EXPECT_EQ(t.cornerTexCoords[k], (Vector2{0.25f, 0.25f}));
    }
    EXPECT_EQ(t.cornerPositions[2], (Vector3{-15, 3, -2}));
    EXPECT_EQ(t.cornerNormals[2], (Vector3{4, 6, -5}));
    EXPECT_EQ(t.cornerTexCoords[2], (Vector2{-1, -1}));
}

TEST(StaticSmdReaderTest, EmptiesTheSetFirst) {
    StaticTriangleSet set;
    set.materialNames = {"old"};
    set.triangleMaterials = {0, 0};
    set.triangles.resize(2);
    ReadReport report;
    ASSERT_TRUE(ParseStaticSmd(kStaticSmdHeader + "t\n" + kCorners + "end\n", set, report));
    EXPECT_EQ(set.materialNames, std::vector<std::string>{"t"});
    EXPECT_EQ(set.triangleMaterials, std::vector<int32_t>{0});
    EXPECT_EQ(set.triangles.size(), 1u);
}

// Every prefix of a valid file either loads (once the final "end" is complete) or fails with
// exactly one message.
TEST(StaticSmdReaderTest, EveryTruncationLoadsOrFailsWithOneMessage) {
    const std::string full = kStaticSmdHeader + "a.bmp\n" + kCorners + "b b.bmp\n" +
                             "0 1.5 -2 3e-1 0 0 1 0.5 0.5 1 0 1\n" + kCorners.substr(18) + "end\n";
    const size_t complete = full.size() - 1;  // "end" without its line feed
    for (size_t length = 0; length <= full.size(); ++length) {
        SCOPED_TRACE(length);
        const bool valid = length >= complete;
        StaticTriangleSet set;
        ReadReport report;
        EXPECT_EQ(ParseStaticSmd(full.substr(0, length), set, report), valid);
        EXPECT_EQ(FailureOf(report), valid ? "" : "Load Error: Invalid SMD file format");
        if (valid) {
            EXPECT_EQ(set.triangles.size(), 2u);
        }
    }
}

}  // namespace
}  // namespace toravel
