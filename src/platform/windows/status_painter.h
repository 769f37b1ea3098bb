// Draws the status display's runs on a painting context.
#pragma once

#include <windows.h>

#include <vector>

#include "app/status_display.h"

namespace toravel::windows {

void DrawTextRuns(HDC dc, const std::vector<TextRun>& runs);

}  // namespace toravel::windows
