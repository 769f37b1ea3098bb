#include "platform/windows/status_painter.h"

namespace toravel::windows {

void DrawTextRuns(HDC dc, const std::vector<TextRun>& runs) {
    // The runs lie on the window background; only the glyphs are drawn.
    SetBkMode(dc, TRANSPARENT);
    for (const TextRun& run : runs) {
        SetTextColor(dc, RGB(run.colour.red, run.colour.green, run.colour.blue));
        TextOutA(dc, run.x, run.y, run.text.data(), static_cast<int>(run.text.size()));
    }
}

}  // namespace toravel::windows
