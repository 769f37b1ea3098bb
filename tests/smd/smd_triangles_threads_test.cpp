// The triangles of a reference read on threads give what one pass gives: the same meshes
// (compared field by field and as written X bytes), the same warnings in order, and for a
// broken file the same failure at the same line.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "smd/smd_reader.h"
#include "smd/smd_triangle_ranges.h"
#include "support/many_meshes.h"
#include "support/read_expectations.h"
#include "support/temp_dir.h"
#include "text/text_writer.h"
#include "xfile/x_writer.h"

namespace toravel {
namespace {

using testing::FailureOf;
using testing::WarningsOf;

// A reference of six bones and `triangles` triangles owned by all of them, with three
// textures (one with blanks in its name), zero to three links per vertex, comments and blank
// lines between triangles and between vertex lines, and a link to an unknown bone now and
// then. Lines end in CRLF when asked; the last line may lack its line end.
std::string Generated(int triangles, bool crlf, bool finalLineEnd) {
    std::vector<std::string> lines = {"version 1",     "nodes",        "0 \"root\" -1",
                                      "1 \"spine\" 0", "2 \"arm\" 1",  "3 \"leg\" 0",
                                      "4 \"head\" 1",  "5 \"tail\" 3", "end",
                                      "skeleton",      "time 0"};
    for (int i = 0; i < 6; ++i) {
        lines.push_back(std::to_string(i) + " 0." + std::to_string(i) + " 1 -2 0.1 0 0." +
                        std::to_string(i));
    }
    lines.insert(lines.end(), {"end", "triangles"});
    const char* const textures[] = {"skin.bmp", "  cloth one.tga  ", "metal.png"};
    unsigned seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) % 10000;
    };
    char number[64];
    const auto decimal = [&] {
        std::snprintf(number, sizeof number, " %d.%04u", static_cast<int>(next() % 7) - 3, next());
        return std::string(number);
    };
    for (int t = 0; t < triangles; ++t) {
        if (t % 17 == 0) {
            lines.emplace_back("");
        }
        if (t % 29 == 0) {
            lines.emplace_back("// a comment between triangles");
        }
        if (t % 31 == 0) {
            lines.emplace_back("  # another");
        }
        lines.emplace_back(textures[(t / 5) % 3]);
        const int owner = (t * 7 / 3) % 6;
        for (int v = 0; v < 3; ++v) {
            if ((t + v) % 23 == 0) {
                lines.emplace_back(" \t ");
            }
            std::string line = std::to_string(v == 0 ? owner : (owner + v) % 6);
            for (int n = 0; n < 8; ++n) {
                line += decimal();
            }
            const int links = (t + v) % 4;
            if (links > 0) {
                line += ' ';
                line += std::to_string(links);
                for (int l = 0; l < links; ++l) {
                    const bool unknown = t % 401 == 7 && l == links - 1;
                    line += ' ';
                    line += std::to_string(unknown ? 42 : (owner + l * 2) % 6);
                    line += decimal();
                }
            }
            lines.push_back(line);
        }
    }
    lines.emplace_back("end");
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        text += lines[i];
        if (i + 1 < lines.size() || finalLineEnd) {
            text += crlf ? "\r\n" : "\n";
        }
    }
    return text;
}

std::string WriteX(const NodeList& nodes) {
    StringSink sink;
    TextWriter out(sink);
    ExportOptions options;
    Message failure;
    EXPECT_TRUE(WriteXDocument(out, nodes, {}, options, failure)) << failure.text;
    out.Finish();
    return sink.text;
}

// Everything that the triangles put into the meshes, field by field.
void ExpectSameMeshes(const NodeList& expected, const NodeList& actual) {
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("node " + std::to_string(i));
        const MeshData& e = expected[i].mesh;
        const MeshData& a = actual[i].mesh;
        EXPECT_EQ(e.vertexCount, a.vertexCount);
        EXPECT_EQ(e.faceCount, a.faceCount);
        EXPECT_EQ(e.normalCount, a.normalCount);
        EXPECT_EQ(e.normalFaceCount, a.normalFaceCount);
        EXPECT_EQ(e.texCoordCount, a.texCoordCount);
        EXPECT_EQ(e.materialCount, a.materialCount);
        EXPECT_EQ(e.faceMaterialCount, a.faceMaterialCount);
        EXPECT_EQ(e.maxWeightsPerVertex, a.maxWeightsPerVertex);
        EXPECT_EQ(e.maxWeightsPerFace, a.maxWeightsPerFace);
        EXPECT_EQ(e.boneCount, a.boneCount);
        EXPECT_EQ(e.positions, a.positions);
        EXPECT_EQ(e.faceIndices, a.faceIndices);
        EXPECT_EQ(e.normalFaceIndices, a.normalFaceIndices);
        EXPECT_EQ(e.normals, a.normals);
        EXPECT_EQ(e.texCoords, a.texCoords);
        EXPECT_EQ(e.faceMaterials, a.faceMaterials);
        ASSERT_EQ(e.materials.size(), a.materials.size());
        for (size_t m = 0; m < e.materials.size(); ++m) {
            EXPECT_EQ(e.materials[m].textureFile, a.materials[m].textureFile);
        }
        ASSERT_EQ(e.boneWeights.size(), a.boneWeights.size());
        for (size_t b = 0; b < e.boneWeights.size(); ++b) {
            EXPECT_EQ(e.boneWeights[b].boneName, a.boneWeights[b].boneName);
            EXPECT_EQ(e.boneWeights[b].weightCount, a.boneWeights[b].weightCount);
            EXPECT_EQ(e.boneWeights[b].vertexIndices, a.boneWeights[b].vertexIndices);
            EXPECT_EQ(e.boneWeights[b].weights, a.boneWeights[b].weights);
            EXPECT_EQ(e.boneWeights[b].offsetMatrix, a.boneWeights[b].offsetMatrix);
        }
    }
}

// Reads on `threads` threads whatever the size of the file.
SmdReadResult Read(const std::string& text, unsigned threads) {
    TextInput input{std::string(text)};
    return ReadSmdReference(input, TriangleThreads{threads, 0});
}

std::string Where(const SmdReadResult& read) {
    if (read.ok()) {
        return "";
    }
    return "line " + std::to_string(read.report.failure()->position.line) + " (" +
           read.report.failure()->hint + ")";
}

struct Fixture {
    const char* name;
    std::string text;
};

std::vector<Fixture> ReadableFixtures() {
    return {
        {"example character",
         testing::TempDir::Read(std::string(TORAVEL_EXAMPLES_DIR) + "/soldier_reference.smd")},
        {"generated", Generated(4000, false, true)},
        {"generated, CRLF", Generated(3000, true, true)},
        {"generated, no final line end", Generated(3000, false, false)},
        {"generated, CRLF and no final line end", Generated(2000, true, false)},
        {"one triangle", Generated(1, false, true)},
    };
}

TEST(ReadTrianglesThreads, EveryThreadCountGivesTheOnePassMeshes) {
    for (const Fixture& fixture : ReadableFixtures()) {
        SCOPED_TRACE(fixture.name);
        const SmdReadResult single = Read(fixture.text, 1);
        ASSERT_TRUE(single.ok()) << FailureOf(single.report);
        const std::string x = WriteX(single.nodes);
        for (const unsigned threads : {2u, 3u, 8u}) {
            SCOPED_TRACE(std::to_string(threads) + " threads");
            const SmdReadResult read = Read(fixture.text, threads);
            ASSERT_TRUE(read.ok()) << FailureOf(read.report);
            EXPECT_EQ(WarningsOf(read.report), WarningsOf(single.report));
            ExpectSameMeshes(single.nodes, read.nodes);
            EXPECT_EQ(WriteX(read.nodes), x);
        }
    }
    // The generated files do warn: the warnings above were compared, not merely absent.
    EXPECT_FALSE(WarningsOf(Read(Generated(4000, false, true), 1).report).empty());
}

// The ranges really are read apart: a readable file is cut into several ranges that together
// hold every triangle, and the section's "end" is found.
TEST(ReadTrianglesThreads, RangesCoverTheSectionWithoutFallingBack) {
    for (const Fixture& fixture : ReadableFixtures()) {
        SCOPED_TRACE(fixture.name);
        const TextInput input{std::string(fixture.text)};
        const std::string_view text = input.text();
        const size_t begin = text.find("\ntriangles\n") + 11;
        const size_t end = text.rfind("\nend\n") + 1;
        const NodeList nodes = Read(fixture.text, 1).nodes;
        const NodeIdIndex ids(nodes);
        size_t expected = 0;
        for (const SceneNode& node : nodes) {
            expected += static_cast<size_t>(node.mesh.faceCount);
        }
        for (const unsigned threads : {2u, 3u, 8u}) {
            SCOPED_TRACE(std::to_string(threads) + " threads");
            size_t ranges = 0;
            size_t read = 0;
            size_t last = 0;
            size_t endLine = 0;
            const bool ok = ReadTriangleRanges(
                text, begin, threads, ids,
                [&](const TriangleRange& range) {
                    EXPECT_TRUE(ranges == 0 || range.begin > last);
                    last = range.begin;
                    ++ranges;
                    read += range.triangles.size();
                    return true;
                },
                endLine);
            ASSERT_TRUE(ok);
            EXPECT_EQ(read, expected);
            EXPECT_EQ(endLine, end);
            if (expected > 100) {
                EXPECT_GT(ranges, 2u);
            }
        }
    }
}

// A broken file fails with the text, line and reason of the one-pass read.
TEST(ReadTrianglesThreads, BrokenFilesFailAsInOnePass) {
    const std::string good = Generated(3000, false, true);
    const size_t middle = good.find('\n', good.size() / 2) + 1;
    const size_t vertexLine = good.find("\n", good.find(".bmp\n", middle)) + 1;
    const auto replaceLine = [&](size_t at, const std::string& with) {
        std::string text = good;
        text.replace(at, text.find('\n', at) - at, with);
        return text;
    };
    const size_t lastTexture = good.rfind(".png\n") + 5;
    const std::vector<Fixture> broken = {
        {"bad vertex line in the middle", replaceLine(vertexLine, "3 0 0 x")},
        {"unknown node id in the middle", replaceLine(vertexLine, "99 0 0 0 0 0 1 0 0")},
        {"line too long", replaceLine(vertexLine, "3 0 0 0 0 0 1 0 0" + std::string(1100, ' '))},
        {"too many links",
         replaceLine(vertexLine, "3 0 0 0 0 0 1 0 0 300 " + std::string(10, '1'))},
        {"truncated last triangle", good.substr(0, good.find('\n', lastTexture) + 1)},
        {"no end", good.substr(0, good.rfind("end\n"))},
        {"comment inside a triangle", replaceLine(vertexLine, "// not a vertex")},
    };
    for (const Fixture& fixture : broken) {
        SCOPED_TRACE(fixture.name);
        const SmdReadResult single = Read(fixture.text, 1);
        ASSERT_FALSE(single.ok());
        for (const unsigned threads : {2u, 3u, 8u}) {
            SCOPED_TRACE(std::to_string(threads) + " threads");
            const SmdReadResult read = Read(fixture.text, threads);
            EXPECT_EQ(FailureOf(read.report), FailureOf(single.report));
            EXPECT_EQ(Where(read), Where(single));
            EXPECT_EQ(WarningsOf(read.report), WarningsOf(single.report));
        }
    }
}

// Where the one-pass read stops early at an "end", the rest of the file is never read, however
// many triangles or how much noise follows.
TEST(ReadTrianglesThreads, AnEarlyEndIgnoresTheRest) {
    const std::string good = Generated(3000, false, true);
    const size_t middle = good.find(".bmp\n", good.size() / 2) + 5;
    std::string text = good;
    const size_t texture = text.rfind('\n', middle - 2) + 1;
    text.insert(texture, "end\n");
    text += "not an SMD line at all\n";
    const SmdReadResult single = Read(text, 1);
    ASSERT_TRUE(single.ok()) << FailureOf(single.report);
    for (const unsigned threads : {2u, 3u, 8u}) {
        const SmdReadResult read = Read(text, threads);
        ASSERT_TRUE(read.ok()) << FailureOf(read.report);
        ExpectSameMeshes(single.nodes, read.nodes);
        EXPECT_EQ(WarningsOf(read.report), WarningsOf(single.report));
    }
}

// The bound on the meshes' lists holds on threads as in one pass.
TEST(ReadTrianglesThreads, MeshListsThatOutgrowTheFileAreRefusedAlike) {
    const std::string hostile = testing::ManyMeshesManyBones(1000, 140, 990);
    const SmdReadResult single = Read(hostile, 1);
    ASSERT_FALSE(single.ok());
    EXPECT_NE(FailureOf(single.report).find("64 MB plus 4 times the file's size"),
              std::string::npos);
    const SmdReadResult read = Read(hostile, 2);
    EXPECT_EQ(FailureOf(read.report), FailureOf(single.report));
    EXPECT_EQ(Where(read), Where(single));
}

}  // namespace
}  // namespace toravel
