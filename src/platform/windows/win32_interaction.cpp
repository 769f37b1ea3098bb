#include "platform/windows/win32_interaction.h"

#include <commdlg.h>

namespace toravel::windows {

std::string DialogFilterString(const FileFilter& filter) {
    std::string text;
    for (const FileFilterEntry& entry : filter) {
        text += entry.description;
        text += '\0';
        text += entry.pattern;
        text += '\0';
    }
    text += '\0';
    return text;
}

bool Win32Interaction::AskYesNo(const Question& question) {
    const UINT style = MB_YESNO | (question.warning ? MB_ICONWARNING : 0);
    return MessageBoxA(nullptr, question.text.c_str(), question.title.c_str(), style) == IDYES;
}

void Win32Interaction::ShowMessage(const Notice& notice) {
    MessageBoxA(nullptr, MenuText(notice).c_str(), notice.title.c_str(), MB_OK);
}

std::optional<std::string> Win32Interaction::AskAnimSetName(const NamePrompt&) {
    return nameDialog_.Show(instance_, window_);
}

std::optional<FileChoice> Win32Interaction::AskOpenFileName(const FilePrompt& prompt) {
    return AskFileName(prompt, false);
}

std::optional<FileChoice> Win32Interaction::AskSaveFileName(const FilePrompt& prompt) {
    return AskFileName(prompt, true);
}

std::optional<FileChoice> Win32Interaction::AskFileName(const FilePrompt& prompt, bool save) {
    const std::string filter = DialogFilterString(prompt.filter);
    char path[MAX_PATH] = {};
    char title[MAX_PATH] = {};
    OPENFILENAMEA dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.hInstance = instance_;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = sizeof path;
    dialog.lpstrFileTitle = title;
    dialog.nMaxFileTitle = sizeof title;
    if (save && !prompt.defaultExtension.empty()) {
        dialog.lpstrDefExt = prompt.defaultExtension.c_str();
    }
    const BOOL chosen = save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (!chosen) {
        return std::nullopt;
    }
    return FileChoice{path, title};
}

void Win32Interaction::RequestRepaint() {
    if (window_ != nullptr) {
        InvalidateRect(window_, nullptr, TRUE);
    }
}

void Win32Interaction::ShowStatusLine(std::string_view) {
    if (window_ != nullptr) {
        InvalidateRect(window_, nullptr, TRUE);
        UpdateWindow(window_);
    }
}

}  // namespace toravel::windows
