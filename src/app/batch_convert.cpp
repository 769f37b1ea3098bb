#include "app/batch_convert.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unordered_map>
#include <unordered_set>

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
                Print({NoticeId::kReadWarning, question.title,
                       question.text.substr(0, question.text.find('\n'))});
                return true;
            case QuestionId::kAddSetAnyway:
            case QuestionId::kSetSetsAnyway:
                if (!request_.allowIncompatible) {
                    Notice notice{NoticeId::kReadWarning, "Incompatible Animation Set",
                                  "The animation set animates frames that the reference lacks."};
                    notice.hint = "use --allow-incompatible to add it anyway";
                    Print(notice);
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
            case QuestionId::kLeaveUnexported:
                return true;
        }
        return false;
    }

    std::optional<std::string> AskAnimSetName(const NamePrompt& prompt) override {
        if (prompt.id == NamePromptId::kRenameSet && app_ != nullptr) {
            SyncTakenNames();
            // Names are only added during a run, so the first free suffix of a base name is
            // never below the one found last time.
            int& n = nextSuffix_.try_emplace(prompt.subject, 2).first->second;
            std::string name;
            for (;; ++n) {
                name = prompt.subject + "_" + std::to_string(n);
                if (taken_.count(name) == 0) {
                    break;
                }
            }
            Print({NoticeId::kSetNameFixed, "Renamed",
                   "An animation set named " + prompt.subject +
                       " exists already; the new set is added as " + name + "."});
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
        stage_ = line;
        if (request_.verbose) {
            ClearProgress();
            *messages() << "toravel: " << currentFile() << ": " << line << '\n';
        }
    }

    void ShowMessage(const Notice& notice) override {
        ClearProgress();
        MessageStreamInteraction::ShowMessage(notice);
    }

    // One line that rewrites itself: the stage and how much of the input has been read.
    void ShowProgress(std::string_view file, size_t done, size_t total) override {
        constexpr size_t kLargeInput = size_t{32} << 20;
        if (!request_.progress || total < kLargeInput) {
            return;
        }
        const size_t percent = total > 0 ? done * 100 / total : 100;
        *messages() << "\rtoravel: " << file << ": " << stage_ << " " << percent << "%\x1b[K"
                    << std::flush;
        progressShown_ = true;
    }

    void ClearProgress() {
        if (progressShown_) {
            *messages() << "\r\x1b[K" << std::flush;
            progressShown_ = false;
        }
    }

  private:
    // Brings taken_ up to the primary sets: the sets appended since the last time are added;
    // when the list was replaced instead, the names are gathered afresh.
    void SyncTakenNames() {
        const std::vector<AnimSet>& sets = app_->workspace.primaryAnimSets;
        if (sets.size() < synced_ || (synced_ > 0 && sets[synced_ - 1].name != lastSynced_)) {
            taken_.clear();
            nextSuffix_.clear();
            synced_ = 0;
        }
        for (; synced_ < sets.size(); ++synced_) {
            taken_.insert(sets[synced_].name);
        }
        if (synced_ > 0) {
            lastSynced_ = sets[synced_ - 1].name;
        }
    }
    std::unordered_set<std::string> taken_;
    std::unordered_map<std::string, int> nextSuffix_;
    size_t synced_ = 0;
    std::string lastSynced_;

    const ConvertRequest& request_;
    const Application* app_ = nullptr;
    std::string nextSetName_;
    std::string stage_;
    bool progressShown_ = false;
};

// Runs an add command and tells whether it appended every one of the source's sets.
template <typename AddCommand>
bool AddAllSets(Application& app, AddCommand add, size_t count) {
    const size_t before = app.workspace.primaryAnimSets.size();
    add();
    return app.workspace.primaryAnimSets.size() == before + count;
}

// Loads the reference and adds every animation, as the menu commands would; false after the
// failure's message.
bool LoadInputs(const ConvertRequest& request, BatchInteraction& ui, Application& app) {
    const FileChoice reference{request.reference, FileNameOf(request.reference)};
    ui.SetCurrentFile(request.reference);
    if (IsXFile(request.reference)) {
        // The frames become the primary nodes, and the file's own sets are added.
        ui.SetNextSetName(StemOf(request.reference));
        if (!app.LoadXFileFrom(reference)) {
            return false;
        }
        app.MoveXFileToPrimaryNodes();
        if (!AddAllSets(
                app, [&] { app.AddXFileAnimations(SetTransfer::kMove); },
                app.xFile.animSets.size())) {
            return false;
        }
    } else {
        if (!app.LoadSmdReferenceFile(reference)) {
            return false;
        }
        app.MoveSmdReferenceToPrimaryNodes();
    }

    for (const AnimationInput& input : request.animations) {
        const FileChoice file{input.path, FileNameOf(input.path)};
        ui.SetCurrentFile(input.path);
        ui.SetNextSetName(input.setName ? *input.setName : StemOf(input.path));
        if (IsXFile(input.path)) {
            if (!app.LoadXFileFrom(file) ||
                !AddAllSets(
                    app, [&] { app.AddXFileAnimations(SetTransfer::kMove); },
                    app.xFile.animSets.size())) {
                return false;
            }
        } else if (!app.LoadSmdAnimationFile(file) ||
                   !AddAllSets(
                       app, [&] { app.AddSmdAnimation(SetTransfer::kMove); }, 1)) {
            return false;
        }
    }

    return true;
}

}  // namespace

ExitCode CheckOutputPath(const std::string& output, const std::vector<std::string>& inputs,
                         bool force, std::ostream& messages) {
    for (const std::string& input : inputs) {
        if (IsSameFile(output, input)) {
            Notice notice{NoticeId::kOpenFailure, "Output Is An Input",
                          output + " is the same file as the input " + input +
                              "; Toravel never writes over its inputs."};
            notice.place.file = output;
            notice.hint = "choose another output file with -o";
            messages << CommandLineMessage(notice);
            return kExitUsage;
        }
    }
    std::error_code error;
    if (!force && std::filesystem::exists(output, error)) {
        Notice notice{NoticeId::kOpenFailure, "Overwrite File?", output + " exists."};
        notice.place.file = output;
        notice.hint = "use --force to replace it";
        messages << CommandLineMessage(notice);
        return kExitFailed;
    }
    return kExitDone;
}

std::string DefaultOutputPath(const std::string& reference) {
    return std::filesystem::path(reference).replace_extension(".x").string();
}

std::string SizeText(uintmax_t bytes) {
    char text[32];
    if (bytes < 1000) {
        std::snprintf(text, sizeof text, "%ju bytes", bytes);
    } else if (bytes < 1000 * 1000) {
        std::snprintf(text, sizeof text, "%.0f KB", static_cast<double>(bytes) / 1e3);
    } else {
        std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
    }
    return text;
}

std::string SummaryLine(const WriteSummary& s) {
    auto count = [](size_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.2f s", s.seconds);
    return "toravel: wrote " + s.output + ": " + count(s.frames, "frame", "frames") + ", " +
           count(s.meshes, "mesh", "meshes") + " (" + count(s.faces, "face", "faces") + "), " +
           count(s.bones, "bone", "bones") + ", " +
           count(s.sets, "animation set", "animation sets") + ", " + SizeText(s.bytes) + " in " +
           seconds + "\n";
}

namespace {

WriteSummary Summarise(const Workspace& ws, const std::string& output) {
    WriteSummary summary;
    summary.output = output;
    summary.frames = ws.primaryNodes.size() + (HasOwnSceneRoot(ws.primaryNodes) ? 0 : 1);
    std::unordered_set<std::string> bones;
    for (const SceneNode& node : ws.primaryNodes) {
        if (node.mesh.HasMesh()) {
            ++summary.meshes;
            summary.faces += static_cast<size_t>(node.mesh.faceCount);
            for (const BoneWeights& bone : node.mesh.boneWeights) {
                bones.insert(bone.boneName);
            }
        }
    }
    summary.bones = bones.size();
    summary.sets = ws.primaryAnimSets.size();
    std::error_code error;
    summary.bytes = std::filesystem::file_size(output, error);
    return summary;
}

}  // namespace

int RunConvert(const ConvertRequest& original, std::ostream& messages) {
    const auto started = std::chrono::steady_clock::now();
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
    if (const ExitCode refused = CheckOutputPath(request.output, inputs, request.force, messages)) {
        return refused;
    }

    BatchInteraction ui(request, messages);
    Application app(ui);
    ui.SetApplication(app);
    app.exportOptions = request.exportOptions;
    app.exportOptions.threads = request.threads;
    app.readThreads = request.threads;
    app.xReader = request.strictX ? XReaderKind::kStrict : XReaderKind::kGeneral;

    if (!LoadInputs(request, ui, app)) {
        return kExitFailed;
    }

    ui.SetCurrentFile(request.output);
    app.Export(request.animations.empty());
    ui.ClearProgress();
    if (!app.lastExportSucceeded) {
        return kExitFailed;
    }
    if (!request.quiet) {
        WriteSummary summary = Summarise(app.workspace, request.output);
        summary.seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        messages << SummaryLine(summary);
    }
    return kExitDone;
}

std::optional<std::string> ConvertInMemory(const ConvertRequest& request, std::ostream& messages) {
    BatchInteraction ui(request, messages);
    Application app(ui);
    ui.SetApplication(app);
    app.exportOptions = request.exportOptions;
    app.xReader = request.strictX ? XReaderKind::kStrict : XReaderKind::kGeneral;
    if (!LoadInputs(request, ui, app)) {
        return std::nullopt;
    }
    StringSink sink;
    TextWriter out(sink);
    Message noRoot;
    if (!WriteXDocument(out, app.workspace.primaryNodes, app.workspace.primaryAnimSets,
                        request.exportOptions, noRoot)) {
        messages << CommandLineMessage({NoticeId::kNoSkeletonRoot, noRoot.title, noRoot.text, {}});
        return std::nullopt;
    }
    out.Finish();
    return std::move(sink.text);
}

}  // namespace toravel
