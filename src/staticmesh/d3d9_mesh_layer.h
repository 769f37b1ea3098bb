// The mesh layer of the Direct3D 9 extension library, available only in the Windows build.
// Its implementation (d3d9_mesh_layer_d3d9.cpp, compiled on Windows alone) belongs to the
// Windows port: it checks the library versions (D3DXCheckVersion), creates the Direct3D
// object and a hardware or else software device for the main window, creates the mesh with
// D3DXCreateMeshFVF and saves it with D3DXSaveMeshToXA.
#pragma once

#include <memory>

#include "staticmesh/mesh_layer.h"

namespace toravel {

// `window` is the main window's handle (an HWND); the device's back buffer takes the size of
// its client area.
std::unique_ptr<MeshLayer> CreateD3d9MeshLayer(void* window);

}  // namespace toravel
