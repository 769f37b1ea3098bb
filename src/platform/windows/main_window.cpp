#include "platform/windows/main_window.h"

#include "app/command_table.h"
#include "app/status_display.h"
#include "platform/windows/about_dialog.h"
#include "platform/windows/resource_ids.h"
#include "platform/windows/status_painter.h"
#include "platform/windows/win32_menu_states.h"

namespace toravel::windows {

MainWindow::MainWindow(HINSTANCE instance, Win32Interaction& ui) : instance_(instance), ui_(&ui) {}

bool MainWindow::Create(int showCommand) {
    LoadStringA(instance_, IDS_APP_TITLE, title_, sizeof title_);
    LoadStringA(instance_, IDS_WINDOW_CLASS, className_, sizeof className_);

    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = &MainWindow::Procedure;
    windowClass.hInstance = instance_;
    windowClass.hIcon = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_TORAVEL));
    windowClass.hIconSm = LoadIconA(instance_, MAKEINTRESOURCEA(IDI_SMALL));
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszMenuName = MAKEINTRESOURCEA(IDC_TORAVEL);
    windowClass.lpszClassName = className_;
    RegisterClassExA(&windowClass);

    // The window procedure finds this object through the creation parameter.
    const HWND window = CreateWindowExA(0, className_, title_, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                        0, CW_USEDEFAULT, 0, nullptr, nullptr, instance_, this);
    if (window == nullptr) {
        return false;
    }
    window_ = window;
    ui_->SetWindow(window);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return true;
}

int MainWindow::Run() {
    const HACCEL accelerators = LoadAcceleratorsA(instance_, MAKEINTRESOURCEA(IDC_TORAVEL));
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!TranslateAcceleratorA(message.hwnd, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}

LRESULT CALLBACK MainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr || self->app_ == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (self->window_ == nullptr) {
        self->window_ = window;  // messages of the creation itself
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = BeginPaint(window_, &paint);
            DrawTextRuns(dc, PaintStatus(*app_));
            EndPaint(window_, &paint);
            UpdateMenus();
            return 0;
        }
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (id == IDM_ABOUT) {
                ShowAboutBox(instance_, window_);
                UpdateMenus();
                return 0;
            }
            if (id == IDM_EXIT) {
                DestroyWindow(window_);
                UpdateMenus();
                return 0;
            }
            Win32MenuStates menu(window_);
            if (DispatchCommand(*app_, id, &menu)) {
                return 0;
            }
            break;
        }
        default:
            break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

void MainWindow::UpdateMenus() {
    if (IsWindow(window_)) {
        Win32MenuStates menu(window_);
        UpdateMenuStates(*app_, menu);
    }
}

}  // namespace toravel::windows
