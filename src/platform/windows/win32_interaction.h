// The user interaction services on the Windows user interface: ownerless message boxes, the
// common file dialogs and the name dialog owned by the main window, and repaints of it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "app/user_interaction.h"
#include "platform/windows/anim_set_name_dialog.h"

namespace toravel::windows {

// The filter pairs as the common dialogs take them: "text\0pattern\0...\0\0".
std::string DialogFilterString(const FileFilter& filter);

class Win32Interaction : public UserInteraction {
  public:
    explicit Win32Interaction(HINSTANCE instance) : instance_(instance) {}
    // The main window, once it exists; until then repaints go nowhere and the dialogs have
    // no owner.
    void SetWindow(HWND window) { window_ = window; }

    bool AskYesNo(const Question& question) override;
    void ShowMessage(const Notice& notice) override;
    std::optional<std::string> AskAnimSetName(const NamePrompt& prompt) override;
    std::optional<FileChoice> AskOpenFileName(const FilePrompt& prompt) override;
    std::optional<FileChoice> AskSaveFileName(const FilePrompt& prompt) override;
    void RequestRepaint() override;
    void ShowStatusLine(std::string_view line) override;

  private:
    std::optional<FileChoice> AskFileName(const FilePrompt& prompt, bool save);

    HINSTANCE instance_;
    HWND window_ = nullptr;
    AnimSetNameDialog nameDialog_;
};

}  // namespace toravel::windows
