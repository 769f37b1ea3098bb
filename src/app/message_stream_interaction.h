// A UserInteraction for runs without a person at the screen: notices go to a stream in the
// command line's form, questions are answered No, dialogs are cancelled. Batch front ends derive
// from it to answer by their own policy.
#pragma once

#include <ostream>
#include <string>
#include <utility>

#include "app/message_format.h"
#include "app/user_interaction.h"

namespace toravel {

class MessageStreamInteraction : public UserInteraction {
  public:
    // `messages` may be null: nothing is shown then.
    explicit MessageStreamInteraction(std::ostream* messages) : messages_(messages) {}

    bool AskYesNo(const Question& question) override {
        Print({NoticeId::kReadWarning, question.title, question.text});
        return false;
    }
    void ShowMessage(const Notice& notice) override { Print(notice); }
    std::optional<std::string> AskAnimSetName(const NamePrompt&) override { return std::nullopt; }
    std::optional<FileChoice> AskOpenFileName(const FilePrompt&) override { return std::nullopt; }
    std::optional<FileChoice> AskSaveFileName(const FilePrompt&) override { return std::nullopt; }
    void RequestRepaint() override {}
    void ShowStatusLine(std::string_view) override {}

    // The file that the commands work on now: notices without a place of their own name it.
    void SetCurrentFile(std::string file) { currentFile_ = std::move(file); }

  protected:
    // The notice in the command line's form (without the menu's asides); its place is the
    // current file when it has none.
    void Print(Notice notice) {
        if (messages_ == nullptr) {
            return;
        }
        if (notice.place.file.empty()) {
            notice.place.file = currentFile_;
        }
        *messages_ << CommandLineMessage(notice);
    }
    std::ostream* messages() const { return messages_; }
    const std::string& currentFile() const { return currentFile_; }

  private:
    std::ostream* messages_;
    std::string currentFile_;
};

}  // namespace toravel
