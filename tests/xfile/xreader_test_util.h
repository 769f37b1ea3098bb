// Helpers for the X reader tests: loading X text from a temporary file, and small X text
// builders.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "app/user_interaction.h"
#include "support/recording_interaction.h"
#include "support/temp_dir.h"
#include "app/x_load_command.h"

namespace toravel::testing {

// Writes `text` as a file in `dir` and loads it into `doc`.
inline bool LoadXText(XFileReader& doc, const TempDir& dir, std::string_view text,
                      UserInteraction& ui, const std::string& name = "case.x") {
    return LoadXFileFrom(doc, FileChoice{dir.Write(name, text), name}, ui);
}

// Text X building blocks, laid out as the writer lays them out.
inline const std::string kXHeader = "xof 0303txt 0032\n\n";
inline const std::string kXMatrix =
    "FrameTransformMatrix {\n"
    " 1.000000,0.000000,0.000000,0.000000,0.000000,1.000000,0.000000,0.000000,"
    "0.000000,0.000000,1.000000,0.000000,0.000000,0.000000,0.000000,1.000000;;\n"
    "}\n";

// A child frame with its matrix and `body` (mesh and child frames).
inline std::string XFrame(const std::string& name, const std::string& body = "") {
    return "Frame " + name + " {\n" + kXMatrix + body + "}\n";
}
// The header and a Scene_Root frame holding `children`.
inline std::string XRoot(const std::string& children) {
    return kXHeader + "Frame Scene_Root {\n" + kXMatrix + children + "}\n";
}
// A triangle: three vertices and one face.
inline const std::string kXTriangleLists =
    "3;\n0.0;0.0;0.0;,\n1.0;0.0;0.0;,\n0.0;1.0;0.0;;\n1;\n3;0,1,2;;\n";
// A file whose frame Body holds a mesh made of the triangle lists and `blocks`.
inline std::string XMeshFile(const std::string& blocks,
                             const std::string& lists = kXTriangleLists) {
    return XRoot(XFrame("Body", "Mesh BodyMesh {\n" + lists + blocks + "}\n"));
}
// A file with the frame Bip01 followed by `sets`.
inline std::string XAnimFile(const std::string& sets) {
    return XRoot(XFrame("Bip01")) + sets;
}
// One Animation block for Bip01 with one key of three values.
inline const std::string kXAnimation =
    "Animation {\nAnimationKey {\n2;\n1;\n0;3;1.0,2.0,3.0;;;\n}\n{ Bip01 }\n}\n";

}  // namespace toravel::testing
