#include "smd/smd_animation.h"

#include <optional>

#include "scene/node_ops.h"
#include "smd/smd_sections.h"

namespace toravel {

namespace {

void Progress(StatusLog* log, std::string_view line) {
    if (log != nullptr) {
        log->AddStatusLine(line);
    }
}

}  // namespace

bool ReadSmdAnimation(TextInput& input, LineTokenizer& tokenizer, NodeList& nodes,
                      UserInteraction* ui, StatusLog* log) {
    tokenizer.Reset();
    if (log != nullptr) {
        log->ClearStatusLog();
    }
    Progress(log, "Checking SMD file header..");
    if (!ReadHeader(input)) {
        return Fail(ui, "Invalid SMD file header.");
    }
    Progress(log, "Loading nodes..");
    if (!ReadNodes(input, tokenizer, nodes, ui)) {
        return false;
    }
    Progress(log, "Setting up relationships..");
    if (!LinkParents(nodes, ui)) {
        return false;
    }
    Progress(log, "Reading the skeleton structure..");
    if (!ReadSkeleton(input, tokenizer, nodes, SkeletonMode::kAnimation, ui)) {
        return false;
    }
    Progress(log, "Fixing names..");
    FixNames(nodes);
    return true;
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
    const std::optional<FileChoice> file =
        ui.AskOpenFileName({{"SMD Files (*.smd)", "*.smd"}, {"All files (*.*)", "*.*"}});
    if (!file) {
        log.ClearStatusLog();
        ui.RequestRepaint();
        return false;
    }
    return LoadSmdAnimationFile(doc, *file, tokenizer, ui, log);
}

bool LoadSmdAnimationFile(SmdAnimation& doc, const FileChoice& file, LineTokenizer& tokenizer,
                          UserInteraction& ui, StatusLog& log) {
    const bool loaded = [&] {
        std::optional<TextInput> input = TextInput::OpenFile(file.path);
        if (!input) {
            ui.ShowMessage("Failed to open for input:\n" + file.fileName +
                               (doc.loaded ? "\nCurrently loaded SMD animation information will be "
                                             "retained."
                                           : ""),
                           "Open Failure");
            return false;
        }
        if (doc.loaded &&
            !ui.AskYesNo("Currently loaded SMD animation information will be lost.\nContinue?",
                         "Discard SMD Animation Info", false)) {
            return false;
        }
        doc.Reset();
        if (!ReadSmdAnimation(*input, tokenizer, doc.nodes, &ui, &log)) {
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
    }();
    log.ClearStatusLog();
    ui.RequestRepaint();
    return loaded;
}

}  // namespace toravel
