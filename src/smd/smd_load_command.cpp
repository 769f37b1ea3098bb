#include "smd/smd_load_command.h"

#include <string>

#include "scene/node_ops.h"

namespace toravel {

std::optional<FileChoice> AskSmdFileName(UserInteraction& ui, StatusLog& log) {
    std::optional<FileChoice> file =
        ui.AskOpenFileName({{"SMD Files (*.smd)", "*.smd"}, {"All files (*.*)", "*.*"}});
    if (!file) {
        log.ClearStatusLog();
        ui.RequestRepaint();
    }
    return file;
}

bool ReadSmdSections(TextInput& input, LineTokenizer& tokenizer, NodeList& nodes, SkeletonMode mode,
                     UserInteraction* ui, StatusLog* log) {
    auto progress = [log](std::string_view line) {
        if (log != nullptr) {
            log->AddStatusLine(line);
        }
    };
    tokenizer.Reset();
    if (log != nullptr) {
        log->ClearStatusLog();
    }
    progress("Checking SMD file header..");
    if (!ReadHeader(input)) {
        return Fail(ui, "Invalid SMD file header.");
    }
    progress("Loading nodes..");
    if (!ReadNodes(input, tokenizer, nodes, ui)) {
        return false;
    }
    progress("Setting up relationships..");
    if (!LinkParents(nodes, ui)) {
        return false;
    }
    if (const NodeIndex deep = FindNodeDeeperThan(nodes, kMaxHierarchyDepth); deep != kNoNode) {
        const SceneNode& node = nodes[static_cast<size_t>(deep)];
        return Fail(ui,
                    "Node " + std::to_string(node.id) + " (" + node.name + ") lies more than " +
                        std::to_string(kMaxHierarchyDepth) + " levels deep in the hierarchy.",
                    "Invalid Node Structure");
    }
    progress("Reading the skeleton structure..");
    if (!ReadSkeleton(input, tokenizer, nodes, mode, ui)) {
        return false;
    }
    progress("Fixing names..");
    if (const std::optional<NameCollision> collision = FixNames(nodes);
        collision && ui != nullptr) {
        ui->ShowMessage(CollisionNotice(*collision), kCollisionTitle);
    }
    return true;
}

bool RunSmdLoad(bool loaded, const FileChoice& file, std::string_view what,
                std::string_view discardTitle, UserInteraction& ui, StatusLog& log,
                const std::function<bool(TextInput&)>& read) {
    const bool done = [&] {
        std::optional<TextInput> input = TextInput::OpenFile(file.path);
        if (!input) {
            std::string text = "Failed to open for input:\n" + file.fileName;
            if (loaded) {
                text.append("\nCurrently loaded ")
                    .append(what)
                    .append(" information will be retained.");
            }
            ui.ShowMessage(text, "Open Failure");
            return false;
        }
        if (loaded && !ui.AskYesNo("Currently loaded " + std::string(what) +
                                       " information will be lost.\nContinue?",
                                   discardTitle, false)) {
            return false;
        }
        return read(*input);
    }();
    log.ClearStatusLog();
    ui.RequestRepaint();
    return done;
}

}  // namespace toravel
