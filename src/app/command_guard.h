// Keeps commands from overlapping. A command's questions run nested message handling, so the
// menu can deliver a second command while the first one waits for an answer; the dispatcher
// holds one CommandGuard and runs a command only when it can enter it.
#pragma once

namespace toravel {

class CommandGuard {
  public:
    // Marks a command as running; false, changing nothing, when one already runs.
    bool TryEnter() {
        if (busy_) {
            return false;
        }
        busy_ = true;
        return true;
    }
    // Ends the running command. Only the caller whose TryEnter succeeded may call it.
    void Leave() { busy_ = false; }
    // True while a command runs (and so possibly waits for an answer).
    bool busy() const { return busy_; }

    // Enters the guard for the lifetime of the scope, if it is free; leaves it on every way
    // out of the scope, exceptions included. A scope that could not enter leaves nothing.
    class Scope {
      public:
        explicit Scope(CommandGuard& guard) : guard_(guard), entered_(guard.TryEnter()) {}
        ~Scope() {
            if (entered_) {
                guard_.Leave();
            }
        }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

        // True when this scope runs the command; false when another command was running.
        bool entered() const { return entered_; }

      private:
        CommandGuard& guard_;
        bool entered_;
    };

  private:
    bool busy_ = false;
};

}  // namespace toravel
