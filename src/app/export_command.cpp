#include "app/export_command.h"

#include <memory>
#include <string>
#include <system_error>

#include "text/file_bytes.h"
#include "text/file_replacement.h"
#include "text/text_writer.h"
#include "xfile/x_writer.h"

namespace toravel {

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

    std::string problem;
    int openError = 0;
    std::unique_ptr<FileReplacement> replacement =
        FileReplacement::Begin(choice->path, problem, openError);
    std::unique_ptr<FileSink> sink;
    if (replacement) {
        sink = FileSink::Adopt(replacement->TakeDescriptor(), &openError);
        if (!sink) {
            problem = SystemReason(openError);
        }
    }
    if (!sink) {
        Notice notice{NoticeId::kOpenFailure, "Open Failure",
                      "Failed to open for output:\n" + choice->fileName, choice->fileName};
        notice.place.file = choice->path;
        notice.hint = problem;
        ui.ShowMessage(notice);
        ui.RequestRepaint();
        return false;
    }

    TextWriter out(*sink);
    Message noRoot;
    if (!WriteXDocument(out, workspace.primaryNodes, workspace.primaryAnimSets, options, noRoot)) {
        ui.ShowMessage({NoticeId::kNoSkeletonRoot, noRoot.title, noRoot.text, {}});
        sink->Finish();
        ui.RequestRepaint();
        return false;  // the replacement removes its temporary
    }
    const bool written = out.Finish();
    const std::error_code renamed = written ? replacement->Commit() : std::error_code();
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
