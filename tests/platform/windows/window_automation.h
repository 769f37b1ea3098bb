// Drives another process's windows the way a user would see them: top-level windows found by
// class and title, the texts of their controls, buttons pressed, edit fields typed into, and
// a picture of a window. Every wait polls with a deadline.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace toravel::testing::windows {

// Polls `done` every few milliseconds until it holds or `timeout` passes.
bool WaitFor(const std::function<bool()>& done,
             std::chrono::milliseconds timeout = std::chrono::seconds(20));

// The visible top-level windows of process `pid`.
std::vector<HWND> TopLevelWindows(DWORD pid);
// The first visible top-level window of `pid` with `className` (null: any) and `title`.
HWND FindTopLevel(DWORD pid, const char* className, const std::string& title);
// Waits for such a window; null when none came.
HWND WaitForTopLevel(DWORD pid, const char* className, const std::string& title);
// Waits for a dialog (#32770) of `pid` whose owner is `owner`, whatever its title.
HWND WaitForOwnedDialog(DWORD pid, HWND owner,
                        std::chrono::milliseconds timeout = std::chrono::seconds(20));

std::string WindowText(HWND window);
std::string ClassName(HWND window);
// Every descendant window, in the order of EnumChildWindows.
std::vector<HWND> Descendants(HWND window);
// The texts of the static controls of a dialog, in order (a message box's text among them).
std::vector<std::string> StaticTexts(HWND dialog);
// The ids of the push buttons of a dialog, in order.
std::vector<int> ButtonIds(HWND dialog);
bool HasIconControl(HWND dialog);

// Types `text` into an edit field, replacing what it holds.
void SetEditText(HWND edit, const std::string& text);
// The first visible edit field among the dialog's descendants.
HWND FirstEdit(HWND dialog);
// Presses the dialog's button `id` as a click does.
void PressButton(HWND dialog, int id);

// Loads the menu probe DLL (menu_probe.cpp) into `process`, whose menus can be read only from
// inside; true when its window answers.
bool InjectMenuProbe(HANDLE process, DWORD pid, const std::string& dllPath);
// Holds down `keys` in order as the keyboard does and lets them go in reverse order; the
// foreground window receives them.
void PressKeys(const std::vector<WORD>& keys);

// Whether the menu item of `commandId` in the window's menu is greyed, as the probe reads it.
bool IsMenuItemGreyed(HWND window, int commandId);
// The window's menu, one line per item: each title, and under it "  id text" per item.
std::string MenuDescription(HWND window);

// Writes what the screen shows of `window` as a PNG file; false on failure.
bool SaveWindowPicture(HWND window, const std::string& path);

}  // namespace toravel::testing::windows
