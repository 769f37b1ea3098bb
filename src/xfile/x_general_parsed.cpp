#include "xfile/x_general_parsed.h"

#include <utility>

namespace toravel {

namespace {

constexpr size_t kMaxWarnings = 100;
constexpr size_t kMaxSkippedKinds = 100;
constexpr std::string_view kOtherKinds = "other data objects";

}  // namespace

void NoteSkipped(XParsedFile& file, std::string_view kind, size_t position) {
    for (XParsedSkip& skip : file.skipped) {
        if (skip.kind == kind) {
            ++skip.count;
            return;
        }
    }
    if (file.skipped.size() + 1 < kMaxSkippedKinds) {
        file.skipped.push_back({std::string(kind), 1, position});
        return;
    }
    if (file.skipped.back().kind != kOtherKinds) {
        file.skipped.push_back({std::string(kOtherKinds), 0, position});
    }
    ++file.skipped.back().count;
}

void AddWarning(XParsedFile& file, size_t position, std::string text) {
    if (file.warnings.size() < kMaxWarnings) {
        file.warnings.push_back({position, std::move(text)});
    } else {
        ++file.droppedWarnings;
    }
}

}  // namespace toravel
