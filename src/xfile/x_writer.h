// The text X writer: frame hierarchies with their meshes, materials and skin weights, the
// diagnostic hierarchy listing, and animation sets. Everything is written character for
// character in the layout that readers of this tool and Direct3D-based readers expect.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "scene/read_result.h"
#include "scene/records.h"
#include "text/text_writer.h"

namespace toravel {

// Indentation stops growing at this depth, so that output stays linear in the number of
// frames even for absurdly deep hierarchies; real skeletons never come near it.
inline constexpr int kMaxIndentDepth = 128;

void WriteIndent(TextWriter& out, int depth);
void WriteXHeader(TextWriter& out);

// What an export may add between the header and the frames; empty by default.
struct SceneFramesPrelude {
    std::string_view templates;              // template declarations, written as they stand
    std::optional<uint32_t> ticksPerSecond;  // an AnimTicksPerSecond block
    // Above 1, the meshes are formatted ahead on this many worker threads; the bytes are
    // the same.
    unsigned threads = 1;
};

// Writes the header, the Scene_Root frame and every frame below it. Frames read from an X file
// (whose one root is its own Scene_Root) are written with that Scene_Root, so that reading and
// writing again gives the same file. Writes nothing and returns false, with SelectSkeletonRoot's
// reason in `failure`, when the nodes have no single skeleton root.
bool WriteSceneFrames(TextWriter& out, const NodeList& nodes, Message& failure,
                      const SceneFramesPrelude& prelude = {});

// Whether `nodes` are frames read from an X file, whose own Scene_Root WriteSceneFrames writes
// as the file's Scene_Root (one root, named Scene_Root, without a mesh).
bool HasOwnSceneRoot(const NodeList& nodes);

// Additions that consumers of X files may need; the menu export writes neither.
struct ExportOptions {
    // Writes an AnimTicksPerSecond block after the header; SMD key times run at 1000 ticks a
    // frame, so 30 frames a second is 30000.
    std::optional<uint32_t> ticksPerSecond;
    // Writes the standard template declarations after the header.
    bool templates = false;
    // Above 1, meshes and animations are formatted on this many worker threads; the file is
    // the same byte for byte.
    unsigned threads = 1;
};

// A whole X document: the frames of `nodes`, then every set. False, with nothing written, as
// WriteSceneFrames.
bool WriteXDocument(TextWriter& out, const NodeList& nodes, const std::vector<AnimSet>& sets,
                    const ExportOptions& options, Message& failure);

// The standard template declarations of the text X format that the writer uses.
std::string_view StandardTemplates();

// Writes `node` with its subtree, then its later siblings with theirs, at `depth`.
void WriteFrame(TextWriter& out, const NodeList& nodes, NodeIndex node, int depth);
void WriteFrameTransformMatrix(TextWriter& out, int depth, const Matrix& matrix);
void WriteMesh(TextWriter& out, const SceneNode& node, int depth);
void WriteMeshTextureCoords(TextWriter& out, const MeshData& mesh, int depth);
void WriteMeshMaterialList(TextWriter& out, const MeshData& mesh, int depth);
void WriteSkinMeshHeader(TextWriter& out, const MeshData& mesh, int depth);
void WriteSkinWeights(TextWriter& out, const MeshData& mesh, int depth);

// The node tree as an indented plain-text listing, from every node with a negative parent id.
void WriteHierarchyListing(TextWriter& out, const NodeList& nodes);

// One AnimationSet block; it leaves its closing brace on an unterminated line.
void WriteAnimationSet(TextWriter& out, const AnimSet& set);
// The same, its animations formatted on `threads` worker threads when that is above 1.
void WriteAnimationSet(TextWriter& out, const AnimSet& set, unsigned threads);
void WriteAnimation(TextWriter& out, const NodeAnimation& animation, int depth);
void WriteAnimationKey(TextWriter& out, const KeyTrack& track, int depth);
void WriteTimedKey(TextWriter& out, const TimedKey& key, int depth, bool isLast);

}  // namespace toravel
