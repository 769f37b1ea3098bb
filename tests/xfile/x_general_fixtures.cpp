// The fixtures of the general X reader. Floats are written with a point throughout (the
// binary generator tells floats from integers by it).
#include "xfile/x_general_fixtures.h"

#include <gtest/gtest.h>

#include <string_view>

namespace toravel::testing {

namespace {

const std::string kHeader = "xof 0303txt 0032\n";
const std::string kIdentity = "1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0;;";

// The frame of that name; a failure and a default frame when there is none.
const SceneNode& FrameNamed(const XGeneralContent& c, std::string_view name) {
    static const SceneNode none;
    for (const SceneNode& node : c.frames) {
        if (node.name == name) {
            return node;
        }
    }
    ADD_FAILURE() << "no frame " << name;
    return none;
}

std::vector<std::string> Names(const XGeneralContent& c) {
    std::vector<std::string> names;
    for (const SceneNode& node : c.frames) {
        names.push_back(node.name);
    }
    return names;
}

std::vector<int32_t> Parents(const XGeneralContent& c) {
    std::vector<int32_t> parents;
    for (const SceneNode& node : c.frames) {
        parents.push_back(node.parentId);
    }
    return parents;
}

// The triangles of faces given as corner lists, as fans around each face's first corner.
std::vector<int32_t> Fans(const std::vector<std::vector<int32_t>>& faces) {
    std::vector<int32_t> triangles;
    for (const auto& face : faces) {
        for (size_t k = 1; k + 1 < face.size(); ++k) {
            triangles.insert(triangles.end(), {face[0], face[k], face[k + 1]});
        }
    }
    return triangles;
}

std::vector<std::pair<std::string, int32_t>> Skipped(const XGeneralContent& c) {
    std::vector<std::pair<std::string, int32_t>> kinds;
    for (const XSkippedExtra& extra : c.skipped) {
        kinds.emplace_back(extra.kind, extra.count);
    }
    return kinds;
}

std::string DeepFrames(int levels) {
    std::string text = kHeader;
    for (int i = 0; i < levels; ++i) {
        text += "Frame Level" + std::to_string(i) + " {\n";
    }
    for (int i = 0; i < levels; ++i) {
        text += "}\n";
    }
    return text;
}

std::vector<XFixture> MakeFixtures() {
    std::vector<XFixture> f;

    f.push_back({"scene_root_child",
                 kHeader + R"(
Frame Scene_Root {
 FrameTransformMatrix {
  )" + kIdentity + R"(
 }
 Frame Hip {
  FrameTransformMatrix {
   1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,1.5,2.0,-3.25,1.0;;
  }
 }
}
)",
                 {2, 0, 0, 0},
                 [](const XGeneralContent& c) {
                     EXPECT_EQ(Names(c), (std::vector<std::string>{"Scene_Root", "Hip"}));
                     EXPECT_EQ(Parents(c), (std::vector<int32_t>{-1, 0}));
                     EXPECT_EQ(c.frames[0].firstChild, 1);
                     const Matrix& m = c.frames[1].localMatrix;
                     EXPECT_EQ(m(3, 0), 1.5f);
                     EXPECT_EQ(m(3, 1), 2.0f);
                     EXPECT_EQ(m(3, 2), -3.25f);
                 }});

    f.push_back(
        {"outer_frame_renamed",
         kHeader + R"(
Frame DXCC_ROOT {
 FrameTransformMatrix { 2.0,0.0,0.0,0.0, 0.0,2.0,0.0,0.0, 0.0,0.0,2.0,0.0, 0.0,0.0,0.0,1.0;; }
 Frame Arm { }
}
)",
         {3, 0, 0, 0},
         [](const XGeneralContent& c) {
             EXPECT_EQ(Names(c), (std::vector<std::string>{"Scene_Root", "DXCC_ROOT", "Arm"}));
             EXPECT_EQ(Parents(c), (std::vector<int32_t>{-1, 0, 1}));
             EXPECT_EQ(c.frames[0].localMatrix, IdentityMatrix());
             EXPECT_EQ(c.frames[1].localMatrix(0, 0), 2.0f);
         }});

    f.push_back({"several_outer_frames",
                 kHeader + R"(
Frame Left { Frame LeftHand { } }
Frame Right { }
)",
                 {4, 0, 0, 0},
                 [](const XGeneralContent& c) {
                     EXPECT_EQ(Names(c), (std::vector<std::string>{"Scene_Root", "Left", "LeftHand",
                                                                   "Right"}));
                     EXPECT_EQ(Parents(c), (std::vector<int32_t>{-1, 0, 1, 0}));
                     EXPECT_EQ(c.frames[0].firstChild, 1);
                     EXPECT_EQ(c.frames[1].firstChild, 2);
                     EXPECT_EQ(c.frames[1].nextSibling, 3);
                     EXPECT_EQ(c.frames[3].nextSibling, kNoNode);
                 }});

    f.push_back({"comments",
                 kHeader + R"(// A comment before everything { with braces }
# another one }
Frame Scene_Root { // trailing comment {
 # FrameTransformMatrix { 9.0 }
 Frame Spine { FrameTransformMatrix {
  1.0, 0.0, 0.0, 0.0, // row one
  0.0, 1.0, 0.0, 0.0, # row two
  0.0, 0.0, 1.0, 0.0,
  0.0, 4.5, 0.0, 1.0;; // translation }
 } }
}
)",
                 {2, 0, 0, 0},
                 [](const XGeneralContent& c) {
                     EXPECT_EQ(c.frames[0].localMatrix, IdentityMatrix());
                     EXPECT_EQ(FrameNamed(c, "Spine").localMatrix(3, 1), 4.5f);
                 }});

    f.push_back({"templates_and_header",
                 kHeader + R"(
template Vector {
 <3D82AB5E-62DA-11cf-AB39-0020AF71E433>
 FLOAT x;
 FLOAT y;
 FLOAT z;
}
template Mesh {
 <3D82AB44-62DA-11cf-AB39-0020AF71E433>
 DWORD nVertices;
 array Vector vertices[nVertices];
 DWORD nFaces;
 array MeshFace faces[nFaces];
 [...]
}
template Frame {
 <3D82AB46-62DA-11cf-AB39-0020AF71E433>
 [FrameTransformMatrix <F6F23F41-7686-11cf-8F52-0040333594A3>, Mesh <3D82AB44-62DA-11cf-AB39-0020AF71E433>]
}
template Matrix4x4 {
 <F6F23F45-7686-11cf-8F52-0040333594A3>
 array FLOAT matrix[16];
}
Header {
 1;
 0;
 1;
}
Frame Scene_Root {
 Frame Pelvis {
 }
}
)",
                 {2, 0, 0, 0},
                 [](const XGeneralContent& c) {
                     EXPECT_EQ(Names(c), (std::vector<std::string>{"Scene_Root", "Pelvis"}));
                     EXPECT_TRUE(c.skipped.empty());
                 }});

    f.push_back({"unnamed_frame_and_late_matrix",
                 kHeader + R"(
Frame Scene_Root {
 Frame {
  Frame Leaf { }
  FrameTransformMatrix { 1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,7.0,8.0,9.0,1.0;; }
 }
}
)",
                 {3, 0, 0, 0},
                 [](const XGeneralContent& c) {
                     EXPECT_EQ(Names(c), (std::vector<std::string>{"Scene_Root", "", "Leaf"}));
                     EXPECT_EQ(Parents(c), (std::vector<int32_t>{-1, 0, 1}));
                     EXPECT_EQ(c.frames[1].localMatrix, TranslationMatrix(7, 8, 9));
                     EXPECT_EQ(c.frames[2].localMatrix, IdentityMatrix());
                 }});

    f.push_back(
        {"polygons",
         kHeader + R"(
Frame Scene_Root {
 Frame Shape {
  Mesh ShapeMesh {
   7;
   0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;, 0.0;1.0;0.0;,
   2.0;0.0;0.0;, 3.0;1.0;0.0;, 2.0;2.0;0.0;;
   3;
   4;0,1,2,3;,
   5;1,4,5,6,2;,
   3;0,2,3;;
   MeshNormals {
    2;
    0.0;0.0;1.0;, 0.0;0.0;-1.0;;
    3;
    4;0,0,0,0;,
    5;1,1,1,1,1;,
    3;0,1,0;;
   }
   MeshMaterialList {
    2;
    3;
    1,0,1;;
    Material Gold { 1.0;0.8;0.0;1.0;; 20.0; 1.0;1.0;1.0;; 0.0;0.0;0.0;; }
    Material Lead { 0.3;0.3;0.3;1.0;; 5.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }
   }
  }
 }
}
)",
         {2, 6, 0, 0},
         [](const XGeneralContent& c) {
             const MeshData& mesh = FrameNamed(c, "Shape").mesh;
             EXPECT_EQ(mesh.name, "ShapeMesh");
             EXPECT_EQ(mesh.vertexCount, 7);
             EXPECT_EQ(mesh.positions[5], (Vector3{3, 1, 0}));
             EXPECT_EQ(mesh.faceIndices, Fans({{0, 1, 2, 3}, {1, 4, 5, 6, 2}, {0, 2, 3}}));
             EXPECT_EQ(mesh.faceCount, 6);
             EXPECT_EQ(mesh.normalFaceIndices, Fans({{0, 0, 0, 0}, {1, 1, 1, 1, 1}, {0, 1, 0}}));
             EXPECT_EQ(mesh.normalFaceCount, 6);
             EXPECT_EQ(mesh.normals[1], (Vector3{0, 0, -1}));
             // Each face's material, once per triangle of the face.
             EXPECT_EQ(mesh.faceMaterials, (std::vector<int32_t>{1, 1, 0, 0, 0, 1}));
             EXPECT_EQ(mesh.faceMaterialCount, 6);
             ASSERT_EQ(mesh.materialCount, 2);
             EXPECT_EQ(mesh.materials[0].name, "Gold");
             EXPECT_EQ(mesh.materials[0].faceColour[1], 0.8f);
             EXPECT_EQ(mesh.materials[0].power, 20.0f);
             EXPECT_EQ(mesh.materials[1].name, "Lead");
             EXPECT_EQ(mesh.materials[1].textureFile, "");
         }});

    f.push_back(
        {"top_level_mesh",
         kHeader + R"(
Mesh Crate {
 4;
 0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;, 0.0;1.0;0.0;;
 1;
 4;0,1,2,3;;
}
Frame Floor { }
)",
         {3, 2, 0, 0},
         [](const XGeneralContent& c) {
             EXPECT_EQ(Names(c), (std::vector<std::string>{"Scene_Root", "Crate", "Floor"}));
             EXPECT_EQ(Parents(c), (std::vector<int32_t>{-1, 0, 0}));
             EXPECT_EQ(c.frames[1].mesh.name, "Crate");
             EXPECT_EQ(c.frames[1].mesh.faceIndices, Fans({{0, 1, 2, 3}}));
             EXPECT_EQ(c.frames[1].localMatrix, IdentityMatrix());
             EXPECT_FALSE(c.frames[2].mesh.HasMesh());
         }});

    f.push_back({"mesh_referenced",
                 kHeader + R"(
Mesh Box {
 3;
 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;;
 1;
 3;0,1,2;;
}
Frame LeftBox { { Box } }
Frame RightBox { { Box <4A1C7A4D-3F9B-4E2C-9D2A-6B1E8C3F5A70> } }
Frame BackBox { { Box 4a1c7a4d-3f9b-4e2c-9d2a-6b1e8c3f5a70 } }
)",
                 {4, 3, 0, 0},
                 [](const XGeneralContent& c) {
                     // A referenced top-level mesh gets no frame of its own.
                     EXPECT_EQ(Names(c), (std::vector<std::string>{"Scene_Root", "LeftBox",
                                                                   "RightBox", "BackBox"}));
                     for (size_t i = 1; i < 4; ++i) {
                         EXPECT_EQ(c.frames[i].mesh.name, "Box");
                         EXPECT_EQ(c.frames[i].mesh.positions[1], (Vector3{1, 0, 0}));
                         EXPECT_EQ(c.frames[i].mesh.faceIndices, (std::vector<int32_t>{0, 1, 2}));
                     }
                 }});

    f.back().assimpCannot = "references with a class id";
    f.push_back({"material_references",
                 kHeader + R"(
Material Red {
 1.0;0.0;0.0;1.0;;
 10.0;
 1.0;1.0;1.0;;
 0.0;0.0;0.0;;
 TextureFilename { "textures\\red.png"; }
}
Material Plain {
 0.5;0.5;0.5;1.0;;
 0.0;
 0.0;0.0;0.0;;
 0.0;0.0;0.0;;
}
Frame Scene_Root {
 Frame Panel {
  Mesh {
   4;
   0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;, 0.0;1.0;0.0;;
   2;
   3;0,1,2;,
   3;0,2,3;;
   MeshMaterialList {
    3;
    2;
    0,2;;
    { Red }
    { Plain }
    Material Glass {
     0.8;0.9;1.0;0.25;;
     50.0;
     1.0;1.0;1.0;;
     0.0;0.0;0.0;;
     EffectInstance { "glass.fx"; }
    }
   }
  }
 }
}
)",
                 {2, 2, 0, 0},
                 [](const XGeneralContent& c) {
                     const MeshData& mesh = FrameNamed(c, "Panel").mesh;
                     ASSERT_EQ(mesh.materials.size(), 3u);
                     EXPECT_EQ(mesh.materials[0].name, "Red");
                     EXPECT_EQ(mesh.materials[0].textureFile, R"(textures\\red.png)");
                     EXPECT_EQ(mesh.materials[0].power, 10.0f);
                     EXPECT_EQ(mesh.materials[1].name, "Plain");
                     EXPECT_EQ(mesh.materials[1].textureFile, "");
                     EXPECT_EQ(mesh.materials[1].faceColour[0], 0.5f);
                     EXPECT_EQ(mesh.materials[2].name, "Glass");
                     EXPECT_EQ(mesh.materials[2].faceColour[3], 0.25f);
                     EXPECT_EQ(mesh.faceMaterials, (std::vector<int32_t>{0, 2}));
                     EXPECT_EQ(
                         Skipped(c),
                         (std::vector<std::pair<std::string, int32_t>>{{"EffectInstance", 1}}));
                 }});

    f.push_back(
        {"texture_coords",
         kHeader + R"(
Frame Scene_Root {
 Frame Sheet {
  Mesh Sheet {
   3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;;
   1; 3;0,1,2;;
   MeshTextureCoords { 3; 0.0;1.0;, 1.0;0.75;, 0.25;0.0;; }
  }
 }
}
)",
         {2, 1, 0, 0},
         [](const XGeneralContent& c) {
             const MeshData& mesh = FrameNamed(c, "Sheet").mesh;
             EXPECT_EQ(mesh.texCoordCount, 3);
             EXPECT_EQ(mesh.texCoords, (std::vector<Vector2>{{0, 1}, {1, 0.75f}, {0.25f, 0}}));
         }});

    f.push_back({"skin_any_order",
                 kHeader + R"(
Frame Scene_Root {
 Frame Root {
  Frame Upper { }
  Frame Lower { }
 }
 Frame Skin {
  Mesh SkinMesh {
   3; 0.0;0.0;0.0;, 0.0;1.0;0.0;, 0.0;2.0;0.0;;
   1; 3;0,1,2;;
   SkinWeights {
    "Lower";
    2;
    1,2;
    0.5,1.0;
    1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,-1.0,0.0,1.0;;
   }
   XSkinMeshHeader { 2; 2; 2; }
   SkinWeights {
    "Upper";
    2;
    0,1;
    1.0,0.5;
    )" + kIdentity + R"(
   }
  }
 }
}
)",
                 {5, 1, 2, 0},
                 [](const XGeneralContent& c) {
                     const MeshData& mesh = FrameNamed(c, "Skin").mesh;
                     ASSERT_EQ(mesh.boneCount, 2);
                     EXPECT_EQ(mesh.boneWeights[0].boneName, "Lower");
                     EXPECT_EQ(mesh.boneWeights[0].vertexIndices, (std::vector<int32_t>{1, 2}));
                     EXPECT_EQ(mesh.boneWeights[0].weights, (std::vector<float>{0.5f, 1.0f}));
                     EXPECT_EQ(mesh.boneWeights[0].weightCount, 2);
                     EXPECT_EQ(mesh.boneWeights[0].offsetMatrix, TranslationMatrix(0, -1, 0));
                     EXPECT_EQ(mesh.boneWeights[1].boneName, "Upper");
                     EXPECT_EQ(mesh.boneWeights[1].offsetMatrix, IdentityMatrix());
                     EXPECT_EQ(mesh.maxWeightsPerVertex, 2);
                     EXPECT_EQ(mesh.maxWeightsPerFace, 2);
                 }});

    f.push_back({"skin_without_header",
                 kHeader + R"(
Frame Scene_Root {
 Frame A { } Frame B { } Frame C { }
 Frame Skin {
  Mesh {
   4; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 1.0;1.0;0.0;, 0.0;1.0;0.0;;
   2; 3;0,1,2;, 3;0,2,3;;
   SkinWeights { "A"; 2; 0,1; 1.0,0.5; )" +
                     kIdentity + R"( }
   SkinWeights { "B"; 2; 1,2; 0.5,1.0; )" +
                     kIdentity + R"( }
   SkinWeights { "C"; 1; 3; 1.0; )" +
                     kIdentity + R"( }
  }
 }
}
)",
                 {5, 2, 3, 0},
                 [](const XGeneralContent& c) {
                     const MeshData& mesh = FrameNamed(c, "Skin").mesh;
                     // Vertex 1 has two bones; the second triangle (0, 2, 3) touches A, B, C.
                     EXPECT_EQ(mesh.maxWeightsPerVertex, 2);
                     EXPECT_EQ(mesh.maxWeightsPerFace, 3);
                     EXPECT_EQ(mesh.boneCount, 3);
                 }});

    f.push_back({"extras_skipped",
                 kHeader + R"(
Frame Scene_Root {
 Frame Prop {
  FrameMeshName { "PropMesh"; }
  Mesh PropMesh {
   3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;;
   1; 3;0,1,2;;
   VertexDuplicationIndices { 3; 3; 0, 1, 2; }
   MeshVertexColors { 3; 0;1.0;0.0;0.0;1.0;;, 1;0.0;1.0;0.0;1.0;;, 2;0.0;0.0;1.0;1.0;;; }
   FVFData { 258; 2; 1, 2; }
   DeclData { 1; 2;0;3;0;; 3; 1, 2, 3; }
   MeshFaceWraps { 1; 0,0;; }
   Decoration { Inner { Deeper { 1; } } { PropMesh } }
   VertexDuplicationIndices { 3; 3; 0, 1, 2; }
  }
 }
}
)",
                 {2, 1, 0, 0},
                 [](const XGeneralContent& c) {
                     EXPECT_EQ(FrameNamed(c, "Prop").mesh.vertexCount, 3);
                     EXPECT_EQ(Skipped(c), (std::vector<std::pair<std::string, int32_t>>{
                                               {"FrameMeshName", 1},
                                               {"VertexDuplicationIndices", 2},
                                               {"MeshVertexColors", 1},
                                               {"FVFData", 1},
                                               {"DeclData", 1},
                                               {"MeshFaceWraps", 1},
                                               {"Decoration", 1}}));
                 }});

    f.push_back(
        {"rotation_scale_position_keys",
         kHeader + R"(
AnimTicksPerSecond { 4800; }
Frame Scene_Root { Frame Hip { } }
AnimationSet Walk {
 Animation {
  AnimationOptions { 1; 0; }
  { Hip }
  AnimationKey {
   0;
   2;
   0;4;1.0,0.0,0.0,0.0;;,
   4800;4;0.5,0.5,0.5,0.5;;;
  }
  AnimationKey {
   1;
   1;
   0;3;1.0,2.0,1.0;;;
  }
  AnimationKey {
   2;
   2;
   0;3;0.0,0.0,0.0;;,
   9600;3;1.0,2.0,3.0;;;
  }
 }
}
)",
         {2, 0, 0, 1},
         [](const XGeneralContent& c) {
             EXPECT_EQ(c.ticksPerSecond, 4800u);
             ASSERT_EQ(c.animSets.size(), 1u);
             EXPECT_EQ(c.animSets[0].name, "Walk");
             ASSERT_EQ(c.animSets[0].animations.size(), 1u);
             const NodeAnimation& a = c.animSets[0].animations[0];
             EXPECT_EQ(a.name, "Hip");
             ASSERT_EQ(a.tracks.size(), 3u);
             EXPECT_EQ(a.tracks[0].keyType, 0);
             EXPECT_EQ(a.tracks[1].keyType, 1);
             EXPECT_EQ(a.tracks[2].keyType, 2);
             ASSERT_EQ(a.tracks[0].keyCount, 2);
             EXPECT_EQ(a.tracks[0].keys[1].time, 4800u);
             EXPECT_EQ(a.tracks[0].keys[1].valueCount, 4u);
             EXPECT_EQ(a.tracks[0].keys[1].values, (std::vector<float>{0.5f, 0.5f, 0.5f, 0.5f}));
             EXPECT_FALSE(a.tracks[0].keys[1].isMatrix);
             EXPECT_EQ(a.tracks[1].keys[0].values, (std::vector<float>{1, 2, 1}));
             EXPECT_EQ(a.tracks[2].keys[1].time, 9600u);
             EXPECT_EQ(a.tracks[2].keys[1].values, (std::vector<float>{1, 2, 3}));
             EXPECT_EQ(Skipped(c),
                       (std::vector<std::pair<std::string, int32_t>>{{"AnimationOptions", 1}}));
         }});

    f.push_back({"matrix_keys",
                 kHeader + R"(
Frame Scene_Root { Frame Arm { } }
AnimationSet Wave {
 Animation Arm_Anim {
  { Arm }
  AnimationKey {
   4;
   2;
   0;16;)" + kIdentity +
                     R"(,
   100;16;1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.5,0.0,0.0,1.0;;;
  }
  AnimationKey {
   3;
   1;
   50;16;1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.25,0.0,0.0,1.0;;;
  }
 }
}
)",
                 {2, 0, 0, 1},
                 [](const XGeneralContent& c) {
                     ASSERT_EQ(c.animSets.size(), 1u);
                     const NodeAnimation& a = c.animSets[0].animations.at(0);
                     EXPECT_EQ(a.name, "Arm");
                     ASSERT_EQ(a.tracks.size(), 2u);
                     EXPECT_EQ(a.tracks[0].keyType, 4);
                     ASSERT_EQ(a.tracks[0].keys.size(), 2u);
                     EXPECT_TRUE(a.tracks[0].keys[1].isMatrix);
                     EXPECT_EQ(a.tracks[0].keys[1].valueCount, 16u);
                     EXPECT_EQ(a.tracks[0].keys[1].matrix, TranslationMatrix(0.5f, 0, 0));
                     EXPECT_EQ(a.tracks[1].keyType, 3);
                     EXPECT_EQ(a.tracks[1].keys.at(0).time, 50u);
                     EXPECT_EQ(a.tracks[1].keys.at(0).matrix, TranslationMatrix(0.25f, 0, 0));
                 }});

    f.push_back({"top_level_animations",
                 kHeader + R"(
Frame Scene_Root { Frame Head { } Frame Tail { } }
Animation HeadTurn {
 { Head }
 AnimationKey { 2; 1; 0;3;1.0,0.0,0.0;;; }
}
AnimationSet Run {
 Animation { { Tail } AnimationKey { 1; 1; 10;3;2.0,2.0,2.0;;; } }
}
Animation TailWag {
 { Tail }
 AnimationKey { 0; 1; 0;4;1.0,0.0,0.0,0.0;;; }
}
)",
                 {3, 0, 0, 2},
                 [](const XGeneralContent& c) {
                     ASSERT_EQ(c.animSets.size(), 2u);
                     // The top-level animations form one unnamed set where the first stands.
                     EXPECT_EQ(c.animSets[0].name, "");
                     ASSERT_EQ(c.animSets[0].animations.size(), 2u);
                     EXPECT_EQ(c.animSets[0].animations[0].name, "Head");
                     EXPECT_EQ(c.animSets[0].animations[1].name, "Tail");
                     EXPECT_EQ(c.animSets[1].name, "Run");
                     EXPECT_EQ(c.animSets[1].animations.at(0).tracks.at(0).keys.at(0).time, 10u);
                 }});

    f.push_back(
        {"lenient_separators",
         kHeader + R"(
Frame Scene_Root {
Frame Odd {FrameTransformMatrix {1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.5,0.5,0.5,1.0;}
Mesh Odd{3;0.0;0.0;0.0;,1.0;0.0;0.0;,0.0;1.0;0.0;;1;3;0;1;2;;;
MeshNormals{1;0.0,0.0,1.0;1;3;0,0,0;}
MeshTextureCoords {3;0.0 0.0 1.0 0.0 0.0 1.0}}}}
)",
         {2, 1, 0, 0},
         [](const XGeneralContent& c) {
             const SceneNode& odd = FrameNamed(c, "Odd");
             EXPECT_EQ(odd.localMatrix, TranslationMatrix(0.5f, 0.5f, 0.5f));
             EXPECT_EQ(odd.mesh.positions, (std::vector<Vector3>{{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}));
             EXPECT_EQ(odd.mesh.faceIndices, (std::vector<int32_t>{0, 1, 2}));
             EXPECT_EQ(odd.mesh.normals, (std::vector<Vector3>{{0, 0, 1}}));
             EXPECT_EQ(odd.mesh.normalFaceIndices, (std::vector<int32_t>{0, 0, 0}));
             EXPECT_EQ(odd.mesh.texCoords, (std::vector<Vector2>{{0, 0}, {1, 0}, {0, 1}}));
         }});

    f.back().assimpCannot = "values without their separators";
    f.push_back({"names_as_written",
                 kHeader + "\nFrame Scene_Root {\n Frame Bip01-L.Thigh { }\n"
                           " Frame 01 { }\n Frame Kn\xC3\xB6"
                           "chel { }\n}\n",
                 {4, 0, 0, 0},
                 [](const XGeneralContent& c) {
                     EXPECT_EQ(Names(c),
                               (std::vector<std::string>{"Scene_Root", "Bip01-L.Thigh", "01",
                                                         "Kn\xC3\xB6"
                                                         "chel"}));
                 }});

    f.push_back({"unknown_top_level",
                 kHeader + R"(
MyExtension Settings {
 1;
 { Frame1 }
 Inner { 2.0; Deeper { "x"; } }
}
Frame Scene_Root { Frame Body { } }
{ Body }
)",
                 {2, 0, 0, 0},
                 [](const XGeneralContent& c) {
                     EXPECT_EQ(Names(c), (std::vector<std::string>{"Scene_Root", "Body"}));
                     EXPECT_EQ(Skipped(c),
                               (std::vector<std::pair<std::string, int32_t>>{
                                   {"MyExtension", 1}, {"reference at the top level", 1}}));
                 }});

    f.back().assimpCannot = "references at the top level";
    f.push_back({"two_meshes_in_frame",
                 kHeader + R"(
Frame Scene_Root {
 Frame Body {
  Mesh Torso { 3; 0.0;0.0;0.0;, 1.0;0.0;0.0;, 0.0;1.0;0.0;; 1; 3;0,1,2;; }
  Frame Child { }
  Mesh { 3; 0.0;0.0;1.0;, 1.0;0.0;1.0;, 0.0;1.0;1.0;; 1; 3;0,2,1;; }
 }
}
)",
                 {4, 2, 0, 0},
                 [](const XGeneralContent& c) {
                     // The second mesh gets a frame of its own, before the frame's children.
                     EXPECT_EQ(Names(c),
                               (std::vector<std::string>{"Scene_Root", "Body", "Mesh_2", "Child"}));
                     EXPECT_EQ(Parents(c), (std::vector<int32_t>{-1, 0, 1, 1}));
                     EXPECT_EQ(c.frames[1].mesh.name, "Torso");
                     EXPECT_EQ(c.frames[2].mesh.faceIndices, (std::vector<int32_t>{0, 2, 1}));
                     EXPECT_EQ(c.frames[2].localMatrix, IdentityMatrix());
                 }});

    f.push_back({"animation_only",
                 kHeader + R"(
AnimationSet Idle {
 Animation { { Hip } AnimationKey { 2; 1; 0;3;0.0,1.0,0.0;;; } }
}
)",
                 {1, 0, 0, 1},
                 [](const XGeneralContent& c) {
                     EXPECT_EQ(Names(c), (std::vector<std::string>{"Scene_Root"}));
                     EXPECT_EQ(c.frames[0].parentId, -1);
                     EXPECT_EQ(c.animSets.at(0).animations.at(0).name, "Hip");
                 }});

    f.back().assimpCannot = "a file without frames";
    f.push_back({"deep_nesting", DeepFrames(60), {61, 0, 0, 0}, [](const XGeneralContent& c) {
                     ASSERT_EQ(c.frames.size(), 61u);
                     EXPECT_EQ(c.frames[0].name, "Scene_Root");
                     for (size_t i = 1; i < c.frames.size(); ++i) {
                         EXPECT_EQ(c.frames[i].name, "Level" + std::to_string(i - 1));
                         EXPECT_EQ(c.frames[i].parentId, static_cast<int32_t>(i) - 1);
                     }
                 }});

    f.push_back({"float64_header",
                 "xof 0302txt 0064" + std::string(R"(
Frame Scene_Root {
 Frame Tilted {
  FrameTransformMatrix { 0.1,0.2,0.0,0.0, -0.2,0.1,0.0,0.0, 0.0,0.0,1.0,0.0, 0.3,0.0,0.7,1.0;; }
 }
}
)"),
                 {2, 0, 0, 0},
                 [](const XGeneralContent& c) {
                     EXPECT_EQ(c.format.floatBits, 64);
                     EXPECT_EQ(c.format.version, "0302");
                     const Matrix& m = FrameNamed(c, "Tilted").localMatrix;
                     EXPECT_EQ(m(0, 0), 0.1f);
                     EXPECT_EQ(m(1, 0), -0.2f);
                     EXPECT_EQ(m(3, 2), 0.7f);
                 }});
    return f;
}

}  // namespace

const std::vector<XFixture>& XGeneralFixtures() {
    static const std::vector<XFixture> fixtures = MakeFixtures();
    return fixtures;
}

}  // namespace toravel::testing
