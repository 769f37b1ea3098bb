// The X reader against the X writer: a skinned, textured, animated model written by the
// writer loads back and writes again identically, and every prefix of such a file either
// loads or fails with exactly one message (none where the input ends inside a mesh after
// its face list).

#include <gtest/gtest.h>

#include "support/dump_questions.h"
#include "support/scene_builders.h"

#include <sstream>
#include <string>
#include <vector>

#include "app/batch_convert.h"
#include "app/x_load_command.h"
#include "scene/node_ops.h"
#include "support/recording_interaction.h"
#include "support/scripted_interaction.h"
#include "xfile/x_writer.h"
#include "xfile/xreader_test_util.h"

namespace toravel {
namespace {

using testing::ScriptedInteraction;

SceneNode Node(int32_t id, int32_t parentId, std::string name, const Matrix& local) {
    SceneNode n;
    n.id = id;
    n.parentId = parentId;
    n.name = std::move(name);
    n.localMatrix = local;
    return n;
}

MaterialData Material(float red, std::string texture) {
    MaterialData m;
    m.faceColour[0] = red;
    m.faceColour[1] = 0.25f;
    m.faceColour[2] = 0.125f;
    m.faceColour[3] = 1.0f;
    m.power = 12.5f;
    m.specularColour[1] = 0.5f;
    m.emissiveColour[2] = -0.75f;
    m.textureFile = std::move(texture);
    return m;
}

BoneWeights Bone(std::string name, std::vector<int32_t> vertices, std::vector<float> weights,
                 const Matrix& offset) {
    BoneWeights b;
    b.boneName = std::move(name);
    b.weightCount = static_cast<int32_t>(vertices.size());
    b.vertexIndices = std::move(vertices);
    b.weights = std::move(weights);
    b.offsetMatrix = offset;
    return b;
}

// A skeleton Bip01 > Pelvis > (Spine, Thigh) and a top-level frame Body with a skinned,
// textured quad.
NodeList Model() {
    NodeList nodes = {
        Node(0, -1, "Bip01", TranslationMatrix(0, 38.5f, -1.25f)),
        Node(1, 0, "Pelvis", EulerTransform(0.5f, 1, -2, 0.25f, -1.5f, 3)),
        Node(2, 1, "Spine", TranslationMatrix(12.345678f, -0.000001f, 1234.5f)),
        Node(3, 1, "Thigh", RotationZMatrix(-0.3f)),
        Node(4, -1, "Body", IdentityMatrix()),
    };
    MeshData& mesh = nodes[4].mesh;
    mesh.name = "BodyMesh";
    mesh.positions = {{0, 0, 0}, {1.5f, 0, 0}, {1.5f, 2, -0.5f}, {0, 2, 1e-4f}};
    mesh.vertexCount = 4;
    mesh.faceIndices = {0, 1, 2, 0, 2, 3};
    mesh.faceCount = 2;
    mesh.normals = {{0, 0, 1}, {0, 0.6f, 0.8f}, {-1, 0, 0}, {0, -1, 0}};
    mesh.normalCount = 4;
    mesh.normalFaceIndices = {0, 1, 2, 3, 2, 1};
    mesh.normalFaceCount = 2;
    mesh.texCoords = {{0, 1}, {1, 1}, {1, 0}, {0, 0.5f}};
    mesh.texCoordCount = 4;
    mesh.materials = {Material(1, "skin tex.bmp"), Material(0.5f, "cloth.tga")};
    mesh.materialCount = 2;
    mesh.faceMaterials = {1, 0};
    mesh.faceMaterialCount = 2;
    mesh.maxWeightsPerVertex = 2;
    mesh.maxWeightsPerFace = 3;
    mesh.boneWeights = {
        Bone("Pelvis", {0, 1, 2}, {1, 0.75f, 0.5f}, TranslationMatrix(0, -38.5f, 1.25f)),
        Bone("Spine", {2, 3}, {0.5f, 1}, RotationXMatrix(0.7f)),
        Bone("Thigh", {1}, {0.25f}, IdentityMatrix()),
    };
    mesh.boneCount = 3;
    EXPECT_TRUE(testing::Link(nodes));
    return nodes;
}

TimedKey MatrixKey(uint32_t time, const Matrix& m) {
    TimedKey k;
    k.time = time;
    k.valueCount = 16;
    k.isMatrix = true;
    k.matrix = m;
    return k;
}

TimedKey ValueKey(uint32_t time, std::vector<float> values) {
    TimedKey k;
    k.time = time;
    k.valueCount = static_cast<uint32_t>(values.size());
    k.values = std::move(values);
    return k;
}

std::vector<AnimSet> Sets() {
    AnimSet walk;
    walk.name = "Walk";
    walk.animations.push_back(
        {"Bip01",
         {{4, 2, {MatrixKey(0, IdentityMatrix()), MatrixKey(1000, RotationYMatrix(0.4f))}}}});
    walk.animations.push_back({"Pelvis",
                               {{2, 1, {ValueKey(0, {1, 2, 3})}},
                                {0, 2, {ValueKey(0, {1, 0, 0, 0}), ValueKey(4294967295u, {})}}}});
    AnimSet run;
    run.name = "Run";
    run.animations.push_back({"Spine", {{4, 1, {MatrixKey(500, TranslationMatrix(1, 2, 3))}}}});
    return {walk, run};
}

std::string WriteFrames(const NodeList& nodes) {
    StringSink sink;
    TextWriter out(sink);
    Message failure;
    EXPECT_TRUE(WriteSceneFrames(out, nodes, failure));
    EXPECT_TRUE(out.Finish());
    return sink.text;
}

std::string WriteSets(const std::vector<AnimSet>& sets) {
    StringSink sink;
    TextWriter out(sink);
    for (const AnimSet& set : sets) {
        WriteAnimationSet(out, set);
    }
    EXPECT_TRUE(out.Finish());
    return sink.text;
}

// The loaded frames without the file's own Scene_Root: its children become the roots.
NodeList WithoutFileRoot(const NodeList& frames) {
    NodeList nodes(frames.begin() + 1, frames.end());
    for (SceneNode& n : nodes) {
        n.id -= 1;
        n.parentId -= 1;
        n.firstChild = n.nextSibling = kNoNode;
    }
    EXPECT_TRUE(testing::Link(nodes));
    return nodes;
}

void ExpectDumpQuestions(ScriptedInteraction& ui) {
    ui.ExpectYesNo(testing::DumpTreeText(), "Dump?", false, false);
    ui.ExpectYesNo(testing::QuickDumpText(), "Dump?", false, false);
}

TEST(XReaderRoundTrip, WrittenModelLoadsBackAndWritesIdentically) {
    const NodeList model = Model();
    const std::vector<AnimSet> sets = Sets();
    const std::string frames = WriteFrames(model);
    const std::string animation = WriteSets(sets);

    testing::TempDir dir;
    ScriptedInteraction ui;
    ExpectDumpQuestions(ui);
    XFileReader doc;
    ASSERT_TRUE(testing::LoadXText(doc, dir, frames + animation, ui, "model.x"));

    // Scene_Root, then the skeleton in pre-order, then the mesh frame.
    ASSERT_EQ(doc.frames.size(), 6u);
    const std::vector<std::string> names = {"Scene_Root", "Bip01", "Pelvis",
                                            "Spine",      "Thigh", "Body"};
    const std::vector<int32_t> parents = {-1, 0, 1, 2, 2, 0};
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(doc.frames[i].name, names[i]);
        EXPECT_EQ(doc.frames[i].id, static_cast<int32_t>(i));
        EXPECT_EQ(doc.frames[i].parentId, parents[i]);
    }
    const MeshData& mesh = doc.frames[5].mesh;
    EXPECT_EQ(mesh.name, "BodyMesh");
    EXPECT_EQ(mesh.materials[0].textureFile, "skin tex.bmp");
    EXPECT_EQ(mesh.boneWeights[1].boneName, "Spine");
    EXPECT_EQ(mesh.boneCount, 3);
    EXPECT_EQ(doc.animSets[0].animations[1].tracks[1].keys[1].time, 4294967295u);

    EXPECT_EQ(WriteFrames(WithoutFileRoot(doc.frames)), frames);
    EXPECT_EQ(WriteSets(doc.animSets), animation);

    // Written as loaded, the file's own Scene_Root is the one written: the same file again.
    EXPECT_EQ(WriteFrames(doc.frames), frames);
}

// A 12-deep chain with two-letter names whose deepest node owns a skinned mesh on textures
// with blanks in their names: the writer indents its bone names far to the right.
std::string DeepReference() {
    std::string text = "version 1\nnodes\n";
    for (int i = 0; i < 12; ++i) {
        text += std::to_string(i) + " \"" + std::string(1, static_cast<char>('A' + i)) + "b\" " +
                std::to_string(i - 1) + "\n";
    }
    text += "end\nskeleton\ntime 0\n";
    for (int i = 0; i < 12; ++i) {
        text += std::to_string(i) + " 0.5 1 2 0.1 0.2 0.3\n";
    }
    text += "end\ntriangles\n";
    const char* textures[] = {"skin tex.bmp", "my cloth.tga"};
    for (int t = 0; t < 4; ++t) {
        text += std::string(textures[t % 2]) + "\n";
        for (int k = 0; k < 3; ++k) {
            text += "11 " + std::to_string(t) + " " + std::to_string(k) + " 1 0 0 1 0.5 0.5 2 " +
                    std::to_string(11 - k) + " 0.75 " + std::to_string(k) + " 0.25\n";
        }
    }
    return text + "end\n";
}

std::string DeepAnimation(int frames, float turn) {
    std::string text = "version 1\nnodes\n";
    for (int i = 0; i < 12; ++i) {
        text += std::to_string(i) + " \"" + std::string(1, static_cast<char>('A' + i)) + "b\" " +
                std::to_string(i - 1) + "\n";
    }
    text += "end\nskeleton\n";
    for (int f = 0; f < frames; ++f) {
        text += "time " + std::to_string(f) + "\n";
        for (int i = 0; i < 12; ++i) {
            text += std::to_string(i) + " 0.5 1 2 " + std::to_string(turn * static_cast<float>(f)) +
                    " 0.2 0.3\n";
        }
    }
    return text + "end\n";
}

TEST(XReaderRoundTrip, EveryFileTheWriterWritesReadsBackAndWritesIdentically) {
    testing::TempDir dir;
    ConvertRequest request;
    request.reference = dir.Write("deep.smd", DeepReference());
    request.animations = {{dir.Write("a.smd", DeepAnimation(3, 0.1f)), "Walk"},
                          {dir.Write("b.smd", DeepAnimation(2, -0.2f)), "Run"},
                          {dir.Write("c.smd", DeepAnimation(4, 0.3f)), "Turn"}};
    request.output = dir.File("first.x");
    std::ostringstream messages;
    ASSERT_EQ(RunConvert(request, messages), kExitDone) << messages.str();
    const std::string first = testing::TempDir::Read(request.output);
    ASSERT_NE(first.find("\n" + std::string(15, ' ') + "\"Lb\";\n"), std::string::npos)
        << "a bone name far to the right";

    // Read back as the reference (its sets come along) and written again.
    ConvertRequest again;
    again.reference = request.output;
    again.output = dir.File("again.x");
    ASSERT_EQ(RunConvert(again, messages), kExitDone) << messages.str();
    EXPECT_EQ(testing::TempDir::Read(again.output), first);

    // Named materials, as X files bring them, read back too.
    testing::RecordingInteraction ui;
    XFileReader doc;
    ASSERT_TRUE(testing::LoadXText(doc, dir, first, ui));
    MeshData& mesh = doc.frames.back().mesh;
    ASSERT_EQ(mesh.materials.size(), 2u);
    mesh.materials[0].name = "Skin";
    mesh.materials[1].name = "Cloth_2";
    const std::string named = WriteFrames(doc.frames) + WriteSets(doc.animSets);
    ASSERT_NE(named.find("Material Skin{"), std::string::npos);
    XFileReader reread;
    ASSERT_TRUE(testing::LoadXText(reread, dir, named, ui, "named.x"));
    EXPECT_EQ(reread.frames.back().mesh.materials[1].name, "Cloth_2");
    EXPECT_EQ(WriteFrames(reread.frames) + WriteSets(reread.animSets), named);
}

// Where a prefix may end without a message: inside a mesh, after its face list and before
// its closing brace.
struct SilentRange {
    size_t from;
    size_t to;
};

std::vector<SilentRange> SilentRanges(const std::string& text) {
    std::vector<SilentRange> ranges;
    for (size_t mesh = text.find(" Mesh "); mesh != std::string::npos;
         mesh = text.find(" Mesh ", mesh + 1)) {
        const size_t lineStart = text.rfind('\n', mesh) + 1;
        const std::string indent = text.substr(lineStart, mesh + 1 - lineStart);
        const size_t normals = text.find("MeshNormals {", mesh);
        const size_t close = text.find("\n" + indent + "}\n", mesh);
        ranges.push_back({text.rfind('\n', normals), close + 1 + indent.size()});
    }
    return ranges;
}

TEST(XReaderTruncation, EveryPrefixLoadsOrFailsWithOneMessage) {
    const std::string text = WriteFrames(Model()) + WriteSets(Sets());
    const std::vector<SilentRange> silent = SilentRanges(text);
    ASSERT_EQ(silent.size(), 1u);
    testing::TempDir dir;
    size_t loadedCount = 0, silentCount = 0;
    for (size_t n = 0; n <= text.size(); ++n) {
        testing::RecordingInteraction ui;
        ui.yes = false;
        ui.animSetName = std::nullopt;
        XFileReader doc;
        const bool loaded = testing::LoadXText(doc, dir, text.substr(0, n), ui);
        // A Scene_Root whose matrix keyword is cut off only warns before the failure.
        size_t failures = 0;
        for (const std::string& m : ui.messages) {
            failures += m.rfind("Possible Error: ", 0) != 0;
        }
        EXPECT_EQ(loaded, doc.loaded);
        if (loaded) {
            EXPECT_EQ(failures, 0u) << "prefix " << n;
            ++loadedCount;
        } else if (failures == 0) {
            bool inside = false;
            for (const SilentRange& r : silent) {
                inside |= n >= r.from && n <= r.to;
            }
            EXPECT_TRUE(inside) << "silent failure at prefix " << n << ": ..."
                                << text.substr(n > 40 ? n - 40 : 0, n > 40 ? 40 : n);
            ++silentCount;
        } else {
            EXPECT_EQ(failures, 1u) << "prefix " << n << ": " << ui.messages.back();
        }
    }
    EXPECT_GT(loadedCount, 0u);
    EXPECT_GT(silentCount, 0u);
}

}  // namespace
}  // namespace toravel
