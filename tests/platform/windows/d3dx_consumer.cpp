#include "d3dx_consumer.h"

#include <d3dx9.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/documents.h"
#include "app/x_load_command.h"
#include "support/recording_interaction.h"

namespace toravel::testing::windows {

namespace {

std::string MatrixText(const float* m) {
    std::string text;
    char number[32];
    for (int i = 0; i < 16; ++i) {
        std::snprintf(number, sizeof number, " %.6f", static_cast<double>(m[i]));
        text += number;
    }
    return text;
}

std::string MeshText(int vertices, int faces) {
    return "  mesh: " + std::to_string(vertices) + " vertices, " + std::to_string(faces) +
           " faces\n";
}

std::string BoneText(const std::string& name, const float* offset) {
    return "  bone " + name + " offset" + MatrixText(offset) + "\n";
}

char* Copy(const char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    char* copy = new char[std::strlen(text) + 1];
    std::strcpy(copy, text);
    return copy;
}

// Keeps what the loader hands over: frames as D3DX lays them out, and for each mesh container
// the lines that describe it.
struct Container : D3DXMESHCONTAINER {
    std::string description;
};

class Hierarchy : public ID3DXAllocateHierarchy {
  public:
    STDMETHOD(CreateFrame)(const char* name, D3DXFRAME** frame) override {
        auto* made = new D3DXFRAME{};
        made->Name = Copy(name);
        D3DXMatrixIdentity(&made->TransformationMatrix);
        *frame = made;
        return S_OK;
    }
    STDMETHOD(CreateMeshContainer)
    (const char* name, const D3DXMESHDATA* data, const D3DXMATERIAL*, const D3DXEFFECTINSTANCE*,
     DWORD, const DWORD*, ID3DXSkinInfo* skin, D3DXMESHCONTAINER** container) override {
        auto* made = new Container{};
        made->Name = Copy(name);
        ID3DXMesh* mesh = data->pMesh;
        made->description = MeshText(static_cast<int>(mesh->GetNumVertices()),
                                     static_cast<int>(mesh->GetNumFaces()));
        if (skin != nullptr) {
            for (DWORD b = 0; b < skin->GetNumBones(); ++b) {
                made->description +=
                    BoneText(skin->GetBoneName(b), &skin->GetBoneOffsetMatrix(b)->_11);
            }
        }
        *container = made;
        return S_OK;
    }
    STDMETHOD(DestroyFrame)(D3DXFRAME* frame) override {
        delete[] frame->Name;
        delete frame;
        return S_OK;
    }
    STDMETHOD(DestroyMeshContainer)(D3DXMESHCONTAINER* container) override {
        delete[] container->Name;
        delete static_cast<Container*>(container);
        return S_OK;
    }
};

void DescribeFrames(const D3DXFRAME* frame, const std::string& parent, std::string& out) {
    for (; frame != nullptr; frame = frame->pFrameSibling) {
        const std::string name = frame->Name != nullptr ? frame->Name : "";
        out += "frame " + name + " in " + parent + "\n";
        for (const D3DXMESHCONTAINER* c = frame->pMeshContainer; c != nullptr;
             c = c->pNextMeshContainer) {
            out += static_cast<const Container*>(c)->description;
        }
        DescribeFrames(frame->pFrameFirstChild, name, out);
    }
}

}  // namespace

std::string DescribeWithD3dx(const std::string& path, HWND window) {
    IDirect3D9* direct3d = Direct3DCreate9(D3D_SDK_VERSION);
    if (direct3d == nullptr) {
        return "D3DX failed: no Direct3D";
    }
    D3DPRESENT_PARAMETERS present = {};
    present.Windowed = TRUE;
    present.SwapEffect = D3DSWAPEFFECT_DISCARD;
    present.hDeviceWindow = window;
    IDirect3DDevice9* device = nullptr;
    HRESULT code = direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                          D3DCREATE_SOFTWARE_VERTEXPROCESSING, &present, &device);
    std::string out;
    if (SUCCEEDED(code)) {
        // Wine's D3DX knows only the standard templates, not the skin templates that the
        // native library registers itself: they are declared ahead of the file's objects.
        std::ifstream in(path, std::ios::binary);
        const std::string file{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
        const std::string header = "xof 0303txt 0032";
        const std::string text = XSKINEXP_TEMPLATES + file.substr(header.size());
        Hierarchy hierarchy;
        D3DXFRAME* root = nullptr;
        code = file.compare(0, header.size(), header) != 0
                   ? E_INVALIDARG
                   : D3DXLoadMeshHierarchyFromXInMemory(
                         text.data(), static_cast<DWORD>(text.size()), D3DXMESH_MANAGED, device,
                         &hierarchy, nullptr, &root, nullptr);
        if (SUCCEEDED(code)) {
            DescribeFrames(root, "-", out);
            D3DXFrameDestroy(root, &hierarchy);
        }
        device->Release();
    }
    direct3d->Release();
    if (FAILED(code)) {
        char text[64];
        std::snprintf(text, sizeof text, "D3DX failed: 0x%08lx", static_cast<unsigned long>(code));
        return text;
    }
    return out;
}

std::string DescribeWithOurReader(const std::string& path) {
    XFileReader doc;
    RecordingInteraction ui;
    ui.yes = false;  // no debug dumps
    if (!LoadXFileFrom(doc, {path, std::filesystem::path(path).filename().string()}, ui)) {
        return "our reader failed";
    }
    std::string out;
    for (const SceneNode& node : doc.frames) {
        const std::string parent =
            node.parentId >= 0 ? doc.frames[static_cast<size_t>(node.parentId)].name : "-";
        out += "frame " + node.name + " in " + parent + "\n";
        if (node.mesh.HasMesh()) {
            out += MeshText(node.mesh.vertexCount, node.mesh.faceCount);
            for (const BoneWeights& bone : node.mesh.boneWeights) {
                out += BoneText(bone.boneName, bone.offsetMatrix.m.data());
            }
        }
    }
    return out;
}

}  // namespace toravel::testing::windows
