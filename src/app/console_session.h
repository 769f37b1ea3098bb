// The application at a terminal or driven by a script: the status display as lines of text,
// the menu as numbered items, and every question, notice and dialog as a prompt on a line.
#pragma once

#include <istream>
#include <ostream>
#include <string>

namespace toravel {

// What a line that the session reads answers, so that an editor can complete it.
enum class ConsoleLineKind {
    kCommand,  // the "toravel>" prompt: command names
    kPath,     // a file prompt: file paths
    kAnswer,   // any other answer
};

// Where the session's lines come from at a terminal: an editor with history and completion.
class ConsoleLineReader {
  public:
    virtual ~ConsoleLineReader() = default;
    // Shows `prompt` and reads one line without its line end; false at the end of the input.
    virtual bool ReadLine(const std::string& prompt, ConsoleLineKind kind, std::string& line) = 0;
};

struct ConsoleOptions {
    // Script mode: prompts are echoed with their answers into a transcript, notices do not
    // wait, and a prompt that the script does not answer ends the run with an error.
    bool script = false;
    bool colour = false;    // ANSI colours for the status display
    bool generalX = false;  // "Load X File" reads with the general reader
    // Reads the lines instead of the input stream when given (an interactive terminal).
    ConsoleLineReader* lineReader = nullptr;
};

// Runs the session until "E&xit" or the end of the input. Returns 0, or 1 when a script
// ended while a prompt was waiting for its answer.
int RunConsoleSession(std::istream& in, std::ostream& out, const ConsoleOptions& options);

}  // namespace toravel
