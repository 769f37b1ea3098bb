// Checking what a reader reported, in the form a user sees it.
#pragma once

#include <string>
#include <vector>

#include "scene/read_result.h"

namespace toravel::testing {

// The read's failure as "title: text"; "" when the read succeeded and "(silent)" for a
// failure without a message of its own.
inline std::string FailureOf(const ReadReport& report) {
    if (report.ok()) {
        return "";
    }
    const auto& message = report.failure()->message;
    return message ? message->title + ": " + message->text : "(silent)";
}

// The warnings as "title: text", in order.
inline std::vector<std::string> WarningsOf(const ReadReport& report) {
    std::vector<std::string> lines;
    for (const Message& m : report.warnings()) {
        lines.push_back(m.title + ": " + m.text);
    }
    return lines;
}

}  // namespace toravel::testing
