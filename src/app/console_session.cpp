#include "app/console_session.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>
#include <string>

#include "app/application.h"
#include "app/command_table.h"
#include "app/message_format.h"
#include "app/status_display.h"
#include "text/replace_file.h"
#include "text/text_util.h"

namespace toravel {

namespace {

// Thrown when the input ends while a prompt waits for its answer.
struct InputEnded {
    std::string prompt;
};

std::string WithoutAmpersands(std::string_view text) {
    std::string plain;
    for (char c : text) {
        if (c != '&') {
            plain.push_back(c);
        }
    }
    return plain;
}

constexpr std::string_view kCancelAnswer = ":cancel";

class ConsoleInteraction : public UserInteraction {
  public:
    ConsoleInteraction(std::istream& in, std::ostream& out, const ConsoleOptions& options)
        : in_(in), out_(out), options_(options) {}

    void SetApplication(const Application& app) { app_ = &app; }

    // Reads one answer for `prompt`; throws InputEnded, naming the prompt as `name` (the
    // prompt itself when empty), at the end of the input.
    std::string Ask(const std::string& prompt, const std::string& name = {},
                    ConsoleLineKind kind = ConsoleLineKind::kAnswer) {
        std::string line;
        if (!TryAsk(prompt, line, kind)) {
            throw InputEnded{name.empty() ? prompt : name};
        }
        return line;
    }

    // Reads one answer for `prompt`; false at the end of the input.
    bool TryAsk(const std::string& prompt, std::string& line,
                ConsoleLineKind kind = ConsoleLineKind::kAnswer) {
        if (options_.lineReader != nullptr) {
            out_ << std::flush;
            return options_.lineReader->ReadLine(prompt + ' ', kind, line);
        }
        out_ << prompt << ' ' << std::flush;
        if (!std::getline(in_, line)) {
            out_ << '\n';
            return false;
        }
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (options_.script) {
            out_ << line << '\n';  // the transcript shows each prompt with its answer
        }
        return true;
    }

    bool AskYesNo(const Question& question) override {
        const std::string& title = question.title;
        ShowBox(question.text, title, question.warning ? "warning" : "question");
        for (;;) {
            // The question's title names it when the input ends here: "Yes or No?" alone
            // would not say which question went unanswered.
            const std::string answer =
                AsciiLower(TrimBlanks(Ask("Yes or No? (y/n)", title + " (y/n)")));
            if (answer == "y" || answer == "yes") {
                return true;
            }
            if (answer == "n" || answer == "no") {
                return false;
            }
            out_ << "Please answer y or n.\n";
        }
    }

    void ShowMessage(const Notice& notice) override {
        ShowBox(MenuText(notice), notice.title, "notice");
        // The same context as on the command line, under the message.
        const std::string place = PlaceText(notice.place);
        if (!place.empty() && (notice.place.line > 0 || !notice.place.where.empty())) {
            out_ << "  at " << place << '\n';
        }
        if (!notice.hint.empty()) {
            out_ << "  hint: " << notice.hint << '\n';
        }
        if (!options_.script) {
            // A notice needs no answer: the end of the input closes it like Enter, so the
            // command finishes what it was doing (an export mid-write, say) before the session
            // ends at the next question or command.
            std::string ignored;
            TryAsk("Press Enter to continue.", ignored);
        }
    }

    std::optional<std::string> AskAnimSetName(const NamePrompt& prompt) override {
        // A new set's name defaults to its file's stem: Enter takes it.
        const std::string offered = prompt.id == NamePromptId::kNewSet ? prompt.subject : "";
        const std::string question = "AnimationSet Name" +
                                     (offered.empty() ? "" : " [" + offered + "]") + " (" +
                                     std::string(kCancelAnswer) + " cancels):";
        for (;;) {
            std::string name = Ask(question);
            if (name == kCancelAnswer) {
                return std::nullopt;
            }
            if (name.empty()) {
                name = offered;
            }
            if (name.size() > 254) {
                name.resize(254);
            }
            if (!name.empty()) {
                return name;
            }
            ShowMessage(
                {NoticeId::kEnterName, "Enter Name", "Enter a name for the animationset.", {}});
        }
    }

    std::optional<FileChoice> AskOpenFileName(const FilePrompt& prompt) override {
        if (prompt.id == FilePromptId::kSaveStaticMesh) {
            return AskOutput("Open", prompt);  // the static mesh is saved through an open dialog
        }
        return AskPath("Open", prompt.filter, {});
    }

    std::optional<FileChoice> AskSaveFileName(const FilePrompt& prompt) override {
        return AskOutput("Save as", prompt);
    }

    void RequestRepaint() override { repaintPending_ = true; }

    // Exit asks once when primaries are set but were never exported; the end of the input at
    // that question leaves, as the end of the input between commands does.
    bool MayLeave() {
        if (app_ == nullptr || app_->workspace.primaryNodes.empty() ||
            app_->workspace.primariesSaved) {
            return true;
        }
        try {
            return AskYesNo({QuestionId::kLeaveUnexported, "Exit?",
                             "The current primaries have NOT been exported.\nLeave anyway?", true});
        } catch (const InputEnded&) {
            return true;
        }
    }

    void ShowStatusLine(std::string_view line) override {
        // Progress lines stay dim, below the headings.
        out_ << (options_.colour ? kDimCode + std::string(line) + kResetCode : std::string(line))
             << '\n';
    }

    // Shows the status display when a repaint was requested since the last one.
    void RepaintIfRequested() {
        if (repaintPending_) {
            ShowStatus();
        }
    }

    void ShowStatus() {
        repaintPending_ = false;
        if (app_ == nullptr) {
            return;
        }
        const std::vector<TextRun> runs = PaintStatus(*app_);
        out_ << '\n';
        int y = runs.empty() ? 0 : runs.front().y;
        for (const TextRun& run : runs) {
            for (; y + 18 <= run.y; y += 18) {
                out_ << '\n';
            }
            out_ << std::string(run.x > 5 ? 2 : 0, ' ') << Paint(run.text, run.colour);
        }
        out_ << "\n\n";
    }

  private:
    // A file to write: never one of the loaded inputs; the user picks another or cancels.
    std::optional<FileChoice> AskOutput(std::string_view verb, const FilePrompt& prompt) {
        for (;;) {
            std::optional<FileChoice> file = AskPath(verb, prompt.filter, prompt.defaultExtension);
            if (!file || !IsLoadedInput(file->path)) {
                return file;
            }
            out_ << "That file is one of the loaded inputs: " << file->path << '\n';
        }
    }

    bool IsLoadedInput(const std::string& path) const {
        if (app_ == nullptr) {
            return false;
        }
        for (const std::string& input : app_->LoadedInputs()) {
            if (IsSameFile(path, input)) {
                return true;
            }
        }
        return false;
    }

    std::string Paint(std::string_view text, Colour colour) const {
        if (!options_.colour) {
            return std::string(text);
        }
        if (colour == kValueColour) {
            // An incompatible set stands out as the warning it is.
            constexpr std::string_view kIncompatible = " - NOT COMPATIBLE";
            if (text.size() > kIncompatible.size() && text.ends_with(kIncompatible)) {
                return std::string(text.substr(0, text.size() - kIncompatible.size())) +
                       kWarningCode + std::string(kIncompatible) + kResetCode;
            }
            return std::string(text);
        }
        return (colour == kWarningColour ? kWarningCode : kHeadingCode) + std::string(text) +
               kResetCode;
    }

    static constexpr const char* kHeadingCode =
        "\x1b[1;36m";  // bold cyan: readable on dark and light
    static constexpr const char* kWarningCode = "\x1b[1;31m";
    static constexpr const char* kDimCode = "\x1b[90m";
    static constexpr const char* kResetCode = "\x1b[0m";

    void ShowBox(std::string_view text, std::string_view title, std::string_view kind) {
        out_ << "[" << kind << ": " << title << "]\n" << text << '\n';
    }

    std::optional<FileChoice> AskPath(std::string_view verb, const FileFilter& filter,
                                      std::string_view defaultExtension) {
        std::string description;
        for (const FileFilterEntry& entry : filter) {
            description += description.empty() ? "" : ", ";
            description += entry.description;
        }
        std::string path(
            TrimBlanks(Ask(std::string(verb) + " file [" + description + "] (empty cancels):", {},
                           ConsoleLineKind::kPath)));
        if (path.empty()) {
            return std::nullopt;
        }
        std::filesystem::path chosen(path);
        if (!defaultExtension.empty() && !chosen.has_extension()) {
            path.append(".").append(defaultExtension);
            chosen = path;
        }
        return FileChoice{path, chosen.filename().string()};
    }

    std::istream& in_;
    std::ostream& out_;
    const ConsoleOptions& options_;
    const Application* app_ = nullptr;
    bool repaintPending_ = false;
};

// The front end's view of the menu: which items are enabled now.
class ConsoleMenu : public MenuStates {
  public:
    void SetItemEnabled(int commandId, bool enabled) override {
        if (enabled) {
            disabled_.erase(std::remove(disabled_.begin(), disabled_.end(), commandId),
                            disabled_.end());
        } else if (std::find(disabled_.begin(), disabled_.end(), commandId) == disabled_.end()) {
            disabled_.push_back(commandId);
        }
    }
    bool enabled(int commandId) const {
        return std::find(disabled_.begin(), disabled_.end(), commandId) == disabled_.end();
    }

    void Show(std::ostream& out) const {
        for (const Menu& menu : MenuTree()) {
            out << WithoutAmpersands(menu.title) << '\n';
            for (const MenuItem& item : menu.items) {
                if (item.id == 0) {
                    continue;
                }
                out << "  " << item.id << "  " << WithoutAmpersands(item.text) << "  ("
                    << FindCommand(item.id)->shortName << ")"
                    << (enabled(item.id) ? "" : "  (unavailable)") << '\n';
            }
        }
    }

  private:
    std::vector<int> disabled_;
};

constexpr const char* kGuide =
    "A typical session, by short names:\n"
    "  load-ref        load the SMD reference: the skeleton with its skinned mesh\n"
    "  primary-nodes   make its skeleton and mesh the primary nodes\n"
    "  load-anim       load an SMD animation (Enter takes the file's name as the set's)\n"
    "  add-anims       add its set to the primary animation sets (repeat for each animation)\n"
    "  export          write the animated X file\n"
    "X files: load-x, then primary-x-nodes, primary-x-anims or add-x-anims. A static mesh:\n"
    "load-static, then export-static.\n"
    "Commands are taken by number, menu text or short name; \"menu\" lists them with what is\n"
    "available now, \"status\" shows the status, Tab completes commands and file paths, \"Exit\"\n"
    "leaves.\n";

constexpr const char* kAbout =
    "Toravel Version 4.0\n"
    "Converts skeletal models between SMD and DirectX text X files.\n";

}  // namespace

int RunConsoleSession(std::istream& in, std::ostream& out, const ConsoleOptions& options) {
    ConsoleInteraction ui(in, out, options);
    Application app(ui);
    app.xReader = options.generalX ? XReaderKind::kGeneral : XReaderKind::kStrict;
    ui.SetApplication(app);
    ConsoleMenu menu;
    UpdateMenuStates(app, menu);

    out << "Toravel shell. Enter a command by its number, its text or its short name; \"menu\" "
           "lists them, \"help\" shows a short guide, \"status\" shows the status, \"Exit\" or "
           "the end of input ends the session.\n";
    ui.ShowStatus();
    menu.Show(out);
    try {
        for (;;) {
            std::string answer;
            try {
                answer = TrimBlanks(ui.Ask("toravel>", {}, ConsoleLineKind::kCommand));
            } catch (const InputEnded&) {
                return 0;  // the end of input between commands ends the session
            }
            if (answer.empty()) {
                continue;
            }
            const std::string lower = AsciiLower(answer);
            if (lower == "menu") {
                menu.Show(out);
                continue;
            }
            if (lower == "help" || lower == "?") {
                out << kGuide;
                continue;
            }
            if (lower == "status") {
                ui.ShowStatus();
                continue;
            }
            const CommandRow* item = FindCommandByName(answer);
            if (item == nullptr) {
                out << "Unknown command: " << answer
                    << " (\"menu\" lists the commands, \"help\" shows a short guide)\n";
                continue;
            }
            if (item->id == kCmdExit) {
                if (ui.MayLeave()) {
                    return 0;
                }
                continue;
            }
            if (item->id == kCmdAbout) {
                out << kAbout;
                UpdateMenuStates(app, menu);
                continue;
            }
            if (!menu.enabled(item->id)) {
                out << "Not available now: " << WithoutAmpersands(item->menuText) << " needs "
                    << MissingForCommand(app, item->id) << " first\n";
                continue;
            }
            DispatchCommand(app, item->id, &menu);
            ui.RepaintIfRequested();
            UpdateMenuStates(app, menu);
        }
    } catch (const InputEnded& ended) {
        out << "The input ended while waiting for an answer to: " << ended.prompt << '\n';
        return options.script ? 1 : 0;
    }
}

}  // namespace toravel
