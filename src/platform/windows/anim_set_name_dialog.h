// The "AnimationSet Name" dialog (dialog 129).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace toravel::windows {

// The most characters that the dialog takes from its edit field; the rest is cut.
inline constexpr int kMaxAnimSetNameLength = 254;

class AnimSetNameDialog {
  public:
    // Shows the dialog modally over `owner`; the accepted name, or nothing on Cancel.
    std::optional<std::string> Show(HINSTANCE instance, HWND owner);

    const std::string& name() const { return name_; }

  private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnCommand(HWND dialog, int id);

    HWND dialog_ = nullptr;
    std::string name_;
};

}  // namespace toravel::windows
