// The main window: its class, creation, window procedure and the message loop. Menu commands
// go to the command table; paints draw the status display and then bring the menu up to date.
#pragma once

#include <windows.h>

#include <string>

#include "app/application.h"
#include "platform/windows/win32_interaction.h"

namespace toravel::windows {

class MainWindow {
  public:
    MainWindow(HINSTANCE instance, Win32Interaction& ui);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // The application whose commands and display the window shows; before Create.
    void Attach(Application& app) { app_ = &app; }
    // Loads the title and class name, registers the class, creates, shows and paints the
    // window. False when the window could not be created.
    bool Create(int showCommand);
    // Runs the message loop until the quit message; returns its exit code.
    int Run();

    HWND handle() const { return window_; }

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void UpdateMenus();

    HINSTANCE instance_;
    Win32Interaction* ui_;
    Application* app_ = nullptr;
    HWND window_ = nullptr;
    char title_[100] = {};
    char className_[100] = {};
};

}  // namespace toravel::windows
