// Which mesh layer the static mesh commands use on Windows.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "staticmesh/mesh_layer.h"

namespace toravel::windows {

// True inside Wine, whose ntdll exports wine_get_version.
bool RunningUnderWine();

// The Direct3D layer where d3d9 and d3dx9_28 can be loaded and the system is not Wine (whose
// D3DX cannot save a mesh); otherwise nothing, so that the application takes the portable
// layer. `window` gives the main window's handle when a device is created.
std::unique_ptr<MeshLayer> ChooseMeshLayer(std::function<HWND()> window);

}  // namespace toravel::windows
