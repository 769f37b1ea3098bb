#include "platform/windows/mesh_layer_choice.h"

#include "staticmesh/d3d9_mesh_layer.h"

namespace toravel::windows {

bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::unique_ptr<MeshLayer> ChooseMeshLayer(std::function<HWND()> window) {
    if (RunningUnderWine()) {
        return nullptr;
    }
    return CreateD3d9MeshLayer([window] { return static_cast<void*>(window()); });
}

}  // namespace toravel::windows
