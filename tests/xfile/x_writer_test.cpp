#include "xfile/x_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "scene/node_ops.h"
#include "support/scene_builders.h"

namespace toravel {
namespace {

using testing::Node;

NodeList Linked(NodeList list) {
    ReadReport report;
    EXPECT_TRUE(LinkParents(list, report));
    return list;
}

std::string Capture(const std::function<void(TextWriter&)>& write) {
    StringSink sink;
    TextWriter out(sink);
    write(out);
    EXPECT_TRUE(out.Finish());
    return sink.text;
}

size_t Count(const std::string& text, std::string_view what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

// Counts what passes through without keeping it: bytes, lines, braces and the longest run
// of spaces at the start of a line.
class CountingSink : public OutputSink {
  public:
    bool Write(const char* data, size_t size) override {
        bytes += size;
        for (size_t i = 0; i < size; ++i) {
            const char c = data[i];
            if (c == '\n') {
                ++lines;
                lineStart = true;
                run = 0;
                continue;
            }
            if (lineStart && c == ' ') {
                maxIndent = std::max(maxIndent, ++run);
                continue;
            }
            lineStart = false;
            opens += c == '{';
            closes += c == '}';
        }
        return true;
    }
    size_t bytes = 0, lines = 0, opens = 0, closes = 0, maxIndent = 0;

  private:
    bool lineStart = true;
    size_t run = 0;
};

// Fails every write, like a full disk.
class FailingSink : public OutputSink {
  public:
    bool Write(const char*, size_t) override { return false; }
};

Matrix MakeMatrix(std::array<float, 16> values) {
    Matrix m;
    m.m = values;
    return m;
}

constexpr const char* kIdentity =
    "1.000000,0.000000,0.000000,0.000000,0.000000,1.000000,0.000000,0.000000,"
    "0.000000,0.000000,1.000000,0.000000,0.000000,0.000000,0.000000,1.000000";

std::string WithIdentity(std::string text) {
    for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at)) {
        text.replace(at, 1, kIdentity);
    }
    return text;
}

TEST(WriteSceneFrames, SkeletonLayoutByteForByte) {
    NodeList nodes = Linked({Node(0, -1, "Bip01"), Node(1, 0, "Pelvis")});
    nodes[0].localMatrix = TranslationMatrix(0, 38.5f, -1.25f);
    nodes[1].localMatrix = MakeMatrix({0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1, 0, 0.125f, -3, 7.75f, 1});
    Message failure;
    bool wrote = false;
    const std::string text =
        Capture([&](TextWriter& out) { wrote = WriteSceneFrames(out, nodes, failure); });
    EXPECT_TRUE(wrote);
    EXPECT_EQ(text, WithIdentity(R"(xof 0303txt 0032

Frame Scene_Root {

 FrameTransformMatrix {
  @;;
 }

 Frame Bip01 {


  FrameTransformMatrix {
   1.000000,0.000000,0.000000,0.000000,0.000000,1.000000,0.000000,0.000000,0.000000,0.000000,1.000000,0.000000,0.000000,38.500000,-1.250000,1.000000;;
  }

  Frame Pelvis {


   FrameTransformMatrix {
    0.000000,1.000000,0.000000,0.000000,-1.000000,0.000000,0.000000,0.000000,0.000000,0.000000,1.000000,0.000000,0.125000,-3.000000,7.750000,1.000000;;
   }

  }

 }
}
)"));
}

MeshData SkinnedTriangle() {
    MeshData mesh;
    mesh.vertexCount = 3;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0.5f}};
    mesh.faceCount = 1;
    mesh.faceIndices = {0, 1, 2};
    mesh.normalCount = 1;
    mesh.normals = {{0, 0, -1}};
    mesh.normalFaceCount = 1;
    mesh.normalFaceIndices = {0, 0, 0};
    mesh.texCoordCount = 3;
    mesh.texCoords = {{0, 1}, {1, 1}, {0, 0}};
    mesh.materialCount = 1;
    mesh.materials.resize(1);
    mesh.materials[0].faceColour[0] = 1;
    mesh.materials[0].faceColour[1] = 0.5f;
    mesh.materials[0].faceColour[2] = 0.25f;
    mesh.materials[0].faceColour[3] = 1;
    mesh.materials[0].power = 8;
    mesh.faceMaterialCount = 1;
    mesh.faceMaterials = {0};
    mesh.maxWeightsPerVertex = 1;
    mesh.maxWeightsPerFace = 3;
    mesh.boneCount = 1;
    BoneWeights bone;
    bone.boneName = "Bip01";
    bone.weightCount = 3;
    bone.vertexIndices = {0, 1, 2};
    bone.weights = {1, 0.75f, 1};
    bone.offsetMatrix = TranslationMatrix(0, -2, 0);
    mesh.boneWeights = {bone};
    return mesh;
}

TEST(WriteFrame, SkinnedMeshByteForByte) {
    NodeList nodes{Node(0, -1, "Body")};
    nodes[0].mesh = SkinnedTriangle();
    const std::string text = Capture([&](TextWriter& out) { WriteFrame(out, nodes, 0, 1); });
    EXPECT_EQ(text, WithIdentity(R"(
 Frame Body {


  FrameTransformMatrix {
   @;;
  }
  Mesh  {
   3;
   0.000000;0.000000;0.000000;,
   1.000000;0.000000;0.000000;,
   0.000000;1.000000;0.500000;;
   1;
   3;0,1,2;;
   MeshNormals {
    1;
    0.000000;0.000000;-1.000000;;
    1;
    3;0,0,0;;
   }
   MeshTextureCoords {
    3;
    0.000000;1.000000;,
    1.000000;1.000000;,
    0.000000;0.000000;;
   }
   MeshMaterialList {
    1;
    1;
    0;
    Material {
     1.000000;0.500000;0.250000;1.000000;;
     8.000000;
     0.000000;0.000000;0.000000;;
     0.000000;0.000000;0.000000;;

     TextureFilename {
      "";
     }
    }
   }
   XSkinMeshHeader {
    1;
    3;
    1;
   }
   SkinWeights {
    "Bip01";
    3;
    0,
    1,
    2;
    1.000000,
    0.750000,
    1.000000;
    1.000000,0.000000,0.000000,0.000000,0.000000,1.000000,0.000000,0.000000,0.000000,0.000000,1.000000,0.000000,0.000000,-2.000000,0.000000,1.000000;;
   }
  }

 }
)"));
}

TEST(WriteMesh, NamesAndEmptyBlocks) {
    // A named mesh and material, no normals, texture coordinates, faces or bones: the blocks
    // that would hold nothing are left out, as readers reject lists that miss the faces.
    SceneNode node = Node(0, -1, "N");
    node.mesh.name = "BodyMesh";
    node.mesh.vertexCount = 1;
    node.mesh.positions = {{-0.0f, 2, 1234.5f}};
    node.mesh.materialCount = 1;
    node.mesh.materials.resize(1);
    node.mesh.materials[0].name = "Skin";
    node.mesh.materials[0].textureFile = "a b\\c.bmp";
    const std::string text = Capture([&](TextWriter& out) { WriteMesh(out, node, 0); });
    EXPECT_EQ(text, R"(Mesh BodyMesh {
 1;
 -0.000000;2.000000;1234.500000;;
 0;
 MeshMaterialList {
  1;
  0;
  Material Skin{
   0.000000;0.000000;0.000000;0.000000;;
   0.000000;
   0.000000;0.000000;0.000000;;
   0.000000;0.000000;0.000000;;

   TextureFilename {
    "a b\c.bmp";
   }
  }
 }
}
)");
}

TEST(WriteMesh, CountsBeyondTheListsAreClampedToTheLists) {
    // Each damaged count must give exactly the output of the intact mesh; a negative count
    // writes nothing for its list. The sanitizer build catches any read past a list.
    const MeshData intact = SkinnedTriangle();
    struct Case {
        const char* what;
        std::function<void(MeshData&)> damage;
        std::function<void(MeshData&)> expected;  // applied to the intact mesh
    };
    const std::vector<Case> cases = {
        {"vertexCount", [](MeshData& m) { m.vertexCount = 1000; }, nullptr},
        {"faceCount", [](MeshData& m) { m.faceCount = 2; }, nullptr},
        {"faceCount, partial face",
         [](MeshData& m) {
             m.faceIndices.push_back(7);
             m.faceCount = 2;
         },
         [](MeshData& m) { m.faceIndices.push_back(7); }},
        {"normalCount", [](MeshData& m) { m.normalCount = 5; }, nullptr},
        {"normalFaceCount", [](MeshData& m) { m.normalFaceCount = 9; }, nullptr},
        {"texCoordCount", [](MeshData& m) { m.texCoordCount = 4; }, nullptr},
        {"materialCount", [](MeshData& m) { m.materialCount = 3; }, nullptr},
        {"faceMaterialCount", [](MeshData& m) { m.faceMaterialCount = 2; }, nullptr},
        {"boneCount", [](MeshData& m) { m.boneCount = 4; }, nullptr},
        {"weightCount", [](MeshData& m) { m.boneWeights[0].weightCount = 10; }, nullptr},
        {"fewer weights than indices", [](MeshData& m) { m.boneWeights[0].weights.pop_back(); },
         [](MeshData& m) {
             m.boneWeights[0].weights.pop_back();
             m.boneWeights[0].vertexIndices.pop_back();
             m.boneWeights[0].weightCount = 2;
         }},
        {"negative counts",
         [](MeshData& m) {
             m.faceCount = -1;
             m.normalCount = -5;
             m.boneCount = -2;
         },
         [](MeshData& m) {
             m.faceCount = 0;
             m.normalCount = 0;
             m.boneCount = 0;
         }},
        {"vertexCount with no positions", [](MeshData& m) { m.positions.clear(); },
         [](MeshData& m) {
             m.positions.clear();
             m.vertexCount = 0;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SceneNode damaged = Node(0, -1, "N");
        damaged.mesh = intact;
        c.damage(damaged.mesh);
        SceneNode reference = Node(0, -1, "N");
        reference.mesh = intact;
        if (c.expected) {
            c.expected(reference.mesh);
        }
        const std::string want = Capture([&](TextWriter& out) { WriteMesh(out, reference, 1); });
        EXPECT_EQ(Capture([&](TextWriter& out) { WriteMesh(out, damaged, 1); }), want);
    }
}

TEST(WriteSceneFrames, MultipleCandidatesShowMessageAndWriteNothing) {
    const NodeList nodes =
        Linked({Node(0, -1, "Bip01"), Node(1, 0, "Pelvis"), Node(2, -1, "Other"), Node(3, 2, "X")});
    Message failure;
    bool wrote = true;
    EXPECT_EQ(Capture([&](TextWriter& out) { wrote = WriteSceneFrames(out, nodes, failure); }), "");
    EXPECT_FALSE(wrote);
    EXPECT_EQ(failure, (Message{"Incorrect node structure",
                                "Multiple candidates for the skeleton.\nBip01\nOther"}));
}

TEST(WriteSceneFrames, NoCandidateWritesNothing) {
    Message failure;
    bool wrote = true;
    EXPECT_EQ(Capture([&](TextWriter& out) { wrote = WriteSceneFrames(out, NodeList{}, failure); }),
              "");
    EXPECT_FALSE(wrote);
    EXPECT_EQ(failure, (Message{"Incorrect node structure", "No candidates for skeleton found."}));
}

TEST(WriteSceneFrames, OtherTopLevelNodesFollowTheRootAndParentlessSubtreesAreLeftOut) {
    NodeList nodes = Linked({Node(5, -2, "Detached"), Node(0, -1, "Bip01"), Node(6, 5, "Orphan"),
                             Node(1, 0, "Pelvis"), Node(2, -1, "Body"), Node(3, 1, "Spine")});
    nodes[4].mesh.vertexCount = 1;
    nodes[4].mesh.positions = {{1, 2, 3}};
    nodes[1].localMatrix = TranslationMatrix(9, 9, 9);
    Message failure;
    const std::string text =
        Capture([&](TextWriter& out) { WriteSceneFrames(out, nodes, failure); });
    EXPECT_EQ(text.find("Detached"), std::string::npos);
    EXPECT_EQ(text.find("Orphan"), std::string::npos);
    // Scene_Root's own matrix is the identity whatever the root's matrix holds.
    EXPECT_TRUE(text.starts_with(WithIdentity(
        "xof 0303txt 0032\n\nFrame Scene_Root {\n\n FrameTransformMatrix {\n  @;;\n }\n\n "
        "Frame Bip01 {\n")));
    // The mesh frame comes at depth 1 after the root's closing brace; grandchildren go deeper.
    const size_t spine = text.find("\n   Frame Spine {\n");
    const size_t body = text.find("\n }\n\n Frame Body {\n");
    ASSERT_NE(spine, std::string::npos);
    ASSERT_NE(body, std::string::npos);
    EXPECT_LT(spine, body);
    EXPECT_NE(text.find("  Mesh  {\n   1;\n   1.000000;2.000000;3.000000;;\n", body),
              std::string::npos);
    EXPECT_TRUE(text.ends_with("\n }\n}\n"));
    EXPECT_EQ(Count(text, "{"), Count(text, "}"));
}

TEST(WriteHierarchyListing, ListsEveryParentlessTree) {
    const NodeList nodes = Linked(
        {Node(0, -1, "Bip01"), Node(1, 0, "Pelvis"), Node(2, 1, "Bip01 Spine"),
         Node(3, 1, "LThigh"), Node(4, -2, "Loose"), Node(5, 4, "LooseChild"), Node(6, 0, "Tail")});
    EXPECT_EQ(Capture([&](TextWriter& out) { WriteHierarchyListing(out, nodes); }),
              R"(0 Bip01( -1 )
  1 Pelvis( 0 )
    2 Bip01 Spine( 1 )
    3 LThigh( 1 )
  6 Tail( 0 )
4 Loose( -2 )
  5 LooseChild( 4 )
)");
}

TEST(WriteIndent, CappedDepth) {
    EXPECT_EQ(Capture([](TextWriter& out) { WriteIndent(out, 3); }), "   ");
    EXPECT_EQ(Capture([](TextWriter& out) { WriteIndent(out, 0); }), "");
    EXPECT_EQ(Capture([](TextWriter& out) { WriteIndent(out, 1000000); }),
              std::string(kMaxIndentDepth, ' '));
}

constexpr int kHuge = 100000;

TEST(WriteSceneFrames, HundredThousandNodeChain) {
    NodeList nodes;
    nodes.reserve(kHuge);
    for (int i = 0; i < kHuge; ++i) {
        nodes.push_back(Node(i, i - 1, std::string("n").append(std::to_string(i))));
    }
    nodes = Linked(std::move(nodes));
    Message failure;
    CountingSink sink;
    TextWriter out(sink);
    EXPECT_TRUE(WriteSceneFrames(out, nodes, failure));
    EXPECT_TRUE(out.Finish());
    // Header and Scene_Root take 8 lines, every frame 9; each frame and matrix block has
    // one brace pair.
    EXPECT_EQ(sink.lines, 8u + 9u * kHuge);
    EXPECT_EQ(sink.opens, 2u * kHuge + 2);
    EXPECT_EQ(sink.closes, sink.opens);
    EXPECT_EQ(sink.maxIndent, static_cast<size_t>(kMaxIndentDepth));

    CountingSink listing;
    TextWriter listOut(listing);
    WriteHierarchyListing(listOut, nodes);
    EXPECT_TRUE(listOut.Finish());
    EXPECT_EQ(listing.lines, static_cast<size_t>(kHuge));
    EXPECT_EQ(listing.maxIndent, static_cast<size_t>(kMaxIndentDepth));
}

TEST(WriteSceneFrames, RootWithHundredThousandChildren) {
    NodeList nodes;
    nodes.reserve(kHuge + 1);
    nodes.push_back(Node(0, -1, "root"));
    for (int i = 1; i <= kHuge; ++i) {
        nodes.push_back(Node(i, 0, "c"));
    }
    nodes = Linked(std::move(nodes));
    Message failure;
    CountingSink sink;
    TextWriter out(sink);
    EXPECT_TRUE(WriteSceneFrames(out, nodes, failure));
    EXPECT_TRUE(out.Finish());
    EXPECT_EQ(sink.lines, 8u + 9u * (kHuge + 1));
    EXPECT_EQ(sink.opens, 2u * (kHuge + 1) + 2);
    EXPECT_EQ(sink.closes, sink.opens);
    EXPECT_EQ(sink.maxIndent, 4u);  // a child's matrix values

    CountingSink listing;
    TextWriter listOut(listing);
    WriteHierarchyListing(listOut, nodes);
    EXPECT_TRUE(listOut.Finish());
    EXPECT_EQ(listing.lines, static_cast<size_t>(kHuge + 1));
    EXPECT_EQ(listing.maxIndent, 2u);
}

TEST(WriteFrame, MalformedLinksEndTheWalk) {
    // A sibling link back to itself and child links outside the list.
    NodeList nodes{Node(0, -1, "A"), Node(1, 0, "B"), Node(2, -1, "C")};
    nodes[0].firstChild = 1;
    nodes[1].nextSibling = 1;
    nodes[1].firstChild = 57;
    nodes[2].firstChild = -7;
    const std::string text = Capture([&](TextWriter& out) {
        WriteFrame(out, nodes, 0, 0);
        WriteFrame(out, nodes, 2, 0);
        WriteFrame(out, nodes, 99, 0);
    });
    EXPECT_LE(Count(text, "Frame B {"), 2u);
    EXPECT_EQ(Count(text, "Frame A {"), 1u);
    EXPECT_EQ(Count(text, "Frame C {"), 1u);
    EXPECT_EQ(Count(text, "{"), Count(text, "}"));

    const std::string listing =
        Capture([&](TextWriter& out) { WriteHierarchyListing(out, nodes); });
    EXPECT_LE(Count(listing, "\n"), nodes.size());
}

TEST(TextWriter, WriteErrorIsReportedByFinish) {
    const NodeList nodes = Linked({Node(0, -1, "Bip01"), Node(1, 0, "Pelvis")});
    Message failure;
    FailingSink sink;
    TextWriter out(sink);
    EXPECT_TRUE(WriteSceneFrames(out, nodes, failure));
    EXPECT_FALSE(out.Finish());
}

}  // namespace
}  // namespace toravel
