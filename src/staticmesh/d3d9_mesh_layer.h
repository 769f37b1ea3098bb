// The mesh layer of the Direct3D 9 extension library, available only in the Windows build.
// Its implementation (d3d9_mesh_layer_d3d9.cpp, compiled on Windows alone) loads d3d9.dll and
// d3dx9_28.dll at run time, so that the program starts on systems without them. It checks
// the library versions (D3DXCheckVersion), creates the Direct3D object and a hardware or else
// software device for the main window, creates the mesh with D3DXCreateMeshFVF and saves it
// with D3DXSaveMeshToXA.
#pragma once

#include <functional>
#include <memory>

#include "staticmesh/mesh_layer.h"

namespace toravel {

// `window` gives the main window's handle (an HWND) when a device is made; the device's back
// buffer takes the size of its client area. Nothing when the libraries cannot be loaded.
std::unique_ptr<MeshLayer> CreateD3d9MeshLayer(std::function<void*()> window);

}  // namespace toravel
