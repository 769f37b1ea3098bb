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
    bool AskYesNo(const Question& question) override {
        questions.push_back(question.text);
        return yes;
    }
    // The notices the menu shows, with their asides; failures that the menu leaves without a
    // message (kReadStopped) are kept apart.
    void ShowMessage(const Notice& notice) override {
        (notice.id == NoticeId::kReadStopped ? quiet : messages)
            .push_back(notice.title + ": " + MenuText(notice));
    }
    std::optional<std::string> AskAnimSetName(const NamePrompt&) override { return animSetName; }
    std::optional<FileChoice> AskOpenFileName(const FilePrompt&) override { return std::nullopt; }
    std::optional<FileChoice> AskSaveFileName(const FilePrompt&) override { return std::nullopt; }
    void RequestRepaint() override {}
    void ShowStatusLine(std::string_view) override {}

    bool yes = true;
    std::optional<std::string> animSetName = "Anim";
    std::vector<std::string> questions;
    std::vector<std::string> messages;  // "title: text"
    std::vector<std::string> quiet;
};

}  // namespace toravel::testing
