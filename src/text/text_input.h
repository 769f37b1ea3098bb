// A text file read whole into memory, with the semantics of a C++ input stream that the
// readers rely on: a read position that can be told and set back, whole-line reads, number
// extraction as by `>>`, and the end and failed states.
//
// A carriage return before a line feed is dropped on every platform, and a final line
// without a line feed gets one, so the last line of a file always counts as a line. A file is
// read into memory once and mended there, without a second copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "text/text_util.h"

namespace toravel {

class TextInput {
  public:
    static constexpr size_t kNoPosition = static_cast<size_t>(-1);
    // Longest line that a whole-line read stores; a longer one fails the stream.
    static constexpr size_t kMaxLineLength = 1022;

    TextInput() = default;
    explicit TextInput(std::string content);
    // Bytes already in memory, which must outlive the input; they are copied only where a
    // line end must be mended.
    static TextInput View(std::string_view bytes);

    // Reads a whole regular file (ReadFileBytes); nothing when it cannot be opened or read.
    static std::optional<TextInput> OpenFile(const std::string& path);

    bool good() const { return !eof_ && !fail_; }
    bool eof() const { return eof_; }
    bool fail() const { return fail_; }
    // Whether the stream failed on a line longer than kMaxLineLength.
    bool lineTooLong() const { return lineTooLong_; }
    size_t size() const { return text_.size(); }
    std::string_view text() const { return text_; }

    // The read position, or kNoPosition once the stream has failed.
    size_t tell() const { return fail_ ? kNoPosition : pos_; }
    // Where reading stopped, also once the stream has failed.
    size_t stopPosition() const { return pos_; }
    // The 1-based number of the line that holds `position`.
    size_t LineAt(size_t position) const;
    // The line where reading stopped: the one that holds the last character read (a whole
    // line read ends after its line feed, which still belongs to it).
    size_t StopLine() const { return LineAt(pos_ > 0 ? pos_ - 1 : 0); }
    // Moves the read position and clears the end state; does nothing on a failed stream.
    void seek(size_t position);

    // Calls `report` with the read position and the size each time reading passes another
    // `step` bytes, for the progress of long reads.
    void SetProgress(std::function<void(size_t done, size_t total)> report, size_t step);

    // Reads up to the next line feed, which is consumed and not stored. Fails the stream when
    // nothing at all could be read, or when the line is longer than kMaxLineLength. The view
    // stays valid as long as this object lives.
    bool ReadLine(std::string_view& line);

    // Number extraction as `>> int`, `>> unsigned` and `>> float` of a C++ stream in the C
    // locale: leading white space is skipped; a failed extraction fails the stream.
    bool ReadInt(int32_t& value);
    bool ReadUnsigned(uint32_t& value);
    bool ReadFloat(float& value);
    // The next character that is not white space.
    bool ReadSeparator(char& c);
    // The next run of characters up to white space.
    bool ReadWord(std::string_view& word);

  private:
    bool SkipWhiteSpace();
    // One number extraction with `parse` (ParseInt, ParseUnsigned or ParseFloat).
    template <typename T>
    bool ReadNumber(T& value, size_t (*parse)(std::string_view, T&));

    // Keeps the text alive: an owned string.
    std::shared_ptr<const void> storage_;
    std::string_view text_;
    size_t pos_ = 0;
    bool eof_ = false;
    bool fail_ = false;
    bool lineTooLong_ = false;
    size_t nextProgress_ = kNoPosition;
    size_t progressStep_ = 0;
    std::function<void(size_t, size_t)> progress_;
};

// The reason to give when reading stopped at a line longer than TextInput::kMaxLineLength.
std::string LineTooLongHint(size_t line);

// Number parsing shared with line-based readers. Each parses a prefix of `text` with the
// rules of the matching TextInput extraction, after skipping white space, and returns the
// number of characters consumed (0 on failure, `value` then holds what `>>` would store).
size_t ParseInt(std::string_view text, int32_t& value);
size_t ParseUnsigned(std::string_view text, uint32_t& value);
size_t ParseFloat(std::string_view text, float& value);


}  // namespace toravel
