// Readers of the sections that every SMD file shares: the "version 1" header, the "nodes"
// section and the "skeleton" section, plus the renaming of nodes into valid X identifiers.
//
// Each reader returns true on success. On failure it has recorded the failure in `report`
// and the caller stops at once; nodes read so far stay in the list.
#pragma once

#include <optional>
#include <string_view>

#include "scene/names.h"
#include "scene/read_result.h"
#include "scene/records.h"
#include "text/line_tokenizer.h"
#include "text/text_input.h"

namespace toravel {

// How the skeleton section is used: a reference file's single frame becomes the bind pose
// (each node's localMatrix); an animation file's frames become matrix keys in each node's track.
enum class SkeletonMode { kReference, kAnimation };

// True when the first line that is neither blank nor a comment ("//" or "#" after optional
// blanks) is exactly "version 1". Shows nothing: the loaders report "Invalid SMD file header.".
bool ReadHeader(TextInput& input);

// The "nodes" section up to its "end": one SceneNode per entry (id, name, parent id), appended
// in file order. A name in double quotes may contain blanks when its closing quote is on the
// same line.
bool ReadNodes(TextInput& input, LineTokenizer& tokenizer, NodeList& list, ReadReport& report);

// The "skeleton" section up to its "end". Expects the list's nodes as ReadNodes left them; the
// parent links are not needed.
bool ReadSkeleton(TextInput& input, LineTokenizer& tokenizer, NodeList& list, SkeletonMode mode,
                  ReadReport& report);

// The "skeleton" section up to its "end" without reading its frames, for readers that need
// only the triangles. The same rules find the section and its end as in ReadSkeleton.
bool SkipSkeleton(TextInput& input, LineTokenizer& tokenizer, ReadReport& report);

// Makes every node name a valid X name (FixXName); reports the first pair of nodes whose
// names became equal.
std::optional<NameCollision> FixNames(NodeList& list);

}  // namespace toravel
