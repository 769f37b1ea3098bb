// One lexer for the general X parser over either encoding: the text lexer or the binary
// lexer, chosen once by the file's header. Number reads go straight to the text lexer's
// inline code, so the one branch per number costs next to nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "xfile/x_binary_lexer.h"
#include "xfile/x_text_lexer.h"
#include "xfile/x_token.h"

namespace toravel {

class XLexer {
  public:
    explicit XLexer(const XTextLexer& text) : binary_(false), text_(text), bin_({}, 0, false) {}
    explicit XLexer(const XBinaryLexer& binary) : binary_(true), text_({}, 0), bin_(binary) {}

    XToken Next() { return binary_ ? bin_.Next() : text_.Next(); }
    XToken Peek() { return binary_ ? bin_.Peek() : text_.Peek(); }
    bool ReadFloat(float& value) {
        return binary_ ? bin_.ReadFloat(value) : text_.ReadFloat(value);
    }
    bool ReadDword(uint32_t& value) {
        return binary_ ? bin_.ReadDword(value) : text_.ReadDword(value);
    }
    size_t Remaining() const { return binary_ ? bin_.Remaining() : text_.Remaining(); }
    size_t Position() const { return binary_ ? bin_.Position() : text_.Position(); }
    size_t MinBytesPerNumber() const {
        return binary_ ? XBinaryLexer::kMinBytesPerNumber : XTextLexer::kMinBytesPerNumber;
    }
    std::string Where(size_t position) const {
        return binary_ ? bin_.Where(position) : text_.Where(position);
    }
    std::vector<std::string> WhereAll(const std::vector<size_t>& positions) const {
        return binary_ ? bin_.WhereAll(positions) : text_.WhereAll(positions);
    }
    std::string Describe(const XToken& token) const {
        return binary_ ? bin_.Describe(token) : text_.Describe(token);
    }

  private:
    bool binary_;
    XTextLexer text_;
    XBinaryLexer bin_;
};

}  // namespace toravel
