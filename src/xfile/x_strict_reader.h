// The strict text X reader: the layout that Toravel writes and reads since its first version,
// with its own messages. It reads from memory into records and never talks to the user; a
// question that a load must ask mid-way, the name of an unnamed animation set, goes through a
// callback.
//
// Accepted shape: the header line, template declarations (skipped), optionally an
// AnimTicksPerSecond block, exactly one outermost frame named Scene_Root, and after it any
// number of AnimationSet blocks (optionally preceded by an AnimTicksPerSecond block).
// Whatever follows is not read.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scene/node_ops.h"
#include "scene/read_result.h"
#include "scene/records.h"
#include "text/text_input.h"

namespace toravel {

class XReader;

// Frames nested deeper than this many levels below Scene_Root end the load with a message:
// the depth that the SMD readers accept, so every file Toravel writes reads back.
inline constexpr size_t kMaxXFrameNesting = kMaxHierarchyDepth;

// What an X file holds.
struct XModel {
    // Depth-first pre-order of the file: ids are positions, Scene_Root is frame 0 with parent
    // id -1. Linked once the whole hierarchy has been read.
    NodeList frames;
    std::vector<AnimSet> animSets;
    // The value of an AnimTicksPerSecond block, when the file has one.
    std::optional<uint32_t> ticksPerSecond;
};

// What a read needs from its caller while it runs.
struct XReadHooks {
    // A name for an unnamed set; `index` counts the sets read before it. Nothing leaves the
    // set unnamed. Unset: every set stays as the file names it.
    std::function<std::optional<std::string>(size_t index)> nameUnnamedSet;
    // The trace lines of the frame reader, for a debugger's output channel.
    std::function<void(std::string_view)> trace;
};

// The two phases of a read; each returns false once the report holds the failure (with the
// line where reading stopped), and the caller stops at once.
class XStrictReader {
  public:
    XStrictReader(TextInput& input, XModel& model, ReadReport& report, XReadHooks hooks = {});
    ~XStrictReader();

    // The header, templates and the Scene_Root frame with all its frames, linked.
    bool ReadFrames();
    // What follows the frames: AnimTicksPerSecond blocks and the animation sets. Then every
    // name is made one that reads back (a collision that this makes is a warning).
    bool ReadSets();

  private:
    bool Finish(bool ok);

    TextInput& input_;
    ReadReport& report_;
    XReadHooks hooks_;
    std::unique_ptr<XReader> reader_;  // its tokenizer carries on from one phase to the next
};

struct XReadResult {
    XModel model;
    ReadReport report;
    bool ok() const { return report.ok(); }
};

// A whole read of X text from memory.
XReadResult ReadXFile(std::string_view bytes, XReadHooks hooks = {});

}  // namespace toravel
