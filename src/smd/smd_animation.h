// The SMD animation document and the "Load SMD Animation File" command: every frame of the
// skeleton section becomes matrix keys of one named animation set.
#pragma once

#include <string>
#include <vector>

#include "app/user_interaction.h"
#include "scene/records.h"
#include "text/line_tokenizer.h"
#include "text/text_input.h"

namespace toravel {

struct SmdAnimation {
    bool loaded = false;
    std::string fileName;  // without folder
    std::string filePath;
    NodeList nodes;
    std::vector<AnimSet> animSets;  // exactly one after a successful load

    void Reset() { *this = SmdAnimation{}; }
};

// The menu command: asks for a file and loads it; true when a file was loaded.
bool LoadSmdAnimation(SmdAnimation& doc, LineTokenizer& tokenizer, UserInteraction& ui,
                      StatusLog& log);

// The command from its open step on, for callers that already have a path.
bool LoadSmdAnimationFile(SmdAnimation& doc, const FileChoice& file, LineTokenizer& tokenizer,
                          UserInteraction& ui, StatusLog& log);

// The reading steps of the load on an open input: header, nodes, parent links, the keyed
// skeleton and names, each announced on `log` when given. Fills `nodes` (expected empty);
// false after one message through `ui` (none when null).
bool ReadSmdAnimation(TextInput& input, LineTokenizer& tokenizer, NodeList& nodes,
                      UserInteraction* ui, StatusLog* log);

// The set named `name` of every node with keys, in list order, each with a copy of its track.
AnimSet BuildAnimSet(const NodeList& nodes, std::string name);

// Asks for the set's name and appends the set built from the document's nodes to animSets;
// false, showing nothing, when the user cancels.
bool CreateAnimSet(SmdAnimation& doc, UserInteraction& ui);

}  // namespace toravel
