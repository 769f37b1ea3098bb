// The tokens that the general X reader's two lexers (text and binary) hand to its parser.
// Separators (commas and semicolons) are never handed out: the parser knows from the
// templates how many values each member has, so separators carry no information for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace toravel {

enum class XTokenKind : uint8_t {
    kEnd,         // end of the data
    kName,        // an identifier or name (in text: any run of characters between delimiters)
    kString,      // a quoted string; text holds its content without the quotes
    kGuid,        // a class id: <...> in text, a GUID record in binary
    kOpenBrace,   // {
    kCloseBrace,  // }
    kTemplate,    // the template keyword
    kNumbers,     // binary only: an integer or float list record, or what is left of one
    kOther,       // punctuation and type keywords of template declarations
};

struct XToken {
    XTokenKind kind = XTokenKind::kEnd;
    std::string_view text;  // names, strings and, in text, other runs as written
    size_t position = 0;    // where the token starts in the data
    uint32_t count = 0;     // kNumbers: how many numbers
};

// Whether a token can begin a data object: a name that does not look like a number (in
// text, numbers and names are both runs of characters).
inline bool IsIdentifier(const XToken& token) {
    if (token.kind != XTokenKind::kName || token.text.empty()) {
        return false;
    }
    const char c = token.text[0];
    return !(c >= '0' && c <= '9') && c != '-' && c != '+' && c != '.';
}

// A failure of the general reader: where in the data it happened and what was expected.
// Thrown by the lexers and the parser and caught once, at the reader's entry point, so that
// every failure ends the read with exactly one message.
struct XReadFailure {
    size_t position = 0;
    std::string message;
};

}  // namespace toravel
