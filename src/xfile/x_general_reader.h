// The general X reader: reads the X files people have, in any of the format's encodings
// (text, binary, and both compressed), from memory, into the records the strict reader
// fills. It asks nothing and opens no file.
//
// What it reads: the whole grammar of X data (templates skipped; any number of top-level
// data objects; names optional; references resolved after parsing; unknown objects skipped
// by their braces) and, of that, frames with their matrices, meshes (in frames, at the top
// level or referenced from frames; faces of any corner count triangulated as fans), normals,
// texture coordinates, material lists with materials in place or referenced, skin weights,
// AnimTicksPerSecond, animation sets and top-level animations with keys of every type.
// What it leaves out is listed, by kind, in `skipped`.
//
// The frames always come out as the application knows them: Scene_Root is frame 0 with
// parent id -1 (supplied when the file has several outermost frames or one of another
// name), the rest follow in depth-first pre-order with ids equal to their positions, and the
// list is linked as LinkParents links it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scene/records.h"

namespace toravel {

enum class XEncoding { kText, kBinary, kCompressedText, kCompressedBinary };

struct XFileFormat {
    XEncoding encoding = XEncoding::kText;
    std::string version;  // "0303", as the header gives it
    int floatBits = 32;   // 32 or 64
};

// One kind of data the reader met and left out, such as "VertexDuplicationIndices".
struct XSkippedExtra {
    std::string kind;
    int32_t count = 0;       // how often it was met
    std::string firstPlace;  // where it was met first: "line 12", "byte offset 340"
};

struct XGeneralContent {
    XFileFormat format;
    NodeList frames;
    std::vector<AnimSet> animSets;  // in file order; top-level animations form one more set
    std::optional<uint32_t> ticksPerSecond;
    std::vector<XSkippedExtra> skipped;
};

// One message of a read with its place apart: "line 12", "byte offset 340", "line 4 of the
// inflated text", or empty where no place applies.
struct XGeneralNote {
    std::string place;
    std::string text;
};

struct XGeneralResult {
    std::optional<XGeneralContent> content;  // set exactly when the read succeeded
    // What was read leniently (mismatched counts and the like), each naming the file and
    // its place; kept also when the read failed.
    std::vector<std::string> warnings;
    // When the read failed: the one message, naming the file, the place (line for text,
    // byte offset for binary and compressed data) and what was expected.
    std::string error;
    // The same messages without the file's name, their places apart, for front ends that lay
    // them out themselves.
    std::optional<XGeneralNote> failure;
    std::vector<XGeneralNote> notes;

    bool ok() const { return content.has_value(); }
};

// Reads the whole content of an X file; `name` names the file in messages.
XGeneralResult ReadXGeneral(std::string_view bytes, std::string_view name);

}  // namespace toravel
