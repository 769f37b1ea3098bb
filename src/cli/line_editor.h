// The shell's line editor at a terminal: editing keys, a history kept between sessions and
// Tab completion of command names and file paths, through libedit.
#pragma once

#include <string>

#include "app/console_session.h"

namespace toravel {

// Where the history is kept: $XDG_DATA_HOME/toravel/history, else
// ~/.local/share/toravel/history; empty when neither folder is known.
std::string HistoryFilePath();

class LineEditor : public ConsoleLineReader {
  public:
    // Reads the history from `historyPath` (when not empty) and writes it back on destruction.
    explicit LineEditor(std::string historyPath);
    ~LineEditor() override;
    LineEditor(const LineEditor&) = delete;
    LineEditor& operator=(const LineEditor&) = delete;

    bool ReadLine(const std::string& prompt, ConsoleLineKind kind, std::string& line) override;

  private:
    std::string historyPath_;
};

}  // namespace toravel
