#include "smd/smd_reference.h"

#include <optional>

#include "scene/node_ops.h"
#include "smd/smd_sections.h"
#include "smd/smd_triangles.h"

namespace toravel {

namespace {

void Progress(StatusLog* log, std::string_view line) {
    if (log != nullptr) {
        log->AddStatusLine(line);
    }
}

}  // namespace

bool ReadSmdReference(TextInput& input, LineTokenizer& tokenizer, NodeList& nodes,
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
    if (!ReadSkeleton(input, tokenizer, nodes, SkeletonMode::kReference, ui)) {
        return false;
    }
    Progress(log, "Fixing names..");
    FixNames(nodes);
    Progress(log, "Reading the mesh..");
    return ReadTriangles(input, tokenizer, nodes, ui);
}

bool LoadSmdReference(SmdReference& doc, LineTokenizer& tokenizer, UserInteraction& ui,
                      StatusLog& log) {
    const std::optional<FileChoice> file =
        ui.AskOpenFileName({{"SMD Files (*.smd)", "*.smd"}, {"All files (*.*)", "*.*"}});
    if (!file) {
        log.ClearStatusLog();
        ui.RequestRepaint();
        return false;
    }
    return LoadSmdReferenceFile(doc, *file, tokenizer, ui, log);
}

bool LoadSmdReferenceFile(SmdReference& doc, const FileChoice& file, LineTokenizer& tokenizer,
                          UserInteraction& ui, StatusLog& log) {
    const bool loaded = [&] {
        std::optional<TextInput> input = TextInput::OpenFile(file.path);
        if (!input) {
            ui.ShowMessage("Failed to open for input:\n" + file.fileName +
                               (doc.loaded ? "\nCurrently loaded SMD reference information will be "
                                             "retained."
                                           : ""),
                           "Open Failure");
            return false;
        }
        if (doc.loaded &&
            !ui.AskYesNo("Currently loaded SMD reference information will be lost.\nContinue?",
                         "Discard SMD Reference Info", false)) {
            return false;
        }
        doc.Reset();
        if (!ReadSmdReference(*input, tokenizer, doc.nodes, &ui, &log)) {
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
