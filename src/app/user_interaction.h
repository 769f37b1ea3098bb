// The services through which every command talks to the user. Commands never touch a window
// system: the Windows front end, the console shell, the batch converter and the tests each
// provide their own implementation.
//
// Every question, notice and prompt carries an identifier and the data it is about beside its
// title and text. Front ends that answer by themselves (the batch converter, a script) choose
// by the identifier, never by the wording, which is the user's to read.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "scene/read_result.h"

namespace toravel {

struct FileFilterEntry {
    std::string description;  // "SMD Files (*.smd)"
    std::string pattern;      // "*.smd"
};
using FileFilter = std::vector<FileFilterEntry>;

struct FileChoice {
    std::string path;      // full path
    std::string fileName;  // the last path component
};

// The Yes/No questions of the commands.
enum class QuestionId {
    kDiscardDocument,        // a loaded document would be replaced; subject: its kind
    kClearPrimaryNodes,      // the primary nodes would be replaced
    kSaveBeforeReplacing,    // the primaries were never exported: save them first?
    kClearPrimarySets,       // the primary animation sets would be replaced
    kSetSetsAnyway,          // the first set does not fit the primary nodes
    kRenameSet,              // the set's name is taken; subject: the name
    kDiscontinueAddition,    // the rename was cancelled: stop adding?
    kAddSetAnyway,           // the set does not fit the primary nodes; subject: its name
    kContinueCompatibility,  // a frame that a set animates is missing; subject: the frame
    kNameUnnamedSet,         // an X file's set has no name; index: its position in the file
    kDumpHierarchy,          // write the hierarchy listing of a loaded X file
    kQuickDump,              // write the frames of a loaded X file
    kExportWithoutSets,      // the animated export has no sets to write
    kOverwriteFile,          // the chosen output exists; subject: its file name
    kLeaveUnexported,        // the shell is left while the primaries were never exported
};

struct Question {
    QuestionId id;
    std::string title;
    std::string text;
    bool warning = false;      // shows the warning icon
    std::string subject = {};  // the document kind, set, frame or file the question is about
    size_t index = 0;
};

// The notices, which have one OK button.
enum class NoticeId {
    kReadFailure,      // a load failed; the reader's message
    kReadStopped,      // a load failed where the menu shows no message (a frame numbered -1)
    kReadWarning,      // a load goes on after this
    kOpenFailure,      // a file could not be opened for input or output; subject: its name
    kWriteFailure,     // an output could not be written; subject: its name
    kNothingToExport,  // the command has nothing to work on
    kNoSkeletonRoot,   // the nodes have no single skeleton root to write
    kSetNameFixed,     // a set name was made valid for X files; subject: the name used
    kEnterName,        // the name dialog was left empty
    kMeshFailure,      // the mesh library failed
};

// Where in which file a notice's cause lies.
struct NoticePlace {
    std::string file;   // as the user named it
    size_t line = 0;    // 1-based; 0 when no line applies
    std::string where;  // where no line applies: "byte offset 340"
};

struct Notice {
    NoticeId id;
    std::string title;
    std::string text;
    std::string subject = {};  // the file or set the notice is about
    NoticePlace place = {};
    // One line that says why or what to do: the system's reason for a failed open or write,
    // a limit that was passed. Front ends that show more than the message show it.
    std::string hint = {};
    // A sentence that follows the text only between interactive commands ("Currently loaded
    // ... information will be retained."); batch runs leave it out.
    std::string aside = {};
};

// The text as the menu shows it: the text and its aside.
inline std::string MenuText(const Notice& notice) {
    return notice.aside.empty() ? notice.text : notice.text + "\n" + notice.aside;
}

// The prompts for an animation set name.
enum class NamePromptId {
    kNewSet,      // an SMD animation was read; subject: its file's stem
    kRenameSet,   // the name is taken; subject: the taken name
    kUnnamedSet,  // an X file's set has none; index: its position in the file
};

struct NamePrompt {
    NamePromptId id;
    std::string subject = {};  // see NamePromptId
    size_t index = 0;
};

// The file dialogs.
enum class FilePromptId {
    kOpenSmd,         // an SMD reference or animation
    kOpenX,           // an X file to load
    kOpenStaticSmd,   // an SMD file as a static mesh
    kSaveX,           // the export of the primaries
    kSaveStaticMesh,  // the static mesh export (an open dialog: any name, no question)
};

struct FilePrompt {
    FilePromptId id;
    FileFilter filter;
    std::string defaultExtension = {};  // appended by save dialogs to a typed name without one
};

class UserInteraction {
  public:
    virtual ~UserInteraction() = default;

    // A modal Yes/No question; true for Yes.
    virtual bool AskYesNo(const Question& question) = 0;
    // A modal notice with one OK button.
    virtual void ShowMessage(const Notice& notice) = 0;
    // The "AnimationSet Name" dialog: a non-empty name of at most 254 characters, or nothing.
    virtual std::optional<std::string> AskAnimSetName(const NamePrompt& prompt) = 0;
    virtual std::optional<FileChoice> AskOpenFileName(const FilePrompt& prompt) = 0;
    virtual std::optional<FileChoice> AskSaveFileName(const FilePrompt& prompt) = 0;
    // Marks the display for repainting at the next opportunity.
    virtual void RequestRepaint() = 0;
    // Shows a line just added to the status log before the caller goes on working.
    virtual void ShowStatusLine(std::string_view line) = 0;
    // How far a long read has come in `file`: `done` of `total` bytes. Front ends that show
    // nothing of it need not override it.
    virtual void ShowProgress(std::string_view file, size_t done, size_t total) {
        (void)file;
        (void)done;
        (void)total;
    }
};

// A reader's message as a notice.
inline Notice ReadNotice(const Message& message, NoticeId id) {
    return Notice{id, message.title, message.text};
}

// Progress lines of a running load. While it holds lines the display shows them instead of
// the summary.
class StatusLog {
  public:
    explicit StatusLog(UserInteraction& ui) : ui_(&ui) {}

    void AddStatusLine(std::string_view text) {
        lines_.emplace_back(text);
        ui_->ShowStatusLine(lines_.back());
    }
    void ClearStatusLog() { lines_.clear(); }
    const std::vector<std::string>& Lines() const { return lines_; }
    void SetInteraction(UserInteraction& ui) { ui_ = &ui; }

  private:
    UserInteraction* ui_;
    std::vector<std::string> lines_;
};

}  // namespace toravel
