// The text encoding of X files as tokens and numbers for the general reader.
//
// White space, commas, semicolons and comments ('#' or '//' where a token would begin, to
// the end of the line) separate tokens and are otherwise ignored. Braces, quotes, angle
// brackets, square brackets and parentheses delimit; every other run of characters is one
// token, so names may hold digits, dots, dashes and the like, and may begin with a digit.
// Numbers are read where the parser expects them, directly from the data.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "text/text_input.h"
#include "xfile/x_token.h"

namespace toravel {

namespace xtext {

enum CharClass : uint8_t {
    kRun = 0,         // part of a name or number
    kFill = 1,        // white space and separators
    kDelimiter = 2,   // a token of its own or the start of one: { } " < > [ ] ( )
    kCommentMark = 3  // '#' and '/': a comment where a token would begin, else part of a run
};

inline constexpr std::array<uint8_t, 256> kClasses = [] {
    std::array<uint8_t, 256> classes{};
    for (unsigned char c : std::string_view(" \t\r\n\v\f,;")) {
        classes[c] = kFill;
    }
    for (unsigned char c : std::string_view("{}\"<>[]()")) {
        classes[c] = kDelimiter;
    }
    classes[static_cast<unsigned char>('#')] = kCommentMark;
    classes[static_cast<unsigned char>('/')] = kCommentMark;
    return classes;
}();

inline uint8_t ClassOf(char c) {
    return kClasses[static_cast<unsigned char>(c)];
}

}  // namespace xtext

class XTextLexer {
  public:
    // The least number of bytes a number with its separator takes; bounds reservations.
    static constexpr size_t kMinBytesPerNumber = 2;

    // Reads `data` from `start` (after the header). `placeSuffix` is appended to every
    // place ("line 12" plus, say, " of the inflated text").
    XTextLexer(std::string_view data, size_t start, std::string_view placeSuffix = {})
        : data_(data), pos_(start), placeSuffix_(placeSuffix) {}

    XToken Next();
    XToken Peek() {
        const size_t saved = pos_;
        XToken token = Next();
        pos_ = saved;
        return token;
    }

    // The next value as a number; false, consuming nothing, when the next token is not one.
    inline bool ReadFloat(float& value);
    inline bool ReadDword(uint32_t& value);

    size_t Remaining() const { return data_.size() - pos_; }
    // Where the lexer stands: just after what it read last.
    size_t Position() const { return pos_; }
    // "line N" of a position, 1-based, with the place suffix.
    std::string Where(size_t position) const;
    // Where for many positions at once, in one pass over the data.
    std::vector<std::string> WhereAll(const std::vector<size_t>& positions) const;
    // A token as messages show it after "found".
    std::string Describe(const XToken& token) const;

  private:
    inline void SkipFill();
    // After a number that ends at `end`: does a delimiter follow, as it must?
    inline bool EndsToken(size_t end) const;
    // Microsoft's printf writes "1.#QNAN0", "-1.#IND00" or "1.#INF00" for values that are not
    // finite; `end` stands at the '#' after "1.". Returns the end of the word, or 0.
    size_t ReadNonFinite(size_t start, size_t end, float& value) const;

    std::string_view data_;
    size_t pos_;
    std::string_view placeSuffix_;
};

inline void XTextLexer::SkipFill() {
    const size_t size = data_.size();
    while (pos_ < size) {
        const char c = data_[pos_];
        const uint8_t cls = xtext::ClassOf(c);
        if (cls == xtext::kFill) {
            ++pos_;
            continue;
        }
        if (cls == xtext::kCommentMark &&
            (c == '#' || (pos_ + 1 < size && data_[pos_ + 1] == '/'))) {
            const void* lf = std::memchr(data_.data() + pos_, '\n', size - pos_);
            pos_ = lf == nullptr ? size
                                 : static_cast<size_t>(static_cast<const char*>(lf) - data_.data());
            continue;
        }
        return;
    }
}

inline bool XTextLexer::EndsToken(size_t end) const {
    if (end >= data_.size()) {
        return true;
    }
    const char c = data_[end];
    const uint8_t cls = xtext::ClassOf(c);
    if (cls == xtext::kFill || cls == xtext::kDelimiter) {
        return true;
    }
    return cls == xtext::kCommentMark &&
           (c == '#' || (end + 1 < data_.size() && data_[end + 1] == '/'));
}

inline bool XTextLexer::ReadFloat(float& value) {
    SkipFill();
    const size_t used = ParseFloat(data_.substr(pos_), value);
    if (used == 0) {
        return false;
    }
    size_t end = pos_ + used;
    if (end < data_.size() && data_[end] == '#' && data_[end - 1] == '.') {
        end = ReadNonFinite(pos_, end, value);
        if (end == 0) {
            return false;
        }
    }
    if (!EndsToken(end)) {
        return false;
    }
    pos_ = end;
    return true;
}

inline bool XTextLexer::ReadDword(uint32_t& value) {
    SkipFill();
    size_t i = pos_;
    const size_t size = data_.size();
    if (i < size && data_[i] == '+') {
        ++i;
    }
    const size_t digits = i;
    uint64_t number = 0;
    while (i < size && data_[i] >= '0' && data_[i] <= '9') {
        number = number * 10 + static_cast<uint64_t>(data_[i] - '0');
        if (number > UINT32_MAX) {
            return false;
        }
        ++i;
    }
    if (i == digits || !EndsToken(i)) {
        return false;
    }
    value = static_cast<uint32_t>(number);
    pos_ = i;
    return true;
}

}  // namespace toravel
