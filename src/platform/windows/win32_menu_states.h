// The main window's menu as the command table sees it: items enabled or greyed by command id.
#pragma once

#include <windows.h>

#include "app/command_table.h"

namespace toravel::windows {

class Win32MenuStates : public MenuStates {
  public:
    explicit Win32MenuStates(HWND window) : window_(window) {}
    void SetItemEnabled(int commandId, bool enabled) override {
        EnableMenuItem(GetMenu(window_), static_cast<UINT>(commandId),
                       MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }

  private:
    HWND window_;
};

}  // namespace toravel::windows
