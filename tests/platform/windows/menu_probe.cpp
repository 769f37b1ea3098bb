// A DLL that the GUI test loads into toravel.exe to read its menu. Under Wine a menu's items
// can be read only inside the process that owns it, so the probe answers from there: it opens
// a hidden window of class "ToravelMenuProbe" whose messages report the menu of a given window.
//   kProbeState (WM_APP + 1): wParam a command id, lParam the window; returns GetMenuState.
//   kProbeSelect (WM_APP + 2): lParam the window whose menu WM_GETTEXT then describes, one
//   line per item: the bar's titles, and under each "  id text" (id 0 for a separator).
#include <windows.h>

#include <string>

namespace {

std::string Describe(HMENU bar) {
    std::string out;
    char text[256];
    for (int m = 0; m < GetMenuItemCount(bar); ++m) {
        GetMenuStringA(bar, static_cast<UINT>(m), text, sizeof text, MF_BYPOSITION);
        out += std::string(text) + "\n";
        const HMENU popup = GetSubMenu(bar, m);
        for (int i = 0; i < GetMenuItemCount(popup); ++i) {
            text[0] = '\0';
            const bool separator =
                (GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) != 0;
            if (!separator) {
                GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            }
            out +=
                "  " + std::to_string(separator ? 0 : GetMenuItemID(popup, i)) + " " + text + "\n";
        }
    }
    return out;
}

LRESULT CALLBACK ProbeProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_APP + 1:
            return static_cast<LRESULT>(GetMenuState(GetMenu(reinterpret_cast<HWND>(lParam)),
                                                     static_cast<UINT>(wParam), MF_BYCOMMAND));
        case WM_APP + 2:
            SetWindowLongPtrA(window, GWLP_USERDATA, lParam);
            return 1;
        case WM_GETTEXT: {
            const std::string text =
                Describe(GetMenu(reinterpret_cast<HWND>(GetWindowLongPtrA(window, GWLP_USERDATA))));
            const size_t n = text.size() < wParam ? text.size() : (wParam == 0 ? 0 : wParam - 1);
            char* out = reinterpret_cast<char*>(lParam);
            text.copy(out, n);
            if (wParam > 0) {
                out[n] = '\0';
            }
            return static_cast<LRESULT>(n);
        }
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

DWORD WINAPI ProbeThread(void* instance) {
    WNDCLASSA probeClass = {};
    probeClass.lpfnWndProc = ProbeProcedure;
    probeClass.hInstance = static_cast<HINSTANCE>(instance);
    probeClass.lpszClassName = "ToravelMenuProbe";
    RegisterClassA(&probeClass);
    CreateWindowExA(0, "ToravelMenuProbe", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                    static_cast<HINSTANCE>(instance), nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    return 0;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        const HANDLE thread = CreateThread(nullptr, 0, ProbeThread, instance, 0, nullptr);
        if (thread != nullptr) {
            CloseHandle(thread);
        }
    }
    return TRUE;
}
