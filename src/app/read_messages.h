// Showing what a reader reported: the load commands show a reading step's warnings when the
// step ends, then its failure, so the user sees them in the order in which the file held them.
#pragma once

#include "app/user_interaction.h"
#include "scene/read_result.h"

namespace toravel {

// Shows the warnings that `report` gathered since the last call, then, when `ok` is false,
// the failure's message (some failures have none). Returns `ok`.
inline bool ShowReadStep(bool ok, ReadReport& report, UserInteraction& ui) {
    for (const Message& warning : report.TakeWarnings()) {
        ui.ShowMessage(ReadNotice(warning, NoticeId::kReadWarning));
    }
    if (!ok && report.failure() && report.failure()->message) {
        ui.ShowMessage(ReadNotice(*report.failure()->message, NoticeId::kReadFailure));
    }
    return ok;
}

}  // namespace toravel
