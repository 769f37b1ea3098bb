#include "app/batch_convert.h"

#include <cstdlib>
#include <filesystem>

#include "app/application.h"
#include "app/message_stream_interaction.h"
#include "text/replace_file.h"
#include "text/text_util.h"

namespace toravel {

namespace {

std::string FileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

std::string StemOf(const std::string& path) {
    return std::filesystem::path(path).stem().string();
}

bool IsXFile(const std::string& path) {
    return AsciiLower(std::filesystem::path(path).extension().string()) == ".x";
}

// Answers every prompt of the commands by the batch policy:
// - discarding a loaded document, clearing primaries: yes; saving before replacing: no;
// - a set name that is taken: rename the new set to the first free "name_2", "name_3", ...
//   and say so;
// - an unnamed set in an X file: named after the file's stem and its position ("walk_1");
// - a frame that a set animates but the reference lacks: list it and go on checking; adding
//   the incompatible set: only with --allow-incompatible, else the conversion fails;
// - an existing output: replaced only with --force; debug dumps: no;
// - an animated export that has no sets to write (X inputs without sets): written without.
class BatchInteraction : public MessageStreamInteraction {
  public:
    BatchInteraction(const ConvertRequest& request, std::ostream& messages)
        : MessageStreamInteraction(&messages), request_(request) {}

    void SetApplication(const Application& app) { app_ = &app; }
    void SetNextSetName(std::string name) { nextSetName_ = std::move(name); }

    bool AskYesNo(const Question& question) override {
        switch (question.id) {
            case QuestionId::kContinueCompatibility:
                // One line per missing frame: the rest of the question is for the menu user.
                Print(question.title, question.text.substr(0, question.text.find('\n')));
                return true;
            case QuestionId::kAddSetAnyway:
            case QuestionId::kSetSetsAnyway:
                if (!request_.allowIncompatible) {
                    Print("Incompatible Animation Set",
                          "The animation set animates frames that the reference lacks; use "
                          "--allow-incompatible to add it anyway.");
                }
                return request_.allowIncompatible;
            case QuestionId::kOverwriteFile:
                return request_.force;
            case QuestionId::kSaveBeforeReplacing:
            case QuestionId::kDumpHierarchy:
            case QuestionId::kQuickDump:
            case QuestionId::kDiscontinueAddition:
                return false;
            case QuestionId::kDiscardDocument:
            case QuestionId::kClearPrimaryNodes:
            case QuestionId::kClearPrimarySets:
            case QuestionId::kRenameSet:
            case QuestionId::kNameUnnamedSet:
            case QuestionId::kExportWithoutSets:
                return true;
        }
        return false;
    }

    std::optional<std::string> AskAnimSetName(const NamePrompt& prompt) override {
        if (prompt.id == NamePromptId::kRenameSet && app_ != nullptr) {
            std::string name;
            for (int n = 2;; ++n) {
                name = prompt.subject + "_" + std::to_string(n);
                if (IsAnimSetNameFree(app_->workspace, name)) {
                    break;
                }
            }
            Print("Renamed", "An animation set named " + prompt.subject +
                                 " exists already; the new set is added as " + name + ".");
            return name;
        }
        std::string name = nextSetName_.empty() ? std::string("animation") : nextSetName_;
        if (prompt.id == NamePromptId::kUnnamedSet) {
            name.append("_").append(std::to_string(prompt.index + 1));
        }
        if (name.size() > 254) {
            name.resize(254);
        }
        return name;
    }

    std::optional<FileChoice> AskSaveFileName(const FilePrompt&) override {
        return FileChoice{request_.output, FileNameOf(request_.output)};
    }

    void ShowStatusLine(std::string_view line) override {
        if (request_.verbose) {
            *messages() << line << '\n';
        }
    }

  private:
    const ConvertRequest& request_;
    const Application* app_ = nullptr;
    std::string nextSetName_;
};

// Runs an add command and tells whether it appended every one of the source's sets.
template <typename AddCommand>
bool AddAllSets(Application& app, AddCommand add, size_t count) {
    const size_t before = app.workspace.primaryAnimSets.size();
    add();
    return app.workspace.primaryAnimSets.size() == before + count;
}

}  // namespace

std::optional<std::string> InputNamedBy(const std::string& output,
                                        const std::vector<std::string>& inputs) {
    for (const std::string& input : inputs) {
        if (IsSameFile(output, input)) {
            return input;
        }
    }
    return std::nullopt;
}

std::string OutputIsInputMessage(const std::string& output, const std::string& input) {
    return "Output Is An Input: " + output + " is the same file as the input " + input +
           "; Toravel never writes over its inputs. Choose another output file.";
}

std::string DefaultOutputPath(const std::string& reference) {
    return std::filesystem::path(reference).replace_extension(".x").string();
}

int RunConvert(const ConvertRequest& original, std::ostream& messages) {
    ConvertRequest request = original;
    if (request.output.empty()) {
        request.output = DefaultOutputPath(request.reference);
    }
    // Nothing is read before this check: an output that is one of the inputs is never written,
    // whatever --force says.
    std::vector<std::string> inputs = {request.reference};
    for (const AnimationInput& input : request.animations) {
        inputs.push_back(input.path);
    }
    if (const std::optional<std::string> input = InputNamedBy(request.output, inputs)) {
        messages << OutputIsInputMessage(request.output, *input) << '\n';
        return kExitUsage;
    }
    std::error_code error;
    if (!request.force && std::filesystem::exists(request.output, error)) {
        messages << "Overwrite File?: " << request.output
                 << " exists; use --force to replace it.\n";
        return kExitFailed;
    }

    BatchInteraction ui(request, messages);
    Application app(ui);
    ui.SetApplication(app);
    app.exportOptions = request.exportOptions;
    app.xReader = request.strictX ? XReaderKind::kStrict : XReaderKind::kGeneral;

    const FileChoice reference{request.reference, FileNameOf(request.reference)};
    if (IsXFile(request.reference)) {
        // The frames become the primary nodes, and the file's own sets are added.
        ui.SetNextSetName(StemOf(request.reference));
        if (!app.LoadXFileFrom(reference)) {
            return kExitFailed;
        }
        app.MoveXFileToPrimaryNodes();
        if (!AddAllSets(
                app, [&] { app.AddXFileAnimations(SetTransfer::kMove); },
                app.xFile.animSets.size())) {
            return kExitFailed;
        }
    } else {
        if (!app.LoadSmdReferenceFile(reference)) {
            return kExitFailed;
        }
        app.MoveSmdReferenceToPrimaryNodes();
    }

    for (const AnimationInput& input : request.animations) {
        const FileChoice file{input.path, FileNameOf(input.path)};
        ui.SetNextSetName(input.setName ? *input.setName : StemOf(input.path));
        if (IsXFile(input.path)) {
            if (!app.LoadXFileFrom(file) ||
                !AddAllSets(
                    app, [&] { app.AddXFileAnimations(SetTransfer::kMove); },
                    app.xFile.animSets.size())) {
                return kExitFailed;
            }
        } else if (!app.LoadSmdAnimationFile(file) ||
                   !AddAllSets(
                       app, [&] { app.AddSmdAnimation(SetTransfer::kMove); }, 1)) {
            return kExitFailed;
        }
    }

    app.Export(request.animations.empty());
    return app.lastExportSucceeded ? kExitDone : kExitFailed;
}

}  // namespace toravel
