#include "app/smd_load_commands.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "app/read_messages.h"
#include "smd/smd_reader.h"
#include "text/file_bytes.h"
#include "text/text_input.h"

namespace toravel {

namespace {

const FilePrompt kSmdOpen{
    FilePromptId::kOpenSmd, {{"SMD Files (*.smd)", "*.smd"}, {"All files (*.*)", "*.*"}}, {}};

// The open dialog of the SMD loads; when it is cancelled the load ends with the cleanup.
std::optional<FileChoice> AskSmdFileName(UserInteraction& ui, StatusLog& log) {
    std::optional<FileChoice> file = ui.AskOpenFileName(kSmdOpen);
    if (!file) {
        log.ClearStatusLog();
        ui.RequestRepaint();
    }
    return file;
}

// Header, nodes, parent links, skeleton and names, each step announced in `log` after
// clearing it, and each step's messages shown when it ends. False after the step's failure.
bool ReadSections(SmdReader& reader, SkeletonMode mode, UserInteraction& ui, StatusLog& log,
                  const std::string& file) {
    log.ClearStatusLog();
    log.AddStatusLine("Checking SMD file header..");
    if (!ShowReadStep(reader.Header(), reader.report(), ui, file)) {
        return false;
    }
    log.AddStatusLine("Loading nodes..");
    if (!ShowReadStep(reader.Nodes(), reader.report(), ui, file)) {
        return false;
    }
    log.AddStatusLine("Setting up relationships..");
    if (!ShowReadStep(reader.LinkParents(), reader.report(), ui, file)) {
        return false;
    }
    log.AddStatusLine("Reading the skeleton structure..");
    if (!ShowReadStep(reader.Skeleton(mode), reader.report(), ui, file)) {
        return false;
    }
    log.AddStatusLine("Fixing names..");
    reader.FixNames();
    return ShowReadStep(true, reader.report(), ui, file);
}

// Runs a load of `file` into a document of the kind `what` ("SMD reference"): opens the file
// (or says it cannot, telling that a loaded document is kept), asks before discarding a
// loaded document, then calls `read`, which resets the document and reads it. The status log
// is cleared and a repaint requested whatever happens. True when `read` succeeded.
bool RunSmdLoad(bool loaded, const FileChoice& file, const std::string& what,
                const std::string& discardTitle, UserInteraction& ui, StatusLog& log,
                const std::function<bool(TextInput&)>& read) {
    const bool done = [&] {
        std::optional<TextInput> input = TextInput::OpenFile(file.path);
        if (!input) {
            Notice notice{NoticeId::kOpenFailure, "Open Failure",
                          "Failed to open for input:\n" + file.fileName, file.fileName};
            if (loaded) {
                notice.aside = "Currently loaded " + what + " information will be retained.";
            }
            notice.place.file = file.path;
            notice.hint = OpenForReadingProblem(file.path);
            ui.ShowMessage(notice);
            return false;
        }
        ReportProgress(*input, file.path, ui);
        if (loaded &&
            !ui.AskYesNo({QuestionId::kDiscardDocument, discardTitle,
                          "Currently loaded " + what + " information will be lost.\nContinue?",
                          false, what})) {
            return false;
        }
        return read(*input);
    }();
    log.ClearStatusLog();
    ui.RequestRepaint();
    return done;
}

void SetLoadedFile(LoadedFile& doc, const FileChoice& file) {
    doc.loaded = true;
    doc.fileName = file.fileName;
    doc.filePath = file.path;
}

}  // namespace

bool LoadSmdReference(SmdReference& doc, UserInteraction& ui, StatusLog& log) {
    const std::optional<FileChoice> file = AskSmdFileName(ui, log);
    return file && LoadSmdReferenceFile(doc, *file, ui, log);
}

bool LoadSmdReferenceFile(SmdReference& doc, const FileChoice& file, UserInteraction& ui,
                          StatusLog& log, unsigned readThreads) {
    return RunSmdLoad(doc.loaded, file, "SMD reference", "Discard SMD Reference Info", ui, log,
                      [&](TextInput& input) {
                          doc.Reset();
                          SmdReader reader(input, TriangleThreads{readThreads});
                          const bool read =
                              ReadSections(reader, SkeletonMode::kReference, ui, log, file.path) &&
                              (log.AddStatusLine("Reading the mesh.."),
                               ShowReadStep(reader.Triangles(), reader.report(), ui, file.path));
                          doc.nodes = std::move(reader.nodes());
                          if (read) {
                              SetLoadedFile(doc, file);
                          }
                          return read;
                      });
}

bool CreateAnimSet(SmdAnimation& doc, const FileChoice& file, UserInteraction& ui) {
    std::optional<std::string> name = ui.AskAnimSetName(
        {NamePromptId::kNewSet, std::filesystem::path(file.path).stem().string(), 0});
    if (!name) {
        return false;
    }
    // The nodes keep their names and links for the compatibility checks; their keys now
    // live in the set.
    doc.animSets.push_back(TakeAnimSet(doc.nodes, std::move(*name)));
    return true;
}

bool LoadSmdAnimation(SmdAnimation& doc, UserInteraction& ui, StatusLog& log) {
    const std::optional<FileChoice> file = AskSmdFileName(ui, log);
    return file && LoadSmdAnimationFile(doc, *file, ui, log);
}

bool LoadSmdAnimationFile(SmdAnimation& doc, const FileChoice& file, UserInteraction& ui,
                          StatusLog& log) {
    return RunSmdLoad(doc.loaded, file, "SMD animation", "Discard SMD Animation Info", ui, log,
                      [&](TextInput& input) {
                          doc.Reset();
                          SmdReader reader(input);
                          const bool read =
                              ReadSections(reader, SkeletonMode::kAnimation, ui, log, file.path);
                          doc.nodes = std::move(reader.nodes());
                          if (!read) {
                              return false;
                          }
                          log.AddStatusLine("Creating animation set..");
                          if (!CreateAnimSet(doc, file, ui)) {
                              return false;
                          }
                          SetLoadedFile(doc, file);
                          return true;
                      });
}

}  // namespace toravel
