// A UserInteraction for tests: each prompt must match the next scripted step exactly (kind,
// text, title, warning flag), and gets that step's answer. Unexpected or missing prompts fail
// the running test.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/user_interaction.h"

namespace toravel::testing {

class ScriptedInteraction : public UserInteraction {
  public:
    enum class Kind { kYesNo, kMessage, kAnimSetName, kOpenFile, kSaveFile };

    struct Step {
        Kind kind;
        std::string text;   // question or message text; unused for dialogs
        std::string title;  // unused for dialogs
        bool warning = false;
        bool yes = false;                 // kYesNo
        std::optional<std::string> name;  // kAnimSetName
        std::optional<FileChoice> file;   // kOpenFile, kSaveFile
    };

    ~ScriptedInteraction() override { ExpectDone(); }

    ScriptedInteraction& ExpectYesNo(std::string text, std::string title, bool warning, bool yes) {
        steps_.push_back({Kind::kYesNo, std::move(text), std::move(title), warning, yes, {}, {}});
        return *this;
    }
    ScriptedInteraction& ExpectMessage(std::string text, std::string title) {
        steps_.push_back({Kind::kMessage, std::move(text), std::move(title), false, false, {}, {}});
        return *this;
    }
    ScriptedInteraction& ExpectAnimSetName(std::optional<std::string> name) {
        steps_.push_back({Kind::kAnimSetName, {}, {}, false, false, std::move(name), {}});
        return *this;
    }
    // An open dialog answered with `path` (file name: its last component), or cancelled.
    ScriptedInteraction& ExpectOpenFile(std::optional<std::string> path) {
        steps_.push_back({Kind::kOpenFile, {}, {}, false, false, {}, Choice(path)});
        return *this;
    }
    ScriptedInteraction& ExpectSaveFile(std::optional<std::string> path) {
        steps_.push_back({Kind::kSaveFile, {}, {}, false, false, {}, Choice(path)});
        return *this;
    }

    // Fails the test when scripted steps were left unused.
    void ExpectDone() {
        EXPECT_TRUE(steps_.empty())
            << steps_.size()
            << " scripted prompt(s) never came; next: " << Describe(steps_.front());
        steps_.clear();
    }

    bool AskYesNo(const Question& question) override {
        questions.push_back(question);
        const Step step = Next(Kind::kYesNo, question.text, question.title);
        EXPECT_EQ(step.warning, question.warning) << "warning flag of question: " << question.text;
        return step.yes;
    }
    // The notices the menu shows, with their asides; a failure that the menu leaves without a
    // message (kReadStopped) is kept apart, unscripted.
    void ShowMessage(const Notice& notice) override {
        notices.push_back(notice);
        if (notice.id == NoticeId::kReadStopped) {
            return;
        }
        messages.push_back(notice.title + ": " + MenuText(notice));
        Next(Kind::kMessage, MenuText(notice), notice.title);
    }
    std::optional<std::string> AskAnimSetName(const NamePrompt& prompt) override {
        namePrompts.push_back(prompt);
        return Next(Kind::kAnimSetName, {}, {}).name;
    }
    std::optional<FileChoice> AskOpenFileName(const FilePrompt& prompt) override {
        lastFilter = prompt.filter;
        lastFilePrompt = prompt.id;
        return Next(Kind::kOpenFile, {}, {}).file;
    }
    std::optional<FileChoice> AskSaveFileName(const FilePrompt& prompt) override {
        lastFilter = prompt.filter;
        lastDefaultExtension = prompt.defaultExtension;
        lastFilePrompt = prompt.id;
        return Next(Kind::kSaveFile, {}, {}).file;
    }
    void RequestRepaint() override { ++repaints; }
    void ShowStatusLine(std::string_view line) override { statusLines.emplace_back(line); }

    int repaints = 0;
    std::vector<std::string> statusLines;  // every line shown, in order
    std::vector<std::string> messages;     // "title: text" of every notice
    std::vector<Question> questions;       // every question, with its identifier and data
    std::vector<Notice> notices;
    std::vector<NamePrompt> namePrompts;
    FileFilter lastFilter;
    std::string lastDefaultExtension;
    std::optional<FilePromptId> lastFilePrompt;

  private:
    static std::optional<FileChoice> Choice(const std::optional<std::string>& path) {
        if (!path) {
            return std::nullopt;
        }
        const size_t slash = path->find_last_of("/\\");
        return FileChoice{*path, slash == std::string::npos ? *path : path->substr(slash + 1)};
    }
    static const char* KindName(Kind kind) {
        switch (kind) {
            case Kind::kYesNo:
                return "question";
            case Kind::kMessage:
                return "message";
            case Kind::kAnimSetName:
                return "name dialog";
            case Kind::kOpenFile:
                return "open dialog";
            case Kind::kSaveFile:
                return "save dialog";
        }
        return "?";
    }
    static std::string Describe(const Step& step) {
        return std::string(KindName(step.kind)) + " [" + step.title + "] " + step.text;
    }
    Step Next(Kind kind, std::string_view text, std::string_view title) {
        if (steps_.empty()) {
            ADD_FAILURE() << "unexpected " << KindName(kind) << " [" << title << "] " << text;
            return Step{kind, {}, {}, false, false, {}, {}};
        }
        Step step = steps_.front();
        steps_.pop_front();
        EXPECT_EQ(KindName(step.kind), std::string(KindName(kind)))
            << "expected " << Describe(step) << ", got [" << title << "] " << text;
        if (step.kind == Kind::kYesNo || step.kind == Kind::kMessage) {
            EXPECT_EQ(step.text, text);
            EXPECT_EQ(step.title, title);
        }
        return step;
    }

    std::deque<Step> steps_;
};

}  // namespace toravel::testing
