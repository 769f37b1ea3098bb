// What a reader reports beside its records: the one failure that ended the read, with the
// place where reading stopped, and the warnings of a read that went on. Readers never talk to
// the user; the load commands show these.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace toravel {

inline constexpr std::string_view kInvalidFileTitle = "Invalid File";

// A message box's worth: its title and text.
struct Message {
    std::string title;
    std::string text;
    friend bool operator==(const Message&, const Message&) = default;
};

// Where reading stopped: a 1-based line of text input, or a byte offset of binary input; 0
// and nothing when unknown.
struct ReadPosition {
    size_t line = 0;
    std::optional<size_t> byteOffset;
};

struct ReadFailure {
    // Empty for the few failures that show no message of their own in the menu commands.
    std::optional<Message> message = {};
    ReadPosition position = {};
    // For front ends that say more than the menu: what stopped the read, in one line (a line
    // too long, a vertex with too many links), and for a failure without a message, a
    // message of its own.
    std::string hint = {};
    std::optional<Message> quietMessage = {};
};

class ReadReport {
  public:
    bool ok() const { return !failure_; }
    const std::optional<ReadFailure>& failure() const { return failure_; }
    const std::vector<Message>& warnings() const { return warnings_; }

    // Records the failure that ends the read (the first one counts) and returns false, so that
    // reading steps can say `return report.Fail(...)`.
    bool Fail(std::string_view text, std::string_view title = kInvalidFileTitle) {
        if (!failure_) {
            failure_ = ReadFailure{Message{std::string(title), std::string(text)}, {}};
        }
        return false;
    }
    // A failure without a message of its own; `quietText` is what front ends that say more
    // than the menu show instead.
    bool FailSilently(std::string_view quietText = {}) {
        if (!failure_) {
            failure_ = ReadFailure{};
            if (!quietText.empty()) {
                failure_->quietMessage = Message{std::string(kInvalidFileTitle), std::string(quietText)};
            }
        }
        return false;
    }
    // Adds the one-line reason to the failure, when there is one and it has none yet.
    void SetHint(std::string_view hint) {
        if (failure_ && failure_->hint.empty()) {
            failure_->hint = std::string(hint);
        }
    }
    // Where reading stopped; the reader sets it once a step has failed.
    void SetPosition(ReadPosition position) {
        if (failure_) {
            failure_->position = position;
        }
    }
    // A notice of a read that goes on.
    void Warn(std::string_view text, std::string_view title) {
        warnings_.push_back(Message{std::string(title), std::string(text)});
    }
    // The warnings recorded so far, which are then forgotten: a command shows each once, in
    // the order of the reading steps.
    std::vector<Message> TakeWarnings() { return std::exchange(warnings_, {}); }

  private:
    std::optional<ReadFailure> failure_;
    std::vector<Message> warnings_;
};

}  // namespace toravel
