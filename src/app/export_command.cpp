#include "app/export_command.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "text/file_bytes.h"
#include "text/replace_file.h"
#include "text/text_writer.h"
#include "xfile/x_writer.h"

namespace toravel {

namespace {

// The existence test of the export: the file can be opened for reading.
bool OpensForReading(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "r");
    if (f == nullptr) {
        return false;
    }
    std::fclose(f);
    return true;
}

}  // namespace

bool ExportPrimaries(Workspace& workspace, bool nonAnimated, UserInteraction& ui,
                     const ExportOptions& options) {
    if (workspace.primaryNodes.empty()) {
        ui.ShowMessage(
            {NoticeId::kNothingToExport, "No Can Do", "The Primary Nodes have not been set.", {}});
        return false;
    }
    if (workspace.primaryAnimSets.empty() && !nonAnimated &&
        !ui.AskYesNo({QuestionId::kExportWithoutSets, "Continue?",
                      "No animation sets will be included in the file.\nContinue?", true})) {
        return false;
    }
    const std::optional<FileChoice> choice =
        ui.AskSaveFileName({FilePromptId::kSaveX,
                            {{"DirectX X Files (*.x)", "*.x"}, {"All files (*.*)", "*.*"}},
                            "x"});
    if (!choice) {
        ui.RequestRepaint();
        return false;
    }
    const bool exists = OpensForReading(choice->path);
    if (exists && !ui.AskYesNo({QuestionId::kOverwriteFile, "Overwrite File?",
                                "File " + choice->fileName + " exists.\nOverwrite?", false,
                                choice->fileName})) {
        return false;
    }

    const std::string temporary = TemporaryPathFor(choice->path);
    std::unique_ptr<FileSink> sink;
    int openError = ReplaceError(choice->path);
    if (openError == 0) {
        sink = FileSink::Create(temporary, &openError);
    }
    if (!sink) {
        Notice notice{NoticeId::kOpenFailure, "Open Failure",
                      "Failed to open for output:\n" + choice->fileName, choice->fileName};
        notice.place.file = choice->path;
        notice.hint = CreateProblem(choice->path);
        if (notice.hint.empty() && openError != 0) {
            notice.hint = SystemReason(openError);
        }
        ui.ShowMessage(notice);
        ui.RequestRepaint();
        return false;
    }

    std::error_code ignored;
    TextWriter out(*sink);
    Message noRoot;
    if (!WriteXDocument(out, workspace.primaryNodes, workspace.primaryAnimSets, options, noRoot)) {
        ui.ShowMessage({NoticeId::kNoSkeletonRoot, noRoot.title, noRoot.text, {}});
        sink->Finish();
        std::filesystem::remove(temporary, ignored);
        ui.RequestRepaint();
        return false;
    }
    const bool written = out.Finish();
    if (!written) {
        std::filesystem::remove(temporary, ignored);
    }
    const std::error_code renamed = written ? ReplaceWith(temporary, choice->path) : std::error_code();
    if (!written || renamed) {
        Notice notice{NoticeId::kWriteFailure, "Write Failure",
                      "Failed to write output:\n" + choice->fileName, choice->fileName};
        notice.place.file = choice->path;
        notice.hint = renamed ? renamed.message()
                              : sink->error() != 0 ? SystemReason(sink->error()) : std::string();
        ui.ShowMessage(notice);
        ui.RequestRepaint();
        return false;
    }
    workspace.exportedName = choice->fileName;
    workspace.primariesSaved = true;
    ui.RequestRepaint();
    return true;
}

}  // namespace toravel
