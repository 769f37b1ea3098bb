// A UserInteraction for runs without a person at the screen: notices go to a stream as their
// title and text, questions are answered No, dialogs are cancelled. Batch front ends derive
// from it to answer by their own policy.
#pragma once

#include <ostream>

#include "app/user_interaction.h"

namespace toravel {

class MessageStreamInteraction : public UserInteraction {
  public:
    // `messages` may be null: nothing is shown then.
    explicit MessageStreamInteraction(std::ostream* messages) : messages_(messages) {}

    bool AskYesNo(const Question& question) override {
        Print(question.title, question.text);
        return false;
    }
    void ShowMessage(const Notice& notice) override { Print(notice.title, notice.text); }
    std::optional<std::string> AskAnimSetName(const NamePrompt&) override { return std::nullopt; }
    std::optional<FileChoice> AskOpenFileName(const FilePrompt&) override { return std::nullopt; }
    std::optional<FileChoice> AskSaveFileName(const FilePrompt&) override { return std::nullopt; }
    void RequestRepaint() override {}
    void ShowStatusLine(std::string_view) override {}

  protected:
    // "title: text", with the text's later lines indented by two spaces.
    void Print(std::string_view title, std::string_view text) {
        if (messages_ == nullptr) {
            return;
        }
        *messages_ << title << ": ";
        for (char c : text) {
            *messages_ << c;
            if (c == '\n') {
                *messages_ << "  ";
            }
        }
        *messages_ << '\n';
    }
    std::ostream* messages() const { return messages_; }

  private:
    std::ostream* messages_;
};

}  // namespace toravel
