// The services through which every command talks to the user. Commands never touch a window
// system: the Windows front end, the console shell, the batch converter and the tests each
// provide their own implementation.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

class UserInteraction {
  public:
    virtual ~UserInteraction() = default;

    // A modal Yes/No question; true for Yes. `warning` shows the warning icon.
    virtual bool AskYesNo(std::string_view text, std::string_view title, bool warning) = 0;
    // A modal notice with one OK button.
    virtual void ShowMessage(std::string_view text, std::string_view title) = 0;
    // The "AnimationSet Name" dialog: a non-empty name of at most 254 characters, or nothing.
    virtual std::optional<std::string> AskAnimSetName() = 0;
    virtual std::optional<FileChoice> AskOpenFileName(const FileFilter& filter) = 0;
    // The save dialog appends `defaultExtension` to a typed name without one.
    virtual std::optional<FileChoice> AskSaveFileName(const FileFilter& filter,
                                                      std::string_view defaultExtension) = 0;
    // Marks the display for repainting at the next opportunity.
    virtual void RequestRepaint() = 0;
    // Shows a line just added to the status log before the caller goes on working.
    virtual void ShowStatusLine(std::string_view line) = 0;
};

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
