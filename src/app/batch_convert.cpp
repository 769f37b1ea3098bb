#include "app/batch_convert.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "app/application.h"
#include "app/message_stream_interaction.h"
#include "text/replace_file.h"

namespace toravel {

namespace {

std::string FileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

std::string StemOf(const std::string& path) {
    return std::filesystem::path(path).stem().string();
}

bool IsXFile(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    for (char& c : extension) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return extension == ".x";
}

// The text between `before` and `after` in `text`, or nothing.
std::optional<std::string> Between(std::string_view text, std::string_view before,
                                   std::string_view after) {
    const size_t start = text.find(before);
    if (start == std::string_view::npos) {
        return std::nullopt;
    }
    const size_t from = start + before.size();
    const size_t end = text.find(after, from);
    if (end == std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(text.substr(from, end - from));
}

// Answers every prompt of the commands by the batch policy:
// - discarding a loaded document, clearing primaries: yes; saving before replacing: no;
// - a set name that is taken: rename the new set to the first free "name_2", "name_3", ...
//   and say so;
// - an unnamed set in an X file: named after the file's stem and its position ("walk_1");
// - a frame that a set animates but the reference lacks: list it and go on checking; adding
//   the incompatible set: only with --allow-incompatible, else the conversion fails;
// - an existing output: replaced only with --force; debug dumps: no.
class BatchInteraction : public MessageStreamInteraction {
  public:
    BatchInteraction(const ConvertRequest& request, std::ostream& messages)
        : MessageStreamInteraction(&messages), request_(request) {}

    void SetApplication(const Application& app) { app_ = &app; }
    void SetNextSetName(std::string name) { nextSetName_ = std::move(name); }

    bool AskYesNo(std::string_view text, std::string_view title, bool) override {
        if (title == "Incompatible Animation Set") {
            Print("Incompatible Animation Set", text.substr(0, text.find('\n')));
            return true;
        }
        if (title == "Continue?") {
            if (!request_.allowIncompatible) {
                Print("Incompatible Animation Set",
                      "The animation set animates frames that the reference lacks; use "
                      "--allow-incompatible to add it anyway.");
            }
            return request_.allowIncompatible;
        }
        if (title == "Rename?") {
            renamePending_ = true;
            renameBase_ =
                Between(text, "Animation Set with name ", " already exists in primary set.")
                    .value_or(nextSetName_);
            return true;
        }
        if (title == "No AnimationSet Name") {
            const std::optional<std::string> index =
                Between(text, "AnimationSet ", " has no name.");
            unnamedPosition_ = index ? std::atoi(index->c_str()) + 1 : 1;
            return true;
        }
        if (title == "Overwrite File?") {
            return request_.force;
        }
        if (title == "Output Current Data?" || title == "Dump?" || title == "Discontinue?") {
            return false;
        }
        // Discarding loaded documents and clearing the primaries.
        return true;
    }

    std::optional<std::string> AskAnimSetName() override {
        if (renamePending_ && app_ != nullptr) {
            renamePending_ = false;
            const std::string base = renameBase_;
            std::string name;
            for (int n = 2;; ++n) {
                name = base + "_" + std::to_string(n);
                if (IsAnimSetNameFree(app_->workspace, name)) {
                    break;
                }
            }
            Print("Renamed", "An animation set named " + base +
                                 " exists already; the new set is added as " + name + ".");
            return name;
        }
        std::string name = nextSetName_.empty() ? std::string("animation") : nextSetName_;
        if (unnamedPosition_ > 0) {
            name.append("_").append(std::to_string(unnamedPosition_));
            unnamedPosition_ = 0;
        }
        if (name.size() > 254) {
            name.resize(254);
        }
        return name;
    }

    std::optional<FileChoice> AskSaveFileName(const FileFilter&, std::string_view) override {
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
    std::string renameBase_;
    int unnamedPosition_ = 0;
    bool renamePending_ = false;
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
