// The SMD animation document and the "Load SMD Animation File" command: every frame of the
// skeleton section becomes matrix keys of one named animation set.
#pragma once

#include <string>
#include <vector>

#include "app/user_interaction.h"
#include "scene/records.h"
#include "smd/line_tokenizer.h"

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

}  // namespace toravel
