// Reading an SMD reference or animation file from memory into records: the reading steps in
// their order, one input at a time, and the whole reads built from them. No step talks to the
// user: the load commands announce each step and show what the report holds.
#pragma once

#include <string>
#include <string_view>

#include "scene/read_result.h"
#include "scene/records.h"
#include "smd/smd_sections.h"
#include "smd/smd_triangles.h"
#include "text/line_tokenizer.h"
#include "text/text_input.h"

namespace toravel {

// The steps of one read of `input`; each returns false once the report holds the failure
// (with the line where reading stopped), and the caller stops at once.
class SmdReader {
  public:
    // `threads` says how the triangles of a large reference may be read on threads.
    explicit SmdReader(TextInput& input, TriangleThreads threads = {})
        : input_(input), threads_(threads) {}

    bool Header();  // the first line that is no comment is "version 1"
    bool Nodes();
    bool LinkParents();  // the parent links and the depth limit
    bool Skeleton(SkeletonMode mode);
    void FixNames();   // a collision that the fixing makes is a warning
    bool Triangles();  // ends with the check that every value can be written

    NodeList& nodes() { return nodes_; }
    ReadReport& report() { return report_; }

  private:
    // Passes `ok` on, noting where reading stopped when it is false.
    bool Step(bool ok);
    // Every value, as converted, is a finite number: one that overflowed cannot be written.
    bool CheckFinite();

    TextInput& input_;
    TriangleThreads threads_;
    LineTokenizer tokenizer_;
    NodeList nodes_;
    ReadReport report_;
};

// What a whole read produced: the nodes (complete only on success) and the report.
struct SmdReadResult {
    NodeList nodes;
    ReadReport report;
    bool ok() const { return report.ok(); }
};

// A reference file: header, nodes, parent links, the bind pose, names and triangles.
SmdReadResult ReadSmdReference(TextInput& input, TriangleThreads threads = {});
SmdReadResult ReadSmdReference(std::string_view bytes, TriangleThreads threads = {});
// An animation file: header, nodes, parent links, every frame as matrix keys, and names.
SmdReadResult ReadSmdAnimation(TextInput& input);
SmdReadResult ReadSmdAnimation(std::string_view bytes);

// The set named `name` of every node with keys, in list order, each with a copy of its track.
AnimSet BuildAnimSet(const NodeList& nodes, std::string name);
// The same set, the tracks moved out of the nodes (which are left without keys): a large
// animation is then held once, not twice.
AnimSet TakeAnimSet(NodeList& nodes, std::string name);

}  // namespace toravel
