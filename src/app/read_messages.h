// Showing what a reader reported: the load commands show a reading step's warnings when the
// step ends, then its failure, so the user sees them in the order in which the file held them.
#pragma once

#include <algorithm>
#include <string>

#include "app/user_interaction.h"
#include "scene/read_result.h"
#include "text/text_input.h"

namespace toravel {

// A reader's message as a notice about `file`, with the place and the reason it gave.
inline Notice ReadNoticeIn(const Message& message, NoticeId id, const std::string& file,
                           const ReadPosition& position = {}, const std::string& hint = {}) {
    Notice notice = ReadNotice(message, id);
    notice.subject = file;
    notice.place.file = file;
    notice.place.line = position.line;
    if (position.line == 0 && position.byteOffset) {
        notice.place.where = "byte offset " + std::to_string(*position.byteOffset);
    }
    notice.hint = hint;
    return notice;
}

// Reports how far reading `input` has come to the front end, about once a percent.
inline void ReportProgress(TextInput& input, const std::string& file, UserInteraction& ui) {
    constexpr size_t kMinStep = size_t{1} << 20;
    input.SetProgress([&ui, file](size_t done, size_t total) { ui.ShowProgress(file, done, total); },
                      std::max(input.size() / 100, kMinStep));
}

// Shows the warnings that `report` gathered since the last call, then, when `ok` is false,
// the failure's message (some failures have none in the menu; they come as kReadStopped).
// Returns `ok`.
inline bool ShowReadStep(bool ok, ReadReport& report, UserInteraction& ui,
                         const std::string& file) {
    for (const Message& warning : report.TakeWarnings()) {
        ui.ShowMessage(ReadNoticeIn(warning, NoticeId::kReadWarning, file));
    }
    if (!ok && report.failure()) {
        const ReadFailure& failure = *report.failure();
        if (failure.message) {
            ui.ShowMessage(ReadNoticeIn(*failure.message, NoticeId::kReadFailure, file,
                                        failure.position, failure.hint));
        } else if (failure.quietMessage) {
            ui.ShowMessage(ReadNoticeIn(*failure.quietMessage, NoticeId::kReadStopped, file,
                                        failure.position, failure.hint));
        }
    }
    return ok;
}

}  // namespace toravel
