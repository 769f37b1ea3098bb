// The consumer check: an X file as the Direct3D extension library loads it
// (D3DXLoadMeshHierarchyFromXA), and the same file as this program reads it, each described
// the same way: every frame with its parent, each mesh's vertex and face counts, and the skin's
// bones with their offset matrices.
#pragma once

#include <windows.h>

#include <string>

namespace toravel::testing::windows {

// The description from D3DX, or "D3DX failed: <code>"; `window` is the device's window.
std::string DescribeWithD3dx(const std::string& path, HWND window);
// The description from this program's X reader.
std::string DescribeWithOurReader(const std::string& path);

}  // namespace toravel::testing::windows
