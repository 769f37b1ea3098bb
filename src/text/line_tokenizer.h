// Splits text into tokens separated by spaces and tabs, one line at a time, skipping lines
// and rests of lines that start with '#' or '//'. Readers may also read from the same input
// directly: the tokenizer notices the moved read position and then starts afresh from
// wherever the input stands.
#pragma once

#include <string_view>

#include "text/text_input.h"

namespace toravel {

class LineTokenizer {
  public:
    // Whether a brace is a token of its own where it touches other characters ("Name{" gives
    // "Name" and "{"), as X files need; SMD files keep braces inside their tokens.
    enum class Braces { kInToken, kSeparate };

    // The next token, or an empty view when the input has ended or failed. Tokens are views
    // into the input's text.
    std::string_view NextToken(TextInput& input);

    // The token most recently returned.
    std::string_view CurrentToken() const { return token_; }
    // The rest of the buffered line after the current token, not consumed.
    std::string_view RestOfLine() const { return line_.substr(static_cast<size_t>(readPos_)); }
    // The buffered line from the start of the current token to its end; the line is then
    // forgotten, so the next token comes from the line after it.
    std::string_view TakeLineFromToken();

    // Forgets the buffered line and the remembered position; every reader starts a new file
    // with a fresh state and its own brace rule.
    void Reset(Braces braces = Braces::kInToken);

  private:
    std::string_view token_;
    std::string_view line_;
    int32_t readPos_ = 0;
    size_t rememberedPos_ = TextInput::kNoPosition;
    Braces braces_ = Braces::kInToken;
};

}  // namespace toravel
