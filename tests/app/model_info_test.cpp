// `toravel info`'s descriptions: counts and trees of SMD and X files in every encoding, what
// the reader left out, key types and time ranges, compatibility with a reference, and the
// JSON document.
#include "app/model_info.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "app/batch_convert.h"
#include "support/temp_dir.h"
#include "xfile/x_encodings.h"
#include "xfile/x_general_fixtures.h"

namespace toravel {
namespace {

using testing::TempDir;

const std::string kExamples = TORAVEL_EXAMPLES_DIR;

ModelInfo Describe(const std::string& path, const NodeList* reference = nullptr,
                   const std::string& referenceName = {}) {
    std::string error;
    std::optional<ModelInfo> info = DescribeModel(path, reference, referenceName, error);
    EXPECT_TRUE(info) << error;
    return info ? *info : ModelInfo{};
}

std::string Text(const ModelInfo& info) {
    std::ostringstream out;
    PrintModelInfo(out, info);
    return out.str();
}

TEST(ModelInfo, SmdReferenceAndAnimation) {
    const ModelInfo reference = Describe(kExamples + "/soldier_reference.smd");
    EXPECT_EQ(reference.kind, "SMD reference");
    EXPECT_EQ(reference.frames.size(), 14u);
    ASSERT_EQ(reference.meshes.size(), 11u);
    int32_t faces = 0;
    for (const MeshInfo& mesh : reference.meshes) {
        faces += mesh.faces;
        EXPECT_EQ(mesh.vertices, 3 * mesh.faces) << "SMD meshes never share vertices";
    }
    EXPECT_EQ(faces, 704);
    EXPECT_TRUE(reference.sets.empty());
    // The tree: a child one level deeper than its parent, right after it.
    EXPECT_NE(Text(reference).find("  Bip01\n    Bip01_Pelvis\n      Bip01_Spine\n"),
              std::string::npos)
        << Text(reference);

    const ModelInfo walk = Describe(kExamples + "/soldier_walk.smd");
    EXPECT_EQ(walk.kind, "SMD animation");
    ASSERT_EQ(walk.sets.size(), 1u);
    const SetInfo& set = walk.sets[0];
    EXPECT_EQ(set.name, "soldier_walk");
    EXPECT_EQ(set.frames.size(), 14u);
    EXPECT_EQ(set.keyTypes, std::vector<int32_t>{4});
    EXPECT_EQ(set.keys, 14u * 24u);
    EXPECT_EQ(set.fewestKeys, 24u);
    EXPECT_EQ(set.mostKeys, 24u);
    EXPECT_EQ(set.firstTime, 0u);
    EXPECT_EQ(set.lastTime, 23000u);
}

TEST(ModelInfo, EveryEncodingOfAnXFileDescribesAlike) {
    TempDir dir;
    for (const testing::XFixture& fixture : testing::XGeneralFixtures()) {
        SCOPED_TRACE(fixture.name);
        const std::string text = Text(Describe(dir.Write("case.x", fixture.text)));
        const std::string binary = testing::TextToBinaryX(fixture.text);
        for (const std::string& bytes : {binary, testing::CompressX(fixture.text, 70)}) {
            const ModelInfo other = Describe(dir.Write("case.x", bytes));
            std::string otherText = Text(other);
            // Only the encoding line and the places of skipped extras differ.
            const auto body = [](const std::string& t) {
                std::string b = t.substr(t.find('\n'));
                return b.substr(0, b.find("Left out:"));
            };
            EXPECT_EQ(body(otherText), body(text));
        }
    }
}

TEST(ModelInfo, SkippedExtrasKeyTypesAndTicks) {
    TempDir dir;
    const std::string path = dir.Write(
        "moves.x",
        "xof 0303txt 0032\nAnimTicksPerSecond { 4800; }\nFrame Hip { FrameTransformMatrix "
        "{ 1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1;; }\n Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
        " VertexDuplicationIndices { 3; 3; 0, 1, 2; } } }\n"
        "AnimationSet Turn { Animation { {Hip}\n"
        " AnimationKey { 0; 2; 0;4;1.0,0.0,0.0,0.0;;, 2400;4;0.0,1.0,0.0,0.0;;; }\n"
        " AnimationKey { 2; 2; 0;3;0.0,0.0,0.0;;, 4800;3;1.0,2.0,3.0;;; } } }\n");
    const ModelInfo info = Describe(path);
    EXPECT_EQ(info.ticksPerSecond, 4800u);
    ASSERT_EQ(info.skipped.size(), 1u);
    EXPECT_EQ(info.skipped[0].kind, "VertexDuplicationIndices");
    ASSERT_EQ(info.sets.size(), 1u);
    EXPECT_EQ(info.sets[0].keyTypes, (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(info.sets[0].keys, 4u);
    EXPECT_EQ(info.sets[0].lastTime, 4800u);
    const std::string text = Text(info);
    EXPECT_NE(text.find("rotation, position keys, 4 keys (2 a track), time 0 to 4800 (1 s at "
                        "4800 ticks a second)"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Left out:\n  VertexDuplicationIndices (1, first at line 5)\n"),
              std::string::npos)
        << text;
}

TEST(ModelInfo, CompatibilityWithAReferenceListsTheMissingFrames) {
    TempDir dir;
    const std::string moves =
        dir.Write("moves.x",
                  "xof 0303txt 0032\nAnimationSet Wave { Animation { {Bip01_R_Forearm}\n"
                  " AnimationKey { 2; 1; 0;3;0.0,0.0,0.0;;; } }\n"
                  " Animation { {Tail} AnimationKey { 2; 1; 0;3;0.0,0.0,0.0;;; } } }\n");
    std::string error;
    const std::optional<NodeList> reference =
        ReadReferenceNodes(kExamples + "/soldier_reference.smd", error);
    ASSERT_TRUE(reference) << error;
    const ModelInfo info = Describe(moves, &*reference, "soldier_reference.smd");
    ASSERT_EQ(info.sets.size(), 1u);
    EXPECT_EQ(info.sets[0].missingFrames, std::vector<std::string>{"Tail"});
    EXPECT_NE(Text(info).find("NOT compatible with soldier_reference.smd: 1 frame missing (Tail)"),
              std::string::npos)
        << Text(info);
}

TEST(ModelInfo, JsonDocumentOfDescriptionsAndFailures) {
    TempDir dir;
    ConvertRequest request;
    request.reference = kExamples + "/soldier_reference.smd";
    request.animations = {{kExamples + "/soldier_walk.smd", "Walk"}};
    request.output = dir.File("soldier.x");
    request.exportOptions.ticksPerSecond = 30000;
    std::ostringstream messages;
    ASSERT_EQ(RunConvert(request, messages), kExitDone) << messages.str();

    std::vector<ModelInfoOutcome> outcomes(2);
    outcomes[0].file = request.output;
    outcomes[0].info = Describe(request.output);
    outcomes[1].file = dir.File("missing.x");
    outcomes[1].error = "toravel: missing.x: Open Failure: Failed to open for input.\n";
    const nlohmann::json json = nlohmann::json::parse(ModelInfoJson(outcomes));
    const auto& files = json.at("files");
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].at("kind"), "X file");
    EXPECT_EQ(files[0].at("frames").size(), 15u) << "the example's frames under Scene_Root";
    EXPECT_EQ(files[0].at("meshes").size(), 11u);
    const auto& walk = files[0].at("animationSets").at(0);
    EXPECT_EQ(walk.at("name"), "Walk");
    EXPECT_EQ(walk.at("keyTypes"), nlohmann::json::array({4}));
    EXPECT_DOUBLE_EQ(walk.at("seconds").get<double>(), 23000.0 / 30000.0);
    EXPECT_EQ(files[1].at("error"), "toravel: missing.x: Open Failure: Failed to open for input.");
}

}  // namespace
}  // namespace toravel
