// The About box (dialog 103).
#pragma once

#include <windows.h>

namespace toravel::windows {

void ShowAboutBox(HINSTANCE instance, HWND owner);

}  // namespace toravel::windows
