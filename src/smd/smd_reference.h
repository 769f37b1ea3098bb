// The SMD reference document and the "Load SMD Reference File" command: a bind-pose skeleton
// with its skinned triangle mesh.
#pragma once

#include <string>

#include "app/user_interaction.h"
#include "scene/records.h"
#include "text/line_tokenizer.h"
#include "text/text_input.h"

namespace toravel {

struct SmdReference {
    bool loaded = false;
    std::string fileName;  // without folder
    std::string filePath;
    NodeList nodes;

    void Reset() { *this = SmdReference{}; }
};

// The menu command: asks for a file and loads it; true when a file was loaded.
bool LoadSmdReference(SmdReference& doc, LineTokenizer& tokenizer, UserInteraction& ui,
                      StatusLog& log);

// Loads the chosen file into the document: the command from its open step on, for callers
// that already have a path (the command line). True when the file was loaded.
bool LoadSmdReferenceFile(SmdReference& doc, const FileChoice& file, LineTokenizer& tokenizer,
                          UserInteraction& ui, StatusLog& log);

// The reading steps of the load on an open input: header, nodes, parent links, the bind pose,
// names and triangles, each announced on `log` when given. Fills `nodes` (expected empty);
// false after one message through `ui` (none when null).
bool ReadSmdReference(TextInput& input, LineTokenizer& tokenizer, NodeList& nodes,
                      UserInteraction* ui, StatusLog* log);

}  // namespace toravel
