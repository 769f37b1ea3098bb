// The one form in which the command line shows a message on standard error:
//   toravel: FILE:LINE: TITLE: TEXT
//   hint: what stopped the read, the system's reason, or what to do
// with "FILE: " alone where no line applies, and the text's later lines indented.
#pragma once

#include <string>

#include "app/user_interaction.h"

namespace toravel {

// "file:12", "file: byte offset 40", "file", or "" for no file.
inline std::string PlaceText(const NoticePlace& place) {
    if (place.file.empty()) {
        return {};
    }
    if (place.line > 0) {
        return place.file + ":" + std::to_string(place.line);
    }
    return place.where.empty() ? place.file : place.file + ": " + place.where;
}

inline std::string CommandLineMessage(const Notice& notice) {
    std::string out = "toravel: ";
    const std::string place = PlaceText(notice.place);
    if (!place.empty()) {
        out += place + ": ";
    }
    out += notice.title + ": ";
    for (char c : notice.text) {
        out += c;
        if (c == '\n') {
            out += "  ";
        }
    }
    out += '\n';
    if (!notice.hint.empty()) {
        out += "hint: " + notice.hint + '\n';
    }
    return out;
}

}  // namespace toravel
