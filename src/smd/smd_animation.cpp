#include "smd/smd_animation.h"

#include <optional>

#include "smd/smd_load_command.h"

namespace toravel {

bool ReadSmdAnimation(TextInput& input, LineTokenizer& tokenizer, NodeList& nodes,
                      UserInteraction* ui, StatusLog* log) {
    return ReadSmdSections(input, tokenizer, nodes, SkeletonMode::kAnimation, ui, log);
}

AnimSet BuildAnimSet(const NodeList& nodes, std::string name) {
    AnimSet set;
    set.name = std::move(name);
    for (const SceneNode& node : nodes) {
        if (node.track.keyCount > 0) {
            NodeAnimation& animation = set.animations.emplace_back();
            animation.name = node.name;
            animation.tracks.push_back(node.track);
        }
    }
    return set;
}

bool CreateAnimSet(SmdAnimation& doc, UserInteraction& ui) {
    std::optional<std::string> name = ui.AskAnimSetName();
    if (!name) {
        return false;
    }
    doc.animSets.push_back(BuildAnimSet(doc.nodes, std::move(*name)));
    return true;
}

bool LoadSmdAnimation(SmdAnimation& doc, LineTokenizer& tokenizer, UserInteraction& ui,
                      StatusLog& log) {
    const std::optional<FileChoice> file = AskSmdFileName(ui, log);
    return file && LoadSmdAnimationFile(doc, *file, tokenizer, ui, log);
}

bool LoadSmdAnimationFile(SmdAnimation& doc, const FileChoice& file, LineTokenizer& tokenizer,
                          UserInteraction& ui, StatusLog& log) {
    return RunSmdLoad(doc.loaded, file, "SMD animation", "Discard SMD Animation Info", ui, log,
                      [&](TextInput& input) {
                          doc.Reset();
                          if (!ReadSmdAnimation(input, tokenizer, doc.nodes, &ui, &log)) {
                              return false;
                          }
                          log.AddStatusLine("Creating animation set..");
                          if (!CreateAnimSet(doc, ui)) {
                              return false;
                          }
                          doc.loaded = true;
                          doc.fileName = file.fileName;
                          doc.filePath = file.path;
                          return true;
                      });
}

}  // namespace toravel
