#include "cli/line_editor.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

#include <editline/readline.h>

#include "app/console_completion.h"

namespace toravel {

namespace {

// libedit calls its completion hooks without a context pointer: what the line being read
// answers, and the candidates of the word being completed, live here for that one read.
ConsoleLineKind gLineKind = ConsoleLineKind::kAnswer;
std::vector<std::string> gCandidates;

char* NextCandidate(const char* text, int state) {
    static size_t next = 0;
    if (state == 0) {
        gCandidates =
            gLineKind == ConsoleLineKind::kCommand ? CompleteCommandName(text) : CompletePath(text);
        next = 0;
    }
    if (next >= gCandidates.size()) {
        return nullptr;
    }
    return strdup(gCandidates[next++].c_str());
}

char** Complete(const char* text, int, int) {
    rl_attempted_completion_over = 1;  // never fall back to libedit's own file names
    if (gLineKind == ConsoleLineKind::kAnswer) {
        return nullptr;
    }
    // A folder stays open for the next Tab; a whole name gets no blank after it either, so
    // the line reads exactly as the command or path.
    rl_completion_append_character = '\0';
    return rl_completion_matches(text, NextCandidate);
}

}  // namespace

std::string HistoryFilePath() {
    std::filesystem::path folder;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (dataHome != nullptr && dataHome[0] == '/') {
        folder = dataHome;
    } else if (home != nullptr && home[0] != '\0') {
        folder = std::filesystem::path(home) / ".local" / "share";
    } else {
        return {};
    }
    return (folder / "toravel" / "history").string();
}

LineEditor::LineEditor(std::string historyPath) : historyPath_(std::move(historyPath)) {
    rl_readline_name = "toravel";
    rl_attempted_completion_function = Complete;
    // Paths hold '/' and '.', so only blanks end the word being completed.
    static char breaks[] = " \t";
    rl_completer_word_break_characters = breaks;
    stifle_history(1000);
    if (!historyPath_.empty()) {
        read_history(historyPath_.c_str());
    }
}

LineEditor::~LineEditor() {
    if (historyPath_.empty()) {
        return;
    }
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(historyPath_).parent_path(), error);
    write_history(historyPath_.c_str());
}

bool LineEditor::ReadLine(const std::string& prompt, ConsoleLineKind kind, std::string& line) {
    gLineKind = kind;
    char* read = readline(prompt.c_str());
    if (read == nullptr) {
        std::fputc('\n', stdout);
        return false;
    }
    line = read;
    std::free(read);
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    if (line.find_first_not_of(" \t") != std::string::npos) {
        add_history(line.c_str());
    }
    return true;
}

}  // namespace toravel
