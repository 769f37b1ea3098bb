// What the general X parser collects before references are resolved and the frames are put
// into their final order: every frame with its children, every mesh, the named materials,
// the references still to resolve, the animation sets, and what was skipped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "scene/records.h"

namespace toravel {

// A mesh of a frame: one read in place (`mesh` >= 0), or one named by a reference.
struct XParsedMeshItem {
    int32_t mesh = -1;
    std::string reference;
    size_t position = 0;  // of the reference, for messages
};

struct XParsedFrame {
    std::string name;
    size_t position = 0;  // of the Frame keyword, for messages
    Matrix matrix;
    bool hasMatrix = false;
    int32_t parent = -1;                  // index into frames; -1 for an outermost frame
    std::vector<int32_t> children;        // indices into frames, in file order
    std::vector<XParsedMeshItem> meshes;  // as read, in file order
    int32_t resolvedMesh = -1;            // the one mesh the frame keeps, once resolved
};

// One entry at the top level of the file that can become an outermost frame.
struct XParsedTopItem {
    bool isMesh = false;
    int32_t index = -1;  // into frames or meshes
};

// A material slot of a mesh that a reference names.
struct XParsedMaterialRef {
    int32_t mesh = -1;
    size_t slot = 0;
    std::string name;
    size_t position = 0;
};

struct XParsedSkip {
    std::string kind;
    int32_t count = 0;
    size_t firstPosition = 0;
};

struct XParsedWarning {
    size_t position = 0;
    std::string text;
};

struct XParsedFile {
    std::vector<XParsedFrame> frames;
    std::vector<XParsedTopItem> topLevel;
    std::vector<MeshData> meshes;
    std::unordered_map<std::string, int32_t> meshByName;           // first declared wins
    std::unordered_map<std::string, MaterialData> materialByName;  // first declared wins
    std::unordered_set<std::string> otherNames;  // named frames and skipped objects
    std::vector<XParsedMaterialRef> materialRefs;
    std::vector<AnimSet> animSets;
    std::optional<uint32_t> ticksPerSecond;
    std::vector<XParsedSkip> skipped;
    std::vector<XParsedWarning> warnings;
    size_t droppedWarnings = 0;  // warnings beyond the kept ones
};

// Notes a kind of data left out. Kinds are counted in the order first met; past a hundred
// kinds the rest are counted together as "other data objects".
void NoteSkipped(XParsedFile& file, std::string_view kind, size_t position);
// Keeps a warning; past a hundred they are only counted.
void AddWarning(XParsedFile& file, size_t position, std::string text);

}  // namespace toravel
