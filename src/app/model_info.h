// What `toravel info` tells about a model file: the skeleton as a tree, each mesh with its
// counts, textures and bones, each animation set with its frames, key types, keys and time
// range, what the reader left out, and, given a reference, each set's compatibility with it.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "scene/records.h"
#include "xfile/x_general_reader.h"

namespace toravel {

struct MeshInfo {
    std::string frame;  // the frame that holds the mesh
    std::string name;
    int32_t vertices = 0;
    int32_t faces = 0;
    int32_t materials = 0;
    std::vector<std::string> textures;  // distinct texture names, in order of the materials
    std::vector<std::string> bones;
    int32_t maxWeightsPerVertex = 0;
};

struct SetInfo {
    std::string name;
    std::vector<std::string> frames;  // the frames it animates, in its order
    std::vector<int32_t> keyTypes;    // distinct, ascending
    size_t keys = 0;                  // in all its tracks
    size_t fewestKeys = 0;            // in one track
    size_t mostKeys = 0;
    std::optional<uint32_t> firstTime;  // none when it has no keys
    std::optional<uint32_t> lastTime;
    // With a reference: the frames it animates that the reference lacks.
    std::optional<std::vector<std::string>> missingFrames;
};

struct ModelInfo {
    std::string file;  // as given
    std::string kind;  // "SMD reference", "SMD animation", "X file"
    std::optional<XFileFormat> format;
    NodeList frames;  // linked; the X file's Scene_Root included
    std::vector<MeshInfo> meshes;
    std::vector<SetInfo> sets;
    std::optional<uint32_t> ticksPerSecond;
    std::vector<XSkippedExtra> skipped;
    std::vector<std::string> warnings;
    std::optional<std::string> reference;  // the reference the sets were checked against
};

// The nodes of a file used as a reference: an SMD reference's nodes or an X file's frames.
// Nothing, with the reason in `error` (the command line's message), when the file cannot be
// read as either.
std::optional<NodeList> ReadReferenceNodes(const std::string& path, std::string& error);

// Reads `path` (an SMD reference or animation, or an X file of any encoding) and describes
// it; with `reference`, checks every set against its nodes. Nothing, with the reason in
// `error`, when the file cannot be read.
std::optional<ModelInfo> DescribeModel(const std::string& path, const NodeList* reference,
                                       const std::string& referenceName, std::string& error);

// The description as indented text, as `toravel info` prints it.
void PrintModelInfo(std::ostream& out, const ModelInfo& info);

// The descriptions as one JSON document: {"files": [...]}; a file that could not be read
// appears with its "error".
struct ModelInfoOutcome {
    std::string file;
    std::optional<ModelInfo> info;
    std::string error;
};
std::string ModelInfoJson(const std::vector<ModelInfoOutcome>& outcomes);

}  // namespace toravel
