// Small character and string rules shared by every text reader and front end.
#pragma once

#include <string>
#include <string_view>

namespace toravel {

inline bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}
inline bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// `text` without leading and trailing spaces and tabs.
inline std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// `text` with ASCII letters in lower case; other bytes stay.
inline std::string AsciiLower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

}  // namespace toravel
