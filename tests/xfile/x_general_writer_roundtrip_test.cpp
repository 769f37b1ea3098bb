// The general X reader against the X writer: what the writer writes reads back to the
// records it was written from (and to the strict reader's frames), and key types survive a
// write and a read.
#include <gtest/gtest.h>

#include "support/dump_questions.h"
#include "support/scene_builders.h"

#include <string>
#include <vector>

#include "app/x_load_command.h"
#include "scene/node_ops.h"
#include "support/scripted_interaction.h"
#include "xfile/x_general_fixtures.h"
#include "xfile/x_general_reader.h"
#include "xfile/x_writer.h"
#include "xfile/xreader_test_util.h"

namespace toravel::testing {
namespace {

// Every number here has an exact "%7.6f" form, so the text holds it without rounding.
Matrix Exact(float a, float b, float c) {
    Matrix m = TranslationMatrix(a, b, c);
    m(0, 0) = 0.5f;
    m(0, 1) = -0.75f;
    m(1, 0) = 0.75f;
    m(1, 1) = 0.5f;
    return m;
}

SceneNode Node(int32_t id, int32_t parentId, std::string name, const Matrix& local) {
    SceneNode n;
    n.id = id;
    n.parentId = parentId;
    n.name = std::move(name);
    n.localMatrix = local;
    return n;
}

// A skeleton root > (upper > lower) and a second root with a skinned, textured mesh, as an
// SMD reference gives them.
NodeList Model() {
    NodeList nodes = {Node(0, -1, "root", Exact(0, 38.5f, -1.25f)),
                      Node(1, 0, "upper", Exact(1, 2, 3)), Node(2, 1, "lower", IdentityMatrix()),
                      Node(3, -1, "body", IdentityMatrix())};
    MeshData& mesh = nodes[3].mesh;
    mesh.positions = {{0, 0, 0}, {1.5f, 0, 0}, {1.5f, 2, -0.5f}, {0, 2, 0.125f}};
    mesh.faceIndices = {0, 1, 2, 0, 2, 3};
    mesh.normals = {{0, 0, 1}, {0, 0.6f, 0.8f}, {-1, 0, 0}, {0, -1, 0}, {1, 0, 0}, {0, 1, 0}};
    mesh.normalFaceIndices = {0, 1, 2, 3, 4, 5};
    mesh.texCoords = {{0, 1}, {1, 1}, {1, 0}, {0, 0.5f}};
    MaterialData skin;
    skin.faceColour[0] = 1;
    skin.faceColour[3] = 1;
    skin.power = 12.5f;
    skin.textureFile = "skin tex.bmp";
    MaterialData cloth = skin;
    cloth.faceColour[1] = 0.25f;
    cloth.textureFile = "cloth.tga";
    mesh.materials = {skin, cloth};
    mesh.faceMaterials = {1, 0};
    BoneWeights upper;
    upper.boneName = "upper";
    upper.vertexIndices = {0, 1, 2};
    upper.weights = {1, 0.75f, 0.5f};
    upper.offsetMatrix = Exact(-1, -2, -3);
    BoneWeights lower = upper;
    lower.boneName = "lower";
    lower.vertexIndices = {1, 2, 3};
    lower.weights = {0.25f, 0.5f, 1};
    mesh.boneWeights = {upper, lower};
    for (BoneWeights& bone : mesh.boneWeights) {
        bone.weightCount = 3;
    }
    mesh.vertexCount = mesh.texCoordCount = 4;
    mesh.faceCount = mesh.normalFaceCount = mesh.faceMaterialCount = 2;
    mesh.normalCount = 6;
    mesh.materialCount = mesh.boneCount = 2;
    mesh.maxWeightsPerVertex = 2;
    mesh.maxWeightsPerFace = 2;
    EXPECT_TRUE(testing::Link(nodes));
    return nodes;
}

TimedKey Key(uint32_t time, std::vector<float> values) {
    TimedKey k;
    k.time = time;
    k.valueCount = static_cast<uint32_t>(values.size());
    k.values = std::move(values);
    return k;
}

TimedKey MatrixKey(uint32_t time, const Matrix& m) {
    TimedKey k;
    k.time = time;
    k.valueCount = 16;
    k.isMatrix = true;
    k.matrix = m;
    return k;
}

std::vector<AnimSet> Sets() {
    AnimSet walk;
    walk.name = "Walk";
    walk.animations.push_back(
        {"root", {{4, 2, {MatrixKey(0, IdentityMatrix()), MatrixKey(1000, Exact(0, 1, 0))}}}});
    walk.animations.push_back(
        {"upper",
         {{0, 2, {Key(0, {1, 0, 0, 0}), Key(4294967295u, {0.5f, 0.5f, 0.5f, 0.5f})}},
          {1, 1, {Key(10, {1, 2, 1})}},
          {2, 1, {Key(20, {0, -1.25f, 3})}}}});
    AnimSet unnamed;
    unnamed.animations.push_back({"lower", {{3, 1, {MatrixKey(500, Exact(1, 2, 3))}}}});
    return {walk, unnamed};
}

std::string Write(const NodeList& nodes, const std::vector<AnimSet>& sets) {
    StringSink sink;
    TextWriter out(sink);
    Message failure;
    if (!nodes.empty()) {
        EXPECT_TRUE(WriteSceneFrames(out, nodes, failure));
    } else {
        WriteXHeader(out);
    }
    for (const AnimSet& set : sets) {
        WriteAnimationSet(out, set);
    }
    out.Newline();
    EXPECT_TRUE(out.Finish());
    return sink.text;
}

// The written nodes as a reader gives them back: below the Scene_Root the writer adds, in
// the order the writer writes them (the skeleton first, then the other roots).
NodeList BelowSceneRoot(const NodeList& nodes) {
    NodeList expected = {Node(0, -1, "Scene_Root", IdentityMatrix())};
    for (const SceneNode& node : nodes) {
        SceneNode n = node;
        n.id += 1;
        n.parentId = node.parentId < 0 ? 0 : node.parentId + 1;
        n.firstChild = n.nextSibling = kNoNode;
        expected.push_back(n);
    }
    EXPECT_TRUE(testing::Link(expected));
    return expected;
}

TEST(XGeneralWriterRoundTrip, WrittenFileReadsBackToTheWrittenRecords) {
    const NodeList model = Model();
    const std::vector<AnimSet> sets = Sets();
    const XGeneralResult result = ReadXGeneral(Write(model, sets), "model.x");
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_TRUE(result.warnings.empty()) << result.warnings.front();
    EXPECT_EQ(FirstDifference(result.content->frames, BelowSceneRoot(model)), "");
    EXPECT_EQ(FirstDifference(result.content->animSets, sets), "");
    EXPECT_TRUE(result.content->skipped.empty());
}

TEST(XGeneralWriterRoundTrip, WrittenFileGivesTheStrictReadersFrames) {
    const std::string text = Write(Model(), Sets());
    TempDir dir;
    ScriptedInteraction ui;
    ui.ExpectYesNo(testing::DumpTreeText(), "Dump?", false, false);
    ui.ExpectYesNo("AnimationSet 1 has no name. Do you want to give it a name?",
                   "No AnimationSet Name", false, false);
    ui.ExpectYesNo(testing::QuickDumpText(), "Dump?", false, false);
    XFileReader strict;
    ASSERT_TRUE(LoadXText(strict, dir, text, ui, "model.x"));
    const XGeneralResult general = ReadXGeneral(text, "model.x");
    ASSERT_TRUE(general.ok()) << general.error;
    EXPECT_EQ(FirstDifference(general.content->frames, strict.frames), "");
}

TEST(XGeneralWriterRoundTrip, KeyTypesAreKeptThroughWriteAndRead) {
    for (const XFixture& fixture : XGeneralFixtures()) {
        SCOPED_TRACE(fixture.name);
        const XGeneralResult first = ReadXGeneral(fixture.text, "case.x");
        ASSERT_TRUE(first.ok()) << first.error;
        const XGeneralResult again = ReadXGeneral(Write({}, first.content->animSets), "again.x");
        ASSERT_TRUE(again.ok()) << again.error;
        EXPECT_EQ(FirstDifference(again.content->animSets, first.content->animSets), "");
    }
    // The fixtures include rotation, scale, position and both matrix key types.
    const XGeneralResult keys = ReadXGeneral(XGeneralFixtures()[14].text, "case.x");
    ASSERT_EQ(XGeneralFixtures()[14].name, "rotation_scale_position_keys");
    std::vector<int32_t> types;
    for (const KeyTrack& track : keys.content->animSets.at(0).animations.at(0).tracks) {
        types.push_back(track.keyType);
    }
    EXPECT_EQ(types, (std::vector<int32_t>{0, 1, 2}));
}

}  // namespace
}  // namespace toravel::testing
