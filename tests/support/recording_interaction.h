// A UserInteraction that only records what it was asked, for inputs whose prompts are not
// known in advance (every prefix of a file, say).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/user_interaction.h"

namespace toravel::testing {

// Keeps every question and notice; answers every question with `yes` and the name dialog
// with `animSetName`; cancels the file dialogs.
class RecordingInteraction : public UserInteraction {
  public:
    bool AskYesNo(std::string_view text, std::string_view, bool) override {
        questions.emplace_back(text);
        return yes;
    }
    void ShowMessage(std::string_view text, std::string_view title) override {
        messages.push_back(std::string(title) + ": " + std::string(text));
    }
    std::optional<std::string> AskAnimSetName() override { return animSetName; }
    std::optional<FileChoice> AskOpenFileName(const FileFilter&) override { return std::nullopt; }
    std::optional<FileChoice> AskSaveFileName(const FileFilter&, std::string_view) override {
        return std::nullopt;
    }
    void RequestRepaint() override {}
    void ShowStatusLine(std::string_view) override {}

    bool yes = true;
    std::optional<std::string> animSetName = "Anim";
    std::vector<std::string> questions;
    std::vector<std::string> messages;  // "title: text"
};

}  // namespace toravel::testing
