// What the two SMD load commands share: the open dialog, the open and discard steps, the
// reading of the header, nodes and skeleton with their progress lines, and the cleanup that
// ends every load.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "app/user_interaction.h"
#include "scene/records.h"
#include "text/line_tokenizer.h"
#include "smd/smd_sections.h"
#include "text/text_input.h"

namespace toravel {

// The open dialog of the SMD loads; when it is cancelled the load ends with the cleanup.
std::optional<FileChoice> AskSmdFileName(UserInteraction& ui, StatusLog& log);

// Header, nodes, parent links, skeleton and names, each step announced in `log` (when given)
// after clearing it. False after the step's message.
bool ReadSmdSections(TextInput& input, LineTokenizer& tokenizer, NodeList& nodes, SkeletonMode mode,
                     UserInteraction* ui, StatusLog* log);

// Runs a load of `file` into a document of the kind `what` ("SMD reference"): opens the file
// (or says it cannot, telling that a loaded document is kept), asks before discarding a
// loaded document, then calls `read`, which resets the document and reads it. The status log
// is cleared and a repaint requested whatever happens. True when `read` succeeded.
bool RunSmdLoad(bool loaded, const FileChoice& file, std::string_view what,
                std::string_view discardTitle, UserInteraction& ui, StatusLog& log,
                const std::function<bool(TextInput&)>& read);

}  // namespace toravel
