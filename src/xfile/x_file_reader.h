// The XFileReader document and the "Load X File" command: the frame hierarchy and the
// animation sets of one DirectX text X file.
//
// Accepted shape: the header line, template declarations (skipped), optionally an
// AnimTicksPerSecond block, exactly one outermost frame named Scene_Root, and after it any
// number of AnimationSet blocks (optionally preceded by an AnimTicksPerSecond block).
// Whatever follows is not read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/user_interaction.h"
#include "scene/node_ops.h"
#include "scene/records.h"
#include "text/line_tokenizer.h"

namespace toravel {

// Frames nested deeper than this many levels below Scene_Root end the load with a message:
// the depth that the SMD readers accept, so every file Toravel writes reads back.
inline constexpr size_t kMaxXFrameNesting = kMaxHierarchyDepth;

struct XFileReader {
    bool loaded = false;
    std::string fileName;  // without folder; set only by a load that succeeded
    std::string filePath;  // full path; set only by a load that succeeded
    // Depth-first pre-order of the file: ids are positions, Scene_Root is frame 0 with parent
    // id -1. Linked once the whole hierarchy has been read.
    NodeList frames;
    std::vector<AnimSet> animSets;
    // The value of an AnimTicksPerSecond block, when the file has one.
    std::optional<uint32_t> ticksPerSecond;

    void Reset() { *this = XFileReader{}; }
};

// The menu command: asks for a file ("DirectX X Files (*.x)", "All files (*.*)") and loads
// it. True when the file was read to the end.
bool LoadXFile(XFileReader& doc, LineTokenizer& tokenizer, UserInteraction& ui);

// The command from the open step on, for a file already chosen.
bool LoadXFileFrom(XFileReader& doc, const FileChoice& file, LineTokenizer& tokenizer,
                   UserInteraction& ui);

// Where the two debug dumps go: "f:\<name>" on Windows, the temporary folder elsewhere.
std::string XDumpPath(const std::string& name);

}  // namespace toravel
