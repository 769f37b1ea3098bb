// The application at a terminal or driven by a script: the status display as lines of text,
// the menu as numbered items, and every question, notice and dialog as a prompt on a line.
#pragma once

#include <istream>
#include <ostream>

namespace toravel {

struct ConsoleOptions {
    // Script mode: prompts are echoed with their answers into a transcript, notices do not
    // wait, and a prompt that the script does not answer ends the run with an error.
    bool script = false;
    bool colour = false;    // ANSI colours for the status display
    bool generalX = false;  // "Load X File" reads with the general reader
};

// Runs the session until "E&xit" or the end of the input. Returns 0, or 1 when a script
// ended while a prompt was waiting for its answer.
int RunConsoleSession(std::istream& in, std::ostream& out, const ConsoleOptions& options);

}  // namespace toravel
