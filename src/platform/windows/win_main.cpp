// The Windows application's entry point.
#include <windows.h>

#include "app/application.h"
#include "platform/windows/main_window.h"
#include "platform/windows/mesh_layer_choice.h"
#include "platform/windows/win32_interaction.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    using namespace toravel::windows;
    Win32Interaction ui(instance);
    MainWindow window(instance, ui);
    toravel::Application app(ui, ChooseMeshLayer([&window] { return window.handle(); }));
    window.Attach(app);
    if (!window.Create(showCommand)) {
        return 0;
    }
    return window.Run();
}
