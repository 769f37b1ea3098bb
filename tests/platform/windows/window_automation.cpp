#include "window_automation.h"

#include <zlib.h>

#include <cstdio>
#include <thread>

namespace toravel::testing::windows {

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::vector<HWND> TopLevelWindows(DWORD pid) {
    struct Search {
        DWORD pid;
        std::vector<HWND> found;
    } search{pid, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->pid && IsWindowVisible(window)) {
                s->found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindTopLevel(DWORD pid, const char* className, const std::string& title) {
    for (HWND window : TopLevelWindows(pid)) {
        if ((className == nullptr || ClassName(window) == className) &&
            WindowText(window) == title) {
            return window;
        }
    }
    return nullptr;
}

HWND WaitForTopLevel(DWORD pid, const char* className, const std::string& title) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindTopLevel(pid, className, title)) != nullptr; });
    return found;
}

HWND WaitForOwnedDialog(DWORD pid, HWND owner, std::chrono::milliseconds timeout) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND window : TopLevelWindows(pid)) {
                if (ClassName(window) == "#32770" && GetWindow(window, GW_OWNER) == owner) {
                    found = window;
                    return true;
                }
            }
            return false;
        },
        timeout);
    return found;
}

std::string WindowText(HWND window) {
    // WM_GETTEXT is carried across processes; GetWindowText is not for every control.
    char buffer[4096] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    return buffer;
}

std::string ClassName(HWND window) {
    char buffer[256] = {};
    GetClassNameA(window, buffer, sizeof buffer);
    return buffer;
}

std::vector<HWND> Descendants(HWND window) {
    std::vector<HWND> found;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM data) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<std::string> StaticTexts(HWND dialog) {
    std::vector<std::string> texts;
    for (HWND child : Descendants(dialog)) {
        if (ClassName(child) == "Static") {
            std::string text = WindowText(child);
            if (!text.empty()) {
                texts.push_back(text);
            }
        }
    }
    return texts;
}

std::vector<int> ButtonIds(HWND dialog) {
    std::vector<int> ids;
    for (HWND child : Descendants(dialog)) {
        const LONG style = GetWindowLongA(child, GWL_STYLE);
        const LONG kind = style & BS_TYPEMASK;
        if (ClassName(child) == "Button" && IsWindowVisible(child) &&
            (kind == BS_PUSHBUTTON || kind == BS_DEFPUSHBUTTON)) {
            ids.push_back(GetDlgCtrlID(child));
        }
    }
    return ids;
}

bool HasIconControl(HWND dialog) {
    for (HWND child : Descendants(dialog)) {
        // A message box without an icon may keep an empty icon control.
        if (ClassName(child) == "Static" && IsWindowVisible(child) &&
            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
            SendMessageA(child, STM_GETICON, 0, 0) != 0) {
            return true;
        }
    }
    return false;
}

void SetEditText(HWND edit, const std::string& text) {
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

HWND FirstEdit(HWND dialog) {
    for (HWND child : Descendants(dialog)) {
        if (ClassName(child) == "Edit" && IsWindowVisible(child)) {
            return child;
        }
    }
    return nullptr;
}

void PressButton(HWND dialog, int id) {
    const HWND button = GetDlgItem(dialog, id);
    if (button != nullptr) {
        PostMessageA(button, BM_CLICK, 0, 0);
    } else {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    }
}

void PressKeys(const std::vector<WORD>& keys) {
    std::vector<INPUT> inputs;
    for (auto it = keys.begin(); it != keys.end(); ++it) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *it;
        inputs.push_back(input);
    }
    for (auto it = keys.rbegin(); it != keys.rend(); ++it) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *it;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

namespace {

HWND ProbeOf(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HWND probe = nullptr;
    while ((probe = FindWindowExA(nullptr, probe, "ToravelMenuProbe", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(probe, &owner);
        if (owner == pid) {
            return probe;
        }
    }
    return nullptr;
}

}  // namespace

bool InjectMenuProbe(HANDLE process, DWORD pid, const std::string& dllPath) {
    void* remote = VirtualAllocEx(process, nullptr, dllPath.size() + 1, MEM_COMMIT | MEM_RESERVE,
                                  PAGE_READWRITE);
    if (remote == nullptr ||
        !WriteProcessMemory(process, remote, dllPath.c_str(), dllPath.size() + 1, nullptr)) {
        return false;
    }
    // kernel32 sits at the same address in every process of the system.
    auto* load = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
    const HANDLE thread = CreateRemoteThread(process, nullptr, 0, load, remote, 0, nullptr);
    if (thread == nullptr) {
        return false;
    }
    WaitForSingleObject(thread, 10000);
    DWORD loaded = 0;
    GetExitCodeThread(thread, &loaded);
    CloseHandle(thread);
    if (loaded == 0) {
        return false;  // LoadLibraryA failed inside the process
    }
    return WaitFor([&] {
        HWND probe = nullptr;
        while ((probe = FindWindowExA(nullptr, probe, "ToravelMenuProbe", nullptr)) != nullptr) {
            DWORD owner = 0;
            GetWindowThreadProcessId(probe, &owner);
            if (owner == pid) {
                return true;
            }
        }
        return false;
    });
}

bool IsMenuItemGreyed(HWND window, int commandId) {
    DWORD_PTR state = static_cast<DWORD_PTR>(-1);
    SendMessageTimeoutA(ProbeOf(window), WM_APP + 1, static_cast<WPARAM>(commandId),
                        reinterpret_cast<LPARAM>(window), SMTO_ABORTIFHUNG, 5000, &state);
    return static_cast<UINT>(state) != static_cast<UINT>(-1) &&
           (static_cast<UINT>(state) & MF_GRAYED) != 0;
}

std::string MenuDescription(HWND window) {
    const HWND probe = ProbeOf(window);
    SendMessageA(probe, WM_APP + 2, 0, reinterpret_cast<LPARAM>(window));
    return WindowText(probe);
}

namespace {

void PutBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += static_cast<char>((value >> shift) & 0xFF);
    }
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    PutBigEndian(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                                  static_cast<uInt>(body.size()))));
}

}  // namespace

bool SaveWindowPicture(HWND window, const std::string& path) {
    RECT rect;
    if (!GetWindowRect(window, &rect)) {
        return false;
    }
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    const bool copied =
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
    GdiFlush();

    std::string raw;
    const auto* pixels = static_cast<const uint8_t*>(bits);
    for (int y = 0; y < height; ++y) {
        raw += '\0';  // no filter
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = pixels + (static_cast<size_t>(y) * width + x) * 4;
            raw += static_cast<char>(p[2]);
            raw += static_cast<char>(p[1]);
            raw += static_cast<char>(p[0]);
        }
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied) {
        return false;
    }

    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(packed.data()), &packedSize,
                  reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                  9) != Z_OK) {
        return false;
    }
    packed.resize(packedSize);
    std::string png = "\x89PNG\r\n\x1a\n";
    std::string header;
    PutBigEndian(header, static_cast<uint32_t>(width));
    PutBigEndian(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", "");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace toravel::testing::windows
