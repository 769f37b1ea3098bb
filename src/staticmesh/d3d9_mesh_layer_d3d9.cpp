#include "staticmesh/d3d9_mesh_layer.h"

#include <windows.h>

#include <d3d9.h>
#include <d3dx9mesh.h>

#include <vector>

namespace toravel {

namespace {

// The versions that the program was written against: D3D_SDK_VERSION and the D3DX of the
// DirectX SDK whose d3dx9_28.dll it loads.
constexpr UINT kD3dSdkVersion = 32;
constexpr UINT kD3dxSdkVersion = 28;

using CheckVersionFn = BOOL(WINAPI*)(UINT, UINT);
using Direct3DCreate9Fn = IDirect3D9*(WINAPI*)(UINT);
using CreateMeshFvfFn = HRESULT(WINAPI*)(DWORD, DWORD, DWORD, DWORD, IDirect3DDevice9*,
                                         ID3DXMesh**);
using SaveMeshToXFn = HRESULT(WINAPI*)(const char*, ID3DXMesh*, const DWORD*, const D3DXMATERIAL*,
                                       const D3DXEFFECTINSTANCE*, DWORD, DWORD);

template <typename Fn>
Fn Lookup(HMODULE module, const char* name) {
    // GetProcAddress hands out a generic function pointer; the names fix the real types.
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

class D3d9MeshObject : public MeshObject {
  public:
    explicit D3d9MeshObject(ID3DXMesh* mesh) : mesh_(mesh) {}
    ~D3d9MeshObject() override { mesh_->Release(); }
    D3d9MeshObject(const D3d9MeshObject&) = delete;
    D3d9MeshObject& operator=(const D3d9MeshObject&) = delete;

    ID3DXMesh* mesh() const { return mesh_; }

    uint32_t GetNumFaces() const override { return mesh_->GetNumFaces(); }
    uint32_t GetNumVertices() const override { return mesh_->GetNumVertices(); }

    Hresult LockVertexBuffer(uint32_t flags, MeshVertex** vertices) override {
        return mesh_->LockVertexBuffer(flags, reinterpret_cast<void**>(vertices));
    }
    Hresult UnlockVertexBuffer() override { return mesh_->UnlockVertexBuffer(); }
    Hresult LockIndexBuffer(uint32_t flags, uint16_t** indices) override {
        return mesh_->LockIndexBuffer(flags, reinterpret_cast<void**>(indices));
    }
    Hresult UnlockIndexBuffer() override { return mesh_->UnlockIndexBuffer(); }
    Hresult LockAttributeBuffer(uint32_t flags, uint32_t** attributes) override {
        static_assert(sizeof(DWORD) == sizeof(uint32_t));
        return mesh_->LockAttributeBuffer(flags, reinterpret_cast<DWORD**>(attributes));
    }
    Hresult UnlockAttributeBuffer() override { return mesh_->UnlockAttributeBuffer(); }

    Hresult GenerateAdjacency(float epsilon, uint32_t* adjacency) override {
        return mesh_->GenerateAdjacency(epsilon, reinterpret_cast<DWORD*>(adjacency));
    }
    Hresult OptimizeInplace(uint32_t flags, const uint32_t* adjacency) override {
        return mesh_->OptimizeInplace(flags, reinterpret_cast<const DWORD*>(adjacency), nullptr,
                                      nullptr, nullptr);
    }

  private:
    ID3DXMesh* mesh_;
};

class D3d9MeshLayer : public MeshLayer {
  public:
    D3d9MeshLayer(HMODULE d3d9, HMODULE d3dx9, std::function<void*()> window)
        : d3d9_(d3d9), d3dx9_(d3dx9), window_(std::move(window)) {
        checkVersion_ = Lookup<CheckVersionFn>(d3dx9_, "D3DXCheckVersion");
        create9_ = Lookup<Direct3DCreate9Fn>(d3d9_, "Direct3DCreate9");
        createMesh_ = Lookup<CreateMeshFvfFn>(d3dx9_, "D3DXCreateMeshFVF");
        saveMesh_ = Lookup<SaveMeshToXFn>(d3dx9_, "D3DXSaveMeshToXA");
    }
    ~D3d9MeshLayer() override {
        ReleaseRenderDevice();
        // The libraries stay loaded: mesh objects made here may outlive the layer.
    }
    D3d9MeshLayer(const D3d9MeshLayer&) = delete;
    D3d9MeshLayer& operator=(const D3d9MeshLayer&) = delete;

    bool complete() const { return checkVersion_ && create9_ && createMesh_ && saveMesh_; }

    DeviceResult CreateRenderDevice() override {
        if (!checkVersion_(kD3dSdkVersion, kD3dxSdkVersion)) {
            return {DeviceResult::Status::kVersionMismatch};
        }
        if (direct3d_ == nullptr) {
            direct3d_ = create9_(kD3dSdkVersion);
            if (direct3d_ == nullptr) {
                return {DeviceResult::Status::kNoDirect3D};
            }
        }
        const HWND window = static_cast<HWND>(window_());
        RECT client = {};
        GetClientRect(window, &client);
        D3DPRESENT_PARAMETERS present = {};
        present.BackBufferWidth = static_cast<UINT>(client.right - client.left);
        present.BackBufferHeight = static_cast<UINT>(client.bottom - client.top);
        present.BackBufferFormat = D3DFMT_UNKNOWN;
        present.BackBufferCount = 1;
        present.SwapEffect = D3DSWAPEFFECT_DISCARD;
        present.hDeviceWindow = window;
        present.Windowed = TRUE;
        present.EnableAutoDepthStencil = TRUE;
        present.AutoDepthStencilFormat = D3DFMT_D16;
        HRESULT code =
            direct3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                    D3DCREATE_HARDWARE_VERTEXPROCESSING, &present, &device_);
        if (FAILED(code)) {
            code = direct3d_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                           D3DCREATE_SOFTWARE_VERTEXPROCESSING, &present, &device_);
        }
        if (FAILED(code)) {
            device_ = nullptr;
            return {DeviceResult::Status::kNoDevice, code};
        }
        return {DeviceResult::Status::kReady};
    }

    void ReleaseRenderDevice() override {
        if (device_ != nullptr) {
            device_->Release();
            device_ = nullptr;
        }
        if (direct3d_ != nullptr) {
            direct3d_->Release();
            direct3d_ = nullptr;
        }
    }

    Hresult CreateMeshFvf(uint32_t faces, uint32_t vertices, uint32_t options, uint32_t fvf,
                          std::unique_ptr<MeshObject>& mesh) override {
        ID3DXMesh* created = nullptr;
        const HRESULT code = createMesh_(faces, vertices, options, fvf, device_, &created);
        if (FAILED(code)) {
            return code;
        }
        mesh = std::make_unique<D3d9MeshObject>(created);
        return code;
    }

    Hresult SaveMeshToX(const std::string& path, MeshObject& mesh, const uint32_t* adjacency,
                        std::span<const MeshMaterial> materials, uint32_t format) override {
        std::vector<D3DXMATERIAL> records(materials.size());
        for (size_t i = 0; i < materials.size(); ++i) {
            const MeshMaterial& from = materials[i];
            D3DMATERIAL9& to = records[i].MatD3D;
            to.Diffuse = {from.diffuse[0], from.diffuse[1], from.diffuse[2], from.diffuse[3]};
            to.Ambient = {from.ambient[0], from.ambient[1], from.ambient[2], from.ambient[3]};
            to.Specular = {from.specular[0], from.specular[1], from.specular[2], from.specular[3]};
            to.Emissive = {from.emissive[0], from.emissive[1], from.emissive[2], from.emissive[3]};
            to.Power = from.power;
            // The saver only reads the names; the strings outlive the call.
            records[i].pTextureFilename = const_cast<char*>(from.textureFile.c_str());
        }
        return saveMesh_(path.c_str(), static_cast<D3d9MeshObject&>(mesh).mesh(),
                         reinterpret_cast<const DWORD*>(adjacency), records.data(), nullptr,
                         static_cast<DWORD>(records.size()), format);
    }

  private:
    HMODULE d3d9_;
    HMODULE d3dx9_;
    std::function<void*()> window_;
    CheckVersionFn checkVersion_ = nullptr;
    Direct3DCreate9Fn create9_ = nullptr;
    CreateMeshFvfFn createMesh_ = nullptr;
    SaveMeshToXFn saveMesh_ = nullptr;
    IDirect3D9* direct3d_ = nullptr;
    IDirect3DDevice9* device_ = nullptr;
};

}  // namespace

std::unique_ptr<MeshLayer> CreateD3d9MeshLayer(std::function<void*()> window) {
    const HMODULE d3d9 = LoadLibraryA("d3d9.dll");
    const HMODULE d3dx9 = LoadLibraryA("d3dx9_28.dll");
    if (d3d9 == nullptr || d3dx9 == nullptr) {
        return nullptr;
    }
    auto layer = std::make_unique<D3d9MeshLayer>(d3d9, d3dx9, std::move(window));
    if (!layer->complete()) {
        return nullptr;
    }
    return layer;
}

}  // namespace toravel
